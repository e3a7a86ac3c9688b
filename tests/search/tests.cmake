# Tests of src/search: the matcher and the tree search against grep (core),
# the dialog and the rows in the message window (widgets).
list(APPEND TARN_CORE_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/FindMatcherTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RegexScanTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TreeSearchTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FindInFilesTest.cpp
)
list(APPEND TARN_UI_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/FindInFilesViewTest.cpp
)
