// SPDX-License-Identifier: GPL-3.0-or-later
#include "biffreader.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>

#include "automation/numberformatkind.h"
#include "automation/readlimits.h"
#include "automation/workbook.h"
#include "text/utf8.h"

namespace automation {
namespace {

enum Record : unsigned {
    Bof = 0x0809,
    Eof = 0x000A,
    FilePass = 0x002F,
    DateMode = 0x0022,
    Format = 0x041E,
    Xf = 0x00E0,
    Sst = 0x00FC,
    Continue = 0x003C,
    BoundSheet = 0x0085,
    Dimensions = 0x0200,
    LabelSst = 0x00FD,
    Label = 0x0204,
    RString = 0x00D6,
    Number = 0x0203,
    Rk = 0x027E,
    MulRk = 0x00BD,
    BoolErr = 0x0205,
    FormulaRecord = 0x0006,
    String = 0x0207,
    RecalcId = 0x01C1,
};

// BIFF8 records carry at most this many bytes of data; a longer one is damage.
constexpr std::size_t kMaxRecordData = 8224;

const char* const kFormulaWithoutValue = "формула без сохраненного значения";

unsigned get16(std::string_view d, std::size_t at)
{
    return static_cast<unsigned char>(d[at]) | static_cast<unsigned char>(d[at + 1]) << 8;
}
std::uint32_t get32(std::string_view d, std::size_t at)
{
    return get16(d, at) | static_cast<std::uint32_t>(get16(d, at + 2)) << 16;
}
double getDouble(std::string_view d, std::size_t at)
{
    return std::bit_cast<double>(static_cast<std::uint64_t>(get32(d, at))
                                 | static_cast<std::uint64_t>(get32(d, at + 4)) << 32);
}

// An RK number: 30 bits of an integer or the top 30 bits of a double, possibly divided by 100.
double rkValue(std::uint32_t rk)
{
    double value = (rk & 0x02) ? static_cast<double>(static_cast<std::int32_t>(rk) >> 2)
                               : std::bit_cast<double>(static_cast<std::uint64_t>(rk & 0xFFFFFFFCu) << 32);
    return (rk & 0x01) ? value / 100 : value;
}

std::string errorText(unsigned code)
{
    switch (code) {
    case 0x00:
        return "#NULL!";
    case 0x07:
        return "#DIV/0!";
    case 0x0F:
        return "#VALUE!";
    case 0x17:
        return "#REF!";
    case 0x1D:
        return "#NAME?";
    case 0x24:
        return "#NUM!";
    case 0x2A:
        return "#N/A";
    default:
        return "ошибка";
    }
}

// UTF-16 code units to UTF-8; a surrogate pair may be split between two calls (a text continued
// in the next record), so the high half waiting for its partner is kept in `pending`.
class Utf16Text {
public:
    void add(unsigned unit)
    {
        if (m_pending != 0) {
            if (unit >= 0xDC00 && unit <= 0xDFFF) {
                text::appendUtf8(m_out, 0x10000 + ((m_pending - 0xD800) << 10) + (unit - 0xDC00));
                m_pending = 0;
                return;
            }
            text::appendUtf8(m_out, 0xFFFD);
            m_pending = 0;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF)
            m_pending = unit;
        else
            text::appendUtf8(m_out, unit); // a lone low half becomes U+FFFD there
    }
    // Characters stored one byte each (the high byte zero) or two bytes each.
    void addChars(std::string_view bytes, bool wide)
    {
        if (wide) {
            for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
                add(get16(bytes, i));
        } else {
            for (char c : bytes)
                add(static_cast<unsigned char>(c));
        }
    }
    std::string take()
    {
        if (m_pending != 0)
            text::appendUtf8(m_out, 0xFFFD);
        m_pending = 0;
        return std::move(m_out);
    }

private:
    std::string m_out;
    char32_t m_pending = 0;
};

struct RecordView {
    unsigned type;
    std::string_view data;
    std::size_t next;
};

class Reader {
public:
    Reader(std::string_view stream, const std::string& where) : m_stream(stream), m_where(where) {}

    [[noreturn]] void fail(const std::string& reason) const
    {
        throw WorkbookError(m_where + ": файл поврежден (" + reason + ")");
    }

    RecordView at(std::size_t pos) const
    {
        // Sheets may point at one another's records; the walk as a whole stays bounded.
        if (++m_steps > 20'000'000)
            fail("слишком много записей");
        if (pos > m_stream.size() || m_stream.size() - pos < 4)
            fail("книга обрывается");
        const unsigned type = get16(m_stream, pos);
        const std::size_t length = get16(m_stream, pos + 2);
        if (length > kMaxRecordData)
            fail("запись BIFF длиной " + std::to_string(length) + " байт выходит за допустимые пределы по смещению "
                 + std::to_string(pos));
        if (m_stream.size() - pos - 4 < length)
            fail("книга обрывается");
        return {type, m_stream.substr(pos + 4, length), pos + 4 + length};
    }

    void readGlobals();
    BiffWorksheet readSheet(std::string name, std::uint32_t offset);

    std::vector<std::pair<std::string, std::uint32_t>> sheetsFound;

private:
    // A short text inside one record: a character count of `countBytes` bytes at `at`, an option
    // byte, then the characters. Refused when it runs past its record.
    std::string shortText(std::string_view data, std::size_t at, unsigned countBytes, const char* what) const
    {
        if (data.size() < at + countBytes + 1)
            fail(std::string("неверная запись ") + what);
        const std::size_t count = countBytes == 1 ? static_cast<unsigned char>(data[at]) : get16(data, at);
        const bool wide = data[at + countBytes] & 0x01;
        const std::size_t begin = at + countBytes + 1;
        if ((data.size() - begin) / (wide ? 2 : 1) < count)
            fail(std::string("текст длиннее своей записи ") + what);
        Utf16Text text;
        text.addChars(data.substr(begin, count * (wide ? 2 : 1)), wide);
        return text.take();
    }

    void readSharedStrings(RecordView sst);
    std::string stringRecord(RecordView record) const;
    CellValue number(double value, unsigned xf) const;
    void addCell(BiffWorksheet& sheet, std::string_view data, CellValue value);
    void countCell(const CellValue& value);

    std::string_view m_stream;
    const std::string& m_where;
    mutable std::uint64_t m_steps = 0;
    std::uint64_t m_cellCount = 0;
    std::uint64_t m_textBytes = 0; // of all text cells: one shared string may back many cells
    bool m_date1904 = false;
    // The workbook names the engine that last computed it (Excel, LibreOffice), so its formula
    // results were stored by one; xlwt writes none and marks every formula "empty text".
    bool m_calculated = false;
    std::vector<std::string> m_sharedStrings;
    std::vector<unsigned> m_xfFormats; // format index of each XF
    std::vector<NumberKind> m_xfKinds;
};

// The shared-string table: the SST record and the CONTINUE records after it, each string a
// character count, an option byte, optional run and extension sizes, the characters (a string
// cut by a record boundary restates its width in the first byte of the next), then the runs and
// extension bytes, which are skipped.
void Reader::readSharedStrings(RecordView sst)
{
    if (sst.data.size() < 8)
        fail("неверная таблица строк");
    const std::uint32_t count = get32(sst.data, 4);
    std::string_view segment = sst.data.substr(8);
    std::size_t next = sst.next;
    const auto nextSegment = [&] {
        const RecordView more = at(next);
        if (more.type != Continue)
            fail("таблица строк обрывается");
        segment = more.data;
        next = more.next;
    };
    const auto skip = [&](std::uint64_t bytes) {
        while (bytes > 0) {
            if (segment.empty())
                nextSegment();
            const std::size_t k = static_cast<std::size_t>(std::min<std::uint64_t>(bytes, segment.size()));
            segment.remove_prefix(k);
            bytes -= k;
        }
    };
    const auto byte = [&]() -> unsigned {
        while (segment.empty())
            nextSegment();
        const auto b = static_cast<unsigned char>(segment[0]);
        segment.remove_prefix(1);
        return b;
    };
    // The declared count is not trusted: each string takes at least three bytes of the stream,
    // and the table is bounded besides.
    for (std::uint32_t i = 0; i < count; ++i) {
        if (m_sharedStrings.size() >= limits::kXlsCells)
            throw WorkbookError(m_where + ": слишком много строк в таблице строк (более "
                                + std::to_string(limits::kXlsCells) + ")");
        const unsigned length = byte() | byte() << 8;
        const unsigned flags = byte();
        const unsigned runs = (flags & 0x08) ? (byte() | byte() << 8) : 0;
        std::uint32_t extension = 0;
        if (flags & 0x04) {
            for (int k = 0; k < 4; ++k)
                extension |= static_cast<std::uint32_t>(byte()) << (8 * k);
        }
        bool wide = flags & 0x01;
        unsigned remaining = length;
        Utf16Text text;
        while (remaining > 0) {
            if (segment.empty()) {
                nextSegment();
                if (segment.empty())
                    fail("таблица строк обрывается");
                wide = segment[0] & 0x01;
                segment.remove_prefix(1);
            }
            const std::size_t width = wide ? 2 : 1;
            const std::size_t take = std::min<std::size_t>(remaining, segment.size() / width);
            if (take == 0)
                fail("строка таблицы строк длиннее своих данных");
            text.addChars(segment.substr(0, take * width), wide);
            segment.remove_prefix(take * width);
            remaining -= static_cast<unsigned>(take);
        }
        m_sharedStrings.push_back(text.take());
        skip(4ull * runs);
        skip(extension);
    }
}

// The text of a STRING record (a formula's text result) and the CONTINUE records after it.
std::string Reader::stringRecord(RecordView record) const
{
    if (record.data.size() < 3)
        fail("неверная запись STRING");
    unsigned remaining = get16(record.data, 0);
    Utf16Text text;
    std::string_view segment = record.data.substr(2);
    std::size_t next = record.next;
    while (remaining > 0) {
        if (segment.empty()) {
            const RecordView more = at(next);
            if (more.type != Continue || more.data.empty())
                fail("текст формулы обрывается");
            segment = more.data;
            next = more.next;
        }
        const bool wide = segment[0] & 1;
        segment.remove_prefix(1);
        const std::size_t width = wide ? 2 : 1;
        const std::size_t take = std::min<std::size_t>(remaining, segment.size() / width);
        text.addChars(segment.substr(0, take * width), wide);
        segment.remove_prefix(take * width);
        remaining -= static_cast<unsigned>(take);
        if (remaining > 0 && !segment.empty())
            fail("текст формулы обрывается");
    }
    return text.take();
}

void Reader::readGlobals()
{
    const RecordView bof = at(0);
    if (bof.type != Bof || bof.data.size() < 4 || get16(bof.data, 0) != 0x0600)
        throw WorkbookError(m_where + ": книга старого формата Excel (до Excel 97) не поддерживается");
    std::map<unsigned, NumberKind> formats;
    std::size_t pos = bof.next;
    for (;;) {
        const RecordView r = at(pos);
        pos = r.next;
        if (r.type == Eof)
            break;
        switch (r.type) {
        case FilePass:
            throw WorkbookError(m_where + ": книга защищена паролем");
        case RecalcId:
            m_calculated = true;
            break;
        case DateMode:
            if (r.data.size() >= 2)
                m_date1904 = get16(r.data, 0) == 1;
            break;
        case Format:
            formats[r.data.size() >= 2 ? get16(r.data, 0) : 0] = formatCodeKind(shortText(r.data, 2, 2, "FORMAT"));
            break;
        case Xf:
            if (r.data.size() >= 4)
                m_xfFormats.push_back(get16(r.data, 2));
            break;
        case Sst:
            m_sharedStrings.clear(); // a second table replaces the first
            readSharedStrings(r);
            break;
        case BoundSheet:
            if (r.data.size() >= 8 && static_cast<unsigned char>(r.data[5]) == 0) { // a worksheet
                if (sheetsFound.size() >= static_cast<std::size_t>(limits::kSheets))
                    throw WorkbookError(m_where + ": слишком много листов (более " + std::to_string(limits::kSheets)
                                        + ")");
                sheetsFound.emplace_back(shortText(r.data, 6, 1, "листа"), get32(r.data, 0));
            }
            break;
        default:
            break;
        }
    }
    for (unsigned index : m_xfFormats) {
        const auto found = formats.find(index);
        m_xfKinds.push_back(found != formats.end() ? found->second : builtInFormatKind(index));
    }
}

CellValue Reader::number(double value, unsigned xf) const
{
    if (!std::isfinite(value))
        return CellError{"#NUM!"};
    const NumberKind kind = xf < m_xfKinds.size() ? m_xfKinds[xf] : NumberKind::Plain;
    return kind == NumberKind::Plain ? CellValue(value) : serialDateValue(value, kind, m_date1904);
}

// Cells are kept until a used range is asked for: their count and the bytes of their texts are
// bounded for the whole workbook, since sheets may share records and cells a shared string.
void Reader::countCell(const CellValue& value)
{
    if (++m_cellCount > limits::kXlsCells)
        throw WorkbookError(m_where + ": слишком много ячеек (более " + std::to_string(limits::kXlsCells) + ")");
    if (const auto* s = std::get_if<std::string>(&value)) {
        m_textBytes += s->size();
        if (m_textBytes > limits::kRangeTextBytes)
            throw WorkbookError(m_where + ": слишком много текста в книге");
    }
}

void Reader::addCell(BiffWorksheet& sheet, std::string_view data, CellValue value)
{
    countCell(value);
    sheet.cells.push_back(
        {static_cast<int>(get16(data, 0)) + 1, static_cast<int>(get16(data, 2)) + 1, std::move(value)});
}

BiffWorksheet Reader::readSheet(std::string name, std::uint32_t offset)
{
    BiffWorksheet sheet{std::move(name), {}};
    const RecordView bof = at(offset);
    if (bof.type != Bof)
        fail("лист «" + sheet.name + "» не найден в потоке книги");
    // Stored results of formulas and boolean and error constants take effect over any plain
    // value at the same place.
    BiffWorksheet resultSheet;
    int depth = 1; // embedded charts bring their own BOF ... EOF
    std::size_t pendingText = 0; // 1 + index in resultSheet.cells of a formula awaiting its STRING
    std::size_t pos = bof.next;
    while (depth > 0) {
        const RecordView r = at(pos);
        pos = r.next;
        const std::string_view d = r.data;
        if (r.type == Bof) {
            ++depth;
            continue;
        }
        if (r.type == Eof) {
            --depth;
            continue;
        }
        if (depth != 1)
            continue;
        switch (r.type) {
        case Dimensions:
            // A sheet holds at most 65536 rows and 256 columns; declaring more is damage.
            if (d.size() >= 12 && (get32(d, 4) > 65536 || get16(d, 10) > 256))
                throw WorkbookError(m_where + ", лист «" + sheet.name + "»: заявленный размер листа слишком велик ("
                                    + std::to_string(get32(d, 4)) + " строк, " + std::to_string(get16(d, 10))
                                    + " столбцов)");
            break;
        case LabelSst:
            if (d.size() >= 10) {
                const std::uint32_t index = get32(d, 6);
                if (index >= m_sharedStrings.size())
                    fail("ссылка на строку " + std::to_string(index) + " вне таблицы строк");
                addCell(sheet, d, m_sharedStrings[index]);
            }
            break;
        case Label:
        case RString:
            addCell(sheet, d, shortText(d, 6, 2, r.type == Label ? "LABEL" : "RSTRING"));
            break;
        case Number:
            if (d.size() >= 14)
                addCell(sheet, d, number(getDouble(d, 6), get16(d, 4)));
            break;
        case Rk:
            if (d.size() >= 10)
                addCell(sheet, d, number(rkValue(get32(d, 6)), get16(d, 4)));
            break;
        case MulRk:
            // Row, first column, six bytes (XF and RK) per column, last column.
            if (d.size() >= 12) {
                const unsigned row = get16(d, 0), first = get16(d, 2);
                const std::size_t count = (d.size() - 6) / 6;
                for (std::size_t k = 0; k < count; ++k) {
                    const std::size_t at = 4 + 6 * k;
                    const CellValue value = number(rkValue(get32(d, at + 2)), get16(d, at));
                    countCell(value);
                    sheet.cells.push_back({static_cast<int>(row) + 1, static_cast<int>(first + k) + 1, value});
                }
            }
            break;
        case BoolErr:
            if (d.size() >= 8) {
                const unsigned code = static_cast<unsigned char>(d[6]);
                addCell(resultSheet, d, d[7] ? CellValue(CellError{errorText(code)}) : booleanCell(code != 0));
            }
            break;
        case FormulaRecord:
            if (d.size() >= 20) {
                const std::string_view result = d.substr(6, 8);
                CellValue value = CellError{kFormulaWithoutValue};
                pendingText = 0;
                if (get16(result, 6) != 0xFFFF) {
                    value = number(getDouble(result, 0), get16(d, 4)); // a date result shows as a date
                } else if (result[0] == 0) {
                    pendingText = resultSheet.cells.size() + 1; // the STRING record follows
                } else if (result[0] == 1) {
                    value = booleanCell(result[2] != 0);
                } else if (result[0] == 2) {
                    value = CellError{errorText(static_cast<unsigned char>(result[2]))};
                } else if (result[0] == 3 && m_calculated) {
                    value = std::string(); // =IF(…;"";…): the empty text
                }
                addCell(resultSheet, d, std::move(value));
            }
            break;
        case String:
            if (pendingText > 0) {
                CellValue value = stringRecord(r);
                countCell(value);
                resultSheet.cells[pendingText - 1].value = std::move(value);
                pendingText = 0;
            }
            break;
        default:
            break;
        }
    }
    for (BiffCell& cell : resultSheet.cells)
        sheet.cells.push_back(std::move(cell));
    return sheet;
}

} // namespace

std::vector<BiffWorksheet> readBiffWorkbook(std::string_view stream, const std::string& where)
{
    Reader reader(stream, where);
    reader.readGlobals();
    std::vector<BiffWorksheet> sheets;
    for (auto& [name, offset] : reader.sheetsFound)
        sheets.push_back(reader.readSheet(std::move(name), offset));
    return sheets;
}

} // namespace automation
