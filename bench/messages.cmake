# Appending a million rows to the message window (a plain timing program).
add_executable(bench_message_window ${CMAKE_CURRENT_LIST_DIR}/message_window.cpp)
target_link_libraries(bench_message_window PRIVATE tarnui)
