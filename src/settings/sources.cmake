target_sources(quarnel_core PRIVATE
  settings/FieldCheck.cpp
  settings/ServerSettings.cpp
  settings/SettingsForm.cpp
)
