#include "resources/TarnCommands.h"

#include "resources/CommandIds.h"

// Menu texts: "&" marks the access key; after the tab comes the key shown at
// the right of the item.

namespace {

using fw::MenuItem;
using Items = std::vector<MenuItem>;

MenuItem item(int id, const char* text)
{
    return MenuItem::command(id, QString::fromUtf8(text));
}

MenuItem separator()
{
    return MenuItem::separator();
}

MenuItem popup(const char* title, Items items)
{
    return MenuItem::submenu(QString::fromUtf8(title), std::move(items));
}

MenuItem recentFiles()
{
    return MenuItem::recentFiles(fw::id::FileMruFirst, QStringLiteral("Recent File"));
}

// A context menu resource: the framework shows its first popup.
fw::MenuLayout contextMenu(Items items)
{
    return {MenuItem::submenu(QString(), std::move(items))};
}

// The File menu of the document windows; only the source window prints.
MenuItem fileMenu(bool withPrinting)
{
    Items items = {
        item(fw::id::FileNew, "&New Source File\tCtrl+N"),
        item(cmd::FileNewProject, "New Project"),
        item(fw::id::FileOpen, "&Open...\tCtrl+O"),
        item(fw::id::FileClose, "&Close"),
        item(fw::id::FileSave, "&Save\tCtrl+S"),
        item(fw::id::FileSaveAs, "Save &As..."),
        separator(),
    };
    if (withPrinting) {
        items.push_back(item(fw::id::FilePrint, "&Print...\tCtrl+P"));
        items.push_back(item(fw::id::FilePrintPreview, "Print Pre&view"));
        items.push_back(item(fw::id::FilePrintSetup, "P&rint Setup..."));
        items.push_back(separator());
    }
    items.push_back(recentFiles());
    items.push_back(separator());
    items.push_back(item(fw::id::AppExit, "E&xit"));
    return popup("&File", std::move(items));
}

// Stop Build ends the Commands menu and the project menus. Its access key
// is one no item of those menus has (T belongs to Touch File); the key is
// shown by its name on the keyboard, Break, which Qt calls Pause.
MenuItem stopBuild()
{
    return item(cmd::StopBuild, "&Stop Build\tCtrl+Break");
}

// Find in Files follows Go To Function in the Search menu and the source
// context menu (S is free in both); the project window's Project menu has
// it at its end, where S belongs to Stop Build.
MenuItem findInFiles()
{
    return item(cmd::FindInFiles, "Find in File&s...\tCtrl+Shift+F");
}

MenuItem commandsMenu()
{
    return popup("&Commands", {
        item(cmd::RunExecutable, "&Run Executable...\tCtrl+E"),
        separator(),
        item(cmd::Link, "&Link..."),
        item(cmd::Make, "&Make..."),
        item(cmd::Debug, "&Debug..."),
        separator(),
        stopBuild(),
    });
}

// The integrated debugger's menu follows Commands in the source and project
// windows.
MenuItem debugMenu()
{
    return popup("&Debug", {
        item(cmd::DebugStart, "&Start Debugging\tF5"),
        item(cmd::DebugStop, "Sto&p Debugging\tShift+F5"),
        item(cmd::DebugBreak, "&Break\tCtrl+Alt+Pause"),
        separator(),
        item(cmd::DebugStepOver, "Step &Over\tF10"),
        item(cmd::DebugStepInto, "Step &Into\tF11"),
        item(cmd::DebugStepOut, "Step Ou&t\tShift+F11"),
        item(cmd::DebugRunToCursor, "Run to &Cursor\tCtrl+F10"),
        separator(),
        item(cmd::DebugToggleBreakpoint, "&Toggle Breakpoint\tF9"),
    });
}

// The editor's switches end every View menu, then the debugger's list of
// breakpoints.
void appendEditorSwitches(Items& items)
{
    items.push_back(separator());
    items.push_back(item(cmd::ViewSyntaxColouring, "Syntax &Colouring"));
    items.push_back(item(cmd::ViewLineNumbers, "Line &Numbers"));
    items.push_back(item(cmd::ViewCodeIntelligence, "Code &Intelligence"));
    items.push_back(item(cmd::ViewReopenSession, "&Reopen Last Session"));
    items.push_back(separator());
    items.push_back(item(cmd::ViewBreakpoints, "&Breakpoints"));
}

MenuItem viewMenu()
{
    Items items = {
        item(fw::id::ViewToolbar, "&Toolbar"),
        item(fw::id::ViewStatusBar, "&Status Bar"),
        separator(),
        item(cmd::ViewOptions, "&Options..."),
    };
    appendEditorSwitches(items);
    return popup("&View", std::move(items));
}

MenuItem mainFrameViewMenu()
{
    Items items = {
        item(fw::id::ViewToolbar, "&Toolbar"),
        item(fw::id::ViewStatusBar, "&Status Bar"),
    };
    appendEditorSwitches(items);
    return popup("&View", std::move(items));
}

MenuItem windowMenu()
{
    return popup("&Window", {
        item(cmd::WindowNext, "&Next\tCtrl+Tab"),
        separator(),
        item(fw::id::WindowCascade, "&Cascade"),
        item(fw::id::WindowTileHorz, "Tile &Horizontally"),
        item(fw::id::WindowTileVert, "Tile &Vertically"),
        item(fw::id::WindowArrange, "&Arrange Icons"),
        MenuItem::windowList(),
    });
}

MenuItem helpMenu()
{
    return popup("&Help", {
        item(cmd::LibcReference, "&Libc Reference"),
        item(fw::id::AppAbout, "&About Tarn..."),
    });
}

// The six statement templates; the source context menu spells the first
// one with a capital I.
MenuItem insertStatementMenu(const char* ifText)
{
    return popup("&Insert Statement", {
        item(cmd::InsertIf, ifText),
        item(cmd::InsertIfElse, "if ( ) { } else { }"),
        item(cmd::InsertWhile, "while ( ) { }"),
        item(cmd::InsertDoWhile, "do { } while ( );"),
        item(cmd::InsertFor, "for ( ; ; ) { }"),
        item(cmd::InsertSwitch, "switch ( ) { case: default: }"),
    });
}

Items messageItems()
{
    return {
        item(cmd::ClearMessages, "&Clear Messages"),
        item(cmd::CopyrightVersion, "Copyright and &Version"),
        item(cmd::Tip, "&Tip"),
    };
}

// F4 and Shift+F4 step through the message window's diagnostics; they end
// the Messages menu and the source window's Search menu.
void appendDiagnosticSteps(Items& items)
{
    items.push_back(separator());
    items.push_back(item(cmd::NextDiagnostic, "&Next Diagnostic\tF4"));
    items.push_back(item(cmd::PreviousDiagnostic, "&Previous Diagnostic\tShift+F4"));
}

MenuItem messagesMenu()
{
    Items items = messageItems();
    appendDiagnosticSteps(items);
    return popup("&Messages", std::move(items));
}

MenuItem searchMenu()
{
    Items items = {
        item(fw::id::EditFind, "&Find...\tCtrl+F"),
        item(fw::id::EditRepeat, "F&ind Next\tF3"),
        item(fw::id::EditReplace, "R&eplace\tCtrl+H"),
        separator(),
        item(cmd::GoToLine, "&Go To Line...\tCtrl+G"),
        item(cmd::GoToFunction, "Go To &Function..."),
        findInFiles(),
    };
    appendDiagnosticSteps(items);
    return popup("&Search", std::move(items));
}

Items projectItems()
{
    return {
        item(cmd::InsertFile, "&Insert File..."),
        item(cmd::InsertFolder, "Insert Fol&der..."),
        item(cmd::RemoveFile, "&Remove File"),
        separator(),
        item(cmd::BuildProject, "&Build Project\tCtrl+J"),
        item(cmd::RebuildAll, "Rebuild &All"),
        item(cmd::TouchFile, "&Touch File"),
        item(cmd::TouchAll, "T&ouch All"),
        separator(),
        item(cmd::ExportMakefile, "&Export as Makefile"),
        item(cmd::ExportAndMake, "Export and &Make"),
        separator(),
        item(cmd::SetCompileOptions, "Set &Compile Options..."),
        item(cmd::SetLinkingOptions, "Set &Linking Options..."),
        separator(),
        stopBuild(),
    };
}

fw::MenuLayout mainFrameMenu()
{
    return {
        popup("&File", {
            item(fw::id::FileNew, "&New\tCtrl+N"),
            item(fw::id::FileOpen, "&Open...\tCtrl+O"),
            separator(),
            item(fw::id::FilePrintSetup, "P&rint Setup..."),
            separator(),
            recentFiles(),
            separator(),
            item(fw::id::AppExit, "E&xit"),
        }),
        mainFrameViewMenu(),
        helpMenu(),
    };
}

fw::MenuLayout sourceMenu()
{
    return {
        fileMenu(true),
        popup("&Edit", {
            item(fw::id::EditUndo, "&Undo\tCtrl+Z"),
            separator(),
            item(fw::id::EditCut, "Cu&t\tCtrl+X"),
            item(fw::id::EditCopy, "&Copy\tCtrl+C"),
            item(fw::id::EditPaste, "&Paste\tCtrl+V"),
            item(fw::id::EditSelectAll, "Select A&ll\tCtrl+A"),
            separator(),
            insertStatementMenu("if ( ) { }"),
            item(cmd::InsertDate, "Insert Date"),
            item(cmd::InsertDateTime, "Insert Date/Time"),
            separator(),
            item(cmd::Comment, "Co&mment"),
        }),
        searchMenu(),
        commandsMenu(),
        debugMenu(),
        popup("So&urce", {
            item(cmd::BuildSource, "&Build Source...\tCtrl+B"),
            item(cmd::QuickCompile, "&Quick Compile to Object\tCtrl+Q"),
            separator(),
            item(cmd::GoToDefinition, "Go to &Definition\tF12"),
            item(cmd::GoToDeclaration, "Go to D&eclaration\tCtrl+F12"),
            item(cmd::FindReferences, "Find &References\tShift+F12"),
            item(cmd::SwitchHeaderSource, "&Switch Header/Source\tCtrl+Shift+H"),
            item(cmd::NavigateBack, "Go Bac&k\tAlt+Left"),
            item(cmd::NavigateForward, "Go For&ward\tAlt+Right"),
            separator(),
            item(cmd::RenameSymbol, "Re&name Symbol...\tF2"),
            separator(),
            item(cmd::NextProblem, "Ne&xt Problem\tF8"),
            item(cmd::PreviousProblem, "&Previous Problem\tShift+F8"),
        }),
        viewMenu(),
        windowMenu(),
        helpMenu(),
    };
}

fw::MenuLayout messageMenu()
{
    return {
        fileMenu(false), commandsMenu(), messagesMenu(),
        viewMenu(), windowMenu(), helpMenu(),
    };
}

fw::MenuLayout projectMenu()
{
    Items project = projectItems();
    project.push_back(separator());
    project.push_back(item(cmd::FindInFiles, "&Find in Files...\tCtrl+Shift+F"));
    return {
        fileMenu(false), commandsMenu(), debugMenu(), popup("&Project", std::move(project)),
        viewMenu(), windowMenu(), helpMenu(),
    };
}

fw::MenuLayout mainContextMenu()
{
    return contextMenu({
        item(fw::id::FileNew, "&New Source File\tCtrl+N"),
        item(cmd::FileNewProject, "New Pro&ject"),
        item(fw::id::FileOpen, "&Open...\tCtrl+O"),
        separator(),
        item(cmd::ViewOptions, "&Options..."),
        item(cmd::LibcReference, "&Libc Reference"),
        separator(),
        item(cmd::WindowNext, "&Next\tCtrl+Tab"),
        item(fw::id::WindowCascade, "&Cascade"),
        item(fw::id::WindowTileHorz, "Tile &Horizontally"),
        item(fw::id::WindowTileVert, "Tile &Vertically"),
        item(fw::id::WindowArrange, "&Arrange Icons"),
        separator(),
        item(fw::id::AppExit, "E&xit"),
    });
}

// Delete, Select All, Find and Find and Replace of this menu carry ids of
// their own, not the Edit menu's; Find shows the key of the Edit menu's Find.
fw::MenuLayout sourceContextMenu()
{
    return contextMenu({
        item(fw::id::EditUndo, "&Undo"),
        separator(),
        item(fw::id::EditCut, "Cu&t"),
        item(fw::id::EditCopy, "&Copy"),
        item(fw::id::EditPaste, "&Paste"),
        item(cmd::EditDelete, "&Delete"),
        separator(),
        item(cmd::EditSelectAllText, "Select &All"),
        separator(),
        insertStatementMenu("If ( ) { }"),
        item(cmd::InsertDate, "Insert Date"),
        item(cmd::InsertDateTime, "Insert Date/Time"),
        separator(),
        item(cmd::Comment, "Co&mment"),
        separator(),
        item(cmd::FindInSource, "F&ind...\tCtrl+F"),
        item(cmd::FindReplaceInSource, "Find and &Replace...\tCtrl+R"),
        item(cmd::GoToLine, "&Go To Line...\tCtrl+G"),
        item(cmd::GoToFunction, "Go To &Function..."),
        findInFiles(),
        separator(),
        item(fw::id::FileClose, "C&lose"),
    });
}

// Shown after the source context menu's items, behind a separator, while
// a debugging session runs.
fw::MenuLayout sourceDebugContextMenu()
{
    return contextMenu({
        item(cmd::DebugBreakpointHere, "Toggle &Breakpoint"),
        item(cmd::DebugRunToHere, "Ru&n to Cursor"),
        item(cmd::DebugAddWatchHere, "Add &Watch"),
    });
}

fw::MenuLayout projectContextMenu()
{
    Items items = projectItems();
    items.push_back(separator());
    items.push_back(item(fw::id::FileClose, "&Close"));
    return contextMenu(std::move(items));
}

} // namespace

void addTarnMenus(fw::CommandTable& table)
{
    table.addMenu(menu::MainFrame, mainFrameMenu());
    table.addMenu(menu::Source, sourceMenu());
    table.addMenu(menu::Message, messageMenu());
    table.addMenu(menu::Project, projectMenu());
    table.addMenu(menu::MainContext, mainContextMenu());
    table.addMenu(menu::MessageContext, contextMenu(messageItems()));
    table.addMenu(menu::SourceContext, sourceContextMenu());
    table.addMenu(menu::SourceDebugContext, sourceDebugContextMenu());
    table.addMenu(menu::ProjectContext, projectContextMenu());
}
