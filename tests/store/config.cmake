quarnel_add_tests(config_tests
  store/ConfigFileTest.cpp
  store/ConfigFormTest.cpp
  store/MakeNamesTest.cpp
)
target_compile_definitions(config_tests PRIVATE
  QUARNEL_DEMO_CFG="${PROJECT_SOURCE_DIR}/examples/demo.cfg")
