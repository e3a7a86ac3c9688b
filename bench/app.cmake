# The floor of Tarn's start-up: a bare Qt Widgets window with a menu bar,
# timed against tarn by bench/startup_bench.sh. Qt Widgets alone, so it
# loads no more than a bare program does.
add_executable(bare_window_bench ${CMAKE_CURRENT_LIST_DIR}/bare_window.cpp)
target_include_directories(bare_window_bench PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(bare_window_bench PRIVATE Qt6::Widgets)
