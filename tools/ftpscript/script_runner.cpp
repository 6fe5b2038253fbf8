#include "script_runner.h"

#include <glob.h>

#include <filesystem>

namespace radmon::ftp {

ScriptRunner::ScriptRunner(const CommandLine& line, std::ostream& out, std::ostream& err)
    : line_(line), out_(out), err_(err) {}

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
      endpoint_.reset();
      return true;
    case CommandKind::NoEffect:
      return true;
  }
  return true;
}

bool ScriptRunner::open(const ScriptCommand& command) {
  connection_.reset();
  endpoint_ = Endpoint{command.args.front(), command.port};
  folder_ = ServerFolder{};
  out_ << "接続: " << endpoint_->host << ":" << endpoint_->port << std::endl;
  return command.login ? logIn(command, *command.login) : true;
}

bool ScriptRunner::logIn(const ScriptCommand& command, const Login& login) {
  if (!endpoint_) {
    fail(command, "接続していません");
    return false;
  }
  connection_ =
      std::make_unique<FtpConnection>(*endpoint_, login, line_.stallSeconds, line_.verbose);
  folder_ = ServerFolder{};
  const Outcome outcome = connection_->checkFolder(folder_.urlPath());
  if (!outcome.ok) {
    connection_.reset();
    fail(command, "ログインできません (ユーザ " + login.user + "): " + outcome.reason);
    return false;
  }
  out_ << "ログイン: " << login.user << " ... 成功"
       << (connection_->usesTls() ? " (TLS)" : " (暗号化なし)") << std::endl;
  return true;
}

bool ScriptRunner::changeFolder(const ScriptCommand& command) {
  if (!connection_) {
    fail(command, "接続していません");
    return false;
  }
  const ServerFolder next = folder_.changedTo(command.args.front());
  const Outcome outcome = connection_->checkFolder(next.urlPath());
  if (!outcome.ok) {
    fail(command, "フォルダ " + next.display() + " に移れません: " + outcome.reason);
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
    const Outcome outcome = connection_->upload(localPath, target.urlPath(name), text_);
    if (outcome.ok) {
      ++sent_;
      out_ << "転送: " << name << " ... 成功 (" << outcome.bytes << " バイト)" << std::endl;
      return;
    }
    reason = outcome.reason;
  }
  ++failed_;
  fail(command, name + " ... " + reason);
}

}  // namespace radmon::ftp
