target_sources(quarnel_core PRIVATE
  store/ConfigFile.cpp
  store/ConfigForm.cpp
  store/MakeNames.cpp
)
