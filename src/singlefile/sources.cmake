# Files of src/singlefile: Quick Compile (the command line is core, the run
# is on widgets).
list(APPEND TARN_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/QuickCompileLine.cpp
)
list(APPEND TARN_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/QuickCompile.cpp
)
