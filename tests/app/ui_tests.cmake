# The program end to end: the real window offscreen over scripted dialogs and a store in
# memory, and the Qt way of opening a file.
if(NOT TARGET quarnel_uitestsupport)
  add_library(quarnel_uitestsupport STATIC
    support/FakeDialogs.cpp
    support/MemoryRegistry.cpp
  )
  target_include_directories(quarnel_uitestsupport PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/support)
  target_link_libraries(quarnel_uitestsupport PUBLIC quarnel_testsupport quarnel_ui Qt6::Test)
endif()

quarnel_add_tests(app_ui_tests
  support/QtTestApp.cpp
  app/ApplicationTest.cpp
  app/QtShellOpenerTest.cpp
  LIBS quarnel_uitestsupport
)
