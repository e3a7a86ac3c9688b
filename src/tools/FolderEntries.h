#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

// One entry of a folder: its name (the bytes) and its own type (a link is a
// link; mostly known without a system call).
using FolderEntry = std::pair<std::string, std::filesystem::file_type>;

// The entries of a folder in name order (by bytes), so a walk gives the same
// result every time. False when the folder could not be opened or not be
// listed to its end (what was listed is kept): such a folder is counted by
// the caller, never passed over without a word (unlike
// directory_options::skip_permission_denied).
bool ListFolder(const std::string& folder, std::vector<FolderEntry>& entries);
