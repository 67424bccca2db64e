# Loading and saving a .cfg file with thousands of map lines.
add_executable(bench_config ConfigBench.cpp)
target_link_libraries(bench_config PRIVATE quarnel_core benchmark::benchmark_main)
