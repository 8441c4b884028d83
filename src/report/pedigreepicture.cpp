// SPDX-License-Identifier: GPL-3.0-or-later
#include "pedigreepicture.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <optional>
#include <string>

namespace report {
namespace {

using kinship::RoleKind;

// Pixels at 300 dots per inch: a column per person, three generations.
constexpr int kColumn = 185;
constexpr int kSymbol = 56;
constexpr int kRow = 190;
constexpr int kTop = 40;
constexpr int kLabelPixels = 26;

enum class Shape { Square, Circle, Diamond }; // a man, a woman, a child of either sex

struct Node {
    Shape shape = Shape::Square;
    bool typed = false;
    bool allegedFather = false;
    QString label;
    QPointF centre;
};

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

class Drawing {
public:
    Drawing(int columns, int rows) : m_image(columns * kColumn + 40, kTop + rows * kRow, QImage::Format_RGB32)
    {
        m_image.setDotsPerMeterX(11811); // 300 dots per inch
        m_image.setDotsPerMeterY(11811);
        m_image.fill(Qt::white);
        m_painter.begin(&m_image);
        m_painter.setRenderHint(QPainter::Antialiasing);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(kLabelPixels);
        m_painter.setFont(font);
        m_painter.setPen(QPen(Qt::black, 3));
    }

    static QPointF at(double column, int row)
    {
        return {20 + (column + 0.5) * kColumn, kTop + kSymbol / 2.0 + row * kRow};
    }

    void line(QPointF a, QPointF b) { m_painter.drawLine(a, b); }

    void node(const Node& n)
    {
        const QRectF box(n.centre.x() - kSymbol / 2.0, n.centre.y() - kSymbol / 2.0, kSymbol, kSymbol);
        m_painter.setBrush(n.typed ? QColor(0x50, 0x50, 0x50) : QColor(Qt::white));
        m_painter.setPen(QPen(Qt::black, n.allegedFather ? 7 : 3));
        if (n.shape == Shape::Square) {
            m_painter.drawRect(box);
        } else if (n.shape == Shape::Circle) {
            m_painter.drawEllipse(box);
        } else {
            const QPointF c = n.centre;
            const double r = kSymbol * 0.62;
            m_painter.drawPolygon(
                QPolygonF({c + QPointF(0, -r), c + QPointF(r, 0), c + QPointF(0, r), c + QPointF(-r, 0)}));
        }
        m_painter.setPen(QPen(Qt::black, 3));
        m_painter.setBrush(Qt::NoBrush);
        if (n.allegedFather) {
            // The arrow of the person the case is about, pointing at the lower left corner.
            const QPointF tip = box.bottomLeft() + QPointF(-4, 4);
            const QPointF tail = tip + QPointF(-34, 34);
            line(tail, tip);
            QPainterPath head;
            head.moveTo(tip);
            head.lineTo(tip + QPointF(-16, 2));
            head.lineTo(tip + QPointF(-2, 16));
            head.closeSubpath();
            m_painter.fillPath(head, Qt::black);
        }
        // Labels may be wider than a column: neighbours' labels stand a symbol's height apart.
        const QRectF text(n.centre.x() - kColumn * 0.65, box.bottom() + 6, kColumn * 1.3, kLabelPixels * 3.8);
        QFont font = m_painter.font();
        font.setBold(n.allegedFather);
        m_painter.setFont(font);
        m_painter.drawText(text, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, n.label);
        font.setBold(false);
        m_painter.setFont(font);
    }

    // A couple's marriage line between two neighbours, and its middle.
    QPointF couple(const Node& a, const Node& b)
    {
        const double y = a.centre.y();
        const double left = std::min(a.centre.x(), b.centre.x()) + kSymbol / 2.0;
        const double right = std::max(a.centre.x(), b.centre.x()) - kSymbol / 2.0;
        line({left, y}, {right, y});
        return {(left + right) / 2, y};
    }

    // A marriage line routed over the row, for partners not side by side; `depth` keeps several apart.
    QPointF coupleAbove(const Node& a, const Node& b, int depth)
    {
        const double y = a.centre.y() - kSymbol / 2.0 - 16.0 * depth;
        line({a.centre.x(), a.centre.y() - kSymbol / 2.0}, {a.centre.x(), y});
        line({b.centre.x(), b.centre.y() - kSymbol / 2.0}, {b.centre.x(), y});
        line({a.centre.x(), y}, {b.centre.x(), y});
        return {(a.centre.x() + b.centre.x()) / 2, y};
    }

    // A line of descent from a couple's line to a child below.
    void descent(QPointF from, const Node& child)
    {
        const double y = child.centre.y() - kSymbol / 2.0;
        const double mid = (from.y() + y) / 2 + 20;
        line(from, {from.x(), mid});
        line({from.x(), mid}, {child.centre.x(), mid});
        line({child.centre.x(), mid}, {child.centre.x(), y});
    }

    QImage finish()
    {
        m_painter.end();
        return m_image;
    }

    QPainter& painter() { return m_painter; }

private:
    QImage m_image;
    QPainter m_painter;
};

} // namespace

QImage pedigreePicture(const std::vector<kinship::CasePerson>& persons, const std::vector<bool>& typed, bool hp)
{
    auto typedRole = [&](RoleKind kind, int number = -1) {
        for (std::size_t i = 0; i < persons.size(); ++i) {
            if (persons[i].role.kind == kind && (number < 0 || persons[i].role.number == number))
                return std::optional<bool>(typed[i]);
        }
        return std::optional<bool>();
    };
    std::vector<const kinship::CasePerson*> siblings, others;
    for (const auto& p : persons) {
        if (p.role.kind == RoleKind::Brother || p.role.kind == RoleKind::Sister)
            siblings.push_back(&p);
        if (p.role.kind == RoleKind::OtherChild)
            others.push_back(&p);
    }
    const bool parents = typedRole(RoleKind::FathersFather) || typedRole(RoleKind::FathersMother) || !siblings.empty();
    // Columns of the middle row: his brothers and sisters, the mothers of his other children, him,
    // the mother, and under Hd the unrelated man.
    // Each mother of one of his other children takes two columns: hers and the one her child's
    // line comes down in.
    // His parents stand over him and his siblings; alone under them he needs a column of room on
    // his left for his father.
    const int room = parents && siblings.empty() && others.empty() ? 1 : 0;
    const int columns = room + static_cast<int>(siblings.size() + 2 * others.size()) + 2 + (hp ? 0 : 1);
    Drawing d(std::max(columns, 3), parents ? 3 : 2);
    const int middle = parents ? 1 : 0;
    auto isTyped = [&](const kinship::CasePerson* p) { return typed[static_cast<std::size_t>(p - persons.data())]; };

    int column = room;
    std::vector<Node> siblingNodes;
    for (const auto* s : siblings)
        siblingNodes.push_back({s->role.kind == RoleKind::Brother ? Shape::Square : Shape::Circle, isTyped(s), false,
                                qs(s->role.shortName()), Drawing::at(column++, middle)});
    // The farthest first, so the nearest stands beside him.
    std::vector<Node> otherMothers(others.size());
    for (std::size_t i = others.size(); i-- > 0;) {
        const auto motherTyped = typedRole(RoleKind::OtherChildsMother, others[i]->role.number);
        otherMothers[i] = {Shape::Circle, motherTyped.value_or(false), false,
                           qs(kinship::Role{RoleKind::OtherChildsMother, others[i]->role.number}.shortName()),
                           Drawing::at(column, middle)};
        column += 2;
    }
    const Node father{Shape::Square, typedRole(RoleKind::AllegedFather).value_or(false), true, QStringLiteral("ПО"),
                      Drawing::at(column++, middle)};
    const Node mother{Shape::Circle, typedRole(RoleKind::Mother).value_or(false), false, QStringLiteral("мать"),
                      Drawing::at(column++, middle)};

    if (parents) {
        // His parents above the middle of their children's line.
        const double first = siblingNodes.empty() ? father.centre.x() : siblingNodes.front().centre.x();
        const double centre = (first + father.centre.x()) / 2;
        const Node gf{Shape::Square,
                      typedRole(RoleKind::FathersFather).value_or(false),
                      false,
                      QStringLiteral("отец ПО"),
                      {centre - kColumn / 2.0, Drawing::at(0, 0).y()}};
        const Node gm{Shape::Circle,
                      typedRole(RoleKind::FathersMother).value_or(false),
                      false,
                      QStringLiteral("мать ПО"),
                      {centre + kColumn / 2.0, Drawing::at(0, 0).y()}};
        const QPointF join = d.couple(gf, gm);
        const double bar = father.centre.y() - kSymbol / 2.0 - 60;
        d.line(join, {join.x(), bar});
        d.line({std::min(first, join.x()), bar}, {std::max(father.centre.x(), join.x()), bar});
        for (const Node& s : siblingNodes)
            d.line({s.centre.x(), bar}, {s.centre.x(), s.centre.y() - kSymbol / 2.0});
        d.line({father.centre.x(), bar}, {father.centre.x(), father.centre.y() - kSymbol / 2.0});
        d.node(gf);
        d.node(gm);
    }
    for (std::size_t i = 0; i < others.size(); ++i) {
        // The nearest mother's line is straight; those of the farther ones go over the row.
        const QPointF join
            = i == 0 ? d.couple(otherMothers[i], father) : d.coupleAbove(otherMothers[i], father, static_cast<int>(i));
        const double x = otherMothers[i].centre.x() + kColumn;
        const Node child{Shape::Diamond,
                         isTyped(others[i]),
                         false,
                         qs(others[i]->role.shortName()),
                         {x, Drawing::at(0, middle + 1).y()}};
        d.descent({x, join.y()}, child);
        d.node(child);
    }
    const Node child{Shape::Diamond, typedRole(RoleKind::Child).value_or(false), false, QStringLiteral("ребенок"),
                     Drawing::at(0, middle + 1)};
    Node placed = child;
    if (hp) {
        const QPointF join = d.couple(father, mother);
        placed.centre.setX(join.x());
        d.descent(join, placed);
    } else {
        const Node unrelated{Shape::Square, false, false, QStringLiteral("неродственный мужчина"),
                             Drawing::at(column, middle)};
        const QPointF join = d.couple(mother, unrelated);
        placed.centre.setX(join.x());
        d.descent(join, placed);
        d.node(unrelated);
    }
    for (const Node& s : siblingNodes)
        d.node(s);
    for (const Node& m : otherMothers)
        d.node(m);
    d.node(father);
    d.node(mother);
    d.node(placed);
    return d.finish();
}

} // namespace report
