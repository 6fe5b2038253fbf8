// `uploadFile`: publishes a file on the FTP server by writing a command script for
// the command-line FTP client into the program folder and starting the client on it.
// The client runs as a separate process; the caller may wait for it or let it go.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "dayplot_messages.h"
#include "process_launcher.h"
#include "server_address.h"

namespace radmon {

// The FTP settings of the settings window, read at the moment of the upload.
class UploadSettings {
 public:
  virtual ~UploadSettings() = default;
  virtual std::string serverText() const = 0;  // "host" or "host port"
  virtual std::string userText() const = 0;
  virtual std::string passwordText() const = 0;
  virtual std::string subFolderText() const = 0;  // may be empty
  virtual std::string baseNameText() const = 0;   // the graph name
  // The server's default text, which the built-in account rule compares against.
  virtual std::string defaultServerText() const = 0;
};

inline constexpr std::string_view kBuiltInPassword = "47584758";

// The password written to the script: the built-in one when the password box holds
// "kobud", the server box its default text and the user name starts with "pulsor"
// (all exact, case counts); otherwise the password box as it stands.
std::string scriptPassword(const UploadSettings& settings);

// The script's text, line by line, each ended by CR LF ("cd " only with a sub-folder).
std::string ftpScriptText(const UploadSettings& settings, std::string_view localFile);

// program folder (ending with the separator) + "oldtemp.sys".
std::string ftpScriptPath(const std::string& programFolder);

enum class ClientPlatform { Windows, Posix };
#ifdef _WIN32
inline constexpr ClientPlatform kThisPlatform = ClientPlatform::Windows;
#else
inline constexpr ClientPlatform kThisPlatform = ClientPlatform::Posix;
#endif

// The client and its arguments: the system's "ftp" on Windows, ftpscript from the
// program folder elsewhere; both get -i and -s:"<script path>", ftpscript also
// -p:"<publishing settings>" of the station whose script it runs, and -k when
// `askNewHostKeys` (an operator is there to be asked about an SSH host key seen first).
ProgramCommand ftpClientCommand(ClientPlatform platform, const std::string& programFolder,
                                const std::string& scriptPath, bool askNewHostKeys = false);

// The day graph's JPEG: `dataFolder` + the image base name + ".jpg".
std::string dayGraphJpegPath(const UploadSettings& settings, const std::string& dataFolder,
                             std::string_view targetDay, std::string_view todayYyyymmdd);

// Writes the script for `localFile` (owner-only) and starts the client without waiting;
// a server box it cannot read is said, and nothing is written.
// The notice upload calls this with its own file. When the script cannot be written or
// the client cannot be started, the reason goes to `messages` and no process is
// returned; nothing is thrown.
std::unique_ptr<StartedProcess> uploadFile(const UploadSettings& settings,
                                           const std::string& localFile,
                                           const std::string& programFolder,
                                           ProcessLauncher& launcher, MessageSink& messages,
                                           bool askNewHostKeys = false);

}  // namespace radmon
