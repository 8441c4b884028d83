// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window's own messages, which the core does not own: the full table, rows computed with
// another population's frequencies or with other tables and settings, a file to replace, a
// save-changes answer that wrote only the report.
#include <QCoreApplication>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <vector>

#include "freqdb/population.h"

namespace app {

class WindowTexts {
    Q_DECLARE_TR_FUNCTIONS(WindowTexts)
public:
    // The caption of a window whose rows come from no workbook.
    static QString caption() { return QStringLiteral("Paternity Index"); }

    // "Рассчитать" on a table of 99 rows: the new row has no place, and row 99 stays.
    static QString tableFull()
    {
        return tr("Таблица заполнена: в ней 99 строк. Чтобы рассчитать следующий локус, сохраните "
                  "результаты и очистите таблицу или удалите строку.");
    }

    // Asked before a command would put rows of two populations into one index or report.
    static QString otherPopulationRows(freqdb::Population rows, freqdb::Population chosen)
    {
        const QString rowsName = QString::fromUtf8(freqdb::genitiveName(rows).data(),
                                                   static_cast<qsizetype>(freqdb::genitiveName(rows).size()));
        const QString chosenName = QString::fromUtf8(freqdb::genitiveName(chosen).data(),
                                                     static_cast<qsizetype>(freqdb::genitiveName(chosen).size()));
        return tr("Строки таблицы рассчитаны по частотам аллелей для %1, а выбраны частоты для %2. "
                  "Строки разных популяций не входят в один индекс и в один отчёт.")
                   .arg(rowsName, chosenName)
               + QStringLiteral("\n\n") + tr("Пересчитать строки по частотам для %1?").arg(chosenName);
    }

    // Loaded rows of the chosen population computed with other frequencies or settings.
    static QString rowsNotFromTablesNote(const std::vector<int>& rows)
    {
        return tr("Строки книги %1 рассчитаны не с теми частотами аллелей или настройками расчёта, что "
                  "действуют сейчас: строки не пересчитаны.")
            .arg(rowNumbers(rows));
    }

    static QString rowsNotFromTablesQuestion(const std::vector<int>& rows)
    {
        return tr("Строки таблицы %1 рассчитаны не с теми частотами аллелей или настройками расчёта, что "
                  "действуют сейчас. Такие строки не входят в один индекс и в один отчёт с новыми.")
                   .arg(rowNumbers(rows))
               + QStringLiteral("\n\n") + tr("Пересчитать строки с частотами и настройками, которые действуют сейчас?");
    }

    // "№2, №5, №7", the first ten and a count of the rest.
    static QString rowNumbers(const std::vector<int>& rows)
    {
        constexpr std::size_t kShown = 10;
        QStringList shown;
        for (std::size_t i = 0; i < rows.size() && i < kShown; ++i)
            shown << QStringLiteral("№%1").arg(rows[i]);
        QString out = shown.join(QStringLiteral(", "));
        if (rows.size() > kShown)
            out += tr(" и ещё %1").arg(rows.size() - kShown);
        return out;
    }

    // Asked before a file the operator named is replaced.
    static QString replaceExisting(const QString& path)
    {
        return tr("Файл «%1» уже существует.").arg(QFileInfo(path).fileName()) + '\n' + tr("Заменить его?");
    }

    // "Сохранить изменения?" answered with a report name: the rows cannot be loaded back from it.
    static QString reportIsNoSave()
    {
        return tr("Отчёт сохранен, но строки таблицы из него загрузить нельзя. Сохраните таблицу в "
                  "книгу (.xlsx), чтобы не потерять её.");
    }
};

} // namespace app
