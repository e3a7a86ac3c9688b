# Benchmarks of the source editor: open and save a large source, and the
# cost of Quick Compile over running gcc directly. Plain timing programs.
add_executable(editor_open_save_bench ${CMAKE_CURRENT_LIST_DIR}/editor_open_save.cpp)
target_link_libraries(editor_open_save_bench PRIVATE tarnui)
add_executable(editor_quick_compile_bench ${CMAKE_CURRENT_LIST_DIR}/editor_quick_compile.cpp)
target_link_libraries(editor_quick_compile_bench PRIVATE tarnui)
