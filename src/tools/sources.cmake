# Files of src/tools: command-line composition and output cutting (core),
# the child-process runner and the Advanced Options sheet (widgets).
list(APPEND TARN_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/CommandLine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CompileOptions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OutputLines.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PathNames.cpp
)
list(APPEND TARN_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ToolRunner.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ToolReports.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AdvancedPages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AdvancedSheet.cpp
)
