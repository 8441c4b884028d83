// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The parts of the program that draw (the window, the case report) are shared objects of their
// own, opened only when a window or a report is wanted: a command that draws nothing (batch
// without a report, import, --version, --help) starts without Qt, ICU, X11, OpenGL or D-Bus,
// like any command-line tool. So is the .xlsx writer (libxlsxwriter, and through it libcrypto),
// opened at the first workbook written. The executable links only the command line and the
// spreadsheet readers.
//
// A module is looked for, from the executable's own path:
//   1. beside the executable (the build tree: build/src/app/);
//   2. in the package's private folder, <prefix>/bin/../lib/<triplet>/paternity-index/, so an
//      unpacked package works from any prefix;
//   3. by the dynamic linker's own search (LD_LIBRARY_PATH, the run path of the executable), as
//      the tests that run the command line in their own process find it.
// It must have been built with this program's version. A module stays loaded until the process
// ends (Qt keeps handlers and fonts that must not outlive it).
#include <filesystem>
#include <string>
#include <vector>

// Marks a module's entry points: the only names a module exports, as C names.
#define PI_MODULE_EXPORT extern "C" __attribute__((visibility("default")))

// Every module exports its version (PI_MODULE_VERSION_ENTRY in one of its sources).
#define PI_MODULE_VERSION_SYMBOL "pi_module_version"
#define PI_MODULE_VERSION_ENTRY(versionText)                                                                           \
    PI_MODULE_EXPORT const char* pi_module_version()                                                                   \
    {                                                                                                                  \
        return versionText;                                                                                            \
    }

namespace cli {

// The folders 1 and 2 above for the executable at `executable`, in order.
std::vector<std::filesystem::path> programModuleFolders(const std::filesystem::path& executable);

struct ProgramModule {
    void* entry = nullptr; // the entry point asked for; null when the module cannot be used
    std::string error; // then why, naming the module and the folders looked in
};

// Opens the module file `fileName` ("paternity-index-report.so") and finds its entry point
// `entryName`. Opening it again returns the module already loaded.
ProgramModule openProgramModule(const std::string& fileName, const char* entryName);

} // namespace cli
