# The store has two halves built side by side: .cfg files and the remembered settings,
# over one table of the settings a set holds.
target_sources(quarnel_core PRIVATE store/SettingsTable.cpp)
include(store/config.cmake OPTIONAL)
include(store/registry.cmake OPTIONAL)
