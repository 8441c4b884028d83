// SPDX-License-Identifier: GPL-3.0-or-later
#include "freqdb/filedigest.h"

#include <nettle/sha2.h>

#include <array>
#include <fstream>

namespace freqdb {
namespace {

std::string hexDigest(sha256_ctx& context)
{
    std::array<uint8_t, SHA256_DIGEST_SIZE> digest;
    sha256_digest(&context, digest.size(), digest.data());
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    for (const uint8_t byte : digest) {
        hex += kHex[byte >> 4];
        hex += kHex[byte & 15];
    }
    return hex;
}

} // namespace

std::optional<std::string> fileSha256(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    sha256_ctx context;
    sha256_init(&context);
    std::array<char, 65536> buffer;
    while (in) {
        in.read(buffer.data(), buffer.size());
        sha256_update(&context, static_cast<std::size_t>(in.gcount()), reinterpret_cast<const uint8_t*>(buffer.data()));
    }
    if (in.bad())
        return std::nullopt;
    return hexDigest(context);
}

std::string textSha256(std::string_view text)
{
    sha256_ctx context;
    sha256_init(&context);
    sha256_update(&context, text.size(), reinterpret_cast<const uint8_t*>(text.data()));
    return hexDigest(context);
}

} // namespace freqdb
