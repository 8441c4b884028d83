// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The persons of a deficiency case by their roles, as a relatives workbook heads their columns:
//
//   "Ребенок", "Мать", "Предполагаемый отец", "Отец предполагаемого отца",
//   "Мать предполагаемого отца", "Брат предполагаемого отца N", "Сестра предполагаемого отца N",
//   "Ребенок предполагаемого отца N", "Мать ребенка предполагаемого отца N"
//
// A number after the words tells several persons of one kind apart ("Брат предполагаемого отца 2");
// for the alleged father's other children it pairs each child with its mother. The first five
// roles take no number.
#include <optional>
#include <string>
#include <string_view>

namespace kinship {

enum class RoleKind {
    Child,
    Mother,
    AllegedFather,
    FathersFather,
    FathersMother,
    Brother,
    Sister,
    OtherChild,
    OtherChildsMother,
};

struct Role {
    RoleKind kind = RoleKind::Child;
    int number = 0; // the number written after the words; 0: none

    bool operator==(const Role&) const = default;
    // The header text: the words, and the number when one was written.
    std::string header() const;
    // The short name rows and reports use: "брат ПО 2", "мать ребенка ПО 1".
    std::string shortName() const;
};

// The role a header names, or nullopt for any other text. Blanks around the header and between
// the words and the number are allowed; the words must be exactly these.
std::optional<Role> roleFromHeader(std::string_view header);

// Whether the kind may carry a number.
bool numbered(RoleKind kind);

} // namespace kinship
