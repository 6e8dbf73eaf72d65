# Widgets: the designer and the main window (printing: CardmintPrint.cmake).

find_package(Qt6 REQUIRED COMPONENTS Svg)

# Designer logic: plain classes over the report model (Qt Core and Gui only),
# so it runs in tests without widgets.
file(GLOB CARDMINT_DESIGNER_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/designer/*.cpp)
add_library(cardmint_designer STATIC ${CARDMINT_DESIGNER_SOURCES} ${CMAKE_SOURCE_DIR}/src/designer/document.h
  ${CMAKE_SOURCE_DIR}/src/designer/designercore.h)
target_link_libraries(cardmint_designer PUBLIC cardmint_core Qt6::Gui)
set_target_properties(cardmint_designer PROPERTIES AUTOMOC ON)

# The design surface, rulers and the designer's dialogs.
file(GLOB CARDMINT_DESIGNER_WIDGET_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/designer/widgets/*.cpp)
add_library(cardmint_designer_widgets STATIC ${CARDMINT_DESIGNER_WIDGET_SOURCES}
  ${CMAKE_SOURCE_DIR}/src/designer/widgets/designsurface.h)
target_link_libraries(cardmint_designer_widgets PUBLIC cardmint_designer Qt6::Widgets)
set_target_properties(cardmint_designer_widgets PROPERTIES AUTOMOC ON)

# The main window and the program `cardmint`. Everything but main() is a
# library so that window tests link it.
file(GLOB CARDMINT_APP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/app/*.cpp ${CMAKE_SOURCE_DIR}/src/app/*.qrc
  ${CMAKE_SOURCE_DIR}/src/app/builder/*.cpp ${CMAKE_SOURCE_DIR}/src/app/dialogs/*.cpp)
list(FILTER CARDMINT_APP_SOURCES EXCLUDE REGEX "/main\\.cpp$")
if(CARDMINT_APP_SOURCES)
  add_library(cardmint_app STATIC ${CARDMINT_APP_SOURCES})
  target_link_libraries(cardmint_app PUBLIC cardmint_designer_widgets cardmint_print Qt6::Widgets Qt6::PrintSupport Qt6::Svg)
  set_target_properties(cardmint_app PROPERTIES AUTOMOC ON AUTORCC ON)
  target_compile_definitions(cardmint_app PRIVATE
    CARDMINT_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    CARDMINT_INSTALL_DATADIR="${CMAKE_INSTALL_PREFIX}/share/cardmint")
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/src/app/main.cpp AND TARGET cardmint_app)
  add_executable(cardmint ${CMAKE_SOURCE_DIR}/src/app/main.cpp)
  target_link_libraries(cardmint PRIVATE cardmint_app)
endif()
# Installation of the program, its shipped files, desktop entry, icon and MIME type: cmake/CardmintInstall.cmake.
include(${CMAKE_SOURCE_DIR}/cmake/CardmintInstall.cmake OPTIONAL)
