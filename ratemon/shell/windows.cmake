# ratemon's windows: main window, pulse test and real-time graph windows, the sound-card
# input and the alarm player, and the GUI entry runWindows() that main() calls.

# The two alarm sounds shipped beside the program, written at build time.
add_library(alarm_tones STATIC alarm_tones.cpp)
target_include_directories(alarm_tones PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(alarm_tones PUBLIC common PkgConfig::SNDFILE)

add_executable(alarm_wav_maker alarm_wav_maker.cpp)
set_target_properties(alarm_wav_maker PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
target_link_libraries(alarm_wav_maker PRIVATE alarm_tones station)
add_custom_command(
  OUTPUT ${PROGRAM_DIR}/daiichi.wav ${PROGRAM_DIR}/daini.wav ${PROGRAM_DIR}/ijou.wav
  COMMAND alarm_wav_maker ${PROGRAM_DIR}
  DEPENDS alarm_wav_maker
  COMMENT "Writing the alarm sounds daiichi.wav, daini.wav and the fault chime ijou.wav")
add_custom_target(alarm_sounds ALL DEPENDS ${PROGRAM_DIR}/daiichi.wav ${PROGRAM_DIR}/daini.wav
  ${PROGRAM_DIR}/ijou.wav)

add_library(windows STATIC
  main_window.cpp window_station.cpp graph_window.cpp pulse_test_window.cpp
  window_drawing.cpp sound_card_input.cpp sound_card_source.cpp sound_server.cpp sound_status.cpp
  alarm_player.cpp window_app.cpp mqtt_dialog.cpp interval_drawing.cpp pulse_interval_window.cpp)
target_include_directories(windows PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(windows PUBLIC station alarm_tones japanese_font Qt6::Widgets Qt6::Multimedia
  PRIVATE PkgConfig::PULSE)
add_dependencies(windows alarm_sounds)

add_room_test(windows_test
  SOURCES tests/window_station_test.cpp tests/window_drawing_test.cpp
          tests/alarm_player_test.cpp tests/bad_input_test.cpp
          tests/interval_drawing_test.cpp tests/sound_status_test.cpp
  LIBS windows testsupport Qt6::Test
  INCLUDES ${CMAKE_SOURCE_DIR}/ratemon/measure/tests)

# The MQTT dialog and the window's link against a mosquitto it starts.
add_room_test(mqtt_window_test
  SOURCES tests/mqtt_window_test.cpp
  LIBS windows testsupport Qt6::Test
  INCLUDES ${CMAKE_SOURCE_DIR}/ratemon/measure/tests
  LABELS services THREADS)

# Plays into the shared null sink and records its monitor: never beside another audio test.
add_room_test(sound_card_test
  SOURCES tests/sound_card_input_test.cpp tests/device_loss_test.cpp
  LIBS windows testsupport Qt6::Test
  INCLUDES ${CMAKE_SOURCE_DIR}/ratemon/measure/tests
  DEFINITIONS SOURCE_DIR="${CMAKE_SOURCE_DIR}"
  DEPENDS ratemon
  RESOURCE_LOCK audio TIMEOUT 300 THREADS)

# The windows on a simulated tube: screenshots and a look without a sound card.
add_executable(window_preview window_preview.cpp)
set_target_properties(window_preview PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
target_link_libraries(window_preview PRIVATE windows audio_sources ui_translator)

# The windows and messages in English, apart from the Japanese window tests.
add_room_test(ratemon_english_test
  SOURCES tests/english_windows_test.cpp
  LIBS windows ui_translator testsupport Qt6::Test
  INCLUDES ${CMAKE_SOURCE_DIR}/ratemon/measure/tests ${CMAKE_SOURCE_DIR}/translations/tests)
