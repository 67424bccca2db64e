target_sources(quarnel_core PRIVATE
  game/Installation.cpp
  game/MapFolder.cpp
)
