// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The line right of the prior field naming the lab's settings in force, shown only when a
// setting is on. Its numbers are never cut: when the full wording is wider than the room left at
// the window's size, the line takes a smaller font, then shorter words ("μ=0,0015; мин. 0,0069"),
// then two lines; the whole wording is always the tooltip.
#include <QLabel>
#include <QStringList>

#include "freqdb/labsettings.h"

namespace app {

class SettingsLine : public QLabel {
    Q_OBJECT
public:
    static constexpr int kDesignPixels = 10;
    static constexpr int kMinPixels = 8;

    explicit SettingsLine(QWidget* parent = nullptr);

    // Shows `settings` (hidden when none is on) and fits the line to its room.
    void showSettings(const freqdb::LabSettings& settings);
    // Chooses the first wording, font and number of lines that fit the room whole.
    void fit();
    // True when every line of the text shown fits the room at the font shown.
    bool fitsWhole() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Each setting's words and value, in the full and in the short wording.
    struct Part {
        QString full;
        QString brief;
    };
    QList<Part> m_parts;
};

} // namespace app
