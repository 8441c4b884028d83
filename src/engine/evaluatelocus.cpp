// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluatelocus.h"

namespace engine {

LocusOutcome EvaluateLocus(const freqdb::LocusRecord&, std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t,
                           std::uint8_t, std::uint8_t, const text::NumberFormat&)
{
    return {};
}

}  // namespace engine
