quarnel_add_tests(game_tests
  game/InstallationTest.cpp
  game/MapFolderTest.cpp
)
