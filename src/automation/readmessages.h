// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How read errors name their place: «D3S1358.xls», «D3S1358.xls», лист «D3S1358-white».
// Names are shown as valid UTF-8 whatever bytes the file system or the workbook holds.
#include <filesystem>
#include <string>
#include <string_view>

#include "text/utf8.h"

namespace automation {

using text::validUtf8;

// «file name» of a path, for messages.
std::string fileLabel(const std::filesystem::path& path);

// «file name», лист «sheet».
std::string sheetLabel(const std::filesystem::path& path, std::string_view sheet);

} // namespace automation
