# Tests of the virtual box (sim/). Included from tests/CMakeLists.txt.
include(GoogleTest)

add_executable(lumora_sim_tests
  ${CMAKE_CURRENT_LIST_DIR}/sim_background_writer_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sim_box_model_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sim_fault_plan_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sim_options_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sim_in_process_box_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sim_overlay_test.cpp
)
target_link_libraries(lumora_sim_tests PRIVATE lumora_boxsim_lib GTest::gtest_main Qt6::Gui)
gtest_discover_tests(lumora_sim_tests DISCOVERY_MODE PRE_TEST)

# Drives the real binary over a pseudo-terminal.
add_executable(lumora_sim_pty_tests
  ${CMAKE_CURRENT_LIST_DIR}/sim_pty_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sim_overlay_pty_test.cpp
)
target_link_libraries(lumora_sim_pty_tests PRIVATE lumora_boxsim_lib GTest::gtest_main Qt6::Gui)
target_compile_definitions(lumora_sim_pty_tests PRIVATE
  LUMORA_BOXSIM_PATH="$<TARGET_FILE:lumora-boxsim>")
add_dependencies(lumora_sim_pty_tests lumora-boxsim)
gtest_discover_tests(lumora_sim_pty_tests DISCOVERY_MODE PRE_TEST)
