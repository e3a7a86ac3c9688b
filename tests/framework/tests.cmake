# Tests of src/framework
list(APPEND TARN_CORE_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/BrokenRulesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MdiLayoutTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SafeSaveTest.cpp
)
list(APPEND TARN_UI_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/CommandRoutingTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DocumentTest.cpp
)
