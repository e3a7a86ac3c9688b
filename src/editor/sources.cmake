# Files of src/editor: the edit-control layer and text facts (core), the
# source document and view (widgets).
list(APPEND TARN_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/LineSelection.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PreprocessorCondition.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SourceIndent.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SourceKind.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SourceInsertions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SourceNavigation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SourceScanner.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SourceStyleRun.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SourceStyleStates.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SourceStyler.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SourceText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextPieces.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WordCompletion.cpp
)
list(APPEND TARN_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/CFunctionDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CGotoLineDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CSourceLexer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CTarnDoc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CTarnView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CTarnViewAids.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CTarnViewCompletion.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CTarnViewSearch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DebugMargin.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EditGap.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FindReplaceDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ScintillaEditControl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SourcePrinting.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SourceIntelligence.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SourceIntelligenceActions.cpp
)
