# The store that replaces the Windows registry, and the settings remembered in it.
find_package(SQLite3 REQUIRED)
target_sources(quarnel_core PRIVATE
  store/SqliteRegistry.cpp
  store/RegistryFile.cpp
  store/RegistrySettings.cpp
  store/RememberedSettings.cpp
)
target_link_libraries(quarnel_core PUBLIC SQLite::SQLite3)
