# Files of src/debugger: the integrated debugger. The machine-interface
# parser and the command tokens are core (QtCore only).
list(APPEND TARN_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/MiValue.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MiParser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MiCommand.cpp
)
