quarnel_add_tests(cli_tests
  cli/CliTest.cpp
)
add_dependencies(cli_tests quarnel-cli)
target_compile_definitions(cli_tests PRIVATE
  QUARNEL_CLI="$<TARGET_FILE:quarnel-cli>"
  QUARNEL_DEMO_CFG="${PROJECT_SOURCE_DIR}/examples/demo.cfg")
