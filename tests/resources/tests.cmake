# Tests of src/resources
list(APPEND TARN_UI_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/CommandTableTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MenuBuildTest.cpp
)
