// SPDX-License-Identifier: GPL-3.0-or-later
#include "biffscan.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "automation/readlimits.h"
#include "automation/workbook.h"
#include "text/utf8.h"

namespace automation {
namespace {

enum Record : unsigned {
    Bof = 0x0809,
    Eof = 0x000A,
    BoundSheet = 0x0085,
    Dimensions = 0x0200,
    Formula = 0x0006,
    String = 0x0207,
    Continue = 0x003C,
    BoolErr = 0x0205,
    Sst = 0x00FC,
};

const char* const kFormulaWithoutValue = "формула без сохраненного значения";

unsigned get16(std::string_view d, std::size_t at)
{
    return static_cast<unsigned char>(d[at]) | static_cast<unsigned char>(d[at + 1]) << 8;
}
std::uint32_t get32(std::string_view d, std::size_t at)
{
    return get16(d, at) | static_cast<std::uint32_t>(get16(d, at + 2)) << 16;
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

struct RecordView {
    unsigned type;
    std::string_view data;
    std::size_t next;
};

class Walker {
public:
    Walker(std::string_view stream, const std::string& where) : m_stream(stream), m_where(where) {}

    [[noreturn]] void fail(const std::string& reason) const
    {
        throw WorkbookError(m_where + ": файл поврежден (" + reason + ")");
    }

    RecordView at(std::size_t pos) const
    {
        // Sheets may point at one another's records; the walk as a whole stays bounded.
        if (++m_steps > 20'000'000)
            fail("слишком много записей");
        if (pos + 4 > m_stream.size())
            fail("книга обрывается");
        const unsigned type = get16(m_stream, pos);
        const unsigned length = get16(m_stream, pos + 2);
        if (pos + 4 + length > m_stream.size())
            fail("книга обрывается");
        return {type, m_stream.substr(pos + 4, length), pos + 4 + length};
    }

    // The text of a STRING record at `pos` and the CONTINUE records after it.
    std::string stringRecord(RecordView record) const
    {
        if (record.data.size() < 3)
            fail("неверная запись STRING");
        unsigned remaining = get16(record.data, 0);
        std::string out;
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
            while (remaining > 0 && segment.size() >= (wide ? 2u : 1u)) {
                text::appendUtf8(out, wide ? get16(segment, 0) : static_cast<unsigned char>(segment[0]));
                segment.remove_prefix(wide ? 2 : 1);
                --remaining;
            }
            if (remaining > 0 && !segment.empty())
                fail("текст формулы обрывается");
        }
        return out;
    }

    // FreeXL copies each shared string by its declared length, so a length that runs past the
    // data of the shared-string table (SST and its CONTINUE records) makes it read outside its
    // buffer. Such a table is refused before FreeXL sees it.
    void checkSharedStrings(RecordView sst) const
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
            if (segment.empty())
                nextSegment();
            if (segment.empty())
                fail("таблица строк обрывается");
            const auto b = static_cast<unsigned char>(segment[0]);
            segment.remove_prefix(1);
            return b;
        };
        for (std::uint32_t i = 0; i < count; ++i) {
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
            while (remaining > 0) {
                if (segment.empty()) {
                    nextSegment();
                    if (segment.empty())
                        fail("таблица строк обрывается");
                    wide = segment[0] & 0x01; // a string continued in a new record restates its width
                    segment.remove_prefix(1);
                }
                const std::size_t width = wide ? 2 : 1;
                const std::size_t take = std::min<std::size_t>(remaining, segment.size() / width);
                if (take == 0)
                    fail("строка таблицы строк длиннее своих данных");
                segment.remove_prefix(take * width);
                remaining -= static_cast<unsigned>(take);
            }
            skip(4ull * runs);
            skip(extension);
        }
    }

    std::size_t size() const { return m_stream.size(); }

private:
    std::string_view m_stream;
    const std::string& m_where;
    mutable std::uint64_t m_steps = 0;
};

std::string sheetName(const Walker& walker, std::string_view data)
{
    if (data.size() < 8)
        walker.fail("неверная запись листа");
    const unsigned count = static_cast<unsigned char>(data[6]);
    const bool wide = data[7] & 1;
    if (data.size() < 8 + count * (wide ? 2u : 1u))
        walker.fail("неверное имя листа");
    std::string name;
    for (unsigned i = 0; i < count; ++i)
        text::appendUtf8(name, wide ? get16(data, 8 + 2 * i) : static_cast<unsigned char>(data[8 + i]));
    return name;
}

void scanSheet(const Walker& walker, std::size_t pos, BiffSheet& sheet)
{
    const RecordView bof = walker.at(pos);
    if (bof.type != Bof)
        walker.fail("лист «" + sheet.name + "» не найден в потоке книги");
    int depth = 1; // embedded charts bring their own BOF ... EOF
    std::pair<int, int> pendingText{0, 0};
    pos = bof.next;
    while (depth > 0) {
        const RecordView r = walker.at(pos);
        pos = r.next;
        if (r.type == Bof) {
            ++depth;
        } else if (r.type == Eof) {
            --depth;
        } else if (depth != 1) {
            continue;
        } else if (r.type == Dimensions && r.data.size() >= 12) {
            sheet.declaredRows = get32(r.data, 4);
            sheet.declaredColumns = get16(r.data, 10);
        } else if (r.type == Formula && r.data.size() >= 20) {
            const std::pair<int, int> cell{static_cast<int>(get16(r.data, 0)) + 1,
                                           static_cast<int>(get16(r.data, 2)) + 1};
            const std::string_view result = r.data.substr(6, 8);
            CellValue value;
            if (get16(result, 6) != 0xFFFF) {
                const double number = std::bit_cast<double>(static_cast<std::uint64_t>(get32(result, 0))
                                                            | static_cast<std::uint64_t>(get32(result, 4)) << 32);
                value = std::isfinite(number) ? CellValue(number) : CellValue(CellError{"#NUM!"});
            } else {
                switch (static_cast<unsigned char>(result[0])) {
                case 0:
                    value = CellError{kFormulaWithoutValue};
                    pendingText = cell;
                    break; // the STRING record follows
                case 1:
                    value = CellError{result[2] ? "логическое значение ИСТИНА" : "логическое значение ЛОЖЬ"};
                    break;
                case 2:
                    value = CellError{errorText(static_cast<unsigned char>(result[2]))};
                    break;
                default:
                    value = CellError{kFormulaWithoutValue};
                    break;
                }
            }
            sheet.cells[cell] = std::move(value);
        } else if (r.type == String && pendingText.first > 0) {
            sheet.cells[pendingText] = walker.stringRecord(r);
            pendingText = {0, 0};
        } else if (r.type == BoolErr && r.data.size() >= 8) {
            const std::pair<int, int> cell{static_cast<int>(get16(r.data, 0)) + 1,
                                           static_cast<int>(get16(r.data, 2)) + 1};
            const unsigned code = static_cast<unsigned char>(r.data[6]);
            sheet.cells[cell] = r.data[7] ? CellError{errorText(code)}
                                          : CellError{code ? "логическое значение ИСТИНА" : "логическое значение ЛОЖЬ"};
        }
    }
}

} // namespace

// FreeXL reads the stream record after record to its end and copies each record into a buffer
// of the largest size BIFF8 allows, and the text of FORMAT, LABEL and RSTRING records by the
// character count they declare. A longer record, one running past the stream's end, or a text
// longer than its record makes it read outside its buffers. Such a stream is refused before
// FreeXL sees it.
void checkRecords(std::string_view stream, const std::string& where)
{
    constexpr std::size_t kMaxRecordData = 8224;
    constexpr unsigned kFormat = 0x041E, kLabel = 0x0204, kRString = 0x00D6;
    const auto refuse = [&](std::size_t pos, const std::string& what) {
        throw WorkbookError(where + ": файл поврежден (" + what + " по смещению " + std::to_string(pos) + ")");
    };
    for (std::size_t pos = 0; pos + 4 <= stream.size();) {
        const unsigned type = get16(stream, pos);
        const std::size_t length = get16(stream, pos + 2);
        if (length > kMaxRecordData || pos + 4 + length > stream.size())
            refuse(pos, "запись BIFF длиной " + std::to_string(length) + " байт выходит за допустимые пределы");
        const std::string_view data = stream.substr(pos + 4, length);
        // Offset of the character count of the record's text, when it has one.
        const std::size_t countAt = type == kFormat ? 2 : (type == kLabel || type == kRString) ? 6 : 0;
        if (countAt > 0) {
            if (data.size() < countAt + 3)
                refuse(pos, "запись с текстом слишком коротка");
            const std::size_t chars = get16(data, countAt);
            const std::size_t width = (data[countAt + 2] & 0x01) ? 2 : 1;
            if (countAt + 3 + chars * width > data.size())
                refuse(pos, "текст длиннее своей записи");
        }
        pos += 4 + length;
    }
}

std::vector<BiffSheet> scanBiffWorkbook(std::string_view stream, const std::string& where)
{
    checkRecords(stream, where);
    Walker walker(stream, where);
    const RecordView bof = walker.at(0);
    if (bof.type != Bof || bof.data.size() < 4 || get16(bof.data, 0) != 0x0600)
        throw WorkbookError(where + ": книга старого формата Excel (до Excel 97) не поддерживается");
    std::vector<std::pair<BiffSheet, std::uint32_t>> found;
    std::size_t pos = bof.next;
    for (;;) {
        const RecordView r = walker.at(pos);
        pos = r.next;
        if (r.type == Eof)
            break;
        if (r.type == Sst)
            walker.checkSharedStrings(r);
        if (r.type == BoundSheet && r.data.size() >= 8 && static_cast<unsigned char>(r.data[5]) == 0) {
            if (found.size() >= static_cast<std::size_t>(limits::kSheets))
                throw WorkbookError(where + ": слишком много листов (более " + std::to_string(limits::kSheets) + ")");
            BiffSheet sheet;
            sheet.name = sheetName(walker, r.data);
            found.emplace_back(std::move(sheet), get32(r.data, 0));
        }
    }
    std::vector<BiffSheet> sheets;
    for (auto& [sheet, offset] : found) {
        scanSheet(walker, offset, sheet);
        sheets.push_back(std::move(sheet));
    }
    return sheets;
}

} // namespace automation
