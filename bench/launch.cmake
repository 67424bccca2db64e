# The launch files: server INI over a large template, and the command line.
add_executable(bench_launch LaunchBench.cpp)
target_link_libraries(bench_launch PRIVATE quarnel_core benchmark::benchmark_main)
