#include "script_runner.h"

#include <glob.h>

#include <filesystem>

#include "outcome_text.h"
#include "text_files.h"

namespace radmon::ftp {

ScriptRunner::ScriptRunner(const CommandLine& line, std::ostream& out, std::ostream& err)
    : line_(line),
      out_(out),
      err_(err) {
  if (line.settingsPath.empty()) return;
  const auto read = readPublishSettings(line.settingsPath);
  publish_ = read.value;
  for (const auto& issue : read.issues) err_ << settingsIssueText(line.settingsPath, issue) << std::endl;
  // "Trust once" in the window: good for this run, then gone.
  const std::string once = trustOncePath(line.settingsPath);
  if (const auto text = readTextFile(once)) {
    if (const auto print = normalFingerprint(*text)) publish_.trustedFingerprints.insert(*print);
    std::filesystem::remove(once);
  }
}

int ScriptRunner::run(const std::vector<ScriptCommand>& commands) {
  bool complete = true;
  for (const auto& command : commands) {
    if (!step(command)) {
      complete = false;
      err_ << "中止: 行 " << command.line << " 以降は実行しません" << std::endl;
      break;
    }
    if (command.kind == CommandKind::Bye) break;
  }
  connection_.reset();
  out_ << "終了: 転送成功 " << sent_ << " 件, 失敗 " << failed_ << " 件" << std::endl;
  return complete && failed_ == 0 ? kExitOk : kExitStepFailed;
}

void ScriptRunner::fail(const ScriptCommand& command, const std::string& reason) {
  out_.flush();
  err_ << "失敗: 行 " << command.line << " " << command.word << ": " << reason << std::endl;
}

// "失敗: 行 1 OPEN: 接続とログイン: 接続を拒否されました (…)", the server's reply on the
// lines after it.
void ScriptRunner::fail(const ScriptCommand& command, const char* step, const Outcome& outcome) {
  const TrustCheck none;
  fail(command, std::string(step) + ": " +
                    failureText(outcome, *address_,
                                connection_ ? connection_->certificate() : none));
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
      text_ = false;
      out_ << "転送モード: バイナリ" << std::endl;
      return true;
    case CommandKind::Ascii:
      text_ = true;
      out_ << "転送モード: アスキー" << std::endl;
      return true;
    case CommandKind::Put:
      put(command);
      return true;
    case CommandKind::Disconnect:
    case CommandKind::Bye:
      if (connection_) out_ << "切断" << std::endl;
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
      serverCommand(command, {"RNFR " + command.args[0], "RNTO " + command.args[1]}, {"rename"},
                    true);
      return true;
    case CommandKind::Get:
      get(command);
      return true;
    case CommandKind::Pwd:
      out_ << "フォルダ: " << folder_.display() << std::endl;
      return true;
    case CommandKind::List:
      list(command);
      return true;
    case CommandKind::Status:
      status();
      return true;
  }
  return true;
}

void ScriptRunner::serverCommand(const ScriptCommand& command, const std::vector<std::string>& ftp,
                                 const std::vector<std::string>& sftp, bool counts) {
  if (!connection_) {
    ++failed_;
    fail(command, "接続していません");
    return;
  }
  std::vector<std::string> lines = ftp;
  if (connection_->sftp()) {
    if (sftp.empty()) {
      ++failed_;
      fail(command, "SFTP の接続では FTP のコマンドを送れません");
      return;
    }
    // SFTP names files by their whole paths: "rename a b" -> rename "/~/…/a" "/~/…/b".
    std::string line = sftp.front();
    for (const auto& arg : command.args) {
      line += ' ';
      line += connection_->commandPath(folder_, arg);
    }
    lines = {line};
  }
  const Outcome outcome = connection_->serverCommands(folder_, lines);
  if (outcome.ok) {
    out_ << command.word << " ... 成功";
    if (!outcome.reply.empty()) out_ << ": " << outcome.reply;
    out_ << std::endl;
    return;
  }
  if (counts) ++failed_;
  fail(command, counts ? "サーバのコマンド" : "サーバのコマンド (続行します)", outcome);
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
  out_ << "受信: " << remote << " -> " << path << std::endl;
  if (!connection_ || name.empty()) {
    ++failed_;
    fail(command, connection_ ? "サーバ側のファイル名がありません" : "接続していません");
    return;
  }
  const Outcome outcome = connection_->download(source, name, path, text_);
  if (outcome.ok) {
    out_ << "受信: " << name << " ... 成功 (" << outcome.bytes << " バイト)" << std::endl;
    return;
  }
  ++failed_;
  fail(command, (name + " の受信").c_str(), outcome);
}

void ScriptRunner::list(const ScriptCommand& command) {
  if (!connection_) {
    ++failed_;
    fail(command, "接続していません");
    return;
  }
  const ServerFolder target =
      command.args.empty() ? folder_ : folder_.changedTo(command.args.front());
  std::string listing;
  const bool namesOnly = command.word.size() == 2;  // ls, not dir
  const Outcome outcome = connection_->list(target, namesOnly, listing);
  if (!outcome.ok) {
    ++failed_;
    fail(command, "一覧", outcome);
    return;
  }
  out_ << listing << (listing.empty() || listing.back() == '\n' ? "" : "\n") << std::flush;
}

void ScriptRunner::status() {
  if (!address_) {
    out_ << "状態: 接続していません" << std::endl;
    return;
  }
  out_ << "状態: " << address_->key() << (connection_ ? " に接続" : " (未ログイン)")
       << (connection_ && connection_->encrypted() ? ", 暗号化あり" : ", 暗号化なし")
       << ", フォルダ " << folder_.display() << ", 転送モード "
       << (text_ ? "アスキー" : "バイナリ") << std::endl;
}

bool ScriptRunner::open(const ScriptCommand& command) {
  connection_.reset();
  address_ = ServerAddress{command.transport, command.args.front(), command.port};
  folder_ = ServerFolder{};
  static constexpr const char* kTransportNames[] = {"FTP", "FTPS", "SFTP"};
  out_ << "接続: " << kTransportNames[static_cast<int>(address_->transport)] << " "
       << address_->key() << std::endl;
  return command.login ? logIn(command, *command.login) : true;
}

bool ScriptRunner::logIn(const ScriptCommand& command, const Login& login) {
  if (!address_) {
    fail(command, "接続していません");
    return false;
  }
  SessionOptions options{*address_, login, line_.stallSeconds, line_.verbose, publish_,
                         line_.settingsPath};
  connection_ = std::make_unique<FtpConnection>(options);
  if (const auto fault = connection_->trustFileFault(); fault != CertificateFileFault::None)
    err_ << certificateFileText(fault, publish_.trustedCertificateFile) << std::endl;
  folder_ = ServerFolder{};
  const Outcome outcome = connection_->checkFolder(folder_);
  if (!outcome.ok) {
    // The user name is not repeated: a script whose lines slipped may hold the password
    // in its place.
    fail(command, "接続とログイン", outcome);
    connection_.reset();
    return false;
  }
  out_ << "ログイン ... 成功" << (connection_->encrypted() ? " (暗号化あり)" : " (暗号化なし)")
       << std::endl;
  return true;
}

bool ScriptRunner::changeFolder(const ScriptCommand& command) {
  if (!connection_) {
    fail(command, "接続していません");
    return false;
  }
  const ServerFolder next = folder_.changedTo(command.args.front());
  const Outcome outcome = connection_->checkFolder(next);
  if (!outcome.ok) {
    fail(command, ("フォルダ " + next.display() + " への移動").c_str(), outcome);
    return false;
  }
  folder_ = next;
  out_ << "フォルダ: " << folder_.display() << std::endl;
  return true;
}

bool ScriptRunner::changeLocalFolder(const ScriptCommand& command) {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::path(localFolder_) / command.args.front();
  if (!std::filesystem::is_directory(folder, error)) {
    fail(command, "ローカルフォルダがありません: " + folder.string());
    return false;
  }
  localFolder_ = folder.string();
  out_ << "ローカルフォルダ: " << localFolder_ << std::endl;
  return true;
}

std::vector<std::string> ScriptRunner::expand(const std::string& pattern) const {
  const std::string path =
      localFolder_.empty() ? pattern : (std::filesystem::path(localFolder_) / pattern).string();
  if (pattern.find_first_of("*?") == std::string::npos) return {path};
  glob_t found{};
  std::vector<std::string> paths;
  if (::glob(path.c_str(), 0, nullptr, &found) == 0) {
    paths.assign(found.gl_pathv, found.gl_pathv + found.gl_pathc);
  }
  ::globfree(&found);
  return paths;
}

void ScriptRunner::put(const ScriptCommand& command) {
  for (const auto& pattern : command.args) {
    const auto paths = expand(pattern);
    if (paths.empty()) {
      ++failed_;
      fail(command, "該当するローカルファイルがありません: " + pattern);
    }
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
  out_ << "転送: " << localPath << " -> " << shown << (shown == "/" ? "" : "/") << name
       << std::endl;

  std::error_code error;
  std::string reason;
  if (!std::filesystem::is_regular_file(localPath, error)) {
    reason = "ローカルファイルがありません: " + localPath;
  } else if (name.empty()) {
    reason = "サーバ側のファイル名がありません";
  } else if (!connection_) {
    reason = "接続していません";
  }
  if (reason.empty()) {
    const Outcome outcome = connection_->upload(localPath, target, name, text_);
    if (outcome.ok) {
      ++sent_;
      out_ << "転送: " << name << " ... 成功 (" << outcome.bytes << " バイト)" << std::endl;
      return;
    }
    ++failed_;
    fail(command, (name + " の転送").c_str(), outcome);
    return;
  }
  ++failed_;
  fail(command, name + " ... " + reason);
}

}  // namespace radmon::ftp
