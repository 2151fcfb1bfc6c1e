# The build for the browser (emscripten: emcmake cmake, as scripts/build-web.sh runs it). Only the
# programs are built, on the web display driver, each into a page of static files in
# ${CMAKE_BINARY_DIR}/site. Their pack and media come from a native build, which makes them with
# ondrel-media (a tool that does not run in a page): ONDREL_WEB_DATA_DIR is its run folder.

# Installed with the package, this file gives a consumer's programs their pages (ondrel_web_page)
# and nothing else: its media are its own.
set(ONDREL_WEB_SITE ${CMAKE_BINARY_DIR}/site)
if(NOT ONDREL_WEB_PAGE_TEMPLATE)
  set(ONDREL_WEB_PAGE_TEMPLATE ${ONDREL_SOURCE_DIR}/platform/web/page.html)
endif()
if(NOT ONDREL_PACKAGE)
  set(ONDREL_WEB_DATA_DIR "" CACHE PATH "Folder holding Data0.cdf and Media/, as a native build makes them (build/run)")
  if(NOT EXISTS "${ONDREL_WEB_DATA_DIR}/Data0.cdf" OR NOT IS_DIRECTORY "${ONDREL_WEB_DATA_DIR}/Media")
    message(FATAL_ERROR "ONDREL_WEB_DATA_DIR must name a folder with Data0.cdf and Media/ (a native build's run folder, "
                        "made by: cmake --build build --target ondrel-media-files); scripts/build-web.sh does both")
  endif()
  set(ONDREL_TESTS OFF)
  set(ONDREL_BENCHMARKS OFF)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/OndrelWebApp.cmake)  # manifests, icons, the service worker

# ondrel_web_page(<target> <page file> <name> <controls> [PRELOAD <file or folder> <name in the page>...]
#                 [TOUCH_BUTTONS <button>...] [TOUCH_HELP <touch controls>])
# Makes <target> a page: <target>.js, .wasm and .data (the PRELOAD files, at their names in the
# program's current folder) in the site folder, beside <page file>, which loads them. <name> is
# what the page calls the program; <controls>, a line of HTML, is shown under it while it runs.
# TOUCH_BUTTONS puts large buttons beside the canvas, for players without a keyboard, each
# "<label>=<what>" (the label is HTML): <what> is either a key, named as KeyboardEvent.code
# names it (Space, KeyC, NumpadAdd, ...), held down while the button is, or RightButton, a toggle
# under which a finger on the canvas is the right mouse button rather than the left. TOUCH_HELP is
# <controls> as a touch screen has them (fingers, the buttons), shown there in its place.
# The page is an app that plays offline (OndrelWebApp.cmake): it gets its manifest, and its files
# go on the site's service worker's list.
function(ondrel_web_page target page name controls)
  cmake_parse_arguments(PARSE_ARGV 4 arg "" "TOUCH_HELP" "PRELOAD;TOUCH_BUTTONS")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "ondrel_web_page(${target}): unknown arguments ${arg_UNPARSED_ARGUMENTS}")
  endif()
  set(buttons "")
  foreach(button IN LISTS arg_TOUCH_BUTTONS)
    if(NOT button MATCHES "^([^=]+)=([A-Za-z0-9]+)$")
      message(FATAL_ERROR "ondrel_web_page(${target}): touch button \"${button}\" is not <label>=<key code or RightButton>")
    endif()
    if(CMAKE_MATCH_2 STREQUAL "RightButton")
      string(APPEND buttons "<button type=\"button\" data-mouse-button=\"2\" aria-pressed=\"false\">${CMAKE_MATCH_1}</button>")
    else()
      string(APPEND buttons "<button type=\"button\" data-key=\"${CMAKE_MATCH_2}\">${CMAKE_MATCH_1}</button>")
    endif()
  endforeach()
  set(preloads ${arg_PRELOAD})
  set(depends "")
  while(preloads)
    list(POP_FRONT preloads source destination)
    file(GLOB_RECURSE media CONFIGURE_DEPENDS ${source}/*)
    list(APPEND depends ${source} ${media})
    target_link_options(${target} PRIVATE "SHELL:--preload-file ${source}@${destination}")
  endwhile()
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ONDREL_WEB_SITE} SUFFIX .js
                        LINK_DEPENDS "${depends}")
  set(ONDREL_WEB_SCRIPT ${target}.js)
  set(ONDREL_WEB_NAME ${name})
  set(ONDREL_WEB_CONTROLS ${controls})
  set(ONDREL_WEB_TOUCH_BUTTONS ${buttons})
  set(ONDREL_WEB_TOUCH_HELP "${arg_TOUCH_HELP}")
  set(files ${target}.js ${target}.wasm)
  if(arg_PRELOAD)
    list(APPEND files ${target}.data)
  endif()
  ondrel_web_app(${page} "${name}" ${files})
  set(ONDREL_WEB_MANIFEST ${ONDREL_WEB_MANIFEST} PARENT_SCOPE)
  configure_file(${ONDREL_WEB_PAGE_TEMPLATE} ${ONDREL_WEB_SITE}/${page} @ONLY)
endfunction()

# ondrel_web_site(): the site's front page, index.html, which links every program made into a page
# here (ondrel_add_program) and, beside each, a page of its source, source/<program>.html: the
# program's own files and those of its libraries in its folder. Called once, after every program;
# Ondrel's own site only (a consumer's pages stand alone).
function(ondrel_web_site)
  get_property(programs GLOBAL PROPERTY ONDREL_WEB_PROGRAMS)
  set(entries "")
  set(pages "")
  foreach(program ${programs})
    get_target_property(page ${program} ONDREL_WEB_PAGE)
    get_target_property(title ${program} ONDREL_WEB_TITLE)
    get_target_property(help ${program} ONDREL_WEB_HELP)
    get_target_property(folder ${program} SOURCE_DIR)
    get_target_property(libraries ${program} ONDREL_WEB_LIBRARIES)
    set(files "")
    foreach(target ${program} ${libraries})
      if(NOT TARGET ${target})
        continue()
      endif()
      get_target_property(where ${target} SOURCE_DIR)
      if(NOT where STREQUAL folder)
        continue()  # the framework's, or another folder's
      endif()
      get_target_property(sources ${target} SOURCES)
      foreach(source ${sources})
        get_filename_component(source ${source} ABSOLUTE BASE_DIR ${folder})
        string(FIND ${source} ${CMAKE_BINARY_DIR}/ generated)
        if(source MATCHES "\\.(cpp|h)$" AND EXISTS ${source} AND NOT generated EQUAL 0)
          list(APPEND files ${source})
        endif()
      endforeach()
    endforeach()
    list(REMOVE_DUPLICATES files)
    set(output ${ONDREL_WEB_SITE}/source/${program}.html)
    string(REPLACE ";" "|" listed "${files}")
    add_custom_command(OUTPUT ${output}
                       COMMAND ${CMAKE_COMMAND} -DOUTPUT=${output} -DTITLE=${title} -DPAGE=${page} -DFILES=${listed}
                               -DROOT=${ONDREL_SOURCE_DIR} -DTEMPLATE=${ONDREL_SOURCE_DIR}/platform/web/source.html
                               -P ${ONDREL_SOURCE_DIR}/cmake/OndrelSourcePage.cmake
                       DEPENDS ${files} ${ONDREL_SOURCE_DIR}/platform/web/source.html
                               ${ONDREL_SOURCE_DIR}/cmake/OndrelSourcePage.cmake
                       COMMENT "The source page of ${program}" VERBATIM)
    list(APPEND pages ${output})
    list(LENGTH files count)
    set(what "${count} files")
    if(count EQUAL 1)
      get_filename_component(what ${files} NAME)
    endif()
    string(APPEND entries "<li><a class=\"play\" href=\"${page}\">${title}</a>"
           " <a class=\"source\" href=\"source/${program}.html\">source (${what})</a><br>${help}</li>\n")
  endforeach()
  add_custom_target(ondrel-web-sources ALL DEPENDS ${pages})
  set(ONDREL_SITE_PROGRAMS ${entries})
  configure_file(${ONDREL_SOURCE_DIR}/platform/web/site.html ${ONDREL_WEB_SITE}/index.html @ONLY)
  # Kept for offline reading too, with the pages they link.
  list(TRANSFORM pages REPLACE "^${ONDREL_WEB_SITE}/" "" OUTPUT_VARIABLE kept)
  set_property(GLOBAL APPEND PROPERTY ONDREL_WEB_OFFLINE_FILES index.html ${kept})
  install(FILES ${ONDREL_WEB_SITE}/index.html DESTINATION ${CMAKE_INSTALL_DATADIR}/ondrel/web COMPONENT programs)
  install(FILES ${pages} DESTINATION ${CMAKE_INSTALL_DATADIR}/ondrel/web/source COMPONENT programs)
endfunction()

# The pages in a real browser (headless Chromium), played through real input events: the mouse
# and the keyboard, then fingers on a touch screen.
if(NOT ONDREL_PACKAGE AND PROJECT_IS_TOP_LEVEL)
  enable_testing()
  add_test(NAME web_page_test COMMAND bash ${ONDREL_SOURCE_DIR}/tests/web/page_test.sh ${ONDREL_WEB_SITE})
  add_test(NAME web_touch_test COMMAND bash ${ONDREL_SOURCE_DIR}/tests/web/page_test.sh ${ONDREL_WEB_SITE} touch_test.js)
  # A phone, upright and on its side; the pages played offline after a first visit; the sandbox's
  # screenshot and recording, offered as downloads.
  add_test(NAME web_phone_test COMMAND bash ${ONDREL_SOURCE_DIR}/tests/web/page_test.sh ${ONDREL_WEB_SITE} phone_test.js)
  add_test(NAME web_offline_test COMMAND bash ${ONDREL_SOURCE_DIR}/tests/web/page_test.sh ${ONDREL_WEB_SITE} offline_test.js)
  add_test(NAME web_pictures_test COMMAND bash ${ONDREL_SOURCE_DIR}/tests/web/page_test.sh ${ONDREL_WEB_SITE} pictures_test.js)
  set_tests_properties(web_page_test web_touch_test web_phone_test web_offline_test web_pictures_test PROPERTIES TIMEOUT 300)
  # The installed web package, and the examples built against it.
  add_test(NAME web_consumer_test COMMAND bash ${ONDREL_SOURCE_DIR}/tests/web/consumer_test.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(web_consumer_test PROPERTIES TIMEOUT 600)
endif()
