// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A QGuiApplication on the offscreen platform, for a process that has no Qt application of its
// own (the command line) but must draw a report: fonts need one, a display does not. Made only
// when a report is asked for, so the rest of the command line never starts Qt.
#include <memory>

class QGuiApplication;

namespace report {

class OffscreenGui {
public:
    // Creates the application unless the process already has one. The C library's locale is
    // left as it was (Qt's constructor switches it to the user's).
    OffscreenGui();
    ~OffscreenGui();
    OffscreenGui(const OffscreenGui&) = delete;
    OffscreenGui& operator=(const OffscreenGui&) = delete;

private:
    int m_argc = 3;
    char* m_argv[4] = {};
    std::unique_ptr<QGuiApplication> m_application;
};

} // namespace report
