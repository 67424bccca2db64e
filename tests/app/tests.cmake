quarnel_add_tests(app_tests
  app/PathsTest.cpp
  app/StartupTest.cpp
  app/CommandsTest.cpp
)
