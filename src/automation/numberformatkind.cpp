// SPDX-License-Identifier: GPL-3.0-or-later
#include "numberformatkind.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <string>

namespace automation {

NumberKind builtInFormatKind(unsigned id)
{
    if (id >= 14 && id <= 17)
        return NumberKind::Date;
    if ((id >= 18 && id <= 21) || (id >= 45 && id <= 47))
        return NumberKind::Time;
    if (id == 22)
        return NumberKind::DateTime;
    return NumberKind::Plain;
}

NumberKind formatCodeKind(std::string_view code)
{
    bool date = false, time = false, month = false;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(code[i])));
        if (c == '"') {
            const std::size_t end = code.find('"', i + 1);
            i = end == std::string_view::npos ? code.size() : end;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i;
        } else if (c == '[') {
            const std::size_t end = code.find(']', i + 1);
            const std::string_view inside = code.substr(i + 1, end == std::string_view::npos ? 0 : end - i - 1);
            if (!inside.empty() && std::all_of(inside.begin(), inside.end(), [](char k) {
                    return k == 'h' || k == 'H' || k == 'm' || k == 'M' || k == 's' || k == 'S';
                }))
                time = true;
            i = end == std::string_view::npos ? code.size() : end;
        } else if (c == 'y' || c == 'd') {
            date = true;
        } else if (c == 'h' || c == 's') {
            time = true;
        } else if (c == 'm') {
            month = true;
        }
    }
    date = date || (month && !time);
    if (date && time)
        return NumberKind::DateTime;
    if (date)
        return NumberKind::Date;
    return time ? NumberKind::Time : NumberKind::Plain;
}

CellValue serialDateValue(double serial, NumberKind kind, bool date1904)
{
    if (kind == NumberKind::Plain || !std::isfinite(serial) || serial < 0 || serial >= 2958466)
        return serial;
    double whole = std::floor(serial);
    long long seconds = std::llround((serial - whole) * 86400.0);
    if (seconds >= 86400) {
        whole += 1;
        seconds -= 86400;
    }
    long long day = static_cast<long long>(whole);
    int year = 1900, month = 2, dayOfMonth = 29;
    if (date1904 || day != 60) {
        // Days since 1970-01-01, then the civil calendar.
        long long z = date1904 ? day - 24107 : (day < 60 ? day - 25568 : day - 25569);
        z += 719468;
        const long long era = (z >= 0 ? z : z - 146096) / 146097;
        const long long doe = z - era * 146097;
        const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
        const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
        const long long mp = (5 * doy + 2) / 153;
        dayOfMonth = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
        month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
        year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
    }
    char buffer[32];
    const int h = static_cast<int>(seconds / 3600), m = static_cast<int>(seconds / 60 % 60),
              s = static_cast<int>(seconds % 60);
    switch (kind) {
    case NumberKind::Time:
        std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", h, m, s);
        break;
    case NumberKind::DateTime:
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", year, month, dayOfMonth, h, m, s);
        break;
    default:
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", year, month, dayOfMonth);
        break;
    }
    return std::string(buffer);
}

bool isDateText(std::string_view text)
{
    const auto hasForm = [&](std::string_view form) {
        if (text.size() != form.size())
            return false;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (form[i] == '9' ? (text[i] < '0' || text[i] > '9') : text[i] != form[i])
                return false;
        }
        return true;
    };
    return hasForm("9999-99-99") || hasForm("9999-99-99 99:99:99") || hasForm("99:99:99");
}

} // namespace automation
