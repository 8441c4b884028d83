// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text of a table file as UTF-8. Labs get their tables from many programs: UTF-8 with or
// without a byte-order mark, UTF-16 with a mark (a spreadsheet's "Unicode text"), or Windows-1251
// from an older Russian desktop. A text that is valid UTF-8 is taken as UTF-8; anything else
// without a mark is read as Windows-1251, in which every byte is a character; but UTF-8 with
// letters beyond ASCII that is cut inside its last letter stays UTF-8. UTF-16 without a mark is
// known by its zero bytes in every other place.
#include <optional>
#include <string>
#include <string_view>

namespace tabletext {

struct DecodedText {
    std::string utf8;
    std::string encoding; // "UTF-8", "UTF-16LE", "UTF-16BE", "Windows-1251"
};

// nullopt when a marked UTF-16 text is damaged.
std::optional<DecodedText> decodeText(std::string_view bytes);

} // namespace tabletext
