// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The formula cell of a results row read back: its shape with the labels replaced by a and b in
// the order they first appear ("1/2p(a)", "(p(a)+p(b))/4p(a)p(b)"), the labels themselves, and
// the value the shape gives for the frequencies of those labels. The validation pack counts the
// cases of each shape and checks that the formula shown gives the index shown.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace validation {

struct FormulaShape {
    std::string shape; // the cell with labels replaced: "1/(2p(a)+2p(b))"
    std::vector<std::string> labels; // a, then b
};

// Every "p(" ... ")" is a frequency and its label. A cell that names no frequency (a verdict, the
// mutation model's formula) comes back as it is, with no labels.
FormulaShape formulaShape(std::string_view formula);

// The index the shape gives, with `frequency` the frequency of a label; nullopt for a shape
// that is not one of the program's index formulas, or a label without a frequency.
std::optional<long double> shapeValue(const FormulaShape& shape,
                                      const std::function<std::optional<long double>(const std::string&)>& frequency);

// The index formulas of the program, by their shape, for a duo and for a trio.
const std::vector<std::string>& duoFormulaShapes();
const std::vector<std::string>& trioFormulaShapes();

} // namespace validation
