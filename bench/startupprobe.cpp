// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up to the population dialog, for whole-process timing (scripts/measure-speed.sh): the
// program's own start-up sequence as main() runs it, ending as soon as the event loop has shown
// the population dialog.
#include <QApplication>
#include <QTimer>
#include <clocale>

#include "app/tform1.h"
#include "app/widgetdialogs.h"
#include "automation/workbook.h"
#include "automation/workbookwriter.h"
#include "text/numberformat.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    const text::NumberFormat format(text::decimalSeparatorFromEnvironment());
    const auto reader = automation::makeFileWorkbookReader();
    app::WidgetDialogs dialogs;
    app::TForm1 window(format, dialogs, *reader, [] { return automation::makeXlsxWorkbookWriter(); });
    window.start();
    // Queued behind the dialog's show and expose events.
    QTimer::singleShot(0, &application, &QApplication::quit);
    return application.exec();
}
