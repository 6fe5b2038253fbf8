// The interface's language: Japanese is written in the code; English comes from
// radmon_en.qm, built from radmon_en.ts and carried inside the programs.
#pragma once

#include <string>

#include "start_options.h"

namespace radmon {

// Chooses the language before the Qt application is made; the translator is installed
// as the application starts, whichever of the program's modes makes it.
void useUiLanguage(UiLanguage language);

// `source` (marked for lupdate with QT_TRANSLATE_NOOP(context, ...)) in the chosen
// language, also before the Qt application exists: for the texts of the command line.
std::string uiText(const char* context, const char* source);

// The start's own texts, the same for both programs.
std::string optionProblemText(StartOptions::Problem problem);
std::string stationInUseText(const std::string& folder);
std::string stationFailedText(const std::string& folder, const std::string& reason);

}  // namespace radmon
