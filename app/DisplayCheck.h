#pragma once

#include <string>

// Whether the window system that the toolkit is about to use can be reached.
// The toolkit aborts the process when it cannot open its display; we would
// rather say so in one line and end with status 1. Runs before the
// application object exists, so it uses no Qt.
//
// The toolkit gets no options from the command line, so QT_QPA_PLATFORM and
// DISPLAY (or WAYLAND_DISPLAY) decide. Returns an empty string when the
// display is reachable or the choice is left to the toolkit (another platform
// plugin was asked for, such as offscreen), else the German line to print.
std::string MissingDisplayMessage();

// A reachable X display is held open until the toolkit has connected: a bare
// X server resets when its last client leaves, and a connection made in that
// moment fails. Call once the application object exists.
void ReleaseDisplayProbe();
