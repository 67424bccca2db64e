quarnel_add_tests(about_tests
  about/SysInfoTest.cpp
  support/FakeDialogs.cpp
  support/MemoryRegistry.cpp
)
