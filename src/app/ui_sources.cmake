target_sources(quarnel_ui PRIVATE
  app/Application.cpp
  app/OpenWithDialog.cpp
  app/QtShellOpener.cpp
)
