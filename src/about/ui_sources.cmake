target_sources(quarnel_ui PRIVATE
  about/AboutBox.cpp
)
