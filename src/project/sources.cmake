# Files of src/project: project document, tree view and frame, the option
# dialogs and the project commands; the build plan, its run, the Makefile
# writer and the command-line builds (core).
list(APPEND TARN_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/BuildJob.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BuildSteps.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandLineBuild.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CompileCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MakefileWriter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProjectBuildRun.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProjectJobs.cpp
)
list(APPEND TARN_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/CProjectDoc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CProjectFrame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CProjectLinkDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CProjectView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CProjectViewCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/InsertFolderDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProjectBuildCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProjectIcons.cpp
)

# QtCore only: the project file codec (also used by the command-line builds),
# the tree layout, the scans behind it, touching and the link-dialog names.
list(APPEND TARN_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/FolderSources.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProjectFileCodec.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProjectLinkNames.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProjectSourceScan.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProjectTreeLayout.cpp
)
