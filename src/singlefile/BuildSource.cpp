#include "singlefile/BuildSource.h"

#include "editor/CTarnDoc.h"
#include "editor/CTarnView.h"
#include "framework/Prompts.h"
#include "singlefile/CSourceBuildDialog.h"
#include "tools/LinkEntries.h"
#include "tools/PathNames.h"

#include <QDir>

bool BuildSource(CTarnView& view, IdeContext& tools)
{
    CSourceBuildDialog dialog(tools, &view);
    const QString path = view.sourceDocument() ? view.sourceDocument()->pathName() : QString();
    dialog.sourcePath = QDir::toNativeSeparators(path);
    dialog.outputChoice = view.outputChoice;
    dialog.options = view.compileOptions;
    dialog.linkCount = view.linkCount;
    for (int i = 0; i < view.linkCount && i < CTarnView::kMaxLinkEntries; ++i)
        dialog.linkEntries.append(view.linkEntries[size_t(i)]);
    if (path.isEmpty()) {
        view.RequireSavedFile(); // says "Please save the file before Continuing"
        return false;
    }
    if (IsCppSource(dialog.sourcePath) && !HasCppRuntimeEntry(dialog.linkEntries)) {
        if (dialog.linkEntries.size() >= kMaxLinkEntries) {
            fw::messageBox(&view, LinkListFullMessage());
        } else {
            dialog.linkEntries.append(QLatin1String(kCppRuntimeLibrary));
            ++dialog.linkCount;
        }
    }
    view.RequireSavedFile(); // the save question of a modified document
    if (dialog.exec() != QDialog::Accepted)
        return false;
    view.outputChoice = dialog.outputChoice;
    view.compileOptions = dialog.options;
    view.updateColouringContext(); // its -D and -U may grey other blocks
    view.linkCount = int(dialog.linkEntries.size());
    for (int i = 0; i < view.linkCount; ++i)
        view.linkEntries[size_t(i)] = dialog.linkEntries.at(i);
    return true;
}
