# Tests of src/singlefile
list(APPEND TARN_CORE_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/SingleFileCommandsTest.cpp
)
list(APPEND TARN_UI_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/SingleFileToolsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MakeDiagnosticsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DialogStumblesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ToolLocaleTest.cpp
)
# The Run and Debug tests start the real tarn as the terminal's waiter.
cmake_language(DEFER CALL add_dependencies tarn_ui_tests tarn)
