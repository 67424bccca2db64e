# The tests build damaged and foreign database files with SQLite directly.
find_package(SQLite3 REQUIRED)
quarnel_add_tests(registry_tests
  store/SqliteRegistryTest.cpp
  store/RegistryFileTest.cpp
  store/RegistrySettingsTest.cpp
  store/RegistryReliabilityTest.cpp
  store/RememberedSettingsTest.cpp
  LIBS SQLite::SQLite3
)
