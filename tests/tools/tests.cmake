# Tests of src/tools. The runner tests start tarn_tool_helper, a small child
# program with named behaviours; its path reaches them as TARN_TOOL_HELPER.
list(APPEND TARN_CORE_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/BuildVerdictTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandLineTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CompileOptionsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MakeDirectoriesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PathBytesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PathNamesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProcessTreeTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ToolEnvironmentTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WorkerEngineTest.cpp
)
list(APPEND TARN_UI_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/AdvancedSheetTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ChildEndTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ToolRunnerTest.cpp
)

add_executable(tarn_tool_helper ${CMAKE_CURRENT_LIST_DIR}/ToolHelper.cpp)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/ToolRunnerTest.cpp
  PROPERTIES COMPILE_DEFINITIONS "TARN_TOOL_HELPER=\"$<TARGET_FILE:tarn_tool_helper>\"")
# tarn_ui_tests is defined after every tests.cmake is read.
cmake_language(DEFER CALL add_dependencies tarn_ui_tests tarn_tool_helper)
