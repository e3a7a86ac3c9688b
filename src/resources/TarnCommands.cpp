#include "resources/TarnCommands.h"

#include "resources/CommandIds.h"

namespace {

using Keys = QList<QKeySequence>;

QKeySequence key(QKeyCombination combination)
{
    return QKeySequence(combination);
}

// Status-bar prompt and tooltip of every command, with the keys of the one
// accelerator table that serves every window.
void addCommands(fw::CommandTable& table)
{
    auto add = [&table](int id, const char* prompt, const char* tooltip, Keys keys = {}) {
        table.addCommand({id, QString::fromUtf8(prompt), QString::fromUtf8(tooltip), std::move(keys)});
    };
    using namespace fw::id;
    using namespace cmd;

    // File
    add(FileNew, "Create a new document", "New", {key(Qt::CTRL | Qt::Key_N)});
    add(FileNewProject, "Create a new project", "New Project");
    add(FileOpen, "Open an existing document", "Open", {key(Qt::CTRL | Qt::Key_O)});
    add(FileClose, "Close the active document", "Close");
    add(FileSave, "Save the active document", "Save", {key(Qt::CTRL | Qt::Key_S)});
    add(FileSaveAs, "Save the active document with a new name", "Save As");
    add(FilePrint, "Print the active document", "Print", {key(Qt::CTRL | Qt::Key_P)});
    add(FilePrintPreview, "Display full pages", "Print Preview");
    add(FilePrintSetup, "Change the printer and printing options", "Print Setup");
    // The recent-file list holds two entries.
    add(FileMruFirst, "Open this document", "");
    add(FileMruFirst + 1, "Open this document", "");
    add(AppExit, "Quit the application; prompts to save documents", "Exit");

    // Edit
    add(EditUndo, "Undo the last action", "Undo",
        {key(Qt::CTRL | Qt::Key_Z), key(Qt::ALT | Qt::Key_Backspace)});
    add(EditCut, "Cut the selection and put it on the Clipboard", "Cut",
        {key(Qt::CTRL | Qt::Key_X), key(Qt::SHIFT | Qt::Key_Delete)});
    add(EditCopy, "Copy the selection and put it on the Clipboard", "Copy",
        {key(Qt::CTRL | Qt::Key_C), key(Qt::CTRL | Qt::Key_Insert)});
    add(EditPaste, "Insert Clipboard contents", "Paste",
        {key(Qt::CTRL | Qt::Key_V), key(Qt::SHIFT | Qt::Key_Insert)});
    add(EditSelectAll, "Select the entire document", "Select All", {key(Qt::CTRL | Qt::Key_A)});
    add(EditDelete, "Delete Selection", "Delete");
    add(EditSelectAllText, "Select all text in the source", "Select All");
    add(InsertIf, "Insert an if statement into the source", "if");
    add(InsertIfElse, "Insert an if-else statement into the source", "if-else");
    add(InsertWhile, "Insert a while loop into the source", "while");
    add(InsertDoWhile, "Insert a do-while loop into the source", "do-while");
    add(InsertFor, "Insert a for loop into the source", "for");
    add(InsertSwitch, "Insert a switch statement into the source", "switch");
    add(InsertDate, "Inserts the current date in the text", "Insert Date");
    add(InsertDateTime, "Inserts the date and time in the text", "Insert Date/Time");
    add(Comment, "Comments out selected code", "Comment");

    // Search
    add(EditFind, "Find the specified text", "Find", {key(Qt::CTRL | Qt::Key_F)});
    add(EditRepeat, "Repeat the last action", "Repeat", {key(QKeyCombination(Qt::Key_F3))});
    add(EditReplace, "Replace specific text with different text", "Replace", {key(Qt::CTRL | Qt::Key_H)});
    add(FindInSource, "Search for text within the source", "Find");
    add(FindReplaceInSource, "Search for and replace text in the source", "Find and Replace",
        {key(Qt::CTRL | Qt::Key_R)});
    add(GoToLine, "Jump to a line in the source", "Go To Line", {key(Qt::CTRL | Qt::Key_G)});
    add(GoToFunction, "Jump to a function in the source", "Go To Function");
    add(FindInFiles, "Search for text in the files of a folder and its subfolders", "Find in Files",
        {key(Qt::CTRL | Qt::SHIFT | Qt::Key_F)});

    // Commands and Source
    add(RunExecutable, "Choose an executable to run", "Run", {key(Qt::CTRL | Qt::Key_E)});
    add(Link, "Link libraries and object files into an executable", "Link");
    add(Make, "Run make on the source file", "Make");
    add(Debug, "Choose an executable to debug", "Debug");
    // Ctrl+Break: the Break key is Qt::Key_Pause.
    add(StopBuild, "Stop the running builds and makes", "Stop Build", {key(Qt::CTRL | Qt::Key_Pause)});
    add(BuildSource, "Build source into an executable", "Build Source", {key(Qt::CTRL | Qt::Key_B)});
    add(QuickCompile, "Compile source into object (*.o) code", "Quick Compile", {key(Qt::CTRL | Qt::Key_Q)});

    // Debug
    add(DebugStart, "Start debugging the program, or continue it where it stopped",
        "Start Debugging / Continue", {key(QKeyCombination(Qt::Key_F5))});
    add(DebugStop, "End the program and the debugger", "Stop Debugging", {key(Qt::SHIFT | Qt::Key_F5)});
    add(DebugBreak, "Stop the running program where it is", "Break",
        {key(Qt::CTRL | Qt::ALT | Qt::Key_Pause)});
    add(DebugStepOver, "Run the current line, stepping over function calls", "Step Over",
        {key(QKeyCombination(Qt::Key_F10))});
    add(DebugStepInto, "Run the current line, stepping into the function it calls", "Step Into",
        {key(QKeyCombination(Qt::Key_F11))});
    add(DebugStepOut, "Run until the current function returns", "Step Out",
        {key(Qt::SHIFT | Qt::Key_F11)});
    add(DebugRunToCursor, "Run the program until it reaches the line of the caret", "Run to Cursor",
        {key(Qt::CTRL | Qt::Key_F10)});
    add(DebugToggleBreakpoint, "Set or clear a breakpoint on the line of the caret", "Toggle Breakpoint",
        {key(QKeyCombination(Qt::Key_F9))});
    add(DebugBreakpointHere, "Set or clear a breakpoint on the line under the mouse", "Toggle Breakpoint");
    add(DebugRunToHere, "Run the program until it reaches the line under the mouse", "Run to Cursor");
    add(DebugAddWatchHere, "Watch the value of the word under the mouse", "Add Watch");

    // View, Window, Help
    add(ViewToolbar, "Show or hide the toolbar", "Toggle ToolBar");
    add(ViewStatusBar, "Show or hide the status bar", "Toggle StatusBar");
    add(ViewOptions, "Set options for the IDE", "View Options");
    add(ViewSyntaxColouring, "Colour the source windows by the kind of their files",
        "Syntax Colouring");
    add(ViewLineNumbers, "Show or hide line numbers in the source windows", "Line Numbers");
    add(ViewReopenSession, "Open the windows of the last session when Tarn starts",
        "Reopen Last Session");
    add(ViewBreakpoints, "Show or hide the list of breakpoints", "Breakpoints");
    add(ViewCodeIntelligence, "Let clangd check, complete and navigate the source windows",
        "Code Intelligence");
    add(WindowNext, "Show next window", "Next", {key(Qt::CTRL | Qt::Key_Tab)});
    add(WindowCascade, "Arrange windows so they overlap", "Cascade Windows");
    add(WindowTileHorz, "Arrange windows as non-overlapping tiles", "Tile Windows");
    add(WindowTileVert, "Arrange windows as non-overlapping tiles", "Tile Windows");
    add(WindowArrange, "Arrange icons at the bottom of the window", "Arrange Icons");
    add(LibcReference, "Browse the libc reference help file", "Lib-c Reference");
    add(AppAbout, "Display program information, version number and copyright", "About");

    // Code intelligence
    add(GoToDefinition, "Open the definition of the name at the caret", "Go to Definition",
        {key(QKeyCombination(Qt::Key_F12))});
    add(GoToDeclaration, "Open the declaration of the name at the caret", "Go to Declaration",
        {key(Qt::CTRL | Qt::Key_F12)});
    add(FindReferences, "List every use of the name at the caret in the message window",
        "Find References", {key(Qt::SHIFT | Qt::Key_F12)});
    add(SwitchHeaderSource, "Open the header of this source, or the source of this header",
        "Switch Header/Source", {key(Qt::CTRL | Qt::SHIFT | Qt::Key_H)});
    add(RenameSymbol, "Rename the name at the caret everywhere it is used", "Rename Symbol",
        {key(QKeyCombination(Qt::Key_F2))});
    add(NextProblem, "Show the next problem clangd found in this window", "Next Problem",
        {key(QKeyCombination(Qt::Key_F8))});
    add(PreviousProblem, "Show the previous problem clangd found in this window", "Previous Problem",
        {key(Qt::SHIFT | Qt::Key_F8)});
    add(NavigateBack, "Go back to where the last jump came from", "Back", {key(Qt::ALT | Qt::Key_Left)});
    add(NavigateForward, "Go forward again", "Forward", {key(Qt::ALT | Qt::Key_Right)});

    // Messages
    add(ClearMessages, "Erases all messages from the window", "Clear Messages");
    add(CopyrightVersion, "Display copyright and version info in message window", "Copyright and Version");
    add(Tip, "Display a tip of the day in the message window", "Tip");
    add(NextDiagnostic, "Show the source line of the next diagnostic in the message window",
        "Next Diagnostic", {key(QKeyCombination(Qt::Key_F4))});
    add(PreviousDiagnostic, "Show the source line of the previous diagnostic in the message window",
        "Previous Diagnostic", {key(Qt::SHIFT | Qt::Key_F4)});

    // Project
    add(InsertFile, "Inserts a file into the project list", "Insert File");
    add(InsertFolder, "Inserts the source files of a folder and its subfolders into the project list",
        "Insert Folder");
    add(RemoveFile, "Removes a file from the project list", "Remove File");
    add(BuildProject, "Builds changed sources in the project", "Build Project", {key(Qt::CTRL | Qt::Key_J)});
    add(RebuildAll, "Rebuilds all sources in the project", "Rebuild All");
    add(TouchFile, "Move up the last modified time of a file", "Touch File");
    add(TouchAll, "\"Touch\" all the files in the project", "Touch All");
    add(ExportMakefile, "Export the project as a makefile", "Export as Makefile");
    add(ExportAndMake, "Export the project and run make on the resulting file", "Export and Make");
    add(SetCompileOptions, "Set compiling command line options for the project", "Set Compile Options");
    add(SetLinkingOptions, "Set linking command line options for the project", "Set Linking Options");

    // Escape has an id of its own that no window handles, so the key does
    // nothing (and is passed on to the focused widget).
    add(Escape, "", "", {key(QKeyCombination(Qt::Key_Escape))});
}

fw::CommandTable buildTable()
{
    fw::CommandTable table;
    addCommands(table);
    addTarnMenus(table);
    return table;
}

} // namespace

const fw::CommandTable& tarnCommandTable()
{
    static const fw::CommandTable table = buildTable();
    return table;
}

const std::vector<int>& tarnToolbarLayout()
{
    using namespace fw::id;
    using namespace cmd;
    static const std::vector<int> layout = {
        FileNew, FileNewProject, FileOpen, FileSave, FilePrint, 0,
        EditCut, EditCopy, EditPaste, 0,
        RunExecutable, Link, Debug, 0,
        BuildSource, QuickCompile, 0,
        InsertFile, RemoveFile, BuildProject, 0,
        LibcReference, 0,
        DebugStart, DebugBreak, DebugStop, DebugStepOver, DebugStepInto, DebugStepOut,
        DebugToggleBreakpoint,
    };
    return layout;
}
