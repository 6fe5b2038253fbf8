# dayplot's windows and its publishing session: the settings window, the graph window,
# and the session that the window and the runs without a window drive.

# The session (schedule, drawing, uploads under watch, queue) and --headless: no widgets.
add_library(dayplot_schedule STATIC scheduler.cpp upload_watch.cpp upload_queue.cpp
  publishing_session.cpp headless_dayplot.cpp)
target_include_directories(dayplot_schedule PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(dayplot_schedule PUBLIC dayplot_settings dayplot_render)

add_library(dayplot_windows STATIC settings_form.cpp graph_form.cpp window_messages.cpp
  dayplot_app.cpp publish_dialog.cpp certificate_question.cpp)
target_include_directories(dayplot_windows PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(dayplot_windows PUBLIC dayplot_schedule Qt6::Widgets)

add_room_test(dayplot_windows_test
  SOURCES tests/scheduler_test.cpp tests/headless_dayplot_test.cpp tests/upload_queue_test.cpp
          tests/settings_form_test.cpp tests/bad_input_test.cpp tests/publishing_session_test.cpp
  LIBS dayplot_windows testsupport Qt6::Test)

# The real program under a faked clock (libfaketime) against a real FTP server.
find_library(FAKETIME_LIBRARY NAMES libfaketime.so.1
  PATHS /usr/lib/x86_64-linux-gnu/faketime /usr/lib/aarch64-linux-gnu/faketime
        /usr/lib/faketime)
if(FAKETIME_LIBRARY)
  # A sanitized program needs the sanitizer's runtime first among the preloaded libraries.
  set(FAKETIME_PRELOAD ${FAKETIME_LIBRARY})
  if(RADMON_SANITIZE)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libasan.so
      OUTPUT_VARIABLE ASAN_RUNTIME OUTPUT_STRIP_TRAILING_WHITESPACE)
    set(FAKETIME_PRELOAD "${ASAN_RUNTIME} ${FAKETIME_LIBRARY}")
  endif()
  add_room_test(dayplot_headless_e2e_test
    SOURCES tests/headless_e2e_test.cpp
    LIBS testsupport
    DEFINITIONS FAKETIME_LIBRARY="${FAKETIME_PRELOAD}"
    DEPENDS dayplot ftpscript
    RESOURCE_LOCK ftp TIMEOUT 300)
else()
  message(WARNING "libfaketime not found (Debian package libfaketime): "
                  "the end-to-end test of dayplot --headless is not built")
endif()

# The windows on an invented day: screenshots and a look without a station.
add_executable(dayplot_window_preview window_preview.cpp)
set_target_properties(dayplot_window_preview PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
target_link_libraries(dayplot_window_preview PRIVATE dayplot_windows ui_translator)

# The windows and messages in English, apart from the Japanese window tests.
add_room_test(dayplot_english_test
  SOURCES tests/english_windows_test.cpp
  LIBS dayplot_windows ui_translator testsupport Qt6::Test
  INCLUDES ${CMAKE_SOURCE_DIR}/translations/tests)
