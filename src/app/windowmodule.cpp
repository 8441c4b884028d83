// SPDX-License-Identifier: GPL-3.0-or-later
// The window module's side of app/windowmodule.h: the desktop window's start-up.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <clocale>
#include <type_traits>

#include "app/mainwindow.h"
#include "app/widgetdialogs.h"
#include "app/windowmodule.h"
#include "automation/workbook.h"
#include "automation/workbookwriter.h"
#include "cli/programmodule.h"
#include "exchange/recoveryfile.h"
#include "text/numberformat.h"
#include "version/projectversion.h"

PI_MODULE_VERSION_ENTRY(version::kVersion)

PI_MODULE_EXPORT int pi_window_main(int argc, char** argv)
{
    static_assert(std::is_same_v<decltype(&pi_window_main), app::WindowMain>);
    QApplication application(argc, argv);
    // QApplication switched the C library to the user's locale. The workbook libraries print
    // and read numbers with printf/strtod, so numbers must keep the point there; the program's
    // own decimal separator is passed explicitly through NumberFormat.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Paternity Index"));
    // Ties the windows to the menu entry, so docks and task bars show its name and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(PI_APP_ID));

    // Russian texts for Qt's own buttons and file dialogs, when the translations are installed.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    const text::NumberFormat format(text::decimalSeparatorFromEnvironment());
    const std::unique_ptr<automation::WorkbookReader> reader = automation::makeFileWorkbookReader();
    app::WidgetDialogs dialogs;
    app::MainWindow window(format, dialogs, *reader, [] { return automation::makeXlsxWorkbookWriter(); });
    QObject::connect(&window, &app::MainWindow::quitRequested, &application, &QApplication::quit, Qt::QueuedConnection);
    // The case is kept against a crash in the user's state folder; without one it is not kept.
    const std::filesystem::path recoveryFolder = exchange::RecoveryFile::defaultFolder();
    if (!recoveryFolder.empty()) {
        try {
            window.setRecovery(std::make_unique<exchange::RecoveryFile>(recoveryFolder));
        } catch (const std::exception& error) {
            dialogs.error(nullptr, QString::fromUtf8(error.what()));
        }
    }
    window.start();
    return application.exec();
}
