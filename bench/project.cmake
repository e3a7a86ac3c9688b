# Benchmarks of projects: load and save a project of 500 sources, and the
# tree rebuild of 500 sources of about 2,000 lines (the scan alone as the
# floor). Plain timing programs.
add_executable(project_file_bench ${CMAKE_CURRENT_LIST_DIR}/project_file_bench.cpp)
target_link_libraries(project_file_bench PRIVATE tarncore)
add_executable(project_tree_bench ${CMAKE_CURRENT_LIST_DIR}/project_tree_bench.cpp)
target_link_libraries(project_tree_bench PRIVATE tarnui)
