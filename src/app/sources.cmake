target_sources(quarnel_core PRIVATE
  app/Commands.cpp
  app/Paths.cpp
  app/Startup.cpp
)
if(WIN32)
  # Opening files through the Windows shell.
  target_sources(quarnel_core PRIVATE app/WinShellOpener.cpp)
  target_link_libraries(quarnel_core PUBLIC shell32)
endif()
