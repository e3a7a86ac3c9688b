# Files of src/search: Find in Files. The matcher, the tree walk and the
# job are core; the dialog and the main window's command are UI.
list(APPEND TARN_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/FindMatcher.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RegexScan.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TreeSearch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FindInFiles.cpp
)
list(APPEND TARN_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/FindInFilesDialog.cpp
)
