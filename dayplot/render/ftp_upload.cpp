#include "ftp_upload.h"

#include <exception>

#include "image_files.h"
#include "publish_settings.h"
#include "server_address.h"
#include "text_files.h"

namespace radmon {

namespace {

constexpr std::string_view kPlaceholderPassword = "kobud";
constexpr std::string_view kBuiltInUserPrefix = "pulsor";

}  // namespace

std::string serverBoxProblem(AddressError error, const std::string& text) {
  std::string why;
  switch (error) {
    case AddressError::Empty: why = "サーバ名が入っていません"; break;
    case AddressError::BadPort: why = "ポート番号は 1〜65535 の数で書いてください"; break;
    case AddressError::BadScheme: why = "使えるのは ftp://, ftps://, sftp:// だけです"; break;
    case AddressError::BadHost: why = "サーバ名の書き方が正しくありません"; break;
    case AddressError::TooManyWords: why = "サーバ名とポート番号のほかに余分な語があります"; break;
  }
  return "FTP転送を行えません。サーバ名の欄「" + text + "」: " + why +
         "。\n書き方: host, host 2121, host:2121, [::1]:2121, ftp://host, ftps://host, "
         "sftp://host";
}

std::string scriptPassword(const UploadSettings& settings) {
  const std::string password = settings.passwordText();
  const std::string user = settings.userText();
  const bool builtIn = password == kPlaceholderPassword &&
                       settings.serverText() == settings.defaultServerText() &&
                       user.compare(0, kBuiltInUserPrefix.size(), kBuiltInUserPrefix) == 0;
  return builtIn ? std::string(kBuiltInPassword) : password;
}

std::string ftpScriptText(const UploadSettings& settings, std::string_view localFile) {
  std::string text;
  auto line = [&text](std::string_view s) {
    text += s;
    text += "\r\n";
  };
  line("OPEN " + settings.serverText());
  line(settings.userText());
  line(scriptPassword(settings));
  const std::string subFolder = settings.subFolderText();
  if (!subFolder.empty()) line("cd " + subFolder);
  line("bin");
  line("mput \"" + std::string(localFile) + "\"");
  line("disconnect");
  line("bye");
  return text;
}

std::string ftpScriptPath(const std::string& programFolder) {
  return programFolder + "oldtemp.sys";
}

ProgramCommand ftpClientCommand(ClientPlatform platform, const std::string& programFolder,
                                const std::string& scriptPath) {
  ProgramCommand command;
  command.program = platform == ClientPlatform::Windows ? std::string("ftp")
                                                        : programFolder + "ftpscript";
  command.arguments = {"-i", "-s:\"" + scriptPath + "\""};
  // The station's TLS, trust and key settings; the Windows client knows no such option.
  if (platform == ClientPlatform::Posix) {
    command.arguments.push_back("-p:\"" + publishSettingsPath(programFolder) + "\"");
  }
  return command;
}

std::string dayGraphJpegPath(const UploadSettings& settings, const std::string& DataFolder,
                             std::string_view TargetDay, std::string_view todayYyyymmdd) {
  return DataFolder + imageBaseName(settings.baseNameText(), TargetDay, todayYyyymmdd) +
         ".jpg";
}

std::unique_ptr<StartedProcess> UploadFile(const UploadSettings& settings,
                                           const std::string& localFile,
                                           const std::string& programFolder,
                                           ProcessLauncher& launcher, MessageSink& messages) {
  try {
    const std::string server = settings.serverText();
    if (const AddressResult address = parseServerAddress(server); !address.address) {
      messages.show(serverBoxProblem(address.error, server));
      return nullptr;
    }
    const std::string scriptPath = ftpScriptPath(programFolder);
    // The script holds the password in clear: its owner alone may read it.
    if (const auto error =
            writeTextFile(scriptPath, ftpScriptText(settings, localFile), /*ownerOnly=*/true)) {
      messages.show("FTP転送を行えません。スクリプトファイルを書き込めませんでした。\n" +
                    *error);
      return nullptr;
    }
    std::string error;
    auto client =
        launcher.start(ftpClientCommand(kThisPlatform, programFolder, scriptPath), error);
    if (!client) messages.show(error);
    return client;
  } catch (const std::exception& e) {
    messages.show(std::string("FTP転送を開始できません: ") + e.what());
    return nullptr;
  }
}

std::unique_ptr<StartedProcess> UploadDayGraph(const UploadSettings& settings,
                                               const std::string& DataFolder,
                                               std::string_view TargetDay,
                                               std::string_view todayYyyymmdd,
                                               const std::string& programFolder,
                                               ProcessLauncher& launcher,
                                               MessageSink& messages) {
  return UploadFile(settings, dayGraphJpegPath(settings, DataFolder, TargetDay, todayYyyymmdd),
                    programFolder, launcher, messages);
}

}  // namespace radmon
