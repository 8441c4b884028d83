// SPDX-License-Identifier: GPL-3.0-or-later
#include "datelabel.h"

#include <cmath>
#include <variant>

#include "automation/numberformatkind.h"

namespace freqdb {
namespace {

constexpr const char* kRetypeLabels = "; задайте ячейкам меток текстовый формат и впишите метки заново (например, 9,3)";

std::string inQuotes(std::string_view s)
{
    return "«" + std::string(s) + "»";
}

// The day of a serial day number in the 1900 date system, "2026-03-09".
std::string serialDay(double number)
{
    const automation::CellValue date = automation::serialDateValue(number, automation::NumberKind::Date, false);
    const auto* text = std::get_if<std::string>(&date);
    return text ? *text : std::string();
}

} // namespace

bool isDateSerial(double number)
{
    return number >= 10000 && number <= 2958465 && number == std::floor(number);
}

std::string dateLabelRefusal(std::string_view labelText, std::optional<double> number, const text::NumberFormat& format)
{
    if (automation::isDateText(labelText))
        return inQuotes(labelText) + " — дата, а не метка аллели: метку вроде 9.3 таблица превратила в дату"
               + kRetypeLabels;
    if (number && isDateSerial(*number))
        return inQuotes(format.general(*number)) + " — не аллель: это порядковый номер даты " + serialDay(*number)
               + ", в которую таблица превратила метку вроде 9.3" + kRetypeLabels;
    return {};
}

} // namespace freqdb
