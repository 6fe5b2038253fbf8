# dayplot's windows and its unattended schedule: the settings window Form2, the graph
# window Form1, the scheduler and the uploads under watch.

# The schedule and the run without windows: no widgets.
add_library(dayplot_schedule STATIC scheduler.cpp upload_watch.cpp upload_queue.cpp
  headless_dayplot.cpp)
target_include_directories(dayplot_schedule PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(dayplot_schedule PUBLIC dayplot_settings dayplot_render)

add_library(dayplot_windows STATIC settings_form.cpp graph_form.cpp window_messages.cpp
  dayplot_app.cpp publish_dialog.cpp certificate_question.cpp)
target_include_directories(dayplot_windows PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(dayplot_windows PUBLIC dayplot_schedule Qt6::Widgets)

find_package(Qt6 REQUIRED COMPONENTS Test)
add_room_test(dayplot_windows_test
  SOURCES tests/scheduler_test.cpp tests/headless_dayplot_test.cpp tests/upload_queue_test.cpp
          tests/settings_form_test.cpp tests/bad_input_test.cpp
  LIBS dayplot_windows Qt6::Test)

# The real program under a faked clock (libfaketime) against a real FTP server.
find_library(FAKETIME_LIBRARY NAMES libfaketime.so.1
  PATHS /usr/lib/x86_64-linux-gnu/faketime /usr/lib/aarch64-linux-gnu/faketime
        /usr/lib/faketime)
if(FAKETIME_LIBRARY)
  add_executable(dayplot_headless_e2e_test tests/headless_e2e_test.cpp
    ${CMAKE_SOURCE_DIR}/tools/ftpscript/tests/local_ftp_server.cpp)
  set_target_properties(dayplot_headless_e2e_test PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_include_directories(dayplot_headless_e2e_test PRIVATE
    ${CMAKE_SOURCE_DIR}/tools/ftpscript/tests)
  target_link_libraries(dayplot_headless_e2e_test PRIVATE GTest::gtest_main)
  # A sanitized program needs the sanitizer's runtime first among the preloaded libraries.
  set(FAKETIME_PRELOAD ${FAKETIME_LIBRARY})
  if(RADMON_SANITIZE)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libasan.so
      OUTPUT_VARIABLE ASAN_RUNTIME OUTPUT_STRIP_TRAILING_WHITESPACE)
    set(FAKETIME_PRELOAD "${ASAN_RUNTIME} ${FAKETIME_LIBRARY}")
  endif()
  target_compile_definitions(dayplot_headless_e2e_test PRIVATE PROGRAM_DIR="${PROGRAM_DIR}"
    FAKETIME_LIBRARY="${FAKETIME_PRELOAD}")
  add_dependencies(dayplot_headless_e2e_test dayplot ftpscript)
  gtest_discover_tests(dayplot_headless_e2e_test DISCOVERY_TIMEOUT 60
    PROPERTIES RESOURCE_LOCK ftp TIMEOUT 300)
else()
  message(WARNING "libfaketime not found (Debian package libfaketime): "
                  "the end-to-end test of dayplot --headless is not built")
endif()

# The windows on an invented day: screenshots and a look without a station.
add_executable(dayplot_window_preview window_preview.cpp)
set_target_properties(dayplot_window_preview PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
target_link_libraries(dayplot_window_preview PRIVATE dayplot_windows)
