// The day graph's and the upload's views of the settings window's controls: each value
// is read from the controls when it is asked for.
#pragma once

#include "dayplot_settings.h"
#include "ftp_upload.h"
#include "graph_settings.h"

namespace radmon {

class SettingsGraphSource final : public GraphSettings {
 public:
  // `meanInterval`: the choice of dayplot_readings.ini.
  explicit SettingsGraphSource(const DayplotSettings& controls, bool meanInterval = false)
      : c_(controls), meanInterval_(meanInterval) {}
  std::string scaleMaximumText() const override { return c_.Text4; }
  std::string placeText() const override { return c_.Text1; }
  std::string tubeText() const override { return c_.Text6; }
  std::string baseNameText() const override { return c_.Text3; }
  bool jpegWanted() const override { return c_.Check1 == 1; }
  bool bmpWanted() const override { return c_.Check2 == 1; }
  bool meanIntervalWanted() const override { return meanInterval_; }
  void setMeanInterval(bool on) { meanInterval_ = on; }

 private:
  const DayplotSettings& c_;
  bool meanInterval_;
};

class SettingsUploadSource final : public UploadSettings {
 public:
  explicit SettingsUploadSource(const DayplotSettings& controls) : c_(controls) {}
  std::string serverText() const override { return c_.Text12; }
  std::string userText() const override { return c_.Text13; }
  std::string passwordText() const override { return c_.Text14; }
  std::string subFolderText() const override { return c_.Text15; }
  std::string baseNameText() const override { return c_.Text3; }
  std::string defaultServerText() const override { return std::string(kDefaultFtpServer); }

 private:
  const DayplotSettings& c_;
};

}  // namespace radmon
