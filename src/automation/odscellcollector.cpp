// SPDX-License-Identifier: GPL-3.0-or-later
#include "odscellcollector.h"

#include <cmath>
#include <cstdio>
#include <deque>
#include <locale.h>
#include <map>

#include <orcus/orcus_ods.hpp>
#include <orcus/spreadsheet/factory.hpp>
#include <orcus/spreadsheet/import_interface.hpp>
#include <orcus/spreadsheet/styles.hpp>
#include <orcus/string_pool.hpp>

#include "automation/readlimits.h"
#include "automation/readmessages.h"
#include "automation/usedrangebuilder.h"
#include "automation/workbook.h"

namespace automation {
namespace {

namespace ss = orcus::spreadsheet;

const char* const kFormulaWithoutValue = "формула без сохраненного значения";

CellError booleanValue(bool value)
{
    return CellError{value ? "логическое значение ИСТИНА" : "логическое значение ЛОЖЬ"};
}

class SharedStrings : public ss::iface::import_shared_strings {
public:
    std::vector<std::string> strings;

    std::size_t append(std::string_view s) override
    {
        strings.emplace_back(s);
        return strings.size() - 1;
    }
    std::size_t add(std::string_view s) override { return append(s); }
    void set_segment_font(std::size_t) override {}
    void set_segment_bold(bool) override {}
    void set_segment_italic(bool) override {}
    void set_segment_font_name(std::string_view) override {}
    void set_segment_font_size(double) override {}
    void set_segment_font_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t) override {}
    void append_segment(std::string_view s) override { m_segments.append(s); }
    std::size_t commit_segments() override
    {
        const std::size_t index = append(m_segments);
        m_segments.clear();
        return index;
    }

private:
    std::string m_segments;
};

// orcus asks these of every factory that takes formulas; formulas are not evaluated here, only
// their stored results are kept, so the answers only need to be well-formed.
class GlobalSettings : public ss::iface::import_global_settings {
public:
    void set_origin_date(int, int, int) override {}
    void set_default_formula_grammar(ss::formula_grammar_t grammar) override { m_grammar = grammar; }
    ss::formula_grammar_t get_default_formula_grammar() const override { return m_grammar; }
    void set_character_set(orcus::character_set_t) override {}

private:
    ss::formula_grammar_t m_grammar = ss::formula_grammar_t::ods;
};

class ReferenceResolver : public ss::iface::import_reference_resolver {
public:
    ss::src_address_t resolve_address(std::string_view) override { return {0, 0, 0}; }
    ss::src_range_t resolve_range(std::string_view) override { return {{0, 0, 0}, {0, 0, 0}}; }
};

class SheetCells : public ss::iface::import_sheet {
public:
    SheetCells(std::string name, std::string where, const SharedStrings& strings)
        : m_name(std::move(name)), m_strings(strings), m_range(std::move(where)), m_formula(*this)
    {
    }

    const std::string& name() const { return m_name; }
    const std::string& error() const { return m_error; }
    CellArray build() const { return m_error.empty() ? m_range.build() : CellArray(); }

    void add(ss::row_t row, ss::col_t col, CellValue value)
    {
        if (const auto* d = std::get_if<double>(&value); d && !std::isfinite(*d))
            value = CellError{"#NUM!"};
        if (row != m_currentRow) {
            m_currentRow = row;
            m_rowCells.clear();
        }
        m_rowCells[col] = value;
        store(row, col, std::move(value));
    }

    ss::iface::import_formula* get_formula() override { return &m_formula; }
    void set_auto(ss::row_t row, ss::col_t col, std::string_view s) override { add(row, col, std::string(s)); }
    void set_string(ss::row_t row, ss::col_t col, ss::string_id_t index) override
    {
        if (index >= m_strings.strings.size())
            add(row, col, CellError{"ссылка на отсутствующую строку"});
        else
            add(row, col, m_strings.strings[index]);
    }
    void set_value(ss::row_t row, ss::col_t col, double value) override { add(row, col, value); }
    void set_bool(ss::row_t row, ss::col_t col, bool value) override { add(row, col, booleanValue(value)); }
    void set_date_time(ss::row_t row, ss::col_t col, int year, int month, int day, int hour, int minute,
                       double second) override
    {
        // As the .xls reader gives dates: ISO text, with the time when there is one.
        char text[64];
        if (hour == 0 && minute == 0 && second == 0)
            std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
        else
            std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour, minute,
                          static_cast<int>(second));
        add(row, col, std::string(text));
    }
    void set_format(ss::row_t, ss::col_t, std::size_t) override {}
    void set_format(ss::row_t, ss::col_t, ss::row_t, ss::col_t, std::size_t) override {}
    // A row written once with a repeat count: its cells are copied to the rows below.
    void fill_down_cells(ss::row_t row, ss::col_t col, ss::row_t count) override
    {
        const auto found = m_rowCells.find(col);
        if (row != m_currentRow || found == m_rowCells.end())
            return;
        const CellValue value = found->second;
        for (ss::row_t k = 1; k < count && m_error.empty(); ++k)
            store(row + k, col, value);
    }
    ss::range_size_t get_sheet_size() const override { return {limits::kMaxSheetRow, limits::kMaxSheetColumn}; }

private:
    void store(ss::row_t row, ss::col_t col, CellValue value)
    {
        if (!m_error.empty())
            return;
        try {
            m_range.add(static_cast<int>(row) + 1, static_cast<int>(col) + 1, std::move(value));
        } catch (const WorkbookError& e) {
            m_error = e.what();
        }
    }

    class Formula : public ss::iface::import_formula {
    public:
        explicit Formula(SheetCells& sheet) : m_sheet(sheet) {}
        void set_position(ss::row_t row, ss::col_t col) override
        {
            m_row = row;
            m_col = col;
            m_value = CellError{kFormulaWithoutValue};
        }
        void set_formula(ss::formula_grammar_t, std::string_view) override {}
        void set_shared_formula_index(std::size_t) override {}
        void set_result_string(std::string_view value) override { m_value = std::string(value); }
        void set_result_value(double value) override { m_value = value; }
        void set_result_bool(bool value) override { m_value = booleanValue(value); }
        void set_result_empty() override { m_value = CellError{kFormulaWithoutValue}; }
        void commit() override { m_sheet.add(m_row, m_col, std::move(m_value)); }

    private:
        SheetCells& m_sheet;
        ss::row_t m_row = 0;
        ss::col_t m_col = 0;
        CellValue m_value;
    };

    std::string m_name;
    const SharedStrings& m_strings;
    UsedRangeBuilder m_range;
    Formula m_formula;
    std::string m_error;
    ss::row_t m_currentRow = -1;
    std::map<ss::col_t, CellValue> m_rowCells; // the cells of the row read last, for fill_down_cells
};

} // namespace

class OdsCellCollector::Factory : public ss::iface::import_factory {
public:
    explicit Factory(std::string where) : m_where(std::move(where)) {}

    ss::iface::import_shared_strings* get_shared_strings() override { return &m_strings; }
    ss::iface::import_global_settings* get_global_settings() override { return &m_settings; }
    // orcus looks up the style of every styled cell and does not check for a missing store.
    ss::iface::import_styles* get_styles() override { return &m_styles; }
    ss::iface::import_reference_resolver* get_reference_resolver(ss::formula_ref_context_t) override
    {
        return &m_resolver;
    }
    ss::iface::import_sheet* append_sheet(ss::sheet_t, std::string_view name) override
    {
        if (m_sheets.size() >= static_cast<std::size_t>(limits::kSheets))
            throw WorkbookError(m_where + ": слишком много листов (более " + std::to_string(limits::kSheets) + ")");
        const std::string sheetName = validUtf8(name);
        m_sheets.emplace_back(sheetName, m_where + ", лист «" + sheetName + "»", m_strings);
        return &m_sheets.back();
    }
    ss::iface::import_sheet* get_sheet(std::string_view name) override
    {
        for (SheetCells& sheet : m_sheets) {
            if (sheet.name() == name)
                return &sheet;
        }
        return nullptr;
    }
    ss::iface::import_sheet* get_sheet(ss::sheet_t index) override
    {
        return index >= 0 && static_cast<std::size_t>(index) < m_sheets.size()
                   ? &m_sheets[static_cast<std::size_t>(index)]
                   : nullptr;
    }
    void finalize() override {}

    std::deque<SheetCells>& sheets() { return m_sheets; }

private:
    std::string m_where;
    SharedStrings m_strings;
    GlobalSettings m_settings;
    ss::styles m_styleStore;
    orcus::string_pool m_stylePool;
    ss::import_styles m_styles{m_styleStore, m_stylePool};
    ReferenceResolver m_resolver;
    std::deque<SheetCells> m_sheets; // stable addresses: orcus keeps the pointers
};

OdsCellCollector::OdsCellCollector(std::string where)
    : m_factory(std::make_unique<Factory>(where)), m_where(std::move(where))
{
}

OdsCellCollector::~OdsCellCollector() = default;

void OdsCellCollector::read(std::string_view bytes)
{
    // orcus reads numbers with the C library's locale-dependent conversion; a process running
    // under a decimal-comma locale would read 9.3 as 9. Switch this thread only, for the read.
    locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
    const locale_t previous = cLocale ? uselocale(cLocale) : nullptr;
    try {
        orcus::orcus_ods reader(m_factory.get());
        reader.read_stream(bytes);
    } catch (...) {
        if (cLocale) {
            uselocale(previous);
            freelocale(cLocale);
        }
        try {
            throw;
        } catch (const WorkbookError&) {
            throw;
        } catch (const std::exception& e) {
            throw WorkbookError(m_where + ": файл поврежден или не читается (" + validUtf8(e.what()) + ")");
        }
    }
    if (cLocale) {
        uselocale(previous);
        freelocale(cLocale);
    }
}

std::size_t OdsCellCollector::sheetCount() const
{
    return m_factory->sheets().size();
}

void OdsCellCollector::addCell(std::size_t sheet, int row, int column, CellValue value)
{
    if (sheet < m_factory->sheets().size())
        m_factory->sheets()[sheet].add(row - 1, column - 1, std::move(value));
}

std::vector<OdsCellCollector::Sheet> OdsCellCollector::takeSheets()
{
    std::vector<Sheet> out;
    for (const SheetCells& sheet : m_factory->sheets())
        out.push_back({sheet.name(), sheet.build(), sheet.error()});
    return out;
}

} // namespace automation
