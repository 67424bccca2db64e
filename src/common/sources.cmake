target_sources(quarnel_core PRIVATE
  common/Text.cpp
  common/TextFile.cpp
)
