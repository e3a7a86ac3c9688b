# Files of src/framework: our own small document/view layer on Qt Widgets,
# and the checked rules every layer uses (core).
list(APPEND TARN_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Assert.cpp
)
list(APPEND TARN_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Application.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandRouter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandTarget.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DocTemplate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Document.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MdiChildFrame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MdiMainFrame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OpenFileDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Prompts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RecentFileList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/View.cpp
)

# The framework's QtCore-only helpers.
list(APPEND TARN_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/FileNameBytes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MdiLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SafeSave.cpp
)
