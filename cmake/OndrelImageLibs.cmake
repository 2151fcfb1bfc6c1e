# libpng and giflib, for the PNG and GIF writers (ondrel_image_writers in tools/): Debian's own on
# Linux; for Windows and the web the same versions built from Debian's source packages by
# scripts/build-image-libs.sh (install-deps.sh runs it) into build-deps/image-libs/<platform>,
# static libraries that a program links whole. PNG_FOUND and GIF_FOUND say what was found.
if(WIN32 OR EMSCRIPTEN)
  if(WIN32)
    set(platform windows)
  else()
    set(platform web)
  endif()
  set(ONDREL_IMAGE_LIBS_DIR ${ONDREL_SOURCE_DIR}/build-deps/image-libs/${platform} CACHE PATH
      "Folder with include/ and lib/ of zlib, libpng and giflib for this cross build (scripts/build-image-libs.sh)")
  # Searched like the compiler's own folders; MinGW's zlib stays in its own.
  list(APPEND CMAKE_FIND_ROOT_PATH ${ONDREL_IMAGE_LIBS_DIR})
  if(WIN32)
    # Static archives only, not the import libraries of DLLs: a program runs alone.
    set(saved_suffixes ${CMAKE_FIND_LIBRARY_SUFFIXES})
    set(CMAKE_FIND_LIBRARY_SUFFIXES .a)
  endif()
endif()
find_package(PNG QUIET)
find_package(GIF QUIET)
if(WIN32)
  set(CMAKE_FIND_LIBRARY_SUFFIXES ${saved_suffixes})
endif()
if(WIN32 OR EMSCRIPTEN)
  set(where " for ${platform}: scripts/install-deps.sh ${platform} builds it into ${ONDREL_IMAGE_LIBS_DIR}, or")
else()
  set(where "")
endif()
ondrel_optional("libpng (screenshots, ondrel-replay --window)${where}" PNG_FOUND)
ondrel_optional("giflib (recordings, ondrel-replay --gif)${where}" GIF_FOUND)
