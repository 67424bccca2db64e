# The server INI rewrite over arbitrary template bytes and settings.
add_executable(fuzz_server_ini ServerIniFuzz.cpp)
target_link_libraries(fuzz_server_ini PRIVATE quarnel_core)
target_compile_options(fuzz_server_ini PRIVATE -fsanitize=fuzzer)
target_link_options(fuzz_server_ini PRIVATE -fsanitize=fuzzer)
