# Listing and filtering a large maps folder.
add_executable(bench_game MapFolderBench.cpp)
target_link_libraries(bench_game PRIVATE quarnel_core benchmark::benchmark_main)
