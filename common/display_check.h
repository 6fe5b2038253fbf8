// Whether the window system the windows would open on answers. Qt ends the process
// (SIGABRT) when its platform cannot connect, so the window programs ask first and, for a
// display that is named but cannot be reached (a stopped X server, `ssh -X` from a
// machine without one), say what works instead, as they do when none is named.
#pragma once

namespace radmon {

enum class DisplayState {
  None,         // neither DISPLAY nor WAYLAND_DISPLAY nor a Qt platform is named
  Unreachable,  // named, but no connection can be made
  Reachable,
};

// From the environment: QT_QPA_PLATFORM (any platform but xcb and wayland is taken as
// it stands, offscreen among them), WAYLAND_DISPLAY (its socket, relative to
// XDG_RUNTIME_DIR) and DISPLAY (a connection through libxcb, with the user's
// authority file, as Qt's xcb platform makes it).
DisplayState displayState();

}  // namespace radmon
