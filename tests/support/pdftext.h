// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading a PDF back in a test with poppler-utils (pdftotext, pdfinfo): its text, its pages.
#include <cstdio>
#include <filesystem>
#include <regex>
#include <stdexcept>
#include <string>

namespace testsupport {

// Runs a shell command and returns what it printed; throws when it cannot be started or ends
// with a failure, with its output in the message.
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

inline std::string quotedPath(const std::filesystem::path& path)
{
    return "'" + path.string() + "'";
}

// The text of pages first..last (0: to the end), in the order it was drawn.
inline std::string pdfText(const std::filesystem::path& pdf, int first = 1, int last = 0)
{
    std::string command = "pdftotext -raw -enc UTF-8 -f " + std::to_string(first);
    if (last > 0)
        command += " -l " + std::to_string(last);
    return shellOutput(command + " " + quotedPath(pdf) + " -");
}

inline int pdfPages(const std::filesystem::path& pdf)
{
    std::smatch m;
    const std::string info = shellOutput("pdfinfo " + quotedPath(pdf));
    if (!std::regex_search(info, m, std::regex("Pages:\\s+(\\d+)")))
        throw std::runtime_error("no page count:\n" + info);
    return std::stoi(m[1]);
}

// Texts compared without blanks and line breaks: a cell wrapped in its column still matches.
inline std::string squeezed(const std::string& text)
{
    std::string out;
    for (char c : text)
        if (c != ' ' && c != '\n' && c != '\r' && c != '\t' && c != '\f')
            out += c;
    return out;
}

} // namespace testsupport
