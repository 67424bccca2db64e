# Loading a .cfg file from arbitrary bytes, then saving what was loaded.
add_executable(fuzz_loadconfig ConfigFuzz.cpp)
target_link_libraries(fuzz_loadconfig PRIVATE quarnel_core)
target_compile_options(fuzz_loadconfig PRIVATE -fsanitize=fuzzer)
target_link_options(fuzz_loadconfig PRIVATE -fsanitize=fuzzer)
