# The layers of the source tree, made visible to the compiler.
#
# No target sees the source root as an include directory. Each library instead gets an include
# root of its own in the build tree, holding symbolic links to exactly the folders or headers it
# offers, under their usual names ("gfx/surface.h"). A target reaches a header only through the
# libraries it links, so an include that runs against the arrows in docs/ARCHITECTURE.md does not
# compile: the arrows are the target_link_libraries lines of each folder's CMakeLists.txt.

# ondrel_expose(<target> <PUBLIC|PRIVATE|INTERFACE> path...)
# Each path, a folder or a file relative to the source root, becomes includable by <target> (and,
# unless PRIVATE, by whatever links it) under its own name. Installed, the same names are found
# under include/ondrel/ (ondrel_install_headers).
function(ondrel_expose target scope)
  set(root ${ONDREL_BINARY_DIR}/include/${target}-${scope})
  # Each configure run starts a root afresh, so that nothing exposed by an earlier run (a path
  # since dropped, or a folder now offered file by file) outlives its line here.
  get_property(started GLOBAL PROPERTY ONDREL_EXPOSE_ROOTS)
  if(NOT root IN_LIST started)
    file(REMOVE_RECURSE ${root})
    set_property(GLOBAL APPEND PROPERTY ONDREL_EXPOSE_ROOTS ${root})
  endif()
  foreach(path ${ARGN})
    set(source ${ONDREL_SOURCE_DIR}/${path})
    if(NOT EXISTS ${source})
      message(FATAL_ERROR "ondrel_expose(${target}): ${path} does not exist")
    endif()
    get_filename_component(parent ${root}/${path} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    # A link made inside a folder that is itself a link would land in the source tree.
    file(REAL_PATH ${parent} real)
    file(REAL_PATH ${root} realRoot)
    string(FIND "${real}/" "${realRoot}/" at)
    if(NOT at EQUAL 0)
      message(FATAL_ERROR "ondrel_expose(${target}): ${path} lies in a folder it already offers")
    endif()
    file(CREATE_LINK ${source} ${root}/${path} SYMBOLIC)
  endforeach()
  target_include_directories(${target} ${scope} $<BUILD_INTERFACE:${root}>)
  if(NOT scope STREQUAL PRIVATE)
    target_include_directories(${target} ${scope} $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/ondrel>)
    set_property(TARGET ${target} APPEND PROPERTY ONDREL_EXPOSED ${ARGN})
  endif()
endfunction()

# ondrel_install_headers(target...)
# Installs what the targets offer (ondrel_expose, PUBLIC or INTERFACE) under include/ondrel/, by
# the names the project's own code includes: a folder's headers, or the single files.
function(ondrel_install_headers)
  foreach(target ${ARGN})
    get_property(paths TARGET ${target} PROPERTY ONDREL_EXPOSED)
    foreach(path ${paths})
      set(source ${ONDREL_SOURCE_DIR}/${path})
      if(IS_DIRECTORY ${source})
        install(DIRECTORY ${source}/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/ondrel/${path} COMPONENT development
                FILES_MATCHING PATTERN "*.h")
      else()
        get_filename_component(folder ${path} DIRECTORY)
        install(FILES ${source} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/ondrel/${folder} COMPONENT development)
      endif()
    endforeach()
  endforeach()
endfunction()
