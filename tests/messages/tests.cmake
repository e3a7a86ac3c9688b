# Tests of src/messages
list(APPEND TARN_CORE_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/MessageClassifierTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MessageStoreTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MessageTipsTest.cpp
)
list(APPEND TARN_UI_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/MessageViewTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MessageWindowTest.cpp
)
