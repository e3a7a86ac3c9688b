# Files of src/language: the client of a language server (clangd): message
# framing, requests and answers, the protocol's values, the server on its
# worker and the servers the open windows need (core, QtCore only).
list(APPEND TARN_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/LspFraming.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LspConnection.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LspProtocol.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LanguageServer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CodeIntelligence.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SourceEdits.cpp
)
