# cmake --install BUILD --prefix P: the framework as a package others build on.
#   P/include/ondrel/      the public headers, by the names the project's code includes them
#   P/lib/                 a static library for each layer and each display driver
#   P/lib/cmake/Ondrel/    OndrelConfig.cmake: the targets Ondrel::framework and one per driver
#                          (Ondrel::sdl, Ondrel::headless; Ondrel::web, Ondrel::windows on their
#                          platforms), ondrel_add_program, the default media's place
#   P/lib/pkgconfig/       ondrel-sdl.pc, ondrel-headless.pc
#   P/bin/, P/share/ondrel/ the programs and their data (on Windows the data beside the programs),
#                          the default palette and 8 x 12 font among them (Media/)
# Components: "programs" (the programs and their data) and "development" (the rest).
include(CMakePackageConfigHelpers)

set(ONDREL_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Ondrel)
# Every layer (the demonstration's water and app too) and the drivers built here.
set(ONDREL_LAYER_TARGETS ondrel_platform ondrel_tasks ondrel_io ondrel_globals ondrel_system ondrel_win ondrel_gfx
    ondrel_water ondrel_app)
set(ONDREL_EXPORTED ${ONDREL_LAYER_TARGETS} ondrel_framework ${ONDREL_DRIVER_TARGETS})
if(TARGET ondrel_headless_driver)
  list(APPEND ONDREL_EXPORTED ondrel_headless_api)
endif()
foreach(target ${ONDREL_LAYER_TARGETS} ondrel_headless_api)
  if(NOT TARGET ${target})
    continue()  # Windows has no headless driver
  endif()
  string(REGEX REPLACE "^ondrel_" "" short ${target})
  set_target_properties(${target} PROPERTIES EXPORT_NAME ${short})
endforeach()

install(TARGETS ${ONDREL_EXPORTED} EXPORT OndrelTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development)
ondrel_install_headers(${ONDREL_EXPORTED})
install(EXPORT OndrelTargets NAMESPACE Ondrel:: DESTINATION ${ONDREL_CMAKE_DIR} COMPONENT development)

# The config file learns what this build had: the drivers, SDL2 behind the sdl one.
if(TARGET ondrel_sdl)
  set(ONDREL_PACKAGE_HAS_SDL ON)
else()
  set(ONDREL_PACKAGE_HAS_SDL OFF)
endif()
configure_package_config_file(${ONDREL_SOURCE_DIR}/cmake/OndrelConfig.cmake.in
                              ${ONDREL_BINARY_DIR}/package/OndrelConfig.cmake INSTALL_DESTINATION ${ONDREL_CMAKE_DIR}
                              PATH_VARS ONDREL_INSTALL_DATADIR)
write_basic_package_version_file(${ONDREL_BINARY_DIR}/package/OndrelConfigVersion.cmake
                                 VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${ONDREL_BINARY_DIR}/package/OndrelConfig.cmake ${ONDREL_BINARY_DIR}/package/OndrelConfigVersion.cmake
        ${ONDREL_SOURCE_DIR}/cmake/OndrelProgram.cmake DESTINATION ${ONDREL_CMAKE_DIR} COMPONENT development)
if(WIN32)  # a consumer's cross build takes the same toolchain
  install(FILES ${ONDREL_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake DESTINATION ${ONDREL_CMAKE_DIR} COMPONENT development)
endif()
if(EMSCRIPTEN)
  install(FILES ${ONDREL_SOURCE_DIR}/cmake/OndrelWeb.cmake ${ONDREL_SOURCE_DIR}/platform/web/page.html
          DESTINATION ${ONDREL_CMAKE_DIR} COMPONENT development)
  # The pages as apps: the icons and the service worker's template for a consumer's pages, and the
  # icons and the service worker of the pages installed here.
  install(FILES ${ONDREL_SOURCE_DIR}/cmake/OndrelWebApp.cmake ${ONDREL_SOURCE_DIR}/platform/web/offline.js
          ${ONDREL_WEB_SITE}/ondrel-icon-192.png ${ONDREL_WEB_SITE}/ondrel-icon-512.png
          DESTINATION ${ONDREL_CMAKE_DIR} COMPONENT development)
  install(FILES ${ONDREL_WEB_SITE}/ondrel-icon-192.png ${ONDREL_WEB_SITE}/ondrel-icon-512.png
          ${ONDREL_WEB_SITE}/${ONDREL_WEB_SERVICE_WORKER} DESTINATION ${CMAKE_INSTALL_DATADIR}/ondrel/web COMPONENT programs)
endif()

# pkg-config: the framework's libraries, then the driver's, which holds the entry (main). The
# prefix is found from the file's own place, so the package can move.
file(RELATIVE_PATH ONDREL_PC_UP /root/${CMAKE_INSTALL_LIBDIR}/pkgconfig /root)
string(REGEX REPLACE "/$" "" ONDREL_PC_UP ${ONDREL_PC_UP})
set(ONDREL_PC_FRAMEWORK "-londrel_gfx -londrel_win -londrel_io -londrel_system -londrel_globals -londrel_tasks")
foreach(driver sdl headless)
  if(TARGET ondrel_${driver}_driver)
    set(ONDREL_PC_DRIVER ${driver})
    set(ONDREL_PC_REQUIRES "")
    if(driver STREQUAL sdl)
      set(ONDREL_PC_REQUIRES "Requires: sdl2")
    endif()
    configure_file(${ONDREL_SOURCE_DIR}/cmake/ondrel.pc.in ${ONDREL_BINARY_DIR}/package/ondrel-${driver}.pc @ONLY)
    install(FILES ${ONDREL_BINARY_DIR}/package/ondrel-${driver}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
            COMPONENT development)
  endif()
endforeach()

# The data the programs read, the default palette (the colour table of Media/Sprites.bmp) and font
# (Media/font8x12.fon) among them, wherever the programs are; on the web, the pages take them in.
if(NOT EMSCRIPTEN)
  install(FILES ${ONDREL_RUN_DIR}/Data0.cdf DESTINATION ${ONDREL_INSTALL_DATADIR} COMPONENT programs)
  install(DIRECTORY ${ONDREL_RUN_DIR}/Media DESTINATION ${ONDREL_INSTALL_DATADIR} COMPONENT programs)
else()
  install(FILES ${ONDREL_WEB_DATA_DIR}/Data0.cdf DESTINATION ${CMAKE_INSTALL_DATADIR}/ondrel COMPONENT programs)
  install(DIRECTORY ${ONDREL_WEB_DATA_DIR}/Media DESTINATION ${CMAKE_INSTALL_DATADIR}/ondrel COMPONENT programs)
endif()

# Releases (scripts/package.sh): the Debian package of this build, made by CPack. The programs,
# their data and the development files are in the one package; the shared libraries the programs
# use (SDL2, libpng, giflib) become its dependencies.
set(CPACK_PACKAGE_NAME ondrel)
set(CPACK_PACKAGE_VENDOR Ondrel)
set(CPACK_PACKAGE_CONTACT "Ondrel developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "8-bit real-time graphics demonstration (water as spans) and the small framework it is written on")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "g++, cmake, pkg-config, libsdl2-dev")
set(CPACK_GENERATOR DEB)
include(CPack)
