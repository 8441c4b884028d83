// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command line run in a test's process, as `paternity-index ARGS...` would run it: the exit
// status and what went to standard output and standard error.
#include <sstream>
#include <string>
#include <vector>

#include "cli/commandline.h"

namespace cli {

struct Run {
    int status;
    std::string out, err;
};

inline Run runProgram(std::vector<std::string> args)
{
    args.insert(args.begin(), "paternity-index");
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    std::ostringstream out, err;
    const int status = runCommandLine(static_cast<int>(argv.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}

} // namespace cli
