# Saving and loading the remembered settings with a thousand selected maps.
add_executable(bench_registry RegistryBench.cpp)
target_link_libraries(bench_registry PRIVATE quarnel_core benchmark::benchmark_main)
