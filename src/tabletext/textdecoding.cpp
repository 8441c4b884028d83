// SPDX-License-Identifier: GPL-3.0-or-later
#include "textdecoding.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

#include "text/utf8.h"

namespace tabletext {
namespace {

// The whole input through iconv; nullopt on any invalid or incomplete sequence.
std::optional<std::string> convert(std::string_view bytes, const char* from)
{
    iconv_t cd = iconv_open("UTF-8", from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string out(bytes.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    std::size_t done = 0;
    bool ok = true;
    while (inLeft > 0) {
        char* outPtr = out.data() + done;
        std::size_t outLeft = out.size() - done;
        const std::size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        done = out.size() - outLeft;
        if (r != static_cast<std::size_t>(-1))
            continue;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        ok = false;
        break;
    }
    iconv_close(cd);
    if (!ok)
        return std::nullopt;
    out.resize(done);
    return out;
}

bool startsWith(std::string_view bytes, std::string_view prefix)
{
    return bytes.substr(0, prefix.size()) == prefix;
}

// UTF-16 written without a byte-order mark: text in Latin and Cyrillic letters, digits and
// separators has a zero byte in every other place (the high byte of Latin characters), which no
// UTF-8 or Windows-1251 text has. The answer is the byte order, or nullptr.
const char* unmarkedUtf16(std::string_view bytes)
{
    const std::size_t pairs = std::min<std::size_t>(bytes.size(), 4096) / 2;
    if (pairs < 2)
        return nullptr;
    std::size_t evenZeros = 0, oddZeros = 0;
    for (std::size_t i = 0; i < pairs; ++i) {
        evenZeros += bytes[2 * i] == '\0' ? 1 : 0;
        oddZeros += bytes[2 * i + 1] == '\0' ? 1 : 0;
    }
    if (oddZeros * 2 >= pairs && evenZeros * 20 < pairs)
        return "UTF-16LE";
    if (evenZeros * 2 >= pairs && oddZeros * 20 < pairs)
        return "UTF-16BE";
    return nullptr;
}

// The bytes of a UTF-8 sequence begun at the end of the text and not finished: a file cut in
// the middle of a Cyrillic letter. 0 when the text ends on a whole character.
std::size_t cutSequence(std::string_view bytes)
{
    for (std::size_t back = 1; back <= 3 && back <= bytes.size(); ++back) {
        const auto c = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((c & 0xC0) == 0x80)
            continue; // a continuation byte: look further back for the lead byte
        const std::size_t length = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 1;
        return length > back ? back : 0;
    }
    return 0;
}

} // namespace

std::optional<DecodedText> decodeText(std::string_view bytes)
{
    if (startsWith(bytes, "\xEF\xBB\xBF"))
        return DecodedText{text::validUtf8(bytes.substr(3)), "UTF-8"};
    if (startsWith(bytes, "\xFF\xFE")) {
        auto utf8 = convert(bytes.substr(2), "UTF-16LE");
        return utf8 ? std::optional(DecodedText{*utf8, "UTF-16LE"}) : std::nullopt;
    }
    if (startsWith(bytes, "\xFE\xFF")) {
        auto utf8 = convert(bytes.substr(2), "UTF-16BE");
        return utf8 ? std::optional(DecodedText{*utf8, "UTF-16BE"}) : std::nullopt;
    }
    if (const char* order = unmarkedUtf16(bytes)) {
        auto utf8 = convert(bytes.substr(0, bytes.size() & ~std::size_t{1}), order);
        return utf8 ? std::optional(DecodedText{*utf8, order}) : std::nullopt;
    }
    if (text::validUtf8(bytes) == bytes)
        return DecodedText{std::string(bytes), "UTF-8"};
    // UTF-8 cut short inside its last letter is still UTF-8, not Windows-1251: read so, the whole
    // file's Cyrillic would turn into other letters. The cut letter is left out.
    if (const std::size_t cut = cutSequence(bytes); cut > 0) {
        const std::string_view whole = bytes.substr(0, bytes.size() - cut);
        const bool beyondAscii = std::any_of(whole.begin(), whole.end(), [](char c) { return c & 0x80; });
        if (beyondAscii && text::validUtf8(whole) == whole)
            return DecodedText{std::string(whole), "UTF-8"};
    }
    if (auto utf8 = convert(bytes, "WINDOWS-1251"))
        return DecodedText{*utf8, "Windows-1251"};
    return DecodedText{text::validUtf8(bytes), "UTF-8"};
}

} // namespace tabletext
