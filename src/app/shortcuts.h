// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The keyboard path through the main window's commands. The menu texts stay as they are; each
// command gets a shortcut, which the submenu shows beside its item and every command names in
// its tooltip. F10 opens the menu bar (then the arrows and Enter), as on the lab's other
// desktops. The operator's help lists the same keys.
class QAction;

namespace app {

class MainWindow;

// Gives the window's commands their keys.
void assignShortcuts(MainWindow& window);

} // namespace app
