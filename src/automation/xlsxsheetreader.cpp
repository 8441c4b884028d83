// SPDX-License-Identifier: GPL-3.0-or-later
#include "xlsxsheetreader.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "automation/readlimits.h"
#include "automation/usedrangebuilder.h"
#include "automation/workbook.h"
#include "automation/xmlstream.h"
#include "automation/xstring.h"
#include "automation/ziparchive.h"

namespace automation {
namespace {

const char* const kFormulaWithoutValue = "формула без сохраненного значения";

// "C12" -> row 12, column 3. False for anything else.
bool parseCellReference(std::string_view ref, int& row, int& column)
{
    std::size_t i = 0;
    long c = 0;
    while (i < ref.size() && ref[i] >= 'A' && ref[i] <= 'Z' && c <= limits::kMaxSheetColumn) {
        c = c * 26 + (ref[i] - 'A' + 1);
        ++i;
    }
    long r = 0;
    const std::size_t digits = i;
    while (i < ref.size() && ref[i] >= '0' && ref[i] <= '9' && r <= limits::kMaxSheetRow) {
        r = r * 10 + (ref[i] - '0');
        ++i;
    }
    if (digits == 0 || i == digits || i != ref.size() || c > limits::kMaxSheetColumn || r < 1
        || r > limits::kMaxSheetRow)
        return false;
    row = static_cast<int>(r);
    column = static_cast<int>(c);
    return true;
}

bool parseRowNumber(std::string_view text, int& row)
{
    long r = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), r);
    if (ec != std::errc() || end != text.data() + text.size() || r < 1 || r > limits::kMaxSheetRow)
        return false;
    row = static_cast<int>(r);
    return true;
}

// An ISO date of a t="d" cell ("2023-03-15T08:30:15.000") as the contract's text: the day alone
// at midnight, the day and the time of day to the second otherwise.
std::string isoDateText(std::string_view value)
{
    std::string_view day = value.substr(0, value.find('T'));
    if (day.size() == value.size())
        return std::string(value);
    std::string_view time = value.substr(day.size() + 1, 8);
    if (day.empty())
        return std::string(time);
    if (time == "00:00:00" && value.find_first_not_of("0:.", day.size() + 1) == std::string_view::npos)
        return std::string(day);
    return std::string(day) + " " + std::string(time);
}

class SheetHandler : public XmlHandler {
public:
    explicit SheetHandler(const XlsxSheetSource& source) : m_source(source), m_range(source.where) {}

    CellArray build() const { return m_range.build(); }

    void startElement(std::string_view name, const char** attributes) override
    {
        if (name == "sheetData") {
            m_inSheetData = true;
        } else if (!m_inSheetData) {
            return;
        } else if (name == "row") {
            const char* r = xmlAttribute(attributes, "r");
            int row = m_row + 1;
            if (r && !parseRowNumber(r, row))
                fail("неверный номер строки «" + std::string(r) + "»");
            m_row = row;
            m_column = 0;
        } else if (name == "c") {
            startCell(attributes);
        } else if (m_inCell) {
            if (name == "v") {
                m_hasValue = true;
                m_collect = true;
            } else if (name == "f") {
                m_hasFormula = true;
            } else if (name == "is") {
                m_inInline = true;
                m_hasInline = true;
            } else if (name == "rPh") {
                ++m_phonetic;
            } else if (name == "t" && m_inInline && m_phonetic == 0) {
                m_collect = true;
            }
        }
    }

    void endElement(std::string_view name) override
    {
        if (name == "sheetData") {
            m_inSheetData = false;
        } else if (!m_inCell) {
            return;
        } else if (name == "c") {
            finishCell();
        } else if (name == "v" || name == "t") {
            m_collect = false;
        } else if (name == "is") {
            m_inInline = false;
        } else if (name == "rPh") {
            --m_phonetic;
        }
    }

    void characters(std::string_view text) override
    {
        if (!m_collect)
            return;
        std::string& target = m_inInline ? m_inlineText : m_value;
        if (target.size() + text.size() > limits::kTextBytes)
            fail("слишком длинный текст в ячейке " + cellName(m_row, m_column));
        target.append(text);
    }

private:
    [[noreturn]] void fail(const std::string& reason) const { throw WorkbookError(m_source.where + ": " + reason); }

    void startCell(const char** attributes)
    {
        if (m_row == 0)
            m_row = 1;
        const char* r = xmlAttribute(attributes, "r");
        int row = m_row;
        int column = m_column + 1;
        if (r && !parseCellReference(r, row, column))
            fail("неверный адрес ячейки «" + std::string(r) + "»");
        if (!r && column > limits::kMaxSheetColumn)
            fail("ячейка за последним столбцом листа в строке " + std::to_string(row));
        m_row = row;
        m_column = column;
        const char* t = xmlAttribute(attributes, "t");
        m_type = t ? t : "n";
        const char* style = xmlAttribute(attributes, "s");
        m_style = 0;
        if (style)
            std::from_chars(style, style + std::strlen(style), m_style);
        m_inCell = true;
        m_hasValue = m_hasFormula = m_hasInline = m_inInline = m_collect = false;
        m_phonetic = 0;
        m_value.clear();
        m_inlineText.clear();
    }

    void finishCell()
    {
        m_inCell = false;
        m_range.add(m_row, m_column, cellValue());
    }

    CellValue cellValue() const
    {
        const std::string here = cellName(m_row, m_column);
        if (m_hasFormula && (m_source.recalculateOnLoad || !m_hasValue || (m_value.empty() && m_type != "str")))
            return CellError{kFormulaWithoutValue};
        if (m_type == "inlineStr")
            return decodeXString(m_hasInline ? m_inlineText : m_value);
        if (m_type == "s") {
            if (!m_hasValue)
                return std::monostate{};
            std::size_t index = 0;
            const auto [end, ec] = std::from_chars(m_value.data(), m_value.data() + m_value.size(), index);
            if (ec != std::errc() || end != m_value.data() + m_value.size() || index >= m_source.sharedStrings.size())
                fail("ячейка " + here + " ссылается на отсутствующую строку «" + m_value + "»");
            return m_source.sharedStrings[index];
        }
        if (m_type == "str")
            return m_hasValue ? CellValue(decodeXString(m_value)) : CellValue();
        if (m_type == "d")
            return m_hasValue ? CellValue(isoDateText(m_value)) : CellValue();
        if (m_type == "b") {
            if (m_value == "1" || m_value == "true")
                return booleanCell(true);
            if (m_value == "0" || m_value == "false")
                return booleanCell(false);
            fail("ячейка " + here + ": неверное логическое значение «" + m_value + "»");
        }
        if (m_type == "e")
            return CellError{m_value.empty() ? std::string("ошибка") : m_value};
        if (m_type != "n")
            fail("ячейка " + here + ": неизвестный тип «" + m_type + "»");
        if (m_value.empty())
            return std::monostate{};
        double number = 0;
        const auto [end, ec] = std::from_chars(m_value.data(), m_value.data() + m_value.size(), number);
        if (ec != std::errc() || end != m_value.data() + m_value.size() || !std::isfinite(number))
            fail("ячейка " + here + ": число «" + m_value.substr(0, 40) + "» не читается");
        const NumberKind kind = m_style < m_source.cellKinds.size() ? m_source.cellKinds[m_style] : NumberKind::Plain;
        return serialDateValue(number, kind, m_source.date1904);
    }

    const XlsxSheetSource& m_source;
    UsedRangeBuilder m_range;
    bool m_inSheetData = false;
    bool m_inCell = false;
    bool m_hasValue = false;
    bool m_hasFormula = false;
    bool m_hasInline = false;
    bool m_inInline = false;
    bool m_collect = false;
    int m_phonetic = 0;
    int m_row = 0;
    int m_column = 0;
    std::string m_type;
    std::size_t m_style = 0;
    std::string m_value;
    std::string m_inlineText;
};

} // namespace

CellArray readXlsxSheet(ZipArchive& zip, const std::string& part, const XlsxSheetSource& source)
{
    SheetHandler handler(source);
    XmlStream xml(handler, source.where);
    zip.read(part, [&](const char* data, std::size_t size) { xml.feed(data, size); });
    xml.finish();
    return handler.build();
}

} // namespace automation
