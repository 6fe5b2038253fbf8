#include "script_runner.h"

#include <glob.h>

#include <chrono>
#include <filesystem>

#include "outcome_text.h"
#include "text_files.h"

namespace radmon::ftp {

ScriptRunner::ScriptRunner(const CommandLine& line, std::ostream& out, std::ostream& err)
    : line_(line), out_(out), err_(err) {
  if (line.settingsPath.empty()) return;
  const auto read = readPublishSettings(line.settingsPath);
  publish_ = read.value;
  for (const auto& issue : read.issues)
    err_ << settingsIssueText(line.settingsPath, issue) << std::endl;
  // "Trust once" in the window: good for this run, then gone.
  const std::string once = trustOncePath(line.settingsPath);
  if (const auto text = readTextFile(once)) {
    if (const auto print = normalFingerprint(*text)) publish_.trustedFingerprints.insert(*print);
    if (const auto print = normalHostKeyFingerprint(*text)) hostKeyOnce_ = *print;
    std::filesystem::remove(once);
  }
}

int ScriptRunner::run(const std::vector<ScriptCommand>& commands) {
  bool complete = true;
  for (const auto& command : commands) {
    if (!step(command)) {
      complete = false;
      err_ << progressText(Progress::Stopped, {.number = command.line}) << std::endl;
      break;
    }
    if (command.kind == CommandKind::Bye) break;
  }
  connection_.reset();
  say(Progress::Finished, {.number = sent_, .failed = failed_});
  if (complete && failed_ == 0) return kExitOk;
  return status_ != kExitOk ? status_ : kExitOther;
}

void ScriptRunner::say(Progress kind, const ProgressFacts& facts) {
  out_ << progressText(kind, facts) << std::endl;
}

bool ScriptRunner::fail(const ScriptCommand& command, Progress reason, const ProgressFacts& facts) {
  out_.flush();
  err_ << progressText(
              Progress::Failed,
              {.name = command.word, .other = progressText(reason, facts), .number = command.line})
       << std::endl;
  return false;
}

// "失敗: 行 1 OPEN: 接続とログイン: 接続を拒否されました (…)", the server's reply on the
// lines after it. `name`: the file or folder the step is about.
bool ScriptRunner::fail(const ScriptCommand& command, Progress step, const Outcome& outcome,
                        const std::string& name) {
  const TrustCheck none;
  const TrustCheck& check = connection_ ? connection_->certificate() : none;
  if (step != Progress::CommandStepGoesOn && status_ == kExitOk)
    status_ = exitStatusFor(outcome.failure);
  if (outcome.failure == Failure::Certificate && !check.fingerprint.empty())
    out_ << certificateLine(check.fingerprint) << std::endl;
  if ((outcome.failure == Failure::HostKey || outcome.failure == Failure::HostKeyNew) &&
      !check.hostKey.empty())
    out_ << hostKeyLine(check.hostKey) << std::endl;
  return fail(command, step, {.name = name, .other = failureText(outcome, *address_, check)});
}

bool ScriptRunner::step(const ScriptCommand& command) {
  switch (command.kind) {
    case CommandKind::Open:
      return open(command);
    case CommandKind::User:
      return logIn(command, *command.login);
    case CommandKind::Cd:
      return changeFolder(command);
    case CommandKind::Lcd:
      return changeLocalFolder(command);
    case CommandKind::Binary:
    case CommandKind::Ascii:
      text_ = command.kind == CommandKind::Ascii;
      say(Progress::Mode, {.text = text_});
      return true;
    case CommandKind::Put:
      put(command);
      return true;
    case CommandKind::Disconnect:
    case CommandKind::Bye:
      if (connection_) say(Progress::Disconnected);
      connection_.reset();
      address_.reset();
      return true;
    case CommandKind::NoEffect:
      return true;
    case CommandKind::Quote:
      serverCommand(command, {command.args[0]}, {}, true);
      return true;
    case CommandKind::Mkdir:
      serverCommand(command, {"MKD " + command.args[0]}, {"mkdir"}, false);
      return true;
    case CommandKind::Delete:
      serverCommand(command, {"DELE " + command.args[0]}, {"rm"}, false);
      return true;
    case CommandKind::Rename:
      if (connection_ && connection_->sftp()) {
        renameOver(command);
      } else {
        serverCommand(command, {"RNFR " + command.args[0], "RNTO " + command.args[1]}, {}, true);
      }
      return true;
    case CommandKind::Get:
      get(command);
      return true;
    case CommandKind::Pwd:
      say(Progress::Folder, {.name = folder_.display()});
      return true;
    case CommandKind::List:
      list(command);
      return true;
    case CommandKind::Status:
      say(Progress::Status, {.name = address_ ? address_->key() : "",
                             .other = folder_.display(),
                             .encrypted = connection_ && connection_->encrypted(),
                             .text = text_,
                             .loggedIn = connection_ != nullptr});
      return true;
  }
  return true;
}

void ScriptRunner::serverCommand(const ScriptCommand& command, const std::vector<std::string>& ftp,
                                 const std::vector<std::string>& sftp, bool counts) {
  if (!connection_) return miss(command, Progress::NotConnected);
  std::vector<std::string> lines = ftp;
  if (connection_->sftp()) {
    if (sftp.empty()) return miss(command, Progress::SftpNoQuote);
    // SFTP names files by their whole paths: "rename a b" -> rename "/~/…/a" "/~/…/b".
    std::string line = sftp.front();
    for (const auto& arg : command.args) {
      line += ' ';
      line += connection_->commandPath(folder_, arg);
    }
    lines = {line};
  }
  const Outcome outcome = connection_->serverCommands(folder_, lines);
  if (outcome.ok) return say(Progress::CommandDone, {.name = command.word, .other = outcome.reply});
  if (counts) ++failed_;
  fail(command, counts ? Progress::CommandStep : Progress::CommandStepGoesOn, outcome);
}

// Over SFTP as over FTP, an existing target is replaced.
void ScriptRunner::renameOver(const ScriptCommand& command) {
  const Outcome outcome = connection_->renameOver(folder_, command.args[0], command.args[1]);
  if (!outcome.ok) {
    ++failed_;
    fail(command, Progress::CommandStep, outcome);
    return;
  }
  say(Progress::CommandDone, {.name = command.word});
  sayReplaceNotes(outcome);
}

void ScriptRunner::sayReplaceNotes(const Outcome& outcome) {
  if (outcome.learnedNoRename) say(Progress::NoAtomicReplace, {.name = address_->key()});
  if (outcome.learnedDeleteFirst) say(Progress::DeleteBeforeRename, {.name = address_->key()});
  if (!outcome.oneStepFault.empty())
    say(Progress::OneStepFault, {.name = address_->key(), .other = outcome.oneStepFault});
}

void ScriptRunner::get(const ScriptCommand& command) {
  const std::string& remote = command.args[0];
  const auto cut = remote.find_last_of('/');
  const ServerFolder source =
      cut == std::string::npos ? folder_ : folder_.changedTo(remote.substr(0, cut + 1));
  const std::string name = cut == std::string::npos ? remote : remote.substr(cut + 1);
  const std::string local = command.args.size() == 2 ? command.args[1] : uploadName(name);
  const std::string path =
      localFolder_.empty() ? local : (std::filesystem::path(localFolder_) / local).string();
  say(Progress::Receiving, {.name = remote, .other = path});
  if (!connection_ || name.empty())
    return miss(command, connection_ ? Progress::NoRemoteName : Progress::NotConnected);
  const Outcome outcome = connection_->download(source, name, path, text_);
  if (outcome.ok) return say(Progress::Received, {.name = name, .number = outcome.bytes});
  miss(command, Progress::ReceiveStep, outcome, name);
}

void ScriptRunner::list(const ScriptCommand& command) {
  if (!connection_) return miss(command, Progress::NotConnected);
  const ServerFolder target =
      command.args.empty() ? folder_ : folder_.changedTo(command.args.front());
  std::string listing;
  const bool namesOnly = command.word.size() == 2;  // ls, not dir
  const Outcome outcome = connection_->list(target, namesOnly, listing);
  if (!outcome.ok) return miss(command, Progress::ListStep, outcome);
  out_ << listing << (listing.empty() || listing.back() == '\n' ? "" : "\n") << std::flush;
}

bool ScriptRunner::open(const ScriptCommand& command) {
  connection_.reset();
  address_ = ServerAddress{command.transport, command.args.front(), command.port};
  folder_ = ServerFolder{};
  say(Progress::Connecting,
      {.name = address_->key(), .number = static_cast<int>(address_->transport)});
  return command.login ? logIn(command, *command.login) : true;
}

bool ScriptRunner::logIn(const ScriptCommand& command, const Login& login) {
  if (!address_) return fail(command, Progress::NotConnected);
  SessionOptions options{*address_,
                         login,
                         line_.stallSeconds,
                         line_.verbose,
                         publish_,
                         line_.settingsPath,
                         stationFile(kNoRenameFile),
                         stationFile(kUnfinishedFile),
                         hostKeyOnce_,
                         line_.askNewHostKeys,
                         stationFile(kNoOneStepFile)};
  connection_ = std::make_unique<FtpConnection>(options);
  if (const auto fault = connection_->trustFileFault(); fault != CertificateFileFault::None)
    err_ << certificateFileText(fault, publish_.trustedCertificateFile) << std::endl;
  folder_ = ServerFolder{};
  const Outcome outcome = connection_->checkFolder(folder_);
  sayHostKey();
  if (!outcome.ok) {
    // The user name is not repeated: a script whose lines slipped may hold the password
    // in its place.
    fail(command, Progress::LoginStep, outcome);
    connection_.reset();
    return false;
  }
  say(Progress::LoggedIn, {.encrypted = connection_->encrypted()});
  return true;
}

// A key kept or replaced is said whether or not the login then succeeds: the file has
// changed either way.
void ScriptRunner::sayHostKey() {
  const HostKeyCheck& check = connection_->hostKey();
  const ProgressFacts facts{.name = knownHostName(check.host, check.port),
                            .other = check.fingerprint};
  if (check.unsaved) {
    say(Progress::HostKeyNotKept, facts);
  } else if (check.event == HostKeyEvent::Kept) {
    say(Progress::HostKeyKept, facts);
    out_ << hostKeyKeptLine(facts.name, check.fingerprint) << std::endl;
  } else if (check.event == HostKeyEvent::Replaced) {
    say(Progress::HostKeyReplaced, facts);
  }
}

bool ScriptRunner::changeFolder(const ScriptCommand& command) {
  if (!connection_) return fail(command, Progress::NotConnected);
  const ServerFolder next = folder_.changedTo(command.args.front());
  const Outcome outcome = connection_->checkFolder(next);
  if (!outcome.ok) return fail(command, Progress::FolderStep, outcome, next.display());
  folder_ = next;
  say(Progress::Folder, {.name = folder_.display()});
  return true;
}

bool ScriptRunner::changeLocalFolder(const ScriptCommand& command) {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::path(localFolder_) / command.args.front();
  if (!std::filesystem::is_directory(folder, error))
    return fail(command, Progress::NoLocalFolder, {.name = folder.string()});
  localFolder_ = folder.string();
  say(Progress::LocalFolder, {.name = localFolder_});
  return true;
}

std::vector<std::string> ScriptRunner::expand(const std::string& pattern) const {
  const std::string path =
      localFolder_.empty() ? pattern : (std::filesystem::path(localFolder_) / pattern).string();
  if (pattern.find_first_of("*?") == std::string::npos) return {path};
  glob_t found{};
  std::vector<std::string> paths;
  if (::glob(path.c_str(), 0, nullptr, &found) == 0)
    paths.assign(found.gl_pathv, found.gl_pathv + found.gl_pathc);
  ::globfree(&found);
  return paths;
}

void ScriptRunner::put(const ScriptCommand& command) {
  for (const auto& pattern : command.args) {
    const auto paths = expand(pattern);
    if (paths.empty()) miss(command, Progress::NoMatch, ProgressFacts{.name = pattern});
    for (const auto& path : paths) putOne(command, path);
  }
}

void ScriptRunner::putOne(const ScriptCommand& command, const std::string& localPath) {
  // A remote name may name a folder too ("put a.jpg graph/b.jpg"); it counts from the
  // current folder like a cd would.
  const std::string remote =
      command.remoteName.empty() ? uploadName(localPath) : command.remoteName;
  const auto cut = remote.find_last_of('/');
  const ServerFolder target =
      cut == std::string::npos ? folder_ : folder_.changedTo(remote.substr(0, cut + 1));
  const std::string name = cut == std::string::npos ? remote : remote.substr(cut + 1);
  const std::string shown = target.display();
  say(Progress::Sending, {.name = localPath, .other = shown + (shown == "/" ? "" : "/") + name});

  std::error_code error;
  const std::optional<Progress> reason = !std::filesystem::is_regular_file(localPath, error)
                                             ? Progress::NoLocalFile
                                         : name.empty() ? Progress::NoRemoteName
                                         : !connection_ ? std::optional(Progress::NotConnected)
                                                        : std::nullopt;
  if (reason) {
    const std::string why = progressText(*reason, {.name = localPath});
    const Failure failure = *reason == Progress::NoLocalFile ? Failure::LocalFile : Failure::Other;
    out_ << transferLine({.name = name, .failure = failure}) << std::endl;
    return miss(command, Progress::FileFault, ProgressFacts{.name = name, .other = why});
  }
  const auto start = std::chrono::steady_clock::now();
  const Outcome outcome = connection_->upload(localPath, target, name, text_);
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  out_ << transferLine({.name = name,
                        .ok = outcome.ok,
                        .failure = outcome.failure,
                        .bytes = outcome.bytes,
                        .milliseconds = took.count(),
                        .retries = outcome.retries,
                        .direct = outcome.direct})
       << std::endl;
  if (!outcome.ok) return miss(command, Progress::SendStep, outcome, name);
  ++sent_;
  if (outcome.retries > 0) say(Progress::Resent, {.name = name, .number = outcome.retries});
  say(Progress::Sent, {.name = name, .number = outcome.bytes});
  sayReplaceNotes(outcome);
}

// Beside the publishing settings, or else beside the script: the station folder either way.
std::string ScriptRunner::stationFile(const char* name) const {
  const std::string& beside = line_.settingsPath.empty() ? line_.scriptPath : line_.settingsPath;
  return (std::filesystem::path(beside).parent_path() / name).string();
}

}  // namespace radmon::ftp
