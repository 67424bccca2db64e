# The live command line of the window: forming it, and one update of the field, over a
# maps folder of 10,000 maps with 5,000 selected.
add_executable(bench_command_line CommandLineBench.cpp)
target_link_libraries(bench_command_line PRIVATE quarnel_core benchmark::benchmark)
if(TARGET quarnel_ui)
  target_link_libraries(bench_command_line PRIVATE quarnel_ui)
  target_compile_definitions(bench_command_line PRIVATE QUARNEL_BENCH_WINDOW)
endif()
