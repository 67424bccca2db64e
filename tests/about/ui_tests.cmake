quarnel_add_tests(about_ui_tests
  support/QtTestApp.cpp
  about/AboutBoxTest.cpp
  LIBS quarnel_uitestsupport
)
