# The printer destination. Defined before the command-line tool and the tests,
# which build printing in only when this target exists.
if(TARGET Qt6::PrintSupport)
  file(GLOB CARDMINT_PRINT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/engine/print/*.cpp)
  add_library(cardmint_print STATIC ${CARDMINT_PRINT_SOURCES})
  target_link_libraries(cardmint_print PUBLIC cardmint_core Qt6::PrintSupport)
else()
  message(STATUS "Qt PrintSupport not found: cardmint-cli is built without printing")
endif()
