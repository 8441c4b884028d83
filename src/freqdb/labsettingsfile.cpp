// SPDX-License-Identifier: GPL-3.0-or-later
#include "labsettingsfile.h"

#include <ini.h>

#include <cstdint>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>

#include "automation/readmessages.h"
#include "freqdb/loadmessages.h"

namespace freqdb {
namespace {

constexpr std::uintmax_t kMaxSettingsBytes = 64 * 1024;

// What inih sees, one line at a time: the line number of the line in hand is known to the
// handler, and leading blanks are dropped so that an indented key is a key (inih would take an
// indented line for the continuation of the previous value).
struct Parse {
    std::string_view rest;
    int line = 0;
    LabSettings settings;
    std::set<std::string> seen;
    std::optional<std::pair<int, std::string>> error; // the first refused line and why
    bool rateGiven = false;

    void refuse(std::string reason)
    {
        if (!error)
            error.emplace(line, std::move(reason));
    }
};

char* nextLine(char* buffer, int size, void* stream)
{
    auto& parse = *static_cast<Parse*>(stream);
    if (parse.rest.empty())
        return nullptr;
    std::string_view line = nextSettingsLine(parse.rest);
    ++parse.line;
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.remove_prefix(1);
    // A comment of any length is a comment: inih sees only its first character, and of a line
    // with a comment at its end (" ;" or a tab and ";") only what comes before the comment. The
    // line limit below then holds for a "key = value" alone.
    if (!line.empty() && (line.front() == ';' || line.front() == '#')) {
        line = line.substr(0, 1);
    } else {
        for (std::size_t at = line.find(';'); at != std::string_view::npos; at = line.find(';', at + 1)) {
            if (at > 0 && (line[at - 1] == ' ' || line[at - 1] == '\t')) {
                line = line.substr(0, at);
                break;
            }
        }
    }
    if (line.size() + 1 > static_cast<std::size_t>(size)) {
        parse.refuse("строка длиннее " + std::to_string(size - 2) + " байт");
        return nullptr;
    }
    // A NUL inside the line would cut it silently.
    if (line.find('\0') != std::string_view::npos) {
        parse.refuse("в строке нулевой байт: это не текстовый файл");
        return nullptr;
    }
    line.copy(buffer, line.size());
    buffer[line.size()] = '\0';
    return buffer;
}

int onValue(void* user, const char* section, const char* name, const char* value)
{
    auto& parse = *static_cast<Parse*>(user);
    const std::string key = name;
    if (section[0] != '\0') {
        parse.refuse("разделы в файле настроек не используются: [" + std::string(section) + "]");
        return 0;
    }
    if (key != kModelKey && key != kRateKey && key != kMinFrequencyKey && key != kThetaKey) {
        parse.refuse("неизвестный параметр «" + automation::validUtf8(key) + "»; допустимы " + std::string(kModelKey)
                     + ", " + std::string(kRateKey) + ", " + std::string(kMinFrequencyKey) + " и "
                     + std::string(kThetaKey));
        return 0;
    }
    if (!parse.seen.insert(key).second) {
        parse.refuse("параметр " + key + " задан второй раз");
        return 0;
    }
    std::optional<std::string> reason;
    if (key == kModelKey) {
        // The model's own key takes no rate: that is mutation_rate's.
        const std::string_view text = value;
        if (text.find(':') != std::string_view::npos)
            reason = "частота мутаций задается параметром " + std::string(kRateKey);
        else
            reason = applyMutationSetting(parse.settings, text);
    } else if (key == kRateKey) {
        const auto rate = parseProportion(value);
        if (!rate)
            reason = "частота мутаций «" + automation::validUtf8(value) + "» должна быть числом больше 0 и меньше 1";
        else {
            parse.settings.mutationRate = *rate;
            parse.settings.mutationRateText = value;
        }
    } else if (key == kThetaKey) {
        reason = applyThetaSetting(parse.settings, automation::validUtf8(value));
    } else {
        reason = applyMinFrequencySetting(parse.settings, automation::validUtf8(value));
    }
    // The second of θ and the mutation model to be turned on is the line refused.
    if (!reason && (key == kThetaKey || key == kModelKey))
        reason = settingsConflict(parse.settings);
    if (reason) {
        parse.refuse(automation::validUtf8(*reason));
        return 0;
    }
    return 1;
}

std::string refusal(const std::filesystem::path& file, int line, const std::string& reason)
{
    std::string out = std::string(kReadFailed) + "\nФайл настроек " + automation::fileLabel(file);
    if (line > 0)
        out += ", строка " + std::to_string(line);
    return out + ": " + reason + ".";
}

} // namespace

std::string_view nextSettingsLine(std::string_view& rest)
{
    std::size_t end = rest.find_first_of("\r\n");
    if (end == std::string_view::npos)
        end = rest.size();
    else if (rest[end] == '\r' && end + 1 < rest.size() && rest[end + 1] == '\n')
        end += 2;
    else
        ++end;
    const std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end);
    return line;
}

std::size_t settingsKeyEnd(std::string_view line)
{
    return line.find_first_of("=:");
}

SettingsRead parseLabSettings(std::string_view content, const std::filesystem::path& file)
{
    Parse parse;
    parse.rest = content;
    // Windows Notepad starts a UTF-8 file with a byte-order mark.
    if (parse.rest.substr(0, 3) == "\xEF\xBB\xBF")
        parse.rest.remove_prefix(3);
    const int firstError = ini_parse_stream(nextLine, &parse, onValue, &parse);
    SettingsRead out;
    if (parse.error && (firstError <= 0 || parse.error->first <= firstError))
        out.message = refusal(file, parse.error->first, parse.error->second);
    else if (firstError > 0)
        out.message = refusal(file, firstError, "строка не вида «параметр = значение»");
    else if (firstError < 0)
        out.message = refusal(file, 0, "не хватает памяти для разбора");
    if (!out.message.empty())
        return out;
    out.ok = true;
    out.settings = std::move(parse.settings);
    out.settings.source = automation::validUtf8(file.string());
    return out;
}

SettingsRead readLabSettings(const std::filesystem::path& file)
{
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    if (status.type() == std::filesystem::file_type::not_found)
        return {true, LabSettings{}, {}};
    if (!std::filesystem::is_regular_file(status))
        return {false, {}, refusal(file, 0, "это не обычный файл")};
    // A few lines of settings; anything far larger is some other file put under this name, and is
    // not read into memory.
    if (std::filesystem::file_size(file, error) > kMaxSettingsBytes)
        return {false, {}, refusal(file, 0, "файл больше 64 КБ — это не файл настроек")};
    std::ifstream in(file, std::ios::binary);
    if (!in.is_open())
        return {false, {}, refusal(file, 0, "файл не открывается для чтения")};
    std::ostringstream content;
    // An empty file inserts nothing, which marks `content` failed: only a failed read counts.
    content << in.rdbuf();
    if (in.bad())
        return {false, {}, refusal(file, 0, "файл не читается")};
    return parseLabSettings(content.str(), file);
}

} // namespace freqdb
