# Widget tests run the real window offscreen; dialogs are answered by a scripted fake.
if(NOT TARGET quarnel_uitestsupport)
  add_library(quarnel_uitestsupport STATIC
    support/FakeDialogs.cpp
    support/MemoryRegistry.cpp
  )
  target_include_directories(quarnel_uitestsupport PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/support)
  target_link_libraries(quarnel_uitestsupport PUBLIC quarnel_testsupport quarnel_ui Qt6::Test)
endif()

quarnel_add_tests(settings_ui_tests
  support/QtTestApp.cpp
  settings/MainWindowTest.cpp
  settings/QtDialogsTest.cpp
  LIBS quarnel_uitestsupport
)
