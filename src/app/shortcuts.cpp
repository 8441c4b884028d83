// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shortcuts.h"

#include <QAction>
#include <QKeySequence>
#include <QMenuBar>
#include <QShortcut>

#include "app/mainwindow.h"

namespace app {
namespace {

void give(QAction* action, const QKeySequence& keys)
{
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    action->setToolTip(action->text() + QStringLiteral(" (") + keys.toString(QKeySequence::NativeText)
                       + QLatin1Char(')'));
}

} // namespace

void assignShortcuts(MainWindow& window)
{
    give(window.calculateAction, QKeySequence(Qt::Key_F9));
    give(window.populationAction, QKeySequence(Qt::CTRL | Qt::Key_P));
    give(window.combineAction, QKeySequence(Qt::CTRL | Qt::Key_M));
    give(window.clearAction, QKeySequence(Qt::CTRL | Qt::Key_N));
    give(window.saveAction, QKeySequence(Qt::CTRL | Qt::Key_S));
    give(window.loadResultsAction, QKeySequence(Qt::CTRL | Qt::Key_O));
    give(window.loadGenotypesAction, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    give(window.helpAction, QKeySequence(Qt::Key_F1));
    // The pop-up's "Выбрать" shows the key that marks the selected row in the grid.
    window.selectAction->setShortcut(QKeySequence(Qt::Key_Space));
    window.selectAction->setShortcutContext(Qt::WidgetShortcut);

    auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), &window);
    QObject::connect(menuKey, &QShortcut::activated, &window, [&window] {
        QMenuBar* bar = window.menuBar();
        bar->setFocus(Qt::MenuBarFocusReason);
        if (!bar->actions().isEmpty())
            bar->setActiveAction(bar->actions().constFirst());
    });
}

} // namespace app
