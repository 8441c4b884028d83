// SPDX-License-Identifier: GPL-3.0-or-later
#include "kinshipcase.h"

#include "freqdb/locustable.h"
#include "kinship/kinshiptexts.h"

namespace kinship {

std::optional<std::string> personsProblem(const std::vector<CasePerson>& persons,
                                          const std::function<std::string(std::size_t)>& where)
{
    bool child = false, relative = false;
    for (std::size_t i = 0; i < persons.size(); ++i) {
        const Role& role = persons[i].role;
        for (std::size_t j = 0; j < i; ++j) {
            if (persons[j].role == role)
                return where(i) + ": " + std::string(numbered(role.kind) ? kSameNumber : kRoleTwice) + " («"
                       + role.header() + "», как и " + where(j) + ")";
        }
        child = child || role.kind == RoleKind::Child;
        relative = relative
                   || (role.kind != RoleKind::Child && role.kind != RoleKind::Mother
                       && role.kind != RoleKind::OtherChildsMother);
        if (role.kind == RoleKind::OtherChildsMother) {
            bool found = false;
            for (const CasePerson& p : persons)
                found = found || (p.role.kind == RoleKind::OtherChild && p.role.number == role.number);
            if (!found)
                return where(i) + ": " + std::string(kMotherWithoutChild) + " («"
                       + Role{RoleKind::OtherChild, role.number}.header() + "»)";
        }
    }
    if (!child)
        return std::string(kNoChild);
    if (!relative)
        return std::string(kNoRelative);
    return std::nullopt;
}

bool untypedText(const std::string& text)
{
    const std::string_view t = freqdb::withoutBlanks(text);
    return t.empty() || t == freqdb::kNoAlleleLabel || t == "Нет/Нет";
}

} // namespace kinship
