// The upload's view of the settings window's controls: each value is read from the
// controls when the upload asks for it.
#pragma once

#include "dayplot_settings.h"
#include "ftp_upload.h"

namespace radmon {

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
