# quarnel-cli: the headless companion. Its command logic sits in a library of its own so
# that tests can drive it without a process.
add_library(quarnel_cli STATIC
  cli/Cli.cpp
  cli/Commands.cpp
  cli/StoreCommands.cpp
  cli/XdgShellOpener.cpp
)
target_link_libraries(quarnel_cli PUBLIC quarnel_core)

add_executable(quarnel-cli cli/main.cpp)
target_link_libraries(quarnel-cli PRIVATE quarnel_cli)
install(TARGETS quarnel-cli RUNTIME DESTINATION bin)
