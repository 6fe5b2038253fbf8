// Shows ratemon's windows on a simulated tube, for screenshots and for looking at
// the windows without a sound card: window_preview [SECONDS] [graph|pulse|intervals|mqtt [URL]].
// With mqtt the station publishes to URL and the MQTT dialog opens after a while.
// The station runs in a temporary program folder; nothing of the real one is touched.
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "audio_source_text.h"
#include "japanese_font.h"
#include "mqtt_settings.h"
#include "ui_translator.h"
#include "window_app.h"
#include "window_station.h"

int main(int argc, char** argv) {
  // The desktop's language, as the programs choose it without --lang.
  radmon::useUiLanguage(radmon::chooseUiLanguage(std::nullopt, radmon::processLocale())
                            .value_or(radmon::UiLanguage::Japanese));
  QApplication app(argc, argv);
  app.setFont(radmon::japaneseFont(9));
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 30;
  const std::string mode = argc > 2 ? argv[2] : "graph";
  QTemporaryDir folder;

  radmon::StationParts parts;
  parts.programFolder = folder.path().toStdString() + "/";
  parts.lockPath = parts.programFolder + "~Record.tmp";
  // The project's simulated tube, raised ten seconds in: the rate climbs through both
  // limits over the first minute, so that all three bar colours appear.
  // The pulse-interval view wants many pulses soon: the tube at 3000 CPM from the start.
  const char* source = mode == "intervals" ? "sim:3000" : "sim:60:600@13:00-16:00";
  auto tube = radmon::makeAudioInput(*radmon::parseAudioSource(source), 13 * 3600 - 10);
  radmon::PullAudioInput* input = tube.get();
  parts.input = std::move(tube);
  parts.deliverNext = [input] { return input->deliverNext(); };
  if (mode == "mqtt" && argc > 3) {
    radmon::MqttSettings publish;
    publish.url = argv[3];
    radmon::saveMqttSettings(folder.path().toStdString() + "/" + radmon::kMqttSettingsFileName,
                             publish);
  }
  radmon::WindowStation station(std::move(parts));
  if (!station.startup()) return 1;
  radmon::MainWindow& w = station.window();
  w.setText(radmon::Box::sensitivity, "120");
  w.setText(radmon::Box::limit2, "0.5");
  w.setText(radmon::Box::limit1, "0.2");
  w.move(0, 0);
  w.show();
  if (mode == "pulse") {
    w.tick(radmon::Tick::pulseTest)->setChecked(true);
  } else if (mode == "graph") {
    w.tick(radmon::Tick::graph)->click();
    if (station.graphWindow()) station.graphWindow()->move(0, 365);
  }
  w.cmdRec()->click();
  if (mode == "mqtt")
    QTimer::singleShot(seconds * 500, &w, [&station, &w] {
      station.showMqttDialog();
      if (auto* dialog = w.findChild<QWidget*>("mqttDialog")) dialog->move(0, 400);
    });
  if (mode == "intervals") {
    w.commandButton(radmon::MainWindow::Command::pulseIntervals)->click();
    if (station.intervalWindow()) station.intervalWindow()->move(0, 365);
  }
  QTimer::singleShot(seconds * 1000, &w, &QWidget::close);
  QTimer::singleShot(1500, &w, [&station] {
    if (station.pulseWindow()) station.pulseWindow()->move(0, 365);
  });
  return app.exec();
}
