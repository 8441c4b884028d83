// SPDX-License-Identifier: GPL-3.0-or-later
#include "formulashape.h"

#include <algorithm>

namespace validation {
namespace {

constexpr std::string_view kOne = "1/p(a)";
constexpr std::string_view kHalf = "1/2p(a)";
constexpr std::string_view kQuarter = "1/4p(a)";
constexpr std::string_view kSharedHeterozygote = "(p(a)+p(b))/4p(a)p(b)";
constexpr std::string_view kHalfSum = "1/(2p(a)+2p(b))";
constexpr std::string_view kSum = "1/(p(a)+p(b))";

} // namespace

FormulaShape formulaShape(std::string_view formula)
{
    FormulaShape out;
    std::size_t at = 0;
    for (;;) {
        const std::size_t open = formula.find("p(", at);
        const std::size_t close = open == std::string_view::npos ? open : formula.find(')', open + 2);
        if (close == std::string_view::npos) {
            out.shape += formula.substr(at);
            return out;
        }
        const std::string label(formula.substr(open + 2, close - open - 2));
        auto known = std::find(out.labels.begin(), out.labels.end(), label);
        if (known == out.labels.end())
            known = out.labels.insert(out.labels.end(), label);
        out.shape += formula.substr(at, open - at);
        out.shape += "p(";
        out.shape += static_cast<char>('a' + (known - out.labels.begin()));
        out.shape += ')';
        at = close + 1;
    }
}

std::optional<long double> shapeValue(const FormulaShape& shape,
                                      const std::function<std::optional<long double>(const std::string&)>& frequency)
{
    std::vector<long double> p;
    for (const std::string& label : shape.labels) {
        const auto f = frequency(label);
        if (!f)
            return std::nullopt;
        p.push_back(*f);
    }
    const std::string& s = shape.shape;
    if (p.size() == 1 && s == kOne)
        return 1 / p[0];
    if (p.size() == 1 && s == kHalf)
        return 1 / (2 * p[0]);
    if (p.size() == 1 && s == kQuarter)
        return 1 / (4 * p[0]);
    if (p.size() == 2 && s == kSharedHeterozygote)
        return (p[0] + p[1]) / (4 * p[0] * p[1]);
    if (p.size() == 2 && s == kHalfSum)
        return 1 / (2 * p[0] + 2 * p[1]);
    if (p.size() == 2 && s == kSum)
        return 1 / (p[0] + p[1]);
    return std::nullopt;
}

const std::vector<std::string>& duoFormulaShapes()
{
    static const std::vector<std::string> shapes
        = {std::string(kOne), std::string(kSharedHeterozygote), std::string(kHalf), std::string(kQuarter)};
    return shapes;
}

const std::vector<std::string>& trioFormulaShapes()
{
    static const std::vector<std::string> shapes
        = {std::string(kOne), std::string(kHalf), std::string(kHalfSum), std::string(kSum)};
    return shapes;
}

} // namespace validation
