target_sources(quarnel_core PRIVATE
  launch/BatchFile.cpp
  launch/CommandLine.cpp
  launch/MutatorLine.cpp
  launch/ServerIni.cpp
)
