# Tests of the settings: the Tarn32.ini codec (core) and IdeSettings with the
# Options dialog (widgets).
list(APPEND TARN_CORE_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/DebuggerPanesSectionTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EditorSectionsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SettingsFileTest.cpp
)
list(APPEND TARN_UI_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/OptionsDialogTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SettingsLoadSaveTest.cpp
)
