# The program itself: a thin main over the window library.
add_executable(quarnel app/main.cpp)
target_link_libraries(quarnel PRIVATE quarnel_ui)
install(TARGETS quarnel RUNTIME DESTINATION bin)
install(FILES ${PROJECT_SOURCE_DIR}/resources/quarnel.desktop DESTINATION share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/icon-128.png
        DESTINATION share/icons/hicolor/128x128/apps RENAME quarnel.png)
