# Files of src/tools: command composition, output cutting and the one road
# of tool runs (child runs, reports in batches, jobs) (core),
# the interface thread's wait for a run and the Advanced Options sheet
# (widgets).
list(APPEND TARN_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/CommandLine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CompileOptions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PathNames.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FolderEntries.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PathBytes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ToolCommand.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LinkEntries.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ToolSession.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ToolPathMessages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BuildVerdict.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ToolEnvironment.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ChildStart.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProcessTree.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ChildRun.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WorkerChild.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MakeDirectories.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WorkerReports.cpp
  ${CMAKE_CURRENT_LIST_DIR}/JobManager.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MakeJob.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StopJobs.cpp
)
list(APPEND TARN_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ToolRunner.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AdvancedPages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AdvancedSheet.cpp
)
