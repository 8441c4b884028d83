// SPDX-License-Identifier: GPL-3.0-or-later
#include "filebytes.h"

#include <fstream>
#include <iterator>

namespace tabletext {

std::string readFileBytes(const std::filesystem::path& path, std::uintmax_t maxBytes, const std::string& tooLarge)
{
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status))
        throw FileReadError("файл не найден");
    if (!std::filesystem::is_regular_file(status))
        throw FileReadError("это не файл");
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (size > maxBytes)
        throw FileReadError(tooLarge);
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw FileReadError("нет прав на чтение файла");
    // Read at the size the file has, not grown as it comes (which holds up to twice the file);
    // whatever a file written meanwhile has beyond that size still comes after it.
    std::string bytes(static_cast<std::size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (!in.bad() && in.gcount() == static_cast<std::streamsize>(size))
        bytes.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad())
        throw FileReadError("ошибка чтения файла");
    return bytes;
}

} // namespace tabletext
