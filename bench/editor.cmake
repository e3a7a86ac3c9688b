# Benchmarks of the source editor: open and save a large source, and the
# cost of Quick Compile over running gcc directly. Plain timing programs.
add_executable(editor_open_save_bench ${CMAKE_CURRENT_LIST_DIR}/editor_open_save.cpp)
target_link_libraries(editor_open_save_bench PRIVATE tarnui)
add_executable(editor_quick_compile_bench ${CMAKE_CURRENT_LIST_DIR}/editor_quick_compile.cpp)
target_link_libraries(editor_quick_compile_bench PRIVATE tarnui)
# The source scanner's throughput against reading the file alone, and the
# latency of Enter with the typing rules in a very long source.
add_executable(editor_scanner_bench ${CMAKE_CURRENT_LIST_DIR}/editor_scanner.cpp)
target_link_libraries(editor_scanner_bench PRIVATE tarncore)
add_executable(editor_typing_bench ${CMAKE_CURRENT_LIST_DIR}/editor_typing.cpp)
target_link_libraries(editor_typing_bench PRIVATE tarnui)
# Opening a large source with colouring on against off, and Ctrl+End in it.
add_executable(editor_colouring_bench ${CMAKE_CURRENT_LIST_DIR}/editor_colouring.cpp)
target_link_libraries(editor_colouring_bench PRIVATE tarnui)
# Code intelligence with clangd on Lua's sources against clangd's own
# answer time, typing with a server attached, and the stand-in server's
# floods.
add_executable(code_intelligence_bench ${CMAKE_CURRENT_LIST_DIR}/code_intelligence.cpp)
target_link_libraries(code_intelligence_bench PRIVATE tarnui)
target_compile_definitions(code_intelligence_bench PRIVATE
  $<$<TARGET_EXISTS:tarn_lsp_standin>:TARN_LSP_STANDIN="$<TARGET_FILE:tarn_lsp_standin>">)
# A 5 MB C source opened, shown and painted against a bare QsciScintilla
# with QsciLexerCPP given the same bytes, alternating (medians, ratio, load).
add_executable(editor_open_floor_bench ${CMAKE_CURRENT_LIST_DIR}/editor_open_floor.cpp)
target_link_libraries(editor_open_floor_bench PRIVATE tarnui)
