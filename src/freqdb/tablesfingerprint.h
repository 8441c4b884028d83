// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A short fingerprint of the frequency tables a case was computed with, so a reviewer can tell
// which version of the database gave the numbers.
//
// It is the first 16 hex digits (lower case) of the SHA-256 of this text, UTF-8, one line per
// locus and allele in table order:
//
//   locus name LF
//   TAB allele label TAB frequency LF      (for every allele of the locus)
//
// where the frequency is written by std::to_chars: the shortest text that reads back to the same
// long double, with a point, in scientific form only where that is shorter. The population and the folder are not part
// of it: the same tables in another folder give the same fingerprint.
#include <string>

#include "freqdb/locustable.h"

namespace freqdb {

std::string tablesFingerprint(const freqdb::LocusTable& table);

// The text the fingerprint is the hash of (for tests and for a reviewer's own check).
std::string fingerprintText(const freqdb::LocusTable& table);

} // namespace freqdb
