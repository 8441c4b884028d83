// SPDX-License-Identifier: GPL-3.0-or-later
#include "fuzztempfile.h"

#include <cstdlib>
#include <fstream>
#include <string_view>
#include <system_error>
#include <unistd.h>

namespace fuzz {
namespace {

struct Folder {
    std::filesystem::path path;
    Folder()
    {
        path = std::filesystem::temp_directory_path() / ("pi-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
    }
    ~Folder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

} // namespace

const std::filesystem::path& tempFolder()
{
    static const Folder folder;
    return folder.path;
}

std::filesystem::path writeInput(const std::string& fileName, const std::uint8_t* data, std::size_t size)
{
    const auto path = tempFolder() / fileName;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) {
        // A full temporary folder would make every later input meaningless.
        std::abort();
    }
    return path;
}

std::string extensionByContent(const std::uint8_t* data, std::size_t size, const std::string& fallback)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (bytes.starts_with("\xD0\xCF\x11\xE0"))
        return ".xls";
    if (bytes.starts_with("PK")) {
        if (bytes.substr(0, 100).find("application/vnd.oasis.opendocument") != std::string_view::npos)
            return ".ods";
        return ".xlsx";
    }
    return fallback;
}

} // namespace fuzz
