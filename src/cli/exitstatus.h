// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Exit statuses of every command: 0 success; 1 a file cannot be read or written, or the input is
// refused; 2 wrong arguments; 3 (batch) every case was evaluated and written, but at least one
// with reservations (rows without an index, rows beyond 99 left out, no defined probability).
namespace cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitIncomplete = 3;

} // namespace cli
