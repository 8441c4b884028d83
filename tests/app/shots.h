// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Pictures of what the operator sees, for a person to look at: with PI_SHOTS_DIR set, a window
// test saves the widget as <PI_SHOTS_DIR>/<name>.png; without it nothing is written.
#include <QCoreApplication>
#include <QDir>
#include <QLayout>
#include <QWidget>

namespace app::testing {

inline void shot(QWidget* widget, const QString& name)
{
    const QString folder = qEnvironmentVariable("PI_SHOTS_DIR");
    if (folder.isEmpty())
        return;
    // A change made just before (a label shown) is laid out first, as the event loop would.
    QCoreApplication::sendPostedEvents();
    if (widget->layout())
        widget->layout()->activate();
    widget->grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

} // namespace app::testing
