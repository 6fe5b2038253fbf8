#include "command_options.h"

#include <cctype>
#include <cstring>
#include <iterator>
#include <sstream>

namespace radmon {

CommandOption showSettingsOption(int showMode, int setMode) {
  return {.name = "--show-settings",
          .value = nullptr,
          .help = QT_TRANSLATE_NOOP("Options",
                                    "設定を key=value で一覧します (パスワードは (set) か "
                                    "(unset))"),
          .modes = modeBit(showMode) | modeBit(setMode),
          .requiredIn = modeBit(showMode)};
}

CommandOption setSettingOption(int showMode, int setMode) {
  return {.name = "--set",
          .value = "KEY=VALUE",
          .help = QT_TRANSLATE_NOOP(
              "Options", "設定を変更します。拒否した値はキーを示し、ファイルを変えません"),
          .modes = modeBit(showMode) | modeBit(setMode),
          .requiredIn = modeBit(setMode),
          .repeatable = true};
}
namespace {

constexpr const char* kContext = "Options";
constexpr size_t kHelpColumn = 30;

bool joined(const CommandOption& o) {
  const size_t n = std::strlen(o.name);
  return n > 0 && o.name[n - 1] == ':';
}

bool startsWithNoCase(const std::string& text, const char* prefix) {
  const size_t n = std::strlen(prefix);
  if (text.size() < n) return false;
  for (size_t i = 0; i < n; ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) !=
        std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  }
  return true;
}

// The option named by `arg`, and whether its value came with it ("--x=v", "-t:60").
const CommandOption* find(const ProgramOptions& program, const std::string& arg,
                          bool& valueJoined) {
  for (const auto& o : program.options) {
    if (joined(o)) {
      if (startsWithNoCase(arg, o.name)) return valueJoined = true, &o;
    } else if (arg == o.name) {
      return valueJoined = false, &o;
    } else if (o.value && arg.rfind(std::string(o.name) + "=", 0) == 0) {
      return valueJoined = true, &o;
    }
  }
  return nullptr;
}

std::string lines(const std::string& text, const std::string& indent) {
  std::string out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out += indent + line + "\n";
  return out;
}

// The width on a terminal: Japanese characters take two columns.
size_t columns(const std::string& text) {
  size_t n = 0;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80)
      ++n;
    else if (byte >= 0xC0)
      n += 2;  // the first byte of a character beyond ASCII
  }
  return n;
}

// roff: hyphens stay hyphens, backslashes are printed, and no line starts a request.
std::string roff(const std::string& text) {
  std::string out;
  bool lineStart = true;
  for (const char c : text) {
    if (lineStart && (c == '.' || c == '\'')) out += "\\&";
    if (c == '\\')
      out += "\\e";
    else if (c == '-')
      out += "\\-";
    else
      out += c;
    lineStart = c == '\n';
  }
  return out;
}

}  // namespace

OptionCheck checkOptions(const ProgramOptions& program, const std::vector<std::string>& args) {
  OptionCheck check;
  for (const auto& a : args) check.help = check.help || a == "--help";
  if (check.help) return check;
  // The first argument that chooses a form; else the form without a selector.
  check.mode = -1;
  for (size_t a = 0; a < args.size() && check.mode < 0; ++a) {
    for (size_t m = 0; m < program.modes.size(); ++m) {
      const char* selector = program.modes[m].selector;
      if (selector && args[a] == selector) check.mode = static_cast<int>(m);
    }
  }
  for (size_t m = 0; m < program.modes.size() && check.mode < 0; ++m) {
    if (!program.modes[m].selector) check.mode = static_cast<int>(m);
  }
  if (check.mode < 0) check.mode = 0;
  for (size_t i = 0; i < args.size(); ++i) {
    bool valueJoined = false;
    const CommandOption* o = find(program, args[i], valueJoined);
    if (!o || !(o->modes & modeBit(check.mode))) {
      check.fault = OptionFault::Unknown;
      check.argument = args[i];
      return check;
    }
    if (!o->value || valueJoined) {
      const size_t at = joined(*o) ? std::strlen(o->name) : args[i].find('=') + 1;
      check.given.emplace_back(o->name, o->value ? args[i].substr(at) : "");
      continue;
    }
    if (++i >= args.size()) {
      check.fault = OptionFault::MissingValue;
      check.argument = o->name;
      check.option = o;
      return check;
    }
    check.given.emplace_back(o->name, args[i]);
  }
  return check;
}

std::optional<std::string> OptionCheck::value(const std::string& name) const {
  std::optional<std::string> last;
  for (const auto& [option, text] : given)
    if (option == name) last = text;
  return last;
}

std::string optionSynopsis(const CommandOption& option) {
  if (!option.value) return option.name;
  return std::string(option.name) + (joined(option) ? "" : " ") + option.value;
}

std::vector<std::string> synopsisLines(const ProgramOptions& program) {
  std::vector<std::string> result;
  for (size_t m = 0; m < program.modes.size(); ++m) {
    const char* selector = program.modes[m].selector;
    std::string line = program.program;
    if (selector) {
      for (const auto& o : program.options) {
        if (std::strcmp(o.name, selector) == 0)
          line += " " + optionSynopsis(o) + (o.repeatable ? "..." : "");
      }
    }
    for (const auto& o : program.options) {
      if (!(o.modes & modeBit(static_cast<int>(m)))) continue;
      if (selector && std::strcmp(o.name, selector) == 0) continue;
      const bool required = (o.requiredIn & modeBit(static_cast<int>(m))) != 0;
      line += required ? " " : " [";
      line += optionSynopsis(o);
      if (o.repeatable) line += "...";
      if (!required) line += "]";
    }
    result.push_back(line);
  }
  return result;
}

std::string usageText(const ProgramOptions& program, const std::string& usageWord) {
  std::string text;
  const std::string indent(columns(usageWord) + 1, ' ');
  bool first = true;
  for (const auto& line : synopsisLines(program)) {
    text += (first ? usageWord + " " : indent) + line + "\n";
    first = false;
  }
  return text;
}

std::string helpText(const ProgramOptions& program, Translate translate,
                     const std::string& usageWord, const std::string& optionsWord) {
  std::string text = usageWord + "\n";
  const auto synopses = synopsisLines(program);
  for (size_t m = 0; m < synopses.size(); ++m) {
    text += "  " + synopses[m] + "\n";
    text += lines(translate(kContext, program.modes[m].help), "      ");
  }
  text += "\n" + optionsWord + "\n";
  for (const auto& o : program.options) {
    std::string head = "  " + optionSynopsis(o);
    head += head.size() + 2 <= kHelpColumn ? std::string(kHelpColumn - head.size(), ' ')
                                           : "\n" + std::string(kHelpColumn, ' ');
    const std::string help = lines(translate(kContext, o.help), std::string(kHelpColumn, ' '));
    text += head + help.substr(kHelpColumn);
  }
  text += "  --help" + std::string(kHelpColumn - 8, ' ') +
          translate(kContext, QT_TRANSLATE_NOOP("Options", "この説明を表示して終わります")) + "\n";
  return text;
}

namespace {

// What a setting's value must be, in a few words; the key alone says the rest.
std::string ruleText(const SettingLine& s, Translate translate) {
  auto t = [&](const char* source) { return translate(kContext, source); };
  auto number = [](double v) {
    std::string text = std::to_string(static_cast<long long>(v));
    return static_cast<double>(static_cast<long long>(v)) == v ? text : std::to_string(v);
  };
  // What each kind takes, in the order of ValueRule::Kind.
  static constexpr const char* kTakes[] = {
      QT_TRANSLATE_NOOP("Options", "文字列 (画面の欄と同じ)"),
      QT_TRANSLATE_NOOP("Options", "1 (オン) か 0 (オフ)"),
      QT_TRANSLATE_NOOP("Options", "数"),
      QT_TRANSLATE_NOOP("Options", "%1 から %2 までの数 (画面の表示の範囲)"),
      QT_TRANSLATE_NOOP("Options", "0 以上の数"),
      QT_TRANSLATE_NOOP("Options", "0 より大きい数"),
      QT_TRANSLATE_NOOP("Options", "ファイル名の一部: 空でなく、/ と \\ を含まない"),
      QT_TRANSLATE_NOOP("Options",
                        "サーバー: host、host:ポート、ftp://host、ftps://host、sftp://host"),
      QT_TRANSLATE_NOOP("Options",
                        "csv で終わるファイルの絶対パス。日ごとのファイルはそのフォルダ "
                        "(あるもの) に書かれます"),
  };
  static_assert(std::size(kTakes) == ValueRule::RecordFile + 1);
  std::string text =
      s.rule.kind == ValueRule::Any && s.rule.says ? t(s.rule.says) : t(kTakes[s.rule.kind]);
  if (s.rule.kind == ValueRule::Range) {
    text.replace(text.find("%1"), 2, number(s.rule.low));
    text.replace(text.find("%2"), 2, number(s.rule.high));
  }
  if (s.secret)
    text += " " + t(QT_TRANSLATE_NOOP("Options", "(--show-settings は (set) か (unset) と表示)"));
  return text;
}

}  // namespace

std::string manPage(const ProgramOptions& program, Translate translate, const std::string& date) {
  std::string upper = program.program;
  for (auto& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  std::string page = ".TH " + upper + " 1 \"" + date + "\" radmon\n";
  page += ".SH NAME\n" +
          roff(std::string(program.program) + " - " + translate(kContext, program.summary)) + "\n";
  page += ".SH SYNOPSIS\n";
  bool first = true;
  for (const auto& line : synopsisLines(program)) {
    page += (first ? "" : ".br\n") + roff(line) + "\n";
    first = false;
  }
  if (program.description) {
    page += ".SH DESCRIPTION\n" + roff(translate(kContext, program.description)) + "\n";
  }
  for (size_t m = 0; m < program.modes.size(); ++m) {
    page += ".TP\n.B " + roff(synopsisLines(program)[m]) + "\n" +
            roff(translate(kContext, program.modes[m].help)) + "\n";
  }
  page += ".SH OPTIONS\n";
  for (const auto& o : program.options) {
    page += ".TP\n.B " + roff(optionSynopsis(o)) + "\n" + roff(translate(kContext, o.help)) + "\n";
  }
  page += ".TP\n.B \\-\\-help\n" +
          roff(translate(kContext, QT_TRANSLATE_NOOP("Options", "この説明を表示して終わります"))) +
          "\n";
  if (!program.settings.empty()) {
    page += ".SH SETTINGS\n";
    if (program.settingsHelp) page += roff(translate(kContext, program.settingsHelp)) + "\n";
    for (const auto& s : program.settings) {
      page += ".TP\n.B " + roff(s.key) + "\n" + roff(ruleText(s, translate)) + "\n";
      // A note's lines stay lines (a table of figures, say).
      if (s.note) page += ".nf\n" + roff(translate(kContext, s.note)) + "\n.fi\n";
    }
  }
  if (program.services)
    page += ".SH SERVICES\n" + roff(translate(kContext, program.services)) + "\n";
  if (program.exitStatus)
    page += ".SH EXIT STATUS\n" + roff(translate(kContext, program.exitStatus)) + "\n";
  auto named = [&](const char* heading, const std::vector<NamedText>& entries) {
    if (entries.empty()) return;
    page += std::string(".SH ") + heading + "\n";
    for (const auto& e : entries)
      page += ".TP\n.I " + roff(e.name) + "\n" + roff(translate(kContext, e.help)) + "\n";
  };
  named("FILES", program.files);
  named("ENVIRONMENT", program.environment);
  return page;
}

}  // namespace radmon
