#pragma once

// The terminal of a normal run stays quiet: what the libraries underneath report (the sound
// system, the window system, the media back end) goes to the logging category
// "storyloom.system", off by default below critical messages; turn it on with
// QT_LOGGING_RULES="storyloom.system=true". The program's own categories ("storyloom.*")
// are left as they are.
namespace storyloom {

void quietenSystemMessages();

// Whether a graphical display can be reached: a platform chosen for Qt, or an X11 or
// Wayland display named in the environment.
bool graphicalDisplayAvailable();

}  // namespace storyloom
