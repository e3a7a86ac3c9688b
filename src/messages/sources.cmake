# Files of src/messages: the message window. The row store, classification,
# log format, tips, and the message queue are core (QtCore only); the widgets are UI.
list(APPEND TARN_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/MessageClassifier.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MessageLog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MessageStore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RowBytes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MessageTips.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MessageSink.cpp
)
list(APPEND TARN_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/MessageIcons.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MessageListWidget.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CMessageView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CMessageDoc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CMessageFrame.cpp
)
