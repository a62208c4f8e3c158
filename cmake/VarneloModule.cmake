# varnelo_module(<target> DIRS <folders...> LIBS <libraries...> [PCH <headers...>])
# A static library made of every .cpp and .h file of the given folders.
#
# A library can include only what it links: its include root (build/include/<target>) holds a link
# to each of its own folders and nothing else, and linking passes the roots of the libraries below
# on. "#include "tools/X.h"" therefore fails to compile in a library that does not link the one
# that owns tools/. A folder that does not exist yet is watched: its first file makes cmake run
# again.
function(varnelo_module target)
  cmake_parse_arguments(ARG "" "" "DIRS;LIBS;PCH" ${ARGN})
  set(root "${CMAKE_BINARY_DIR}/include/${target}")
  file(MAKE_DIRECTORY "${root}")
  set(sources)
  foreach(dir IN LISTS ARG_DIRS)
    if(IS_DIRECTORY "${CMAKE_SOURCE_DIR}/${dir}" AND NOT EXISTS "${root}/${dir}")
      file(CREATE_LINK "${CMAKE_SOURCE_DIR}/${dir}" "${root}/${dir}" SYMBOLIC)
    endif()
    file(GLOB dir_sources CONFIGURE_DEPENDS
      "${CMAKE_SOURCE_DIR}/${dir}/*.cpp" "${CMAKE_SOURCE_DIR}/${dir}/*.h" "${CMAKE_SOURCE_DIR}/${dir}/*.qrc")
    list(APPEND sources ${dir_sources})
  endforeach()
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  set(cpp_sources ${sources})
  list(FILTER cpp_sources INCLUDE REGEX "\\.cpp$")
  if(cpp_sources)
    add_library(${target} STATIC ${cpp_sources})
    set(scope PUBLIC)
  else()
    add_library(${target} INTERFACE)   # a folder that has no code yet
    set(scope INTERFACE)
  endif()
  target_include_directories(${target} ${scope} "${root}")
  target_link_libraries(${target} ${scope} ${ARG_LIBS})
  if(ARG_PCH AND cpp_sources)
    target_precompile_headers(${target} PRIVATE ${ARG_PCH})
  endif()
endfunction()
