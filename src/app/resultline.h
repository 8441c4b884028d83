// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A read-only result field (the combined index line, the probability line). Its text is the
// record that is saved and reported, so it is never changed for display. A line wider than the
// field is drawn in a smaller font, down to kMinPixels; one that is still too wide gives up the
// words before its numbers to an ellipsis (the numbers stay whole), or, when even the numbers do
// not fit, shows its start with an ellipsis: never a silent cut. The whole line is always the
// tooltip. With the
// keyboard focus the field is an ordinary line edit again, so the operator can move through and
// copy the whole text.
#include <QLineEdit>

namespace app {

class ResultLine : public QLineEdit {
    Q_OBJECT
public:
    static constexpr int kDesignPixels = 11;
    static constexpr int kMinPixels = 9;

    explicit ResultLine(QWidget* parent = nullptr);

    // Sets the line (and its tooltip) and fits it to the field.
    void showLine(const QString& line);
    // Fits the font to the field's width; called again whenever the field is resized.
    void fit();
    // What the field shows without focus: the whole text, or its start with an ellipsis.
    QString shownText() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QRect textRoom() const;
};

} // namespace app
