// ftpscript: runs a Windows-style "ftp -i -s:script" command script with libcurl, for
// systems whose own FTP client cannot. Exit status: 0 all transfers done, 2 the command
// line or the script is faulty (nothing was sent), else the first failure's cause (see
// outcome_text.h). Its words are in the interface's language: --lang, else the locale.
#include <curl/curl.h>

#include <iostream>

#include "command_line.h"
#include "ftp_script.h"
#include "outcome_text.h"
#include "script_runner.h"
#include "start_options.h"
#include "text_files.h"
#include "ui_translator.h"

int main(int argc, char** argv) {
  using namespace radmon::ftp;
  const std::vector<std::string> args(argv + 1, argv + argc);
  radmon::useUiLanguage(radmon::chooseUiLanguage(languageArgument(args), radmon::processLocale())
                            .value_or(radmon::UiLanguage::Japanese));
  if (const auto answered = radmon::answerCommandLine(ftpscriptOptions(), unquotedArguments(args)))
    return *answered;
  const auto parsed = parseCommandLine(args);
  if (!parsed) {
    // The fault's sentence, and the usage as the declaration gives it.
    std::cerr << argumentFaultText(parsed.error()) << "\n"
              << radmon::programUsage(ftpscriptOptions()) << std::flush;
    return kExitScriptFaulty;
  }
  const CommandLine& line = *parsed;
  // Scripts written on Windows are in CP932; the decoder takes either that or UTF-8.
  const auto text = radmon::readTextFile(line.scriptPath);
  if (!text) {
    std::cerr << progressText(Progress::UnreadableScript, {.name = line.scriptPath}) << std::endl;
    return kExitScriptFaulty;
  }
  const ParsedScript script = parseFtpScript(*text, ParseOptions{line.autoLogin});
  if (!script.clean()) {
    for (const auto& issue : script.issues) {
      std::cerr << progressText(Progress::ScriptLine, {.name = line.scriptPath,
                                                       .other = scriptIssueText(issue),
                                                       .number = issue.line})
                << "\n";
    }
    std::cerr << progressText(Progress::ScriptFaulty) << std::endl;
    return kExitScriptFaulty;
  }
  if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
    std::cerr << progressText(Progress::NoLibcurl) << std::endl;
    return kExitOther;
  }
  const int status = ScriptRunner(line, std::cout, std::cerr).run(script.value);
  curl_global_cleanup();
  return status;
}
