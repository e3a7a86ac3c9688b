# Tests of src/language: framing, the protocol's values and a server on its
# worker, against a stand-in server that misbehaves on request (core).
list(APPEND TARN_CORE_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/LspFramingTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LspProtocolTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LanguageServerTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CodeIntelligenceTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SourceEditsTest.cpp
)
add_executable(tarn_lsp_standin ${CMAKE_CURRENT_LIST_DIR}/StandInServer.cpp)
target_link_libraries(tarn_lsp_standin PRIVATE tarncore)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/LanguageServerTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CodeIntelligenceTest.cpp PROPERTIES COMPILE_DEFINITIONS "TARN_LSP_STANDIN=\"$<TARGET_FILE:tarn_lsp_standin>\"")
cmake_language(DEFER CALL add_dependencies tarn_core_tests tarn_lsp_standin)
# Source windows with the real clangd (widgets).
list(APPEND TARN_UI_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/CodeIntelligenceViewTest.cpp
)
