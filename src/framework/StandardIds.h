#pragma once

// Command ids of the framework's standard commands. Their values are part of
// the program's command vocabulary and must not change.
namespace fw::id {
enum : int {
    FileNew = 57600,
    FileOpen = 57601,
    FileClose = 57602,
    FileSave = 57603,
    FileSaveAs = 57604,
    FilePrintSetup = 57606,
    FilePrint = 57607,
    FilePrintPreview = 57609,
    FileMruFirst = 57616,
    AppExit = 57665,
    AppAbout = 57664,
    EditCopy = 57634,
    EditCut = 57635,
    EditFind = 57636,
    EditPaste = 57637,
    EditRepeat = 57640,
    EditReplace = 57641,
    EditSelectAll = 57642,
    EditUndo = 57643,
    WindowArrange = 57649,
    WindowCascade = 57650,
    WindowTileHorz = 57651,
    WindowTileVert = 57652,
    ViewToolbar = 59392,
    ViewStatusBar = 59393,
};
} // namespace fw::id
