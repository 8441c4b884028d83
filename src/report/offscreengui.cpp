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

// A message handler has no context of its own: the one it forwards to is kept here.
QtMessageHandler g_previousHandler = nullptr;

void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if ((type == QtCriticalMsg || type == QtFatalMsg) && g_previousHandler)
        g_previousHandler(type, context, message);
}

} // namespace

OffscreenGui::OffscreenGui()
{
    if (QCoreApplication::instance())
        return;
    m_argv[0] = kProgram;
    m_argv[1] = kPlatformOption;
    m_argv[2] = kOffscreen;
    m_previousHandler = qInstallMessageHandler(quietHandler);
    g_previousHandler = m_previousHandler;
    const char* current = std::setlocale(LC_ALL, nullptr);
    const std::string saved = current ? current : "C";
    m_application = std::make_unique<QGuiApplication>(m_argc, m_argv);
    std::setlocale(LC_ALL, saved.c_str());
}

OffscreenGui::~OffscreenGui()
{
    if (!m_application)
        return;
    m_application.reset();
    qInstallMessageHandler(m_previousHandler);
}

} // namespace report
