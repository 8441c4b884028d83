// SPDX-License-Identifier: GPL-3.0-or-later
#include "locuskey.h"

#include "text/casefold.h"

namespace tabletext {

std::string locusKey(std::string_view name)
{
    std::string key;
    for (char c : text::foldCase(name)) {
        if (c != ' ' && c != '\t' && c != '_' && c != '-' && c != '.')
            key += c;
    }
    return key;
}

} // namespace tabletext
