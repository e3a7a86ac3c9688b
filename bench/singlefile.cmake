# Benchmarks of the single-file tools: Build Source against gcc run
# directly, and a flooding make run on a worker while the event loop is
# watched. Plain timing programs.
add_executable(bench_build_source ${CMAKE_CURRENT_LIST_DIR}/build_source_bench.cpp)
target_link_libraries(bench_build_source PRIVATE tarnui)
add_executable(bench_make_flood ${CMAKE_CURRENT_LIST_DIR}/make_flood_bench.cpp)
target_link_libraries(bench_make_flood PRIVATE tarnui)
