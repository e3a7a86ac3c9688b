# Files of src/singlefile: Quick Compile, Build Source, Link, Make, Run and
# Debug. The command composition and the terminal launch are core; the
# dialogs and the runs on the user-interface thread are UI.
list(APPEND TARN_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/SingleFileCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TerminalLaunch.cpp
)
list(APPEND TARN_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/QuickCompile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/InterfaceGccRun.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LinkListBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CSourceBuildDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BuildSource.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CLinkDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MakeRun.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CMakeDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RunInTerminal.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RunDebugDialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BrowseFolders.cpp
)
