# Files of src/settings: the Tarn32.ini codec (core) and IdeSettings, the
# program's settings with their font (widgets). Every layer reads them; the
# Options dialog that edits them is in src/app.
list(APPEND TARN_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/DebuggerPanesSection.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EditorSections.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LanguageSection.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LogFontRecord.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SettingsCodec.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SettingsProfile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ToolDiscovery.cpp
)
list(APPEND TARN_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/FontRecord.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IdeSettings.cpp
)
