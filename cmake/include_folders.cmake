# Every header is included by its path from the source root
# ("app/window.h", "platform/sdl/sdl_platform.h"), but a target does not get
# the whole root as an include folder: it gets a folder of its own in the
# build tree holding links to just the source folders it owns. Its sources
# then see those and what they link; any other include, such as the game's
# of a tool's header, does not compile.
#
#   vintaro_include_folders(<target> PUBLIC|PRIVATE <folder>...)
#
# Where links cannot be made (a native Windows build without the right to
# make them), or with VINTARO_COPY_INCLUDES, the folders' headers are copied
# instead; a header changed, added or removed runs CMake again, which
# copies it anew.

option(VINTARO_COPY_INCLUDES
       "Copy the headers into the targets' include folders instead of linking" OFF)
mark_as_advanced(VINTARO_COPY_INCLUDES)

function(vintaro_include_folders target scope)
  set(root ${PROJECT_BINARY_DIR}/include/${target})
  foreach(folder IN LISTS ARGN)
    set(from ${PROJECT_SOURCE_DIR}/${folder})
    set(to ${root}/${folder})
    if(NOT IS_DIRECTORY ${from})
      message(FATAL_ERROR "vintaro_include_folders(${target}): no folder ${folder}")
    endif()
    get_filename_component(parent ${to} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    # Through a link of a folder given before, what follows would reach into
    # the source tree.
    file(REAL_PATH ${parent} real_parent)
    file(REAL_PATH ${PROJECT_BINARY_DIR} real_build)
    string(FIND "${real_parent}/" "${real_build}/" at)
    if(NOT at EQUAL 0)
      message(FATAL_ERROR "vintaro_include_folders(${target}): ${folder} lies in another of its folders")
    endif()
    # An earlier run's link is removed as a link, never followed.
    if(IS_SYMLINK ${to})
      file(REMOVE ${to})
    endif()
    if(NOT VINTARO_COPY_INCLUDES AND NOT VINTARO_INCLUDE_LINKS_FAIL)
      file(REMOVE_RECURSE ${to})
      file(CREATE_LINK ${from} ${to} RESULT linked SYMBOLIC)
      if(linked EQUAL 0)
        continue()
      endif()
      # Not tried again: each try would make every copy new.
      set(VINTARO_INCLUDE_LINKS_FAIL ON CACHE INTERNAL "No links could be made: copies instead")
      message(STATUS "Include folders: copies of the headers, as links cannot be made (${linked})")
    endif()
    # Copied only when changed, so that a new run of CMake rebuilds nothing.
    file(GLOB_RECURSE headers CONFIGURE_DEPENDS RELATIVE ${from} ${from}/*.h)
    file(GLOB_RECURSE copies LIST_DIRECTORIES false RELATIVE ${to} ${to}/*)
    foreach(header IN LISTS headers)
      configure_file(${from}/${header} ${to}/${header} COPYONLY)
    endforeach()
    if(headers)
      list(REMOVE_ITEM copies ${headers})
    endif()
    foreach(gone IN LISTS copies)
      file(REMOVE ${to}/${gone})
    endforeach()
  endforeach()
  target_include_directories(${target} ${scope} ${root})
endfunction()

# A test that a source of <target> including <forbidden> does not compile:
# the probe sees the include folders that <target>'s own sources see, finds
# <own> there, and fails on <forbidden> alone.
#
#   vintaro_include_check(<name> <target> <own header> <forbidden header>)
function(vintaro_include_check name target own forbidden)
  set(probe include_check_${name})
  set(source ${PROJECT_BINARY_DIR}/include_checks/${name}.cpp)
  file(CONFIGURE OUTPUT ${source} CONTENT "#include \"${own}\"\n#include \"${forbidden}\"\n")
  add_library(${probe} OBJECT EXCLUDE_FROM_ALL ${source})
  target_include_directories(${probe} PRIVATE $<TARGET_PROPERTY:${target},INCLUDE_DIRECTORIES>)
  target_compile_definitions(${probe} PRIVATE $<TARGET_PROPERTY:${target},COMPILE_DEFINITIONS>)
  add_test(NAME includes.${name}
           COMMAND ${CMAKE_COMMAND} -D BUILD=${PROJECT_BINARY_DIR} -D CONFIG=$<CONFIG>
                   -D TARGET=${probe} -D HEADER=${forbidden}
                   -P ${PROJECT_SOURCE_DIR}/cmake/include_check.cmake)
  # Builds in this build folder: one at a time.
  set_tests_properties(includes.${name} PROPERTIES LABELS includes RESOURCE_LOCK build_folder
                       TIMEOUT 120)
endfunction()
