// SPDX-License-Identifier: GPL-3.0-or-later
#include "labsettingswriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "automation/readmessages.h"

namespace freqdb {
namespace {

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// Where a comment at the end of a value starts (" ;" or a tab and ";"), as the reader sees it.
std::size_t commentStart(std::string_view line)
{
    for (std::size_t at = line.find(';'); at != std::string_view::npos; at = line.find(';', at + 1))
        if (at > 0 && (line[at - 1] == ' ' || line[at - 1] == '\t')) {
            while (at > 0 && (line[at - 1] == ' ' || line[at - 1] == '\t'))
                --at;
            return at;
        }
    return line.size();
}

std::string failure(const std::filesystem::path& file, const std::string& what)
{
    return "Файл настроек " + automation::fileLabel(file) + " не записан: " + what + ".";
}

// True when the settings read give what the operator chose (the rate only when the model is on).
bool givesChoice(const LabSettings& read, const SettingsChoice& choice)
{
    LabSettings chosen;
    if (choice.mutationModel == MutationModel::Proportional) {
        applyMutationSetting(chosen, "proportional");
        chosen.mutationRate = parseProportion(choice.mutationRate).value_or(-1);
    }
    applyMinFrequencySetting(chosen, choice.minFrequency);
    applyThetaSetting(chosen, choice.theta);
    return read.mutationModel == chosen.mutationModel
           && (!chosen.mutationOn() || read.mutationRate == chosen.mutationRate)
           && read.minFrequency == chosen.minFrequency && read.theta == chosen.theta;
}

constexpr const char* kNotAsChosen = "с этими строками параметров выбранное не получается; проверьте их";

} // namespace

std::string rewriteSettingsText(std::string_view content, const SettingsChoice& choice)
{
    const bool on = choice.mutationModel == MutationModel::Proportional;
    struct Key {
        std::string_view name;
        std::string value;
        bool written = false;
        bool addWhenMissing = true;
    };
    // A rate the file lacks is added only when the model uses it, θ only when it is on: the
    // defaults serve otherwise.
    std::array<Key, 4> keys{{{kModelKey, on ? "proportional" : "off"},
                             {kRateKey, choice.mutationRate, false, on},
                             {kMinFrequencyKey, choice.minFrequency},
                             {kThetaKey, choice.theta, false, choice.theta != "off"}}};
    std::string out;
    std::string_view rest = content;
    // The reader skips a byte-order mark before the first key; it stays, and the key after it is
    // a key.
    if (rest.substr(0, 3) == "\xEF\xBB\xBF") {
        out += rest.substr(0, 3);
        rest.remove_prefix(3);
    }
    while (!rest.empty()) {
        const std::string_view line = nextSettingsLine(rest);
        std::string_view body = line;
        std::string_view ending;
        while (!body.empty() && (body.back() == '\n' || body.back() == '\r'))
            body.remove_suffix(1);
        ending = line.substr(body.size());
        const std::string_view start = trimmed(body);
        const std::size_t comment = commentStart(body);
        // "=" or ":", whichever comes first, as the reader takes it.
        const std::size_t equals = settingsKeyEnd(body.substr(0, comment));
        Key* key = nullptr;
        if (!start.empty() && start.front() != ';' && start.front() != '#' && equals != std::string_view::npos)
            for (Key& k : keys)
                if (trimmed(body.substr(0, equals)) == k.name)
                    key = &k;
        if (!key || key->written) {
            out += line;
            continue;
        }
        key->written = true;
        const std::string_view old = trimmed(body.substr(equals + 1, comment > equals ? comment - equals - 1 : 0));
        if (old == key->value) {
            out += line;
            continue;
        }
        out += std::string(body.substr(0, equals + 1)) + " " + key->value + std::string(body.substr(comment))
               + std::string(ending);
    }
    for (const Key& k : keys) {
        if (k.written || !k.addWhenMissing)
            continue;
        if (!out.empty() && out.back() != '\n' && out.back() != '\r')
            out += '\n';
        out += std::string(k.name) + " = " + k.value + "\n";
    }
    return out;
}

SettingsRead writeLabSettings(const std::filesystem::path& file, const SettingsChoice& choice)
{
    std::string content;
    std::error_code error;
    const bool exists = std::filesystem::exists(file, error);
    if (exists) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        if (!in.is_open() || in.bad())
            throw std::runtime_error(failure(file, "его нельзя прочитать"));
        content = text.str();
    }
    const std::string rewritten = rewriteSettingsText(content, choice);
    SettingsRead checked = parseLabSettings(rewritten, file);
    if (!checked.ok)
        return checked;
    if (!givesChoice(checked.settings, choice))
        throw std::runtime_error(failure(file, kNotAsChosen));

    const std::filesystem::perms mode
        = exists ? std::filesystem::status(file, error).permissions()
                 : std::filesystem::perms::owner_read | std::filesystem::perms::owner_write
                       | std::filesystem::perms::group_read | std::filesystem::perms::others_read;
    std::string temporary = (file.parent_path() / ".settings.ini.XXXXXX").string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        throw std::runtime_error(failure(file, std::strerror(errno)));
    // The first failing step's errno; 0 while all went well.
    int failed = ::fchmod(fd, static_cast<mode_t>(mode)) == 0 ? 0 : errno;
    for (std::size_t done = 0; !failed && done < rewritten.size();) {
        const ssize_t n = ::write(fd, rewritten.data() + done, rewritten.size() - done);
        if (n <= 0)
            failed = n < 0 ? errno : EIO;
        else
            done += static_cast<std::size_t>(n);
    }
    if (!failed && ::fsync(fd) != 0)
        failed = errno;
    if (::close(fd) != 0 && !failed)
        failed = errno;
    if (!failed && ::rename(temporary.c_str(), file.c_str()) != 0)
        failed = errno;
    if (failed) {
        ::unlink(temporary.c_str());
        throw std::runtime_error(failure(file, std::strerror(failed)));
    }
    // Saved is said only of a file that, read as every load reads it, gives what was chosen.
    SettingsRead written = readLabSettings(file);
    if (!written.ok || !givesChoice(written.settings, choice))
        throw std::runtime_error("Файл настроек " + automation::fileLabel(file)
                                 + " записан, но, прочитанный заново, дает не то, что выбрано; проверьте в нем "
                                   "строки параметров.");
    return written;
}

} // namespace freqdb
