# Files of src/messages: the message window.
list(APPEND TARN_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/MessageSink.cpp
)
