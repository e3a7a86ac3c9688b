# Find in Files over a generated tree of 100 copies of a C project, shown in
# the message window, against grep -rnI on the same tree (a plain timing
# program).
add_executable(bench_find_in_files ${CMAKE_CURRENT_LIST_DIR}/find_in_files_bench.cpp)
target_link_libraries(bench_find_in_files PRIVATE tarnui)
