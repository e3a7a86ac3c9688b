# Files of src/project: project document, tree view and frame.
list(APPEND TARN_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/CProjectDoc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CProjectFrame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CProjectView.cpp
)
