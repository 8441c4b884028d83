// SPDX-License-Identifier: GPL-3.0-or-later
#include "summaryformat.h"

#include <algorithm>

#include "results/gridtexts.h"

namespace archive {

std::string jsonString(std::string_view value)
{
    // Printable ASCII other than a quote or a backslash needs no escape: the keys, numbers and
    // locus names that make most of a summary are written without a JSON value built for each.
    const auto plain = [](char c) { return c >= 0x20 && c < 0x7F && c != '"' && c != '\\'; };
    if (std::all_of(value.begin(), value.end(), plain)) {
        std::string literal;
        literal.reserve(value.size() + 2);
        literal.append(1, '"').append(value).append(1, '"');
        return literal;
    }
    // Bytes that are not UTF-8 become U+FFFD rather than an exception: a workbook's text may hold them.
    return nlohmann::json(std::string(value)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

void writeJsonLines(const nlohmann::ordered_json& document, std::ostream& out)
{
    writeJsonLines(document, out, {}, {});
}

void writeJsonLines(const nlohmann::ordered_json& document, std::ostream& out, std::string_view linesKey,
                    const std::vector<std::string>& lines)
{
    const auto scalar = [](const nlohmann::ordered_json& value) {
        if (value.is_string())
            return jsonString(value.get_ref<const std::string&>());
        return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    };
    const auto inlineValue = [&scalar](const nlohmann::ordered_json& value) {
        if (!value.is_object())
            return scalar(value);
        std::string text = "{";
        for (auto it = value.begin(); it != value.end(); ++it)
            text.append(it == value.begin() ? "" : ", ")
                .append(jsonString(it.key()))
                .append(": ")
                .append(scalar(it.value()));
        return text + "}";
    };
    out << '{';
    for (auto it = document.begin(); it != document.end(); ++it) {
        out << (it == document.begin() ? "\n  " : ",\n  ") << jsonString(it.key()) << ": ";
        if (!linesKey.empty() && it.key() == linesKey) {
            out << '[';
            for (std::size_t i = 0; i < lines.size(); ++i)
                out << (i ? ",\n    " : "\n    ") << lines[i];
            out << (lines.empty() ? "]" : "\n  ]");
            continue;
        }
        if (!it.value().is_array()) {
            out << inlineValue(it.value());
            continue;
        }
        out << '[';
        for (std::size_t i = 0; i < it.value().size(); ++i)
            out << (i ? ",\n    " : "\n    ") << inlineValue(it.value()[i]);
        out << (it.value().empty() ? "]" : "\n  ]");
    }
    out << "\n}\n";
}

JsonObjectLine& JsonObjectLine::member(std::string_view key, std::string_view jsonValue)
{
    m_text.append(m_text.size() > 1 ? ", " : "").append(jsonString(key)).append(": ").append(jsonValue);
    return *this;
}

JsonObjectLine& JsonObjectLine::text(std::string_view key, std::string_view value)
{
    return member(key, jsonString(value));
}

JsonObjectLine& JsonObjectLine::textOrNull(std::string_view key, std::string_view value)
{
    return value.empty() ? member(key, "null") : text(key, value);
}

JsonObjectLine& JsonObjectLine::boolean(std::string_view key, bool value)
{
    return member(key, value ? "true" : "false");
}

std::string JsonObjectLine::finish() &&
{
    return std::move(m_text.append(1, '}'));
}

std::string csvField(std::string_view text)
{
    // A field that a spreadsheet program would take for a formula (a cell "=HYPERLINK(...)" typed
    // into a case) gets a leading apostrophe, as the programs' own advice has it: it is shown as
    // text and never run. The program's own mark "++" stays as the table has it: no typed text
    // reaches that column, and it calls nothing.
    std::string field(text);
    if (!field.empty() && field != results::kMark
        && std::string_view("=+-@\t\r").find(field.front()) != std::string_view::npos)
        field.insert(0, 1, '\'');
    if (field.find_first_of(",\"\r\n") == std::string::npos)
        return field;
    std::string out = "\"";
    for (char c : field) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
    return out;
}

} // namespace archive
