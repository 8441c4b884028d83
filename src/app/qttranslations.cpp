// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qttranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace app {

bool installQtTranslations(QCoreApplication& application)
{
    const QLocale russian(QLocale::Russian);
    auto* qt = new QTranslator(&application);
    const bool qtFound = qt->load(russian, QStringLiteral("qtbase"), QStringLiteral("_"),
                                  QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (qtFound)
        QCoreApplication::installTranslator(qt);
    // Installed last, so asked first: an addition never hides a text Qt translates itself, since
    // it holds only what Qt's file leaves out.
    auto* additions = new QTranslator(&application);
    if (additions->load(russian, QStringLiteral("qtbase_additions"), QStringLiteral("_"), QStringLiteral(":/i18n")))
        QCoreApplication::installTranslator(additions);
    return qtFound;
}

} // namespace app
