// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The population dialog: the first window of a run, reopened by "Популяция". It holds the
// confirmed Population; the choice shown is the one confirmed last. While the locus workbooks
// load, the same window serves as the loading notice with a progress bar and "Отмена", which asks
// the load to stop (the window keeps the tables it had).
#include <QDialog>

#include "freqdb/population.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace app {

class PopulationDialog : public QDialog {
    Q_OBJECT
public:
    explicit PopulationDialog(QWidget* parent = nullptr);

    // The population confirmed by the last successful load (Unset before the first).
    freqdb::Population Population() const { return m_population; }
    void setPopulation(freqdb::Population population);
    // The population the radio buttons show now.
    freqdb::Population chosenPopulation() const;
    // Shows `population` on the radio buttons (Unset leaves them as they are).
    void showChoice(freqdb::Population population);

    // Window title, contents and size of the two roles of this window.
    void becomeChoice(const QString& title);
    void becomeNotice();
    void setProgress(int done, int total, const QString& locusName);
    // "Отмена" (or Esc) pressed since the notice was shown.
    bool loadCancelRequested() const { return m_cancelRequested; }

    QRadioButton* russiansButton = nullptr; // "Русские"
    QRadioButton* usCaucasiansButton = nullptr; // "Европеоиды США"
    QRadioButton* usBlacksButton = nullptr; // "Негры США"
    QRadioButton* otherPopulationButton = nullptr; // "Другая ...", never enabled
    QPushButton* okButton = nullptr; // "OK"
    QPushButton* cancelLoadButton = nullptr; // "Отмена" on the loading notice

signals:
    // OK pressed: the main window loads the chosen population (loadTablesAndShow).
    void populationChosen();
    // Closed without OK (Esc or the window manager).
    void closedWithoutChoice();

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void confirmChoice();

    freqdb::Population m_population = freqdb::Population::Unset;
    QStackedWidget* m_pages = nullptr;
    QLabel* m_noticeText = nullptr;
    QProgressBar* m_progress = nullptr;
    bool m_loading = false;
    bool m_cancelRequested = false;
};

} // namespace app
