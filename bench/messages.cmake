# Appending a million rows to the message window (a plain timing program).
add_executable(bench_message_window ${CMAKE_CURRENT_LIST_DIR}/message_window.cpp)
target_link_libraries(bench_message_window PRIVATE tarnui)
# A worker flooding the message window while the interface thread adds rows:
# the longest event-loop gap.
add_executable(bench_message_flood ${CMAKE_CURRENT_LIST_DIR}/message_flood_bench.cpp)
target_link_libraries(bench_message_flood PRIVATE tarnui)
