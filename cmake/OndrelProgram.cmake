# ondrel_add_program: one program on the framework, from the same sources for each platform.
# Used by the tree's own programs and, installed with the package, by every program written on
# it (examples/template/CMakeLists.txt).
#
# ondrel_add_program(<name> SOURCES file...
#                    [LIBRARIES target...]       what the program links besides Ondrel::framework
#                    [DRIVER sdl|headless]       Linux: the display driver (default sdl)
#                    [MEDIA file-or-folder...]   what it opens by relative names
#                    [RESOURCES file.rc...]      Windows resources (an icon, a version)
#                    [WEB_PAGE page.html TITLE text HELP html [TOUCH_BUTTONS button...] [TOUCH_HELP html]]
#                    [NO_INSTALL])
#
# The sources (or LIBRARIES) provide WinMain, and kProgramFiles (platform/program_folder.h) when
# the program opens files; the process entry, main(), comes from Ondrel::main, which the program
# links last. What <name> becomes:
# - Linux: a program on the SDL display driver (Ondrel::sdl), or with DRIVER headless on the
#   headless one (Ondrel::headless: no window, for batch programs and checks), in the run folder;
# - Windows: a GUI program (no console) with its resources and the manifest that declares it
#   DPI-aware, linked statically (Ondrel::windows), in the run folder;
# - the web (emscripten): a page, <page.html> with <name>.js, .wasm and .data, in the site folder
#   (ondrel_web_page), titled <TITLE>, with <HELP> (a line of HTML) under the canvas, or
#   TOUCH_HELP in its place on a touch screen, and the TOUCH_BUTTONS (as ondrel_web_page takes
#   them) beside it; it installs as an app and plays offline.
# The run folder is ONDREL_RUN_DIR (default: <build>/run). Each MEDIA path is copied there under
# its own name (a folder whole) before the program is linked, so the program runs from there as
# it will from where it is installed; on the web the same names are the page's files. Installed,
# the program goes to bin/ and its media to a data folder of its own, share/<name>/ (Ondrel's own
# programs share share/ondrel/), on Windows beside the program: the start-folder rule looks there.
# A Linux build without SDL2 leaves an SDL program out, saying so.
include_guard(GLOBAL)
include(GNUInstallDirs)

# The run folder, and where Ondrel's own data go when installed: where the start-folder rule
# looks. Set here for the project that includes this file, and again in each call, for a project
# that took Ondrel in with add_subdirectory and so does not see its variables.
macro(ondrel_program_places)
  if(NOT ONDREL_RUN_DIR)
    set(ONDREL_RUN_DIR ${CMAKE_BINARY_DIR}/run)
  endif()
  if(WIN32)
    set(ONDREL_INSTALL_DATADIR ${CMAKE_INSTALL_BINDIR})
  else()
    set(ONDREL_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/ondrel)
  endif()
endmacro()
ondrel_program_places()

function(ondrel_add_program name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "NO_INSTALL" "DRIVER;WEB_PAGE;TITLE;HELP;TOUCH_HELP"
                        "SOURCES;LIBRARIES;MEDIA;RESOURCES;TOUCH_BUTTONS")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "ondrel_add_program(${name}): unknown arguments ${arg_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT arg_DRIVER)
    set(arg_DRIVER sdl)
  endif()
  if(NOT arg_DRIVER MATCHES "^(sdl|headless)$")
    message(FATAL_ERROR "ondrel_add_program(${name}): DRIVER is sdl or headless, not ${arg_DRIVER}")
  endif()
  ondrel_program_places()
  if(NOT arg_SOURCES)
    # WinMain is in its libraries (ondrel's is in ondrel_app); CMake wants a source all the same.
    set(arg_SOURCES ${CMAKE_CURRENT_BINARY_DIR}/${name}-program.cpp)
    file(CONFIGURE OUTPUT ${arg_SOURCES} CONTENT "// ${name}: its WinMain comes from its libraries.\n")
  endif()
  # Its installed media: a folder of its own, or Ondrel's for the programs of Ondrel's own tree.
  set(datadir ${ONDREL_INSTALL_DATADIR})
  string(FIND "${CMAKE_CURRENT_SOURCE_DIR}/" "${ONDREL_SOURCE_DIR}/" within)
  if(NOT WIN32 AND (ONDREL_PACKAGE OR NOT within EQUAL 0))
    set(datadir ${CMAKE_INSTALL_DATADIR}/${name})
  endif()

  if(EMSCRIPTEN)
    if(NOT arg_WEB_PAGE)
      return()  # a program without a page has no place on the web
    endif()
    add_executable(${name} ${arg_SOURCES})
    target_link_libraries(${name} PRIVATE ${arg_LIBRARIES} Ondrel::framework Ondrel::web Ondrel::main)
    set(preloads "")
    foreach(path ${arg_MEDIA})
      get_filename_component(file ${path} NAME)
      list(APPEND preloads ${path} /${file})
    endforeach()
    ondrel_web_page(${name} ${arg_WEB_PAGE} "${arg_TITLE}" "${arg_HELP}" PRELOAD ${preloads}
                    TOUCH_BUTTONS ${arg_TOUCH_BUTTONS} TOUCH_HELP "${arg_TOUCH_HELP}")
    # For a site's front page (ondrel_web_site): what the page is called and whose code it runs.
    set_target_properties(${name} PROPERTIES ONDREL_WEB_PAGE ${arg_WEB_PAGE} ONDREL_WEB_TITLE "${arg_TITLE}"
                          ONDREL_WEB_HELP "${arg_HELP}" ONDREL_WEB_LIBRARIES "${arg_LIBRARIES}")
    set_property(GLOBAL APPEND PROPERTY ONDREL_WEB_PROGRAMS ${name})
    if(arg_NO_INSTALL)
      return()
    endif()
    install(FILES ${ONDREL_WEB_SITE}/${arg_WEB_PAGE} ${ONDREL_WEB_SITE}/${name}.js ${ONDREL_WEB_SITE}/${name}.wasm
            ${ONDREL_WEB_SITE}/${name}.data ${ONDREL_WEB_SITE}/${ONDREL_WEB_MANIFEST}
            DESTINATION ${CMAKE_INSTALL_DATADIR}/ondrel/web COMPONENT programs)
    return()
  endif()

  if(WIN32)
    # Every program declares itself DPI-aware in its manifest: it fits its windows to the screen
    # itself (platform/windows/window_scale.cpp), sharp, rather than have Windows stretch them.
    set(manifest ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/dpi_aware.manifest)  # installed beside this file
    if(NOT EXISTS ${manifest})
      set(manifest ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../platform/windows/dpi_aware.manifest)  # in the tree
    endif()
    get_filename_component(manifest ${manifest} ABSOLUTE)
    set(manifest_rc ${CMAKE_BINARY_DIR}/ondrel-dpi-aware.rc)
    file(CONFIGURE OUTPUT ${manifest_rc} CONTENT "// The program's manifest (RT_MANIFEST, CREATEPROCESS_MANIFEST_RESOURCE_ID).\n1 24 \"${manifest}\"\n")
    set_source_files_properties(${manifest_rc} PROPERTIES OBJECT_DEPENDS ${manifest})
    add_executable(${name} WIN32 ${arg_SOURCES} ${arg_RESOURCES} ${manifest_rc})
    target_link_libraries(${name} PRIVATE ${arg_LIBRARIES} Ondrel::framework Ondrel::windows Ondrel::main)
  elseif(TARGET Ondrel::${arg_DRIVER})
    add_executable(${name} ${arg_SOURCES})
    target_link_libraries(${name} PRIVATE ${arg_LIBRARIES} Ondrel::framework Ondrel::${arg_DRIVER} Ondrel::main)
  else()
    message(STATUS "Leaving out ${name}: it needs SDL2, which was not found")
    return()
  endif()
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ONDREL_RUN_DIR})
  if(TARGET ondrel-media-files)
    add_dependencies(${name} ondrel-media-files)  # the default media, made in the run folder
  endif()
  if(NOT arg_NO_INSTALL)
    install(TARGETS ${name} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT programs)
  endif()

  # The media, copied into the run folder unless they are made there, and installed.
  set(copies "")
  foreach(path ${arg_MEDIA})
    get_filename_component(file ${path} NAME)
    get_filename_component(folder ${path} DIRECTORY)
    if(IS_DIRECTORY ${path})
      set(copy copy_directory)
      set(kind DIRECTORY)
    else()
      set(copy copy_if_different)
      set(kind FILES)
    endif()
    if(NOT folder STREQUAL ONDREL_RUN_DIR)
      list(APPEND copies COMMAND ${CMAKE_COMMAND} -E ${copy} ${path} ${ONDREL_RUN_DIR}/${file})
    endif()
    if(NOT arg_NO_INSTALL)
      install(${kind} ${path} DESTINATION ${datadir} COMPONENT programs)
    endif()
  endforeach()
  if(copies)
    add_custom_target(${name}-copy-media ${copies} COMMENT "Copying the media of ${name} into ${ONDREL_RUN_DIR}" VERBATIM)
    add_dependencies(${name} ${name}-copy-media)
  endif()
endfunction()
