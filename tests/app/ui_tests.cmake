# The program end to end: the real window offscreen over scripted dialogs and a store in
# memory, and the Qt way of opening a file.
quarnel_add_tests(app_ui_tests
  support/QtTestApp.cpp
  app/ApplicationTest.cpp
  app/QtShellOpenerTest.cpp
  LIBS quarnel_ui Qt6::Test
)
