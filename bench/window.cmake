# The start of the window against a bare Qt main window of the same size, timed by
# window_start on an X display (see scripts/bench-start.sh).
if(QUARNEL_BUILD_GUI)
  add_executable(bare_window BareWindow.cpp)
  target_link_libraries(bare_window PRIVATE Qt6::Widgets quarnel_options)
  find_package(X11)
  if(X11_FOUND)
    add_executable(window_start WindowStart.cpp)
    target_link_libraries(window_start PRIVATE X11::X11 quarnel_options)
  endif()
endif()
