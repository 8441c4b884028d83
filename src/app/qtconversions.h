// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The core's texts are UTF-8 and its paths std::filesystem::path; the window's are QString.
#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

namespace app {

inline QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string utf8(const QString& text)
{
    return text.toStdString();
}

inline std::filesystem::path toPath(const QString& path)
{
    return std::filesystem::path(path.toStdU16String());
}

inline QString fromPath(const std::filesystem::path& path)
{
    return QString::fromStdU16String(path.u16string());
}

} // namespace app
