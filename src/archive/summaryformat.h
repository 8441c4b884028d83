// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The field and document formats every printed summary shares: CSV fields and JSON laid out one
// line per row, for the archive run's summary and the command line's own outputs alike.
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace archive {

// The text as a JSON string literal (quotes included). Bytes that are not valid UTF-8 become
// U+FFFD, control characters \uXXXX escapes, so the output is always valid JSON.
std::string jsonString(std::string_view text);

// A JSON object with one member per line and the elements of an array member one per line, each
// on a line of its own, so a sorted or grepped output keeps a row together. nlohmann's dump()
// prints either one line or one value per line, hence this layout over its serialisation.
void writeJsonLines(const nlohmann::ordered_json& document, std::ostream& out);

// The same, with the member `linesKey` (a placeholder in the document, kept for its place) the
// array of `lines`, each already one element's text: a long table written without a JSON value
// built for each of its cells.
void writeJsonLines(const nlohmann::ordered_json& document, std::ostream& out, std::string_view linesKey,
                    const std::vector<std::string>& lines);

// One object of such lines, {"key": value, ...}, as writeJsonLines prints an object element.
class JsonObjectLine {
public:
    JsonObjectLine& text(std::string_view key, std::string_view value);
    JsonObjectLine& textOrNull(std::string_view key, std::string_view value); // null when empty
    JsonObjectLine& boolean(std::string_view key, bool value);
    std::string finish() &&;

private:
    JsonObjectLine& member(std::string_view key, std::string_view jsonValue);
    std::string m_text = "{";
};

// One CSV field: quoted when it holds a comma, a quote or a line break (decimal commas do); one
// that starts with = + - @, a tab or a carriage return gets a leading apostrophe, so a spreadsheet
// program opening the CSV shows it as text rather than run it as a formula.
std::string csvField(std::string_view text);

} // namespace archive
