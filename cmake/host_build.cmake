# What a Windows build takes from a build of this tree for the machine it is
# made on, whose painters and packer a cross build cannot run itself: the
# default Vintaro.gol, which the zip holds, and the icon file, which the
# program's resources hold. Sets vintaro_host_gol and vintaro_host_ico, both
# empty without a host build.
set(VINTARO_HOST_BUILD "" CACHE PATH
    "A host build of this tree, whose play/Vintaro.gol and art/vintaro.ico the Windows build takes (empty: one is made in host/ with VINTARO_NESTED_BUILDS)")
set(vintaro_host "")
if(VINTARO_HOST_BUILD)
  set(vintaro_host ${VINTARO_HOST_BUILD})
elseif(CMAKE_CROSSCOMPILING AND VINTARO_NESTED_BUILDS)
  include(ExternalProject)
  set(vintaro_host ${PROJECT_BINARY_DIR}/host)
  ExternalProject_Add(vintaro_host_play_dir
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${vintaro_host}
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DVINTARO_DESKTOP=OFF -DVINTARO_TESTS=OFF
               -DVINTARO_BENCH=OFF
    BUILD_COMMAND ${CMAKE_COMMAND} --build ${vintaro_host} --target vintaro-play-dir
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS ${vintaro_host}/play/Vintaro.gol ${vintaro_host}/art/vintaro.ico)
endif()
if(vintaro_host)
  set(vintaro_host_gol ${vintaro_host}/play/Vintaro.gol)
  set(vintaro_host_ico ${vintaro_host}/art/vintaro.ico)
else()
  set(vintaro_host_gol "")
  set(vintaro_host_ico "")
  message(STATUS "No host build: the zip holds no Vintaro.gol and vintaro.exe no icon (VINTARO_HOST_BUILD, or VINTARO_NESTED_BUILDS)")
endif()
