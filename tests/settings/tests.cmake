quarnel_add_tests(settings_tests
  settings/SettingsFormTest.cpp
  settings/FieldCheckTest.cpp
)
