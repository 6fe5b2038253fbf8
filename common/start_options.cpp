#include "start_options.h"

#include <cstdlib>

#include "station_folder.h"

namespace radmon {
namespace {

bool given(const std::optional<std::string>& text) { return text && !text->empty(); }

// "en_US.UTF-8" and "en" give "en"; "de_DE@euro" gives "de".
std::string languageOf(const std::string& locale) {
  return locale.substr(0, locale.find_first_of("_.@:"));
}

std::optional<std::string> variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::optional<std::string>(value) : std::nullopt;
}

}  // namespace

std::optional<UiLanguage> chooseUiLanguage(const std::optional<std::string>& option,
                                           const LocaleVariables& locale) {
  if (option) {
    if (*option == "ja") return UiLanguage::Japanese;
    if (*option == "en") return UiLanguage::English;
    return std::nullopt;
  }
  std::string messages;
  for (const auto* v : {&locale.lcAll, &locale.lcMessages, &locale.lang}) {
    if (given(*v)) {
      messages = **v;
      break;
    }
  }
  const std::string base = languageOf(messages);
  if (base.empty() || base == "C" || base == "POSIX") return UiLanguage::Japanese;
  const std::string chosen = given(locale.language) ? languageOf(*locale.language) : base;
  return chosen == "ja" ? UiLanguage::Japanese : UiLanguage::English;
}

LocaleVariables processLocale() {
  return {variable("LANGUAGE"), variable("LC_ALL"), variable("LC_MESSAGES"), variable("LANG")};
}

StartOptions::StartOptions(int argc, char** argv) : args_(argv, argv + argc) {
  bool stationMissing = false;
  bool languageMissing = false;
  station_ = takeOption(args_, "--station", stationMissing);
  const auto languageText = takeOption(args_, "--lang", languageMissing);
  languageGiven_ = languageText.has_value() || languageMissing;
  if (const auto language = chooseUiLanguage(languageText, processLocale())) {
    language_ = *language;
  } else {
    // Refused in the locale's language.
    problem_ = Problem::UnknownLanguage;
    language_ = chooseUiLanguage(std::nullopt, processLocale()).value_or(UiLanguage::Japanese);
  }
  if (languageMissing) problem_ = Problem::UnknownLanguage;
  if (stationMissing || (station_ && station_->empty())) problem_ = Problem::StationWithoutFolder;
  for (size_t i = 1; i < args_.size();) {
    if (args_[i] != "--create") {
      ++i;
      continue;
    }
    createStation_ = true;
    args_.erase(args_.begin() + static_cast<long>(i));
  }
  settings_ = takeSettingsCommand(args_);
  for (auto& a : args_) argv_.push_back(a.data());
  argv_.push_back(nullptr);
  argc_ = static_cast<int>(args_.size());
}

}  // namespace radmon
