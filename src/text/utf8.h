// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// UTF-8 helpers shared by the readers, the messages and the command line's output: texts from
// files (names, cells) may hold any bytes, and everything the program shows or writes is UTF-8.
#include <string>
#include <string_view>

namespace text {

// Appends one code point as UTF-8; a surrogate half or a value past U+10FFFF becomes U+FFFD.
void appendUtf8(std::string& out, char32_t code);

// The text with every byte that is not part of well-formed UTF-8 (overlong forms, surrogates and
// values past U+10FFFF included) replaced by U+FFFD.
std::string validUtf8(std::string_view text);

} // namespace text
