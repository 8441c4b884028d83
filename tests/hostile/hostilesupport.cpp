// SPDX-License-Identifier: GPL-3.0-or-later
#include "hostilesupport.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <sys/resource.h>
#include <system_error>

namespace hostile {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// Outside sanitizer builds, cap the address space of the test process: a reader that tries to
// allocate a huge declared range then gets bad_alloc (and the test fails) instead of driving the
// machine into swap or the OOM killer.
struct AddressSpaceCap {
    AddressSpaceCap()
    {
        if (kSanitized)
            return;
        rlimit limit{};
        getrlimit(RLIMIT_AS, &limit);
        const rlim_t cap = rlim_t(4) << 30;
        if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur > cap) {
            limit.rlim_cur = cap;
            setrlimit(RLIMIT_AS, &limit);
        }
    }
} const addressSpaceCap;

} // namespace

std::filesystem::path smallFile(const std::string& name)
{
    return std::filesystem::path(PI_HOSTILE_FILES) / name;
}

std::filesystem::path bigFile(const std::string& name)
{
    return std::filesystem::path(PI_HOSTILE_BIG) / name;
}

std::filesystem::path regressionsFolder()
{
    return PI_HOSTILE_REGRESSIONS;
}

std::filesystem::path bundledLocusBeforeD3()
{
    return std::filesystem::path(PI_SOURCE_DIR) / "data" / "CSF1PO.xls";
}

WorkFolder::WorkFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "pi-hostile-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
    std::filesystem::create_directories(dataDir());
}

WorkFolder::~WorkFolder()
{
    std::error_code ignored;
    // Give back what a test took away, so the folder can be removed.
    for (auto it = std::filesystem::recursive_directory_iterator(m_path, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        if (!it->is_symlink(ignored))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
    }
    std::filesystem::remove_all(m_path, ignored);
}

std::string fileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

double peakMemoryMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

bool memoryIsMeasurable()
{
    return !kSanitized;
}

bool isValidUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        int follow = 0;
        unsigned min = 0;
        unsigned code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            follow = 1, min = 0x80, code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            follow = 2, min = 0x800, code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            follow = 3, min = 0x10000, code = c & 0x07;
        } else {
            return false;
        }
        if (i + follow >= text.size())
            return false;
        for (int k = 1; k <= follow; ++k) {
            const auto d = static_cast<unsigned char>(text[i + k]);
            if ((d & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (d & 0x3F);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += follow + 1;
    }
    return true;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

std::unique_ptr<automation::Workbook> VanishingReader::open(const std::filesystem::path& path) const
{
    if (path.filename() == m_vanishing.filename()) {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
    return m_inner.open(path);
}

} // namespace hostile
