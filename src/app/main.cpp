// SPDX-License-Identifier: GPL-3.0-or-later
// With arguments the program is the command line; without, the desktop window, opened from its
// own module (app/windowmodule.h) so that the command line starts without Qt.
#include <iostream>

#include "app/windowmodule.h"
#include "cli/commandline.h"
#include "cli/programmodule.h"

int main(int argc, char* argv[])
{
    if (argc > 1)
        return cli::runCommandLine(argc, argv, std::cout, std::cerr);
    const cli::ProgramModule window = cli::openProgramModule(app::kWindowModuleFile, app::kWindowEntryName);
    if (!window.entry) {
        std::cerr << "Окно программы не открыто: " << window.error << '\n';
        return 1;
    }
    return reinterpret_cast<app::WindowMain>(window.entry)(argc, argv);
}
