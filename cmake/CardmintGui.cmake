# Widgets: the printer destination, the designer and the main window.
file(GLOB CARDMINT_PRINT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/engine/print/*.cpp)
if(CARDMINT_PRINT_SOURCES)
  add_library(cardmint_print STATIC ${CARDMINT_PRINT_SOURCES})
  target_link_libraries(cardmint_print PUBLIC cardmint_core Qt6::PrintSupport)
endif()
