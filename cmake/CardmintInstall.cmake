# Installation: the two programs, the shipped layouts and manual, the desktop
# entry, the application icon and the MIME type of layout files.
include(GNUInstallDirs)

set(CARDMINT_DATADIR ${CMAKE_INSTALL_DATADIR}/cardmint)

# The About box shows the project's version.
if(TARGET cardmint_app)
  target_compile_definitions(cardmint_app PRIVATE CARDMINT_VERSION="${PROJECT_VERSION}")
endif()

install(TARGETS cardmint-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET cardmint)
  install(TARGETS cardmint RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

file(GLOB CARDMINT_SHIPPED_LAYOUTS ${CMAKE_SOURCE_DIR}/demo/*.qr2)
install(FILES ${CARDMINT_SHIPPED_LAYOUTS} DESTINATION ${CARDMINT_DATADIR}/layouts)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/help/ DESTINATION ${CARDMINT_DATADIR}/help)

install(FILES ${CMAKE_SOURCE_DIR}/dist/cardmint.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/dist/cardmint-layout.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)

set(CARDMINT_ICON_SVG ${CMAKE_SOURCE_DIR}/src/app/resources/icons/cardmint.svg)
install(FILES ${CARDMINT_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# PNG sizes of the icon, rendered from the SVG at build time.
add_executable(cardmint-render-icon ${CMAKE_SOURCE_DIR}/dist/rendericon.cpp)
target_link_libraries(cardmint-render-icon PRIVATE Qt6::Gui Qt6::Svg)
set(CARDMINT_ICON_PNGS)
foreach(size 48 256)
  set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/cardmint.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
    COMMAND cardmint-render-icon ${CARDMINT_ICON_SVG} ${size} ${png}
    DEPENDS cardmint-render-icon ${CARDMINT_ICON_SVG}
    COMMENT "Rendering the ${size}x${size} application icon")
  list(APPEND CARDMINT_ICON_PNGS ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(cardmint_icon_pngs ALL DEPENDS ${CARDMINT_ICON_PNGS})
