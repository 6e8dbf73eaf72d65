# The headless core: everything that reads, computes, generates and exports.
# It links Qt Core and Qt Gui (and Qt Sql for SQLite logbooks), never Widgets.
# The engine has one folder per stage of a run: generate (walks the data and
# lays out bands), paint (draws elements onto a page), pages (the recorded
# pages and their hand-over), output (PDF, images). print holds the printer
# and is built on its own below.
set(CARDMINT_CORE_DIRS report layout expr engine engine/generate engine/paint engine/pages engine/output logbook)
set(CARDMINT_CORE_SOURCES)
foreach(dir IN LISTS CARDMINT_CORE_DIRS)
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${dir}/*.cpp)
  list(APPEND CARDMINT_CORE_SOURCES ${_src})
endforeach()

add_library(cardmint_core STATIC ${CARDMINT_CORE_SOURCES})
target_include_directories(cardmint_core PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(cardmint_core PUBLIC Qt6::Core Qt6::Gui Qt6::Sql)
# Page images: zlib packs our own PNG stream, libjpeg encodes JPEG from the
# page's pixels as they are (see the README's dependency list).
find_package(ZLIB REQUIRED)
find_package(JPEG REQUIRED)
target_link_libraries(cardmint_core PRIVATE ZLIB::ZLIB JPEG::JPEG)
set_target_properties(cardmint_core PROPERTIES AUTOMOC ON)
target_precompile_headers(cardmint_core PRIVATE <QString> <QStringList> <QByteArray> <QList> <vector> <memory>)
# Data the core ships with (the table of label sheets).
qt_add_resources(cardmint_core "cardmint_core_data" PREFIX "/cardmint" BASE ${CMAKE_SOURCE_DIR}/src/engine/data
                 FILES ${CMAKE_SOURCE_DIR}/src/engine/data/labelsheets.txt)
