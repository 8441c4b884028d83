// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A QGuiApplication on the offscreen platform, for a process that has no Qt application of its
// own (the command line) but must draw a report: fonts need one, a display does not. Made only
// when a report is asked for, so the rest of the command line never starts Qt.
#include <QtGlobal>
#include <memory>

class QGuiApplication;

namespace report {

class OffscreenGui {
public:
    // Creates the application unless the process already has one. The C library's locale is
    // left as it was (Qt's constructor switches it to the user's). While it lives, Qt's own
    // notes and warnings (such as an unset XDG_RUNTIME_DIR) are dropped: the command line's
    // standard error carries its own messages; Qt's critical errors still pass.
    OffscreenGui();
    ~OffscreenGui();
    OffscreenGui(const OffscreenGui&) = delete;
    OffscreenGui& operator=(const OffscreenGui&) = delete;

private:
    int m_argc = 3;
    char* m_argv[4] = {};
    std::unique_ptr<QGuiApplication> m_application;
    QtMessageHandler m_previousHandler = nullptr;
};

} // namespace report
