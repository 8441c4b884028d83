// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The loader tests' temporary data folders.
#include "support/tempdir.h"

namespace freqdb::testing {

using TempDir = testsupport::TempDir;

} // namespace freqdb::testing
