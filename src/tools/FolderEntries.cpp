#include "tools/FolderEntries.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

bool ListFolder(const std::string& folder, std::vector<FolderEntry>& entries)
{
    entries.clear();
    std::error_code error;
    fs::directory_iterator it(fs::path(folder), error);
    if (error)
        return false;
    for (; it != fs::directory_iterator(); it.increment(error)) {
        if (error)
            break;
        std::error_code typeError;
        entries.emplace_back(it->path().filename().native(), it->symlink_status(typeError).type());
    }
    std::sort(entries.begin(), entries.end());
    return !error;
}
