#include "ftp_script.h"

#include <array>
#include <utility>

#include "text_files.h"

namespace radmon::ftp {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// Words separated by blanks; double quotes keep blanks inside a word (a path with
// spaces) and are dropped. No value when a quote is left open.
std::optional<std::vector<std::string>> splitWords(std::string_view line) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  bool quoted = false;
  for (const char c : line) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if (!quoted && isBlank(c)) {
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
    } else {
      word.push_back(c);
      inWord = true;
    }
  }
  if (quoted) return std::nullopt;
  if (inWord) words.push_back(std::move(word));
  return words;
}

std::string slashes(std::string path) {
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

// "# …" and "rem …", as people comment the scripts they write; a comment may hold
// anything, an unclosed quote too.
bool isComment(std::string_view line) {
  if (!line.empty() && line.front() == '#') return true;
  return lowerAscii(line.substr(0, 3)) == "rem" && (line.size() == 3 || isBlank(line[3]));
}

struct CommandInfo {
  std::string_view word;
  CommandKind kind;
  std::size_t minArgs;
  std::size_t maxArgs;
};

constexpr std::size_t kMany = 1000000;

constexpr std::array kCommands{
    CommandInfo{"open", CommandKind::Open, 1, 2},
    CommandInfo{"user", CommandKind::User, 1, 2},
    CommandInfo{"cd", CommandKind::Cd, 1, 1},
    CommandInfo{"bin", CommandKind::Binary, 0, 0},
    CommandInfo{"binary", CommandKind::Binary, 0, 0},
    CommandInfo{"ascii", CommandKind::Ascii, 0, 0},
    CommandInfo{"type", CommandKind::Binary, 1, 1},  // kind decided by its argument
    CommandInfo{"put", CommandKind::Put, 1, 2},
    CommandInfo{"send", CommandKind::Put, 1, 2},
    CommandInfo{"mput", CommandKind::Put, 1, kMany},
    CommandInfo{"lcd", CommandKind::Lcd, 1, 1},
    CommandInfo{"prompt", CommandKind::NoEffect, 0, 0},
    CommandInfo{"verbose", CommandKind::NoEffect, 0, 0},
    CommandInfo{"hash", CommandKind::NoEffect, 0, 0},
    CommandInfo{"disconnect", CommandKind::Disconnect, 0, 0},
    CommandInfo{"close", CommandKind::Disconnect, 0, 0},
    CommandInfo{"bye", CommandKind::Bye, 0, 0},
    CommandInfo{"quit", CommandKind::Bye, 0, 0},
    CommandInfo{"passive", CommandKind::NoEffect, 0, 0},  // transfers are always passive
    CommandInfo{"quote", CommandKind::Quote, 1, kMany},
    CommandInfo{"literal", CommandKind::Quote, 1, kMany},
    CommandInfo{"mkdir", CommandKind::Mkdir, 1, 1},
    CommandInfo{"delete", CommandKind::Delete, 1, 1},
    CommandInfo{"rename", CommandKind::Rename, 2, 2},
    CommandInfo{"get", CommandKind::Get, 1, 2},
    CommandInfo{"recv", CommandKind::Get, 1, 2},
    CommandInfo{"pwd", CommandKind::Pwd, 0, 0},
    CommandInfo{"ls", CommandKind::List, 0, 1},
    CommandInfo{"dir", CommandKind::List, 0, 1},
    CommandInfo{"status", CommandKind::Status, 0, 0},
};

const CommandInfo* findCommand(std::string_view word) {
  for (const auto& info : kCommands) {
    if (info.word == word) return &info;
  }
  return nullptr;
}

// Walks the lines once; the account lines after "open" and "user" are taken from the
// same walk, so they are never read as commands (a user called "bin" stays a user).
class ScriptReader {
 public:
  ScriptReader(std::string_view text, const ParseOptions& options)
      : lines_(textLines(text)), options_(options) {}

  ParsedScript read() {
    while (next_ < lines_.size() && !ended_) readCommandLine();
    return std::move(result_);
  }

 private:
  int lineNumber() const { return static_cast<int>(next_); }  // of the line just taken

  // Always false: the line or command is faulty.
  bool fail(int line, ScriptIssue kind, std::string subject) {
    result_.issues.push_back({line, kind, std::move(subject)});
    return false;
  }

  // The next line whole (the account lines), or no value at the end of the script.
  std::optional<std::string_view> takeLine() {
    if (next_ >= lines_.size()) return std::nullopt;
    return lines_[next_++];
  }

  // False when the line is faulty.
  bool readCommandLine() {
    const std::string_view line = *takeLine();
    const int number = lineNumber();
    if (isComment(trimmed(line))) return true;
    auto words = splitWords(line);
    if (!words) return fail(number, ScriptIssue::OpenQuote, {});
    if (words->empty()) return true;
    const std::string word = lowerAscii(words->front());
    const CommandInfo* info = findCommand(word);
    if (info == nullptr) return fail(number, ScriptIssue::UnknownCommand, words->front());
    ScriptCommand command{info->kind, number, words->front(), {}, 21, Transport::Ftp, {}, {}};
    command.args.assign(words->begin() + 1, words->end());
    if (command.args.size() < info->minArgs)
      return fail(number, ScriptIssue::TooFewArguments, words->front());
    if (command.args.size() > info->maxArgs)
      return fail(number, ScriptIssue::TooManyArguments, words->front());
    if (!complete(command, word)) return false;
    result_.value.push_back(std::move(command));
    return true;
  }

  // Fills the parts of a command beyond its words; false when the command is faulty.
  bool complete(ScriptCommand& command, const std::string& word) {
    switch (command.kind) {
      case CommandKind::Open:
        return completeOpen(command);
      case CommandKind::User:
        return completeUser(command);
      case CommandKind::Cd:
        command.args.front() = slashes(command.args.front());
        return true;
      case CommandKind::Put:
        if (word != "mput" && command.args.size() == 2) {
          command.remoteName = slashes(command.args.back());
          command.args.pop_back();
        }
        return true;
      case CommandKind::Bye:
        ended_ = true;  // the client stops reading here
        return true;
      case CommandKind::Quote: {
        std::string text;
        for (const auto& part : command.args) text += (text.empty() ? "" : " ") + part;
        // Passive mode is how every transfer runs already.
        if (lowerAscii(command.args.front()) == "pasv") command.kind = CommandKind::NoEffect;
        command.args = {text};
        return true;
      }
      case CommandKind::Mkdir:
      case CommandKind::Delete:
      case CommandKind::Rename:
      case CommandKind::List:
        for (auto& arg : command.args) arg = slashes(arg);
        return true;
      case CommandKind::Get:
        command.args.front() = slashes(command.args.front());
        return true;
      default:
        break;
    }
    if (word == "type") {
      const std::string mode = lowerAscii(command.args.front());
      if (mode == "binary" || mode == "image" || mode == "i")
        command.kind = CommandKind::Binary;
      else if (mode == "ascii" || mode == "a")
        command.kind = CommandKind::Ascii;
      else
        return fail(command.line, ScriptIssue::UnknownMode, command.args.front());
      command.args.clear();
    }
    return true;
  }

  bool completeOpen(ScriptCommand& command) {
    // The account lines belong to this command even when it is faulty, so that one
    // bad line is reported once and the password is never read as a command.
    std::optional<std::string_view> user, password;
    if (options_.autoLogin) {
      user = takeLine();
      password = takeLine();
    }
    std::string server = command.args[0];
    if (command.args.size() == 2) server += " " + command.args[1];
    const auto address = parseServerAddress(server);
    if (!address) return fail(command.line, ScriptIssue::BadServer, server);
    command.args = {address->host};
    command.port = address->port;
    command.transport = address->transport;
    if (!options_.autoLogin) return true;
    if (!user || trimmed(*user).empty())
      return fail(command.line, ScriptIssue::NoUser, command.word);
    if (!password) return fail(command.line, ScriptIssue::NoPassword, command.word);
    command.login = Login{std::string(trimmed(*user)), std::string(*password)};
    return true;
  }

  bool completeUser(ScriptCommand& command) {
    const auto password =
        command.args.size() == 2 ? std::optional<std::string_view>(command.args[1]) : takeLine();
    if (!password) return fail(command.line, ScriptIssue::NoPassword, command.word);
    command.login = Login{command.args[0], std::string(*password)};
    command.args.clear();
    return true;
  }

  std::vector<std::string_view> lines_;
  ParseOptions options_;
  std::size_t next_ = 0;
  bool ended_ = false;
  ParsedScript result_;
};

}  // namespace

ParsedScript parseFtpScript(std::string_view text, const ParseOptions& options) {
  // A byte-order mark written by an editor is no part of the first command.
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  return ScriptReader(text, options).read();
}

std::string uploadName(std::string_view localPath) {
  const auto cut = localPath.find_last_of("/\\");
  return std::string(cut == std::string_view::npos ? localPath : localPath.substr(cut + 1));
}

}  // namespace radmon::ftp
