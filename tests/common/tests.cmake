quarnel_add_tests(common_tests
  common/TextTest.cpp
  common/TextFileTest.cpp
)
