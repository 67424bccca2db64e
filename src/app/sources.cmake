target_sources(quarnel_core PRIVATE
  app/Commands.cpp
  app/Paths.cpp
  app/Startup.cpp
)
if(WIN32)
  target_sources(quarnel_core PRIVATE app/WinShellOpener.cpp)
endif()
