// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The small pedigree pictures of a deficiency case's report, one per hypothesis: squares for men,
// circles for women, filled for the persons typed, the alleged father drawn with a thick outline
// and an arrow, marriage lines and lines of descent as a geneticist draws them. Under Hp the child
// descends from the alleged father and the mother; under Hd from the mother and an unrelated man,
// while the alleged father keeps his parents, his brothers and sisters and his other children.
#include <QImage>
#include <vector>

#include "kinship/kinshipcase.h"

namespace report {

// The picture of `persons` (a person is typed when `typed[i]`) under Hp or Hd, at the writer's
// 300 dots per inch.
QImage pedigreePicture(const std::vector<kinship::CasePerson>& persons, const std::vector<bool>& typed, bool hp);

} // namespace report
