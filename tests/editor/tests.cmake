# Tests of src/editor
list(APPEND TARN_CORE_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/EditorAidsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MemoryEditControlTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SourceScannerTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SourceStylerPiecesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SourceTextTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WordCompletionTest.cpp
)
list(APPEND TARN_UI_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/EditGapTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EditorAidsViewTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ScintillaEditControlTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SourceColouringTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SourceDocumentTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SourceFontTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SourceGreyingTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SourceStylerTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SourceViewTest.cpp
)
