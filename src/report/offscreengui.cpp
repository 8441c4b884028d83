// SPDX-License-Identifier: GPL-3.0-or-later
#include "offscreengui.h"

#include <QGuiApplication>
#include <clocale>
#include <string>

namespace report {
namespace {

char kProgram[] = "paternity-index";
char kPlatformOption[] = "-platform";
char kOffscreen[] = "offscreen";

} // namespace

OffscreenGui::OffscreenGui()
{
    if (QCoreApplication::instance())
        return;
    m_argv[0] = kProgram;
    m_argv[1] = kPlatformOption;
    m_argv[2] = kOffscreen;
    const char* current = std::setlocale(LC_ALL, nullptr);
    const std::string saved = current ? current : "C";
    m_application = std::make_unique<QGuiApplication>(m_argc, m_argv);
    std::setlocale(LC_ALL, saved.c_str());
}

OffscreenGui::~OffscreenGui() = default;

} // namespace report
