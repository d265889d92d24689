# The core's test sources, one list for its two suites: on the host
# (tests/CMakeLists.txt) and compiled to WebAssembly under Node
# (platform/web/tests/CMakeLists.txt). The replay tool's tests run a host
# program and are not among them: the host suite adds them.
set(VINTARO_CORE_TEST_SOURCES
  ball_step_test.cpp
  keyboard_test.cpp
  message_queue_test.cpp
  painter_test.cpp
  picture_test.cpp
  random_play_test.cpp
  settings_test.cpp
  startup_test.cpp
  steering.cpp
  test_support.cpp
  whole_game_test.cpp
)
list(TRANSFORM VINTARO_CORE_TEST_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
