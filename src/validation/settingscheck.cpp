// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingscheck.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>

namespace validation {
namespace {

std::string trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::string lower(std::string text)
{
    for (char& c : text)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return text;
}

std::string number(const std::optional<long double>& value)
{
    if (!value)
        return "выкл.";
    char text[40];
    std::snprintf(text, sizeof text, "%.12Lg", *value);
    std::string out = text;
    for (char& c : out)
        c = c == '.' ? ',' : c;
    return out;
}

bool same(const std::optional<long double>& a, const std::optional<long double>& b)
{
    if (!a || !b)
        return a.has_value() == b.has_value();
    return std::fabs(*a - *b) <= 1e-15L * std::fabs(*b);
}

struct FileLine {
    std::string text;
    int number = 0;
};

// The "key = value" lines of the file, the last of each key; comments start a line with ";" or
// "#", or follow " ;" on a line.
std::map<std::string, FileLine> fileLines(const std::filesystem::path& file, std::string& problem)
{
    std::map<std::string, FileLine> out;
    std::error_code error;
    if (file.empty() || !std::filesystem::exists(file, error))
        return out;
    std::ifstream in(file, std::ios::binary);
    if (!in.is_open()) {
        problem = "файл настроек " + file.string() + " не открывается для второго чтения";
        return out;
    }
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
        if (n == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0)
            line.erase(0, 3);
        if (const std::size_t comment = line.find(" ;"); comment != std::string::npos)
            line.erase(comment);
        line = trimmed(line);
        const std::size_t equals = line.find('=');
        if (line.empty() || line[0] == ';' || line[0] == '#' || equals == std::string::npos)
            continue;
        out[lower(trimmed(line.substr(0, equals)))] = {trimmed(line.substr(equals + 1)), n};
    }
    return out;
}

} // namespace

std::optional<long double> plainDecimal(std::string text)
{
    text = trimmed(text);
    unsigned long long digits = 0;
    int decimals = 0, count = 0;
    bool separator = false;
    for (const char c : text) {
        if ((c == ',' || c == '.') && !separator) {
            separator = true;
        } else if (c >= '0' && c <= '9') {
            if (++count > 18)
                return std::nullopt;
            digits = digits * 10 + static_cast<unsigned>(c - '0');
            decimals += separator ? 1 : 0;
        } else {
            return std::nullopt;
        }
    }
    if (count == 0)
        return std::nullopt;
    return static_cast<long double>(digits) / std::pow(10.0L, static_cast<long double>(decimals));
}

bool SettingsCheck::agrees() const
{
    if (!problem.empty())
        return false;
    for (const SettingLine& line : lines)
        if (!line.agrees)
            return false;
    return true;
}

SettingsCheck checkSettings(const freqdb::LabSettings& settings, const std::filesystem::path& file,
                            const SettingOptions& options)
{
    SettingsCheck check;
    check.file = file;
    const std::map<std::string, FileLine> lines = fileLines(file, check.problem);
    const std::string fileName = file.filename().string();

    // The text each setting was read from and where it stands.
    struct Source {
        std::optional<std::string> text;
        std::string shown;
    };
    auto fromFile = [&](const char* key) {
        const auto it = lines.find(key);
        if (it == lines.end())
            return Source{std::nullopt, std::string(key) + ": строки нет (по умолчанию)"};
        return Source{it->second.text, std::string(key) + " = " + it->second.text + " (" + fileName + ", строка "
                                           + std::to_string(it->second.number) + ")"};
    };
    auto fromOption = [](const char* option, const std::string& text) {
        return Source{text, std::string(option) + " " + text + " (командная строка)"};
    };
    Source model = options.mutation ? fromOption("--mutation", *options.mutation) : fromFile("mutation_model");
    Source rate = fromFile("mutation_rate");
    const Source minimum = options.minFrequency ? fromOption("--min-frequency", *options.minFrequency)
                                                : fromFile("min_allele_frequency");
    const Source theta = options.theta ? fromOption("--theta", *options.theta) : fromFile("theta");

    // The plain reading: the model's word (with a rate after "proportional:" on the command line).
    freqdb::LabSettings& plain = check.plain;
    plain = settings; // the texts the program shows stay its own
    bool modelOn = false;
    std::string modelWord = model.text ? lower(trimmed(*model.text)) : "off";
    if (const std::size_t colon = modelWord.find(':'); colon != std::string::npos) {
        rate = Source{modelWord.substr(colon + 1), *model.text + " (командная строка)"};
        modelWord.erase(colon);
    }
    modelOn = modelWord == "proportional";
    plain.mutationModel = modelOn ? freqdb::MutationModel::Proportional : freqdb::MutationModel::Off;
    const std::optional<long double> plainRate = rate.text ? plainDecimal(*rate.text) : freqdb::kDefaultMutationRate;
    plain.mutationRate = plainRate.value_or(-1);
    auto offOrDecimal = [](const Source& s) -> std::optional<long double> {
        if (!s.text || lower(trimmed(*s.text)) == "off")
            return std::nullopt;
        return plainDecimal(*s.text).value_or(-1);
    };
    plain.minFrequency = offOrDecimal(minimum);
    plain.theta = offOrDecimal(theta);

    auto add = [&](const char* key, const Source& source, std::string program, std::string plainText, bool agrees) {
        check.lines.push_back({key, source.shown, std::move(program), std::move(plainText), agrees});
    };
    const auto modelName = [](bool on) { return std::string(on ? "пропорциональная" : "выкл."); };
    add("mutation_model", model, modelName(settings.mutationOn()), modelName(modelOn),
        settings.mutationOn() == modelOn && (modelOn || modelWord == "off"));
    add("mutation_rate", rate, number(settings.mutationRate), number(plainRate),
        same(settings.mutationRate, plainRate));
    add("min_allele_frequency", minimum, number(settings.minFrequency), number(plain.minFrequency),
        same(settings.minFrequency, plain.minFrequency));
    add("theta", theta, number(settings.theta), number(plain.theta), same(settings.theta, plain.theta));
    return check;
}

} // namespace validation
