# Files of src/project: project document, tree view and frame, the option
# dialogs and the project commands.
list(APPEND TARN_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/CProjectDoc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CProjectFrame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CProjectLinkDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CProjectView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CProjectViewCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProjectIcons.cpp
)

# QtCore only: the project file codec (also used by the command-line builds),
# the tree layout, the scans behind it, touching and the link-dialog names.
list(APPEND TARN_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ProjectFileCodec.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProjectLinkNames.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProjectSourceScan.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProjectTreeLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TouchFile.cpp
)
