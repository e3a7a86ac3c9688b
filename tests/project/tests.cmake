# Tests of src/project
list(APPEND TARN_UI_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/ProjectDocumentTest.cpp
)
