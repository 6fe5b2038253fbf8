// The command script of a "-s:" run, read as the Windows command-line FTP client reads
// it, turned into a list of commands before anything is sent. Pure text work: no
// network, no files, safe on any input (the fuzz entry point is parseFtpScript).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "read_result.h"
#include "server_address.h"

namespace radmon::ftp {

enum class CommandKind {
  Open,        // connect, and log in when the script carries the account
  User,        // log in on the open connection
  Cd,          // change the server folder
  Binary,      // image transfers
  Ascii,       // text transfers
  Put,         // upload local files into the server folder
  Lcd,         // change the local folder that relative local paths start from
  NoEffect,    // prompt, verbose, hash, passive, "quote PASV": nothing to do here
  Disconnect,  // end the connection, the script goes on
  Bye,         // end the run
  Quote,       // quote, literal: one raw command to the server (args: its text)
  Mkdir,       // make a server folder
  Delete,      // delete a server file
  Rename,      // rename a server file (args: from, to)
  Get,         // download a server file (args: remote, optional local)
  Pwd,         // say the server folder
  List,        // ls, dir: list the server folder (args: optional folder)
  Status,      // say the connection's state
};

struct Login {
  std::string user;
  std::string password;
};

struct ScriptCommand {
  CommandKind kind{};
  int line = 0;      // 1-based line of the command word in the script
  std::string word;  // the command as written, for messages
  // Open: host (an IPv6 literal without brackets). Cd: the folder with '/' separators. Lcd: the
  // local folder. Put: the local paths, each uploaded under its file name (or remoteName).
  std::vector<std::string> args;
  unsigned port = 21;                    // Open
  Transport transport = Transport::Ftp;  // Open: from "ftps://" or "sftp://"
  std::optional<Login> login;            // Open with auto-login, User
  std::string remoteName;                // Put of one file under another name
};

// What is wrong with a line; `subject` is the command word unless said otherwise.
enum class ScriptIssue {
  OpenQuote,  // a double quote left open (no subject)
  UnknownCommand,
  TooFewArguments,
  TooManyArguments,
  UnknownMode,  // type: subject is the mode
  BadServer,    // open: subject is the server as written, which parseServerAddress refuses
  NoUser,       // open: no user name on the next line
  NoPassword,
};

// The commands, and every faulty line in order (no issue: usable).
using ParsedScript = ReadResult<std::vector<ScriptCommand>, ScriptIssue>;

struct ParseOptions {
  // As the Windows client without -n: after "open" the next two lines are the user
  // name and the password.
  bool autoLogin = true;
};

// Reads a whole script (UTF-8; CR LF or LF line ends). Never throws on bad input.
ParsedScript parseFtpScript(std::string_view text, const ParseOptions& options = {});

// The file name a local path is uploaded under: the text after the last '/' or '\'.
std::string uploadName(std::string_view localPath);

}  // namespace radmon::ftp
