// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A table file read whole, within a size limit, so that a file far larger than any table the
// reader expects is refused before it is held in memory.
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace tabletext {

// A file that cannot be read; what() is the reason in Russian, without the file's name.
class FileReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The bytes of `path`. A file over `maxBytes` is refused with `tooLarge` as the reason.
std::string readFileBytes(const std::filesystem::path& path, std::uintmax_t maxBytes, const std::string& tooLarge);

} // namespace tabletext
