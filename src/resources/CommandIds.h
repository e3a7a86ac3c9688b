#pragma once

#include "framework/StandardIds.h"

// Tarn's own command ids and menu resource ids. The values are fixed: menu
// layouts, accelerators and the toolbar refer to them.
namespace cmd {
enum : int {
    EditDelete = 32787,       // source context menu "&Delete"
    EditSelectAllText = 32788, // source context menu "Select &All"
    InsertIf = 32795,
    InsertIfElse = 32796,
    InsertWhile = 32797,
    InsertDoWhile = 32798,
    InsertSwitch = 32799,
    InsertFor = 32800,
    Comment = 32804,
    GoToLine = 32807,
    FindInSource = 32831,     // source context menu "F&ind..."
    FindReplaceInSource = 32832, // "Find and &Replace...", Ctrl+R
    RunExecutable = 32833,
    Link = 32771,
    Make = 32772,
    BuildSource = 32773,
    QuickCompile = 32775,
    Debug = 32776,
    InsertFile = 32779,
    RemoveFile = 32780,
    BuildProject = 32781,
    ViewOptions = 32836,
    SetCompileOptions = 32838,
    RebuildAll = 32839,
    SetLinkingOptions = 32840,
    ClearMessages = 32842,
    CopyrightVersion = 32843,
    Tip = 32844,
    ExportMakefile = 32849,
    ExportAndMake = 32850,
    FileNewProject = 32851,
    InsertDateTime = 32852,
    InsertDate = 32854,
    LibcReference = 32855,
    WindowNext = 32857,
    GoToFunction = 32858,
    TouchFile = 32859,
    TouchAll = 32860,
    Escape = 32768,           // bound to Esc; nothing handles it
    // Stepping through the diagnostics of the message window (F4, Shift+F4).
    NextDiagnostic = 33100,
    PreviousDiagnostic = 33101,
    // Ends the running makes and project builds (Ctrl+Break).
    StopBuild = 33102,
    // Searches the files of a folder tree (Ctrl+Shift+F).
    FindInFiles = 33110,
    // Inserts the files of a folder tree into the project.
    InsertFolder = 33111,
    // The View menu's editor switches, kept in [Editor] of Tarn32.ini.
    ViewSyntaxColouring = 33120,
    ViewLineNumbers = 33121,
    ViewReopenSession = 33122,
    // Shows or hides the debugger's Breakpoints pane, with or without a session.
    ViewBreakpoints = 33123,
    // The Debug menu: the integrated debugger.
    DebugStart = 33130,
    DebugStop = 33131,
    DebugBreak = 33132,
    DebugStepOver = 33133,
    DebugStepInto = 33134,
    DebugStepOut = 33135,
    DebugRunToCursor = 33136,
    DebugToggleBreakpoint = 33137,
    // The source context menu's debugging items: the line or word under the
    // mouse where the menu was opened.
    DebugBreakpointHere = 33138,
    DebugRunToHere = 33139,
    DebugAddWatchHere = 33140,
    // Code intelligence: the Source menu's jumps, lists and rename, the
    // problems of the window, the navigation history, and its switch.
    GoToDefinition = 33150,
    GoToDeclaration = 33151,
    FindReferences = 33152,
    SwitchHeaderSource = 33153,
    RenameSymbol = 33154,
    NextProblem = 33155,
    PreviousProblem = 33156,
    NavigateBack = 33157,
    NavigateForward = 33158,
    ViewCodeIntelligence = 33124,
};
} // namespace cmd

// Menu resources: menu bars of each window type and the context menus.
namespace menu {
enum : int {
    MainFrame = 128,
    Source = 129,
    MainContext = 153,
    MessageContext = 154,
    Message = 155,
    SourceContext = 156,
    Project = 157,
    ProjectContext = 158,
    // Added below the source context menu while a debugging session runs.
    SourceDebugContext = 159,
};
} // namespace menu
