# Files of src/app: application object, main frame, child frames, About box.
list(APPEND TARN_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/HeadlessMode.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StopSignals.cpp
)
list(APPEND TARN_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/AppIdentity.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CAboutDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CChildFrame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CIDEOptionsDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CMainFrame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CTarnApp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FindInFilesCommand.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LockKeys.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainFrameTools.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WindowPlaces.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RecoveredWork.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TarnIcons.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ToolbarIcons.cpp
)
# --version prints the project's version.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/HeadlessMode.cpp
  PROPERTIES COMPILE_DEFINITIONS "TARN_VERSION=\"${PROJECT_VERSION}\"")
