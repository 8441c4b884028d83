// SPDX-License-Identifier: GPL-3.0-or-later
#include "readmessages.h"

namespace automation {

std::string validUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80           ? 1
                             : (lead >> 5) == 0x6  ? 2
                             : (lead >> 4) == 0xE  ? 3
                             : (lead >> 3) == 0x1E ? 4
                                                   : 0;
        bool valid = length > 0 && i + length <= text.size();
        for (std::size_t k = 1; valid && k < length; ++k)
            valid = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        if (valid && length > 1) {
            // Reject overlong forms, surrogates and code points beyond U+10FFFF.
            const auto second = static_cast<unsigned char>(text[i + 1]);
            valid
                = !(lead == 0xC0 || lead == 0xC1 || (lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0)
                    || (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90) || lead > 0xF4);
        }
        if (valid) {
            out.append(text.substr(i, length));
            i += length;
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return out;
}

std::string fileLabel(const std::filesystem::path& path)
{
    return "«" + validUtf8(path.filename().native()) + "»";
}

std::string sheetLabel(const std::filesystem::path& path, std::string_view sheet)
{
    return fileLabel(path) + ", лист «" + validUtf8(sheet) + "»";
}

} // namespace automation
