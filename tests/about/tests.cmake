quarnel_add_tests(about_tests
  about/SysInfoTest.cpp
)
