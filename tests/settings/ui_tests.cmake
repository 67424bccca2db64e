# Widget tests run the real window offscreen; dialogs are answered by a scripted fake.
quarnel_add_tests(settings_ui_tests
  support/QtTestApp.cpp
  settings/MainWindowTest.cpp
  settings/QtDialogsTest.cpp
  LIBS quarnel_ui Qt6::Test
)
