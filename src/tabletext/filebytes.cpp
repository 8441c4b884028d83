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
    if (std::filesystem::file_size(path, error) > maxBytes)
        throw FileReadError(tooLarge);
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw FileReadError("нет прав на чтение файла");
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        throw FileReadError("ошибка чтения файла");
    return bytes;
}

} // namespace tabletext
