target_sources(quarnel_core PRIVATE
  about/SysInfo.cpp
)
