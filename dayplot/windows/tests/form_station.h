// What a settings window runs on in the window tests: a program folder of its own, a
// manual clock and a launcher that starts nothing.
#pragma once

#include <optional>

#include "settings_form.h"
#include "shell_fakes.h"

namespace radmon::testing {

struct FormStation {
  ProgramFolder folder;
  ManualClock clock{LocalDateTime{2011, 3, 16, 10, 19, 50}};
  FakeLauncher launcher;

  // The window's parts on this station, with dialogs that answer at once: no file
  // chosen, a folder shown to no one, and closing without saving allowed.
  FormParts parts() {
    FormParts parts;
    parts.programFolder = folder.path();
    parts.clock = &clock;
    parts.launcher = &launcher;
    parts.dialogs.saveFile = [](const FolderDialogRequest&) { return std::nullopt; };
    parts.dialogs.showFolder = [](const QString&) {};
    parts.dialogs.closeUnsaved = [](const QString&) { return true; };
    return parts;
  }
};

}  // namespace radmon::testing
