# Tests of src/app
include(${CMAKE_CURRENT_LIST_DIR}/settings.cmake)
list(APPEND TARN_CORE_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/CommandLineStopTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WindowEndTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HeadlessModeTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LayerOrderTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ManualPageTest.cpp
)
list(APPEND TARN_UI_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/CloseFocusTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EditorSwitchesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EndFromOutsideTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainFrameTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MenuOpenTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SessionTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StartupTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WordCompletionViewTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/X11TitleTest.cpp
)
