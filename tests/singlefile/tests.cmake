# Tests of src/singlefile
list(APPEND TARN_CORE_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/QuickCompileLineTest.cpp
)
list(APPEND TARN_UI_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/MainRoadTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuickCompileTest.cpp
)
