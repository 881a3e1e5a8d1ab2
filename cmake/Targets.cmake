# The layers, each depending only on the layers above it.
rd_module(rd_foundation DIRS platform/foundation
  DEPS PkgConfig::PLIST Threads::Threads)
rd_module(rd_graphics DIRS platform/graphics
  DEPS rd_foundation PkgConfig::CAIRO PkgConfig::PANGO)
rd_module(rd_security DIRS core/security
  DEPS rd_foundation OpenSSL::Crypto ZLIB::ZLIB)
rd_module(rd_core DIRS core
  DEPS rd_security rd_foundation)
rd_module(rd_storage DIRS core/storage
  DEPS rd_core SQLite::SQLite3)
rd_module(rd_uikit DIRS platform/uikit
  DEPS rd_graphics rd_foundation PkgConfig::GUMBO)
rd_module(rd_services DIRS platform/services
  DEPS rd_uikit)
rd_module(rd_net DIRS net
  DEPS rd_storage rd_core rd_services CURL::libcurl ZLIB::ZLIB)
rd_module(rd_sim DIRS sim
  DEPS rd_core rd_storage PkgConfig::HTTPLIB Threads::Threads)
rd_module(rd_ui DIRS ui
  DEPS rd_net rd_uikit rd_core)
rd_module(rd_host DIRS platform/host
  DEPS rd_uikit PkgConfig::SDL2)
rd_module(rd_shell DIRS shell
  DEPS rd_ui rd_net rd_services rd_core)

# The screen folders, in their layers: a folder may use the ones before it.
rd_module(rd_charts DIRS charts
  DEPS rd_shell)
rd_module(rd_messages DIRS messages
  DEPS rd_charts rd_shell)
rd_module(rd_quotes DIRS quotes
  DEPS rd_messages rd_charts rd_shell)
rd_module(rd_trade DIRS trade
  DEPS rd_quotes rd_charts rd_shell)
rd_module(rd_funds DIRS funds
  DEPS rd_trade rd_shell)
rd_module(rd_margin DIRS margin
  DEPS rd_trade rd_shell)

# Every screen registered at once (app/AllScreens.h): the client and the tests
# that launch it.
add_library(rd_screens STATIC ${CMAKE_SOURCE_DIR}/app/AllScreens.cpp)
target_link_libraries(rd_screens PUBLIC rd_shell rd_charts rd_messages rd_quotes rd_trade rd_funds rd_margin)
target_include_directories(rd_screens PUBLIC ${CMAKE_SOURCE_DIR})
