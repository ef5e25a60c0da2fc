# Tests of the window's widgets (src/app/), on the off-screen platform.
# Included from tests/CMakeLists.txt when the window is built.
include(GoogleTest)

add_executable(lumora_app_tests
  ${CMAKE_CURRENT_LIST_DIR}/app_controls_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form_layout_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/widgets_test_main.cpp
)
target_link_libraries(lumora_app_tests PRIVATE lumora_app GTest::gtest Qt6::Test)
gtest_discover_tests(lumora_app_tests DISCOVERY_MODE PRE_TEST
  PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
