# Files of src/project: project document, tree view and frame; the build
# plan, its run and the Makefile writer (core).
list(APPEND TARN_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/BuildJob.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BuildSteps.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandLineBuild.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MakefileWriter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProjectBuildRun.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProjectJobs.cpp
)
list(APPEND TARN_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/CProjectDoc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CProjectFrame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CProjectView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProjectBuildCommands.cpp
)

# QtCore only: the project file codec, also used by the command-line builds.
list(APPEND TARN_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ProjectFileCodec.cpp
)
