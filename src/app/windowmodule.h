// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window module, paternity-index-window.so: the desktop window (Qt Widgets) in a shared
// object of its own, opened by the executable only when it starts without arguments, so the
// command line never loads Qt (cli/programmodule.h).
namespace app {

inline constexpr const char* kWindowModuleFile = "paternity-index-window.so";
inline constexpr const char* kWindowEntryName = "pi_window_main";

// The program's start-up as main() runs it: the population dialog, then the window; returns the
// exit status when the last window is closed.
using WindowMain = int (*)(int argc, char** argv);

} // namespace app
