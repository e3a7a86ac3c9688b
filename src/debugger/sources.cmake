# Files of src/debugger: the integrated debugger. The machine-interface
# parser, the command tokens and the session with gdb are core (QtCore only).
list(APPEND TARN_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/MiValue.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MiParser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MiCommand.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DebugState.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DebugSession.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DebugSessionBreakpoints.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DebugSessionVariables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GdbProcess.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProgramTerminal.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TerminalText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProjectTarget.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SourceProgram.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProgramProcesses.cpp
)
# The Debug menu's commands and the panes (widgets).
list(APPEND TARN_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/DebugController.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DebugPanes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BreakpointsPane.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PaneColumns.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProgramOutputPane.cpp
)
