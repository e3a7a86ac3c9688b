# Tests of src/debugger: the machine-interface parser on tables and on
# transcripts recorded from the host's gdb, and the command tokens (core).
list(APPEND TARN_CORE_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/MiParserTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MiStreamTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MiTranscriptTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MiCommandTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MiRobustnessTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DebugStateTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DebugSessionTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DebugBadInputTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GdbProcessTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProgramTerminalTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProjectTargetTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SourceProgramTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TerminalTextTest.cpp
)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/MiTranscriptTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MiRobustnessTest.cpp PROPERTIES
  COMPILE_DEFINITIONS TARN_MI_TRANSCRIPTS="${CMAKE_CURRENT_LIST_DIR}/transcripts")
# The debugger in Tarn's windows (widgets, real gdb).
list(APPEND TARN_UI_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/DebugWindowTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DebugFirstStartTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BreakpointBookTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DebugProjectTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DebugPanesBadInputTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DebugBreakpointsKeptTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DebugMarksTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DebugContextMenuTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DebugPanesLayoutTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DebugPanesOnDemandTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BreakpointsPaneTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProgramOutputPaneTest.cpp
)
