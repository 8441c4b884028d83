// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs a shell command of a test (pdftotext, pdfinfo, soffice) and returns what it printed;
// throws when it cannot be started or ends with a failure, with its output in the message.
#include <cstdio>
#include <stdexcept>
#include <string>

namespace testsupport {

inline std::string shellOutput(const std::string& command)
{
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        throw std::runtime_error("cannot run " + command);
    std::string output;
    char buffer[4096];
    while (const std::size_t n = fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, n);
    if (pclose(pipe) != 0)
        throw std::runtime_error(command + " failed:\n" + output);
    return output;
}

} // namespace testsupport
