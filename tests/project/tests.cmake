# Tests of src/project
list(APPEND TARN_CORE_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/BuildStepsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FolderSourcesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProjectBuildEndToEndTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HonestBuildTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MakefileWriterTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProjectBuildRunTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProjectByteNamesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProjectCommandLineTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProjectFileCodecTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProjectTreeLayoutTest.cpp
)
list(APPEND TARN_UI_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/ProjectBuildCommandsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProjectCommandsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProjectDocumentTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProjectTreeViewTest.cpp
)
