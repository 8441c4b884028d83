// SPDX-License-Identifier: GPL-3.0-or-later
#include "textdecoding.h"

#include <iconv.h>

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
    if (text::validUtf8(bytes) == bytes)
        return DecodedText{std::string(bytes), "UTF-8"};
    if (auto utf8 = convert(bytes, "WINDOWS-1251"))
        return DecodedText{*utf8, "Windows-1251"};
    return DecodedText{text::validUtf8(bytes), "UTF-8"};
}

} // namespace tabletext
