# The web pages as apps that a phone adds to its home screen and plays with no network after a
# first visit. Included by OndrelWeb.cmake, and installed beside it with what it needs.
# - Each page gets a manifest, <page stem>.webmanifest: its name, its address, the icons.
# - The icons, ondrel-icon-192.png and -512.png: the program's icon (media/icon.txt) enlarged,
#   made by platform/web/web_icons.js in the tree; the package brings them made.
# - The site gets one service worker, ondrel-offline.js (platform/web/offline.js), which keeps
#   the files of every page the project makes: they are listed once the project has been read.
include_guard(GLOBAL)

set(ONDREL_WEB_SERVICE_WORKER ondrel-offline.js)
set(ONDREL_WEB_ICON ondrel-icon-192.png)
set(_ondrel_web_icons ondrel-icon-192.png ondrel-icon-512.png)
if(ONDREL_PACKAGE)
  set(_ondrel_web_offline_template ${CMAKE_CURRENT_LIST_DIR}/offline.js)
  foreach(icon ${_ondrel_web_icons})
    file(COPY ${CMAKE_CURRENT_LIST_DIR}/${icon} DESTINATION ${ONDREL_WEB_SITE})
  endforeach()
else()
  set(_ondrel_web_offline_template ${ONDREL_SOURCE_DIR}/platform/web/offline.js)
  find_program(ONDREL_NODE NAMES node nodejs REQUIRED)  # emscripten's own runs on it too
  list(TRANSFORM _ondrel_web_icons PREPEND ${ONDREL_WEB_SITE}/ OUTPUT_VARIABLE icons)
  add_custom_command(OUTPUT ${icons}
                     COMMAND ${ONDREL_NODE} ${ONDREL_SOURCE_DIR}/platform/web/web_icons.js
                             ${ONDREL_SOURCE_DIR}/media/icon.txt ${ONDREL_SOURCE_DIR}/media/palette.txt
                             ${ONDREL_WEB_SITE}/ondrel-icon 192 512
                     DEPENDS ${ONDREL_SOURCE_DIR}/platform/web/web_icons.js ${ONDREL_SOURCE_DIR}/media/icon.txt
                             ${ONDREL_SOURCE_DIR}/media/palette.txt
                     COMMENT "Making the web pages' icons" VERBATIM)
  add_custom_target(ondrel-web-icons ALL DEPENDS ${icons})
endif()

# ondrel_web_app(<page> <name> <file>...): the manifest of <page>, named <name>, into the site;
# the page's files (the page, the manifest and <file>..., as the site names them) go on the
# service worker's list. Sets ONDREL_WEB_MANIFEST to the manifest's name.
function(ondrel_web_app page name)
  get_filename_component(stem ${page} NAME_WLE)
  set(manifest ${stem}.webmanifest)
  string(REPLACE "\\" "\\\\" json_name "${name}")
  string(REPLACE "\"" "\\\"" json_name "${json_name}")
  file(CONFIGURE OUTPUT ${ONDREL_WEB_SITE}/${manifest} CONTENT [[{
  "name": "@json_name@",
  "short_name": "@json_name@",
  "id": "./@page@",
  "start_url": "./@page@",
  "scope": "./",
  "display": "standalone",
  "orientation": "any",
  "background_color": "#1d1f21",
  "theme_color": "#1d1f21",
  "icons": [
    {"src": "ondrel-icon-192.png", "sizes": "192x192", "type": "image/png"},
    {"src": "ondrel-icon-512.png", "sizes": "512x512", "type": "image/png"}
  ]
}
]] @ONLY)
  set_property(GLOBAL APPEND PROPERTY ONDREL_WEB_OFFLINE_FILES ${page} ${manifest} ${ARGN} ${_ondrel_web_icons})
  set(ONDREL_WEB_MANIFEST ${manifest} PARENT_SCOPE)
  get_property(deferred GLOBAL PROPERTY ONDREL_WEB_OFFLINE_DEFERRED)
  if(NOT deferred)
    set_property(GLOBAL PROPERTY ONDREL_WEB_OFFLINE_DEFERRED ON)
    cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL _ondrel_web_write_offline "${ONDREL_WEB_SITE}"
                   "${_ondrel_web_offline_template}")
  endif()
endfunction()

# The service worker with the list of every page's files, once the project has been read.
function(_ondrel_web_write_offline site template)
  get_property(files GLOBAL PROPERTY ONDREL_WEB_OFFLINE_FILES)
  list(REMOVE_DUPLICATES files)
  list(TRANSFORM files PREPEND "\"./")
  list(TRANSFORM files APPEND "\"")
  list(JOIN files ", " ONDREL_WEB_OFFLINE_FILES)
  set(ONDREL_WEB_OFFLINE_FILES "[${ONDREL_WEB_OFFLINE_FILES}]")
  configure_file(${template} ${site}/ondrel-offline.js @ONLY)
endfunction()
