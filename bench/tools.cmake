# A child flooding standard error, run as Quick Compile runs gcc and shown in
# the message window, against the same child writing to /dev/null and into a
# pipe that cat drains (a plain timing program).
add_executable(bench_tool_child ${CMAKE_CURRENT_LIST_DIR}/tool_child.cpp)
add_executable(bench_tool_runner ${CMAKE_CURRENT_LIST_DIR}/tool_runner_bench.cpp)
target_link_libraries(bench_tool_runner PRIVATE tarnui)
target_compile_definitions(bench_tool_runner PRIVATE
  TARN_BENCH_CHILD="$<TARGET_FILE:bench_tool_child>")
add_dependencies(bench_tool_runner bench_tool_child)
