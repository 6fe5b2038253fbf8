// The window's MQTT dialog and link state against a real mosquitto.
#include <sys/stat.h>

#include "local_broker.h"
#include "mqtt_dialog.h"
#include "state_message.h"
#include "station_fixture.h"

namespace radmon {

TEST_F(StationTest, MqttDialogSavesOwnerOnlyAndTheWindowShowsTheLink) {
  testing::LocalBroker broker;
  ASSERT_TRUE(broker.start());
  testing::Subscriber sub(broker.port(), "radmon/win/state");
  start();
  EXPECT_EQ(w().mqttState()->text(), "送信しない");
  EXPECT_FALSE(station_->link());

  station_->showMqttDialog();
  auto* dialog = w().findChild<MqttDialog*>("mqttDialog");
  ASSERT_TRUE(dialog);
  dialog->field("url")->setText(
      QString::fromStdString("mqtt://127.0.0.1:" + std::to_string(broker.port()) + "/radmon/win"));
  dialog->field("password")->setText("secret");
  dialog->accept();
  ASSERT_TRUE(station_->link());
  const std::string path = programFolder_ + kMqttSettingsFileName;
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u) << "it holds the password";
  EXPECT_EQ(loadMqttSettings(path).value.password, "secret");

  startRecording();
  for (int s = 0; s < 60; ++s) audio_->deliver(secondWithPulseCount(2, s));
  ASSERT_TRUE(sub.waitFor([](const auto& ms) { return !ms.empty(); }, std::chrono::seconds(5)));
  const auto state = parseStateJson(sub.payloadsOn("radmon/win/state").front());
  ASSERT_TRUE(state);
  EXPECT_EQ(recordLineOf(*state), readBytes(folder_ / "data" / "μSVHData20110919.csv"));
  QTest::qWait(1300);  // the window looks at the link once a second
  EXPECT_EQ(w().mqttState()->text(), "接続済み 10:00");
  EXPECT_NE(w().mqttState()->toolTip().indexOf("未送信: 0 件"), -1);
}

}  // namespace radmon
