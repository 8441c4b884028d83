// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Russian for Qt's own texts: the buttons of message boxes and the file dialogs. Qt's Russian
// translations (qtbase_ru from the system's Qt translations) come first; the program's own
// additions (translations/qtbase_additions_ru.ts) cover the few texts they leave in English,
// such as the "Folder" of the file dialog's type column. The program's own texts are Russian in
// the source and need no translation.
class QCoreApplication;

namespace app {

// Installs both translators on `application`, which owns them. False when Qt's translations are
// not installed (the additions are installed all the same).
bool installQtTranslations(QCoreApplication& application);

} // namespace app
