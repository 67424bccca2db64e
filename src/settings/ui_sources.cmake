target_sources(quarnel_ui PRIVATE
  settings/AnsiText.cpp
  settings/FieldGuard.cpp
  settings/FormBinding.cpp
  settings/GamePanels.cpp
  settings/MainWindow.cpp
  settings/Resources.cpp
  settings/ServerPanels.cpp
  app/QtDialogs.cpp
  ${PROJECT_SOURCE_DIR}/resources/quarnel.qrc
)
