# Files of src/resources: command ids, the command table, menu layouts and
# the toolbar as data.
list(APPEND TARN_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/TarnCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TarnMenus.cpp
)
