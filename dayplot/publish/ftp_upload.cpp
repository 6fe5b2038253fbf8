#include "ftp_upload.h"

#include <exception>
#include <filesystem>

#include "graph_names.h"
#include "publish_settings.h"
#include "server_address.h"
#include "text_files.h"
#include "ui_translator.h"

namespace radmon {

namespace {

constexpr std::string_view kPlaceholderPassword = "kobud";
constexpr std::string_view kBuiltInUserPrefix = "pulsor";

}  // namespace

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
  // A folder with blanks goes in double quotes, which the script's clients take as one
  // word; the settings never hold a double quote, so the quotes cannot be unbalanced.
  if (!subFolder.empty())
    line(subFolder.find_first_of(" \t") == std::string::npos ? "cd " + subFolder
                                                             : "cd \"" + subFolder + "\"");
  line("bin");
  line("mput \"" + std::string(localFile) + "\"");
  line("disconnect");
  line("bye");
  return text;
}

std::string ftpScriptPath(const std::string& programFolder) {
  return programFolder + "oldtemp.sys";
}

namespace {
// The client of a station run from its program folder is the one beside it; an
// installed dayplot keeps its station elsewhere and the client beside itself.
std::string clientFolder(const std::string& stationFolder) {
  std::error_code ec;
  if (std::filesystem::is_regular_file(stationFolder + "ftpscript", ec)) return stationFolder;
  return programFolder();
}
}  // namespace

ProgramCommand ftpClientCommand(ClientPlatform platform, const std::string& programFolder,
                                const std::string& scriptPath, bool askNewHostKeys) {
  ProgramCommand command;
  command.program =
      platform == ClientPlatform::Windows ? std::string("ftp") : programFolder + "ftpscript";
  command.arguments = {"-i", "-s:\"" + scriptPath + "\""};
  // The station's TLS, trust and key settings, kept beside its script (an installed
  // client's own folder holds none); the Windows client knows no such option.
  if (platform == ClientPlatform::Posix) {
    // ftpscript's sentences are shown as they come: in dayplot's language, not the locale's.
    command.arguments.push_back(uiLanguage() == UiLanguage::English ? "--lang=en" : "--lang=ja");
    command.arguments.push_back("-p:\"" + publishSettingsPath(deriveFolder(scriptPath)) + "\"");
    if (askNewHostKeys) command.arguments.push_back("-k");
  }
  return command;
}

std::string dayGraphJpegPath(const UploadSettings& settings, const std::string& dataFolder,
                             std::string_view targetDay, std::string_view todayYyyymmdd) {
  return dataFolder + imageBaseName(settings.baseNameText(), targetDay, todayYyyymmdd) + ".jpg";
}

std::unique_ptr<StartedProcess> uploadFile(const UploadSettings& settings,
                                           const std::string& localFile,
                                           const std::string& programFolder,
                                           ProcessLauncher& launcher, MessageSink& messages,
                                           bool askNewHostKeys) {
  try {
    const std::string server = settings.serverText();
    if (const auto address = parseServerAddress(server); !address) {
      messages.show(say::serverBoxUnusable(address.error(), server));
      return nullptr;
    }
    const std::string scriptPath = ftpScriptPath(programFolder);
    // The script holds the password in clear: its owner alone may read it.
    if (const auto written =
            writeTextFile(scriptPath, ftpScriptText(settings, localFile), /*ownerOnly=*/true);
        !written) {
      messages.show(say::scriptNotWritten(scriptPath, written.error()));
      return nullptr;
    }
    const ProgramCommand command =
        ftpClientCommand(kThisPlatform, clientFolder(programFolder), scriptPath, askNewHostKeys);
    auto launched = launcher.start(command);
    if (!launched) messages.show(say::clientNotStarted(command.program, launched.error()));
    return std::move(launched).value_or(nullptr);
  } catch (const std::exception& e) {
    messages.show(say::uploadNotStarted(e.what()));
    return nullptr;
  }
}

}  // namespace radmon
