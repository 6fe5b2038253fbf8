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
  std::string scaleMaximumText() const override { return c_.scaleMaximum; }
  std::string placeText() const override { return c_.place; }
  std::string tubeText() const override { return c_.tube; }
  std::string baseNameText() const override { return c_.graphName; }
  bool jpegWanted() const override { return c_.jpeg == 1; }
  bool bmpWanted() const override { return c_.bmp == 1; }
  bool meanIntervalWanted() const override { return meanInterval_; }
  void setMeanInterval(bool on) { meanInterval_ = on; }

 private:
  const DayplotSettings& c_;
  bool meanInterval_;
};

class SettingsUploadSource final : public UploadSettings {
 public:
  explicit SettingsUploadSource(const DayplotSettings& controls) : c_(controls) {}
  std::string serverText() const override { return c_.server; }
  std::string userText() const override { return c_.user; }
  std::string passwordText() const override { return c_.password; }
  std::string subFolderText() const override { return c_.subFolder; }
  std::string baseNameText() const override { return c_.graphName; }
  std::string defaultServerText() const override { return std::string(kDefaultFtpServer); }

 private:
  const DayplotSettings& c_;
};

}  // namespace radmon
