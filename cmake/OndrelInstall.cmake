# cmake --install BUILD --prefix P: the framework as a package others build on.
#   P/include/ondrel/      the public headers, by the names the project's code includes them
#   P/lib/                 a static library for each layer and each display driver
#   P/lib/cmake/Ondrel/    OndrelConfig.cmake: the targets Ondrel::framework and one per driver
#                          (Ondrel::sdl, Ondrel::headless; Ondrel::web, Ondrel::windows on their
#                          platforms), ondrel_add_program, the default media's place
#   P/lib/pkgconfig/       ondrel-<driver>.pc for each driver (ondrel-windows.pc on Windows), and
#                          ondrel-main.pc, the process entry
#   P/bin/, P/share/ondrel/ the programs and their data (on Windows the data beside the programs),
#                          the default palette and 8 x 12 font among them (Media/)
# Components: "programs" (the programs and their data) and "development" (the rest).
include(CMakePackageConfigHelpers)

set(ONDREL_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Ondrel)
# Every layer (the demonstration's water and app too) and the drivers built here.
set(ONDREL_LAYER_TARGETS ondrel_platform ondrel_tasks ondrel_io ondrel_globals ondrel_system ondrel_win ondrel_gfx
    ondrel_water ondrel_app)
set(ONDREL_EXPORTED ${ONDREL_LAYER_TARGETS} ondrel_framework ${ONDREL_DRIVER_TARGETS} ondrel_main)
foreach(target ondrel_headless_api ondrel_program_folder)
  if(TARGET ${target})  # Windows has no headless driver, and its platform library holds the start-folder rule
    list(APPEND ONDREL_EXPORTED ${target})
  endif()
endforeach()
foreach(target ${ONDREL_LAYER_TARGETS} ondrel_headless_api ondrel_program_folder)
  if(NOT TARGET ${target})
    continue()
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
if(WIN32)  # a consumer's cross build takes the same toolchain, and its programs the same manifest
  install(FILES ${ONDREL_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake ${ONDREL_SOURCE_DIR}/platform/windows/dpi_aware.manifest
          DESTINATION ${ONDREL_CMAKE_DIR} COMPONENT development)
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

# pkg-config: one file for each display driver, ondrel-<driver>.pc (the framework's libraries, then
# the driver's), and ondrel-main.pc, the process entry for a program without a main() of its own,
# named beside a driver's. The prefix is found from the file's own place, so the package can move.
# No file sets the C++ standard, which a consumer chooses (C++20 or newer: cxx_standard says so).
file(RELATIVE_PATH ONDREL_PC_UP /root/${CMAKE_INSTALL_LIBDIR}/pkgconfig /root)
string(REGEX REPLACE "/$" "" ONDREL_PC_UP ${ONDREL_PC_UP})
set(framework "-londrel_gfx -londrel_win -londrel_io -londrel_system -londrel_globals -londrel_tasks")
if(WIN32)
  set(platform "-londrel_platform -luser32 -lgdi32 -ldwmapi -lwinmm")
else()
  set(platform "-londrel_program_folder")
endif()
function(ondrel_pkg_config name description cflags libs requires)
  set(ONDREL_PC_NAME ${name})
  set(ONDREL_PC_DESCRIPTION ${description})
  set(ONDREL_PC_CFLAGS ${cflags})
  set(ONDREL_PC_LIBS ${libs})
  set(ONDREL_PC_REQUIRES ${requires})
  configure_file(${ONDREL_SOURCE_DIR}/cmake/ondrel.pc.in ${ONDREL_BINARY_DIR}/package/${name}.pc @ONLY)
  install(FILES ${ONDREL_BINARY_DIR}/package/${name}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT development)
endfunction()
foreach(driver sdl headless web)
  if(TARGET ondrel_${driver}_driver)
    set(requires "")
    if(driver STREQUAL sdl)
      set(requires "Requires: sdl2")
    endif()
    get_target_property(options ondrel_${driver}_driver INTERFACE_LINK_OPTIONS)
    list(JOIN options " " options)
    string(REPLACE "options-NOTFOUND" "" options "${options}")
    ondrel_pkg_config(ondrel-${driver}
                      "Ondrel, an 8-bit graphics framework on a Win32 subset, with the ${driver} display driver"
                      "-I\${includedir}" "${framework} -londrel_${driver} ${platform} ${options}" "${requires}")
  endif()
endforeach()
if(WIN32)
  ondrel_pkg_config(ondrel-windows "Ondrel, an 8-bit graphics framework, on Windows itself (linked statically)"
                    "-I\${includedir}" "${framework} ${platform} -static" "")
  set(gui "-mwindows")
else()
  set(gui "")
endif()
ondrel_pkg_config(ondrel-main
                  "Ondrel's process entry, main(), which calls the program's WinMain: name it beside a driver's package"
                  "" "-londrel_main -londrel_globals -londrel_tasks ${platform} -Wl,--undefined=WinMain ${gui}" "")

# The data the programs read, the default palette (the colour table of Media/Sprites.bmp) and font
# (Media/font8x12.fon) among them, wherever the programs are; on the web, the pages take them in.
if(NOT EMSCRIPTEN)
  install(FILES ${ONDREL_RUN_DIR}/Data0.cdf DESTINATION ${ONDREL_INSTALL_DATADIR} COMPONENT programs)
  install(DIRECTORY ${ONDREL_RUN_DIR}/Media DESTINATION ${ONDREL_INSTALL_DATADIR} COMPONENT programs)
else()
  install(FILES ${ONDREL_WEB_DATA_DIR}/Data0.cdf DESTINATION ${CMAKE_INSTALL_DATADIR}/ondrel COMPONENT programs)
  install(DIRECTORY ${ONDREL_WEB_DATA_DIR}/Media DESTINATION ${CMAKE_INSTALL_DATADIR}/ondrel COMPONENT programs)
endif()

# A stripped install (cmake --install --strip, and so every release file) takes the debug
# information out of the static libraries too, which CMake strips only of programs.
if(CMAKE_STRIP AND NOT EMSCRIPTEN)
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      file(GLOB archives \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/libondrel_*.a\")
      foreach(archive \${archives})
        execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-debug \"\${archive}\" COMMAND_ERROR_IS_FATAL ANY)
      endforeach()
    endif()" COMPONENT development)
endif()

# Releases (scripts/package.sh): the Debian packages of this build, made by CPack, split as Debian
# splits a program from its development files: ondrel, the programs and their data, for players,
# depending on the shared libraries the programs use (SDL2, libpng, giflib) and nothing more; and
# ondrel-dev, the headers, libraries, CMake and pkg-config files, depending on ondrel (the default
# palette and font are its data) and on what building against them needs.
if(WIN32 OR EMSCRIPTEN)
  return()
endif()
set(ONDREL_MAINTAINER "Ondrel developers <developers@ondrel.example>" CACHE STRING
    "Maintainer of the Debian packages: a name and an address")
set(CPACK_PACKAGE_NAME ondrel)
set(CPACK_PACKAGE_VENDOR Ondrel)
set(CPACK_PACKAGE_CONTACT ${ONDREL_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL programs development)
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_NAME ondrel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME ondrel-dev)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "ondrel (= ${PROJECT_VERSION}), libsdl2-dev, pkgconf | pkg-config")
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_RECOMMENDS "g++, cmake")
# A description: its first line, then the lines of the long one, which CPack indents as Debian
# wants them (a blank line between paragraphs).
set(CPACK_COMPONENT_PROGRAMS_DESCRIPTION "real-time 8-bit graphics demonstration: water as falling spans
Ondrel shows one 640 x 480 window of 8-bit palettized pixels: walls are drawn
with the mouse, and water, held as a list of one-row spans, is poured under
the pointer and falls, splits, spreads under the pressure of the water above
it, merges and drains away.

This package holds the demonstration (ondrel), a tour of the framework it is
written on (ondrel-gallery), a water toy with tools, undo and scene files
(ondrel-sandbox), the replay tool that plays input scripts without a display
and records pictures (ondrel-replay), the media compiler (ondrel-media) and
their data.")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION "small 8-bit graphics framework on a Win32 subset - development files
The framework Ondrel is written on: windows with a message-and-idle loop, a
prioritised task list, 8-bit surfaces sharing one palette, drawing
primitives, blitters, sprite sheets, bitmap-font text, 8-bit BMP and raw
image files, a file stream and a string, over a Win32 subset of its own with
SDL2 and headless display drivers.

This package holds the headers, the static libraries, the CMake package
(find_package(Ondrel), ondrel_add_program) and the pkg-config files.")

# Each package's /usr/share/doc/<package>: the copyright notice and the changelog, one entry for
# each release of CHANGELOG.md, compressed as Debian wants it (gzip -9n: no name, no time).
set(docs ${ONDREL_BINARY_DIR}/package/doc)
file(MAKE_DIRECTORY ${docs})
configure_file(${ONDREL_SOURCE_DIR}/cmake/copyright ${docs}/copyright COPYONLY)
file(STRINGS ${ONDREL_SOURCE_DIR}/CHANGELOG.md releases REGEX "^## \\[[0-9]+\\.[0-9]+\\.[0-9]+\\] - [0-9-]+$")
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
set(days Sat Sun Mon Tue Wed Thu Fri)
set(changelog "")
foreach(release ${releases})
  string(REGEX MATCH "\\[([0-9.]+)\\] - ([0-9]+)-([0-9]+)-([0-9]+)" _ "${release}")
  set(version ${CMAKE_MATCH_1})
  math(EXPR year "${CMAKE_MATCH_2}")
  math(EXPR month "${CMAKE_MATCH_3}")
  math(EXPR day "${CMAKE_MATCH_4}")
  # The weekday by Zeller's congruence (0 is Saturday), January and February counted as months
  # 13 and 14 of the year before.
  set(y ${year})
  set(m ${month})
  if(m LESS 3)
    math(EXPR m "${m} + 12")
    math(EXPR y "${y} - 1")
  endif()
  math(EXPR weekday "(${day} + 13 * (${m} + 1) / 5 + ${y} + ${y} / 4 - ${y} / 100 + ${y} / 400) % 7")
  list(GET days ${weekday} dayName)
  math(EXPR monthIndex "${month} - 1")
  list(GET months ${monthIndex} monthName)
  string(APPEND changelog "ondrel (${version}) unstable; urgency=medium\n\n"
         "  * Ondrel ${version}: what it changes is in CHANGELOG.md of its source.\n\n"
         " -- ${ONDREL_MAINTAINER}  ${dayName}, ${day} ${monthName} ${year} 00:00:00 +0000\n\n")
endforeach()
string(STRIP "${changelog}" changelog)
file(WRITE ${docs}/changelog "${changelog}\n")
execute_process(COMMAND gzip -9nf ${docs}/changelog COMMAND_ERROR_IS_FATAL ANY)
install(FILES ${docs}/copyright ${docs}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ondrel COMPONENT programs)
# The programs' manual pages (docs/man/), compressed alike.
foreach(page ondrel.6 ondrel-gallery.6 ondrel-sandbox.6 ondrel-replay.1 ondrel-media.1)
  string(REGEX REPLACE "\\.([16])$" "" program ${page})
  if(TARGET ${program})
    configure_file(${ONDREL_SOURCE_DIR}/docs/man/${page} ${docs}/${page} COPYONLY)
    execute_process(COMMAND gzip -9nf ${docs}/${page} COMMAND_ERROR_IS_FATAL ANY)
    install(FILES ${docs}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${CMAKE_MATCH_1} COMPONENT programs)
  endif()
endforeach()
install(FILES ${docs}/copyright ${docs}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ondrel-dev
        COMPONENT development)
include(CPack)
