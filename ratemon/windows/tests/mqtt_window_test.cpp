// The window's MQTT dialog and link state against a real mosquitto.

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
  // A URL the link could not read is told in the dialog, which stays open, unsaved.
  const std::string path = programFolder_ + kMqttSettingsFileName;
  for (const auto& [url, error] :
       {std::pair{"127.0.0.1/radmon/win", MqttAddressError::Scheme},
        std::pair{"mqtt://127.0.0.1:70000/radmon/win", MqttAddressError::Port},
        std::pair{"mqtt://127.0.0.1", MqttAddressError::Prefix},
        std::pair{"mqtt:///radmon/win", MqttAddressError::Host}}) {
    dialog->field("url")->setText(url);
    dialog->accept();
    EXPECT_EQ(dialog->result(), QDialog::Rejected) << url;
    EXPECT_FALSE(dialog->urlError()->isHidden()) << url;
    EXPECT_EQ(dialog->urlError()->text().toStdString(), messages::mqttAddress(error, url));
    EXPECT_FALSE(fs::exists(path)) << url;
  }
  dialog->field("url")->setText(
      QString::fromStdString("mqtt://127.0.0.1:" + std::to_string(broker.port()) + "/radmon/win"));
  dialog->field("password")->setText("secret");
  dialog->accept();
  ASSERT_TRUE(station_->link());
  EXPECT_TRUE(dialog->urlError()->isHidden());
  EXPECT_EQ(testing::fileMode(path), 0600u) << "it holds the password";
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
  expectLinkStatesFit(w());
}

// A refused password: told once on the link's status line, in red, through every retry
// and no message box; gone once the right password is saved.
TEST_F(StationTest, RefusedPasswordStaysOnTheStatusLine) {
  testing::LocalBroker broker({.user = "station", .password = "s3cret", .plain = true});
  ASSERT_TRUE(broker.start());
  start();
  auto save = [&](const char* password) {
    station_->showMqttDialog();
    auto* dialog = w().findChild<MqttDialog*>("mqttDialog");
    dialog->field("url")->setText(QString::fromStdString(
        "mqtt://station@127.0.0.1:" + std::to_string(broker.port()) + "/radmon/win"));
    dialog->field("password")->setText(password);
    dialog->accept();
  };
  save("wrong");
  QTest::qWait(4500);  // attempts after 0, 1 and 3 s
  const std::string log = broker.log();
  size_t refusals = 0;
  for (size_t at = log.find("not authorised"); at != std::string::npos;
       at = log.find("not authorised", at + 1))
    ++refusals;
  EXPECT_GE(refusals, 2u) << log;
  EXPECT_EQ(w().messageBox(), nullptr);
  EXPECT_EQ(w().mqttState()->text(), "パスワード不可");
  EXPECT_NE(w().mqttState()->styleSheet().indexOf("#d00000"), -1);
  EXPECT_NE(w().mqttState()->toolTip().indexOf("パスワードを受け付けません"), -1);

  save("s3cret");
  QTest::qWait(1300);
  EXPECT_EQ(w().mqttState()->text(), "接続済み");
  EXPECT_EQ(w().mqttState()->styleSheet(), "");
  EXPECT_EQ(w().messageBox(), nullptr);
}

}  // namespace radmon
