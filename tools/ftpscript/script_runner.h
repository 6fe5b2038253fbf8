// Runs a parsed script against the server, step by step, and tells the operator what
// each step came to. Steps after a failed open, login, cd or lcd are not run: they
// would put the files in the wrong place. A failed transfer does not stop the others.
#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "command_line.h"
#include "ftp_connection.h"
#include "ftp_script.h"
#include "outcome_text.h"
#include "publish_settings.h"
#include "server_folder.h"

namespace radmon::ftp {

// The servers that refused to rename an upload over the file, kept by ftpscript in the
// station folder: uploads to them are stored directly, with no temporary.
inline constexpr const char* kNoRenameFile = "ftpscript_no_rename.txt";
// The servers whose last session ended before all its uploads were done: the next
// session removes the temporaries left in the folders it uploads to.
inline constexpr const char* kUnfinishedFile = "ftpscript_unfinished.txt";
// The SFTP servers found to offer no one-step replace, so that the operator hears of it
// once; a server that offers it again is taken off.
inline constexpr const char* kNoOneStepFile = "ftpscript_no_one_step.txt";

class ScriptRunner {
 public:
  ScriptRunner(const CommandLine& line, std::ostream& out, std::ostream& err);

  // kExitOk only when the script ran to its end and every transfer succeeded; else the
  // exit status of the first failure's cause.
  int run(const std::vector<ScriptCommand>& commands);

 private:
  bool step(const ScriptCommand& command);  // false: the run cannot go on
  bool open(const ScriptCommand& command);
  bool logIn(const ScriptCommand& command, const Login& login);
  // The note on an SSH host key the login kept, replaced or could not keep.
  void sayHostKey();
  bool changeFolder(const ScriptCommand& command);
  bool changeLocalFolder(const ScriptCommand& command);
  void put(const ScriptCommand& command);
  void putOne(const ScriptCommand& command, const std::string& localPath);
  // A file of ftpscript's own in the station folder.
  std::string stationFile(const char* name) const;
  std::vector<std::string> expand(const std::string& pattern) const;
  // quote, mkdir, delete, rename over FTP; `counts`: a failure fails the run (mkdir and delete of
  // what is already there or already gone are how scripts make sure, not faults).
  void serverCommand(const ScriptCommand& command, const std::vector<std::string>& ftp,
                     const std::vector<std::string>& sftp, bool counts);
  // rename over SFTP: the target replaced as an FTP server replaces it.
  void renameOver(const ScriptCommand& command);
  // The notes on how an upload or a rename replaced the file on the server.
  void sayReplaceNotes(const Outcome& outcome);
  void get(const ScriptCommand& command);
  void list(const ScriptCommand& command);
  void say(Progress kind, const ProgressFacts& facts = {});
  // Tells why a step failed; false, for the steps that stop the run.
  bool fail(const ScriptCommand& command, Progress reason, const ProgressFacts& facts = {});
  bool fail(const ScriptCommand& command, Progress step, const Outcome& outcome,
            const std::string& name = {});
  // A failed transfer or command that does not stop the run: counted.
  template <typename... Facts>
  void miss(const ScriptCommand& command, Progress reason, const Facts&... facts) {
    ++failed_;
    fail(command, reason, facts...);
  }

  CommandLine line_;
  std::ostream& out_;
  std::ostream& err_;
  std::optional<ServerAddress> address_;
  PublishSettings publish_;
  std::string hostKeyOnce_;  // an SSH host key trusted in the window for this run
  std::unique_ptr<FtpConnection> connection_;
  ServerFolder folder_;
  std::string localFolder_;  // from lcd; empty: the working folder
  bool text_ = false;        // binary unless the script says ascii
  int sent_ = 0;
  int failed_ = 0;
  int status_ = kExitOk;  // the first failure's
};

}  // namespace radmon::ftp
