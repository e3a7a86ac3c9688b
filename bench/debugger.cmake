# The machine-interface parser's throughput on gdb transcripts recorded on
# this host (tests/debugger/transcripts), against cutting the same bytes into
# lines alone. A plain timing program.
add_executable(debugger_mi_parser_bench ${CMAKE_CURRENT_LIST_DIR}/debugger_mi_parser.cpp)
target_link_libraries(debugger_mi_parser_bench PRIVATE tarncore)
target_compile_definitions(debugger_mi_parser_bench PRIVATE
  TARN_MI_TRANSCRIPTS="${PROJECT_SOURCE_DIR}/tests/debugger/transcripts")

# Step Over through the debugging session (stack, locals and two watches
# read) against gdb's own answer to -exec-next, in the same run, on the
# generated interpreter-shaped program of debugger_bench_program.h.
add_executable(debugger_step_bench ${CMAKE_CURRENT_LIST_DIR}/debugger_step_bench.cpp)
target_link_libraries(debugger_step_bench PRIVATE tarncore)

# Start Debugging to the first breakpoint through the session against gdb's
# own time for the same start, in the same run.
add_executable(debugger_start_bench ${CMAKE_CURRENT_LIST_DIR}/debugger_start_bench.cpp)
target_link_libraries(debugger_start_bench PRIVATE tarncore)

# A long stepping session (10,000 Step Overs over a loop, an array opened at
# every stop): gdb's resident memory at the start and the end, through the
# session and through gdb alone with its variable objects kept or deleted,
# and the step time against gdb's own -exec-next.
add_executable(debugger_long_step_bench ${CMAKE_CURRENT_LIST_DIR}/debugger_long_step_bench.cpp)
target_link_libraries(debugger_long_step_bench PRIVATE tarncore)
# 100 MB written by a program to its terminal reach the Program Output pane
# (offscreen), against script(1) on the same program in the same run; the
# window's longest wait meanwhile.
add_executable(debugger_output_bench ${CMAKE_CURRENT_LIST_DIR}/debugger_output_bench.cpp)
target_link_libraries(debugger_output_bench PRIVATE tarnui)
