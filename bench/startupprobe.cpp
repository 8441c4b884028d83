// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up to the population dialog, for whole-process timing (scripts/measure-speed.sh): the
// program's own start-up as main() runs it without arguments (the window module opened, its
// start-up sequence run), ending as soon as the event loop has shown the population dialog.
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <iostream>

#include "app/windowmodule.h"
#include "cli/programmodule.h"

namespace {

// Watches the application, made inside the module, for the first window shown; the quit is then
// queued behind the dialog's show and expose events.
class QuitWhenShown : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show && !m_quitQueued) {
            m_quitQueued = true;
            QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
        }
        return false;
    }

private:
    bool m_quitQueued = false;
};

// Called by the application's constructor.
void watchApplication()
{
    QCoreApplication::instance()->installEventFilter(new QuitWhenShown);
}

} // namespace

int main(int argc, char* argv[])
{
    qAddPreRoutine(watchApplication);
    const cli::ProgramModule window = cli::openProgramModule(app::kWindowModuleFile, app::kWindowEntryName);
    if (!window.entry) {
        std::cerr << window.error << '\n';
        return 1;
    }
    return reinterpret_cast<app::WindowMain>(window.entry)(argc, argv);
}
