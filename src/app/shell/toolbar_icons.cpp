#include "app/shell/toolbar_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace veltrane {

namespace {
constexpr int kSize = 32;

void page(QPainter& p) {
    QPainterPath path;
    path.moveTo(7, 3);
    path.lineTo(20, 3);
    path.lineTo(26, 9);
    path.lineTo(26, 29);
    path.lineTo(7, 29);
    path.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(path);
    p.drawPolyline(QPolygonF({QPointF(20, 3), QPointF(20, 9), QPointF(26, 9)}));
}

void folder(QPainter& p) {
    p.setBrush(QColor(240, 200, 90));
    p.drawRect(3, 9, 26, 19);
    p.drawRect(3, 6, 10, 3);
    p.setBrush(QColor(250, 222, 130));
    p.drawPolygon(QPolygonF({QPointF(7, 14), QPointF(31, 14), QPointF(27, 28), QPointF(3, 28)}));
}

void disk(QPainter& p) {
    p.setBrush(QColor(60, 90, 160));
    p.drawRect(4, 4, 24, 24);
    p.setBrush(Qt::white);
    p.drawRect(9, 4, 14, 9);
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(8, 18, 16, 10);
}

void node(QPainter& p) {
    p.setBrush(QColor(120, 170, 220));
    p.drawRect(3, 8, 18, 16);
    p.drawLine(6, 13, 18, 13);
    p.drawLine(6, 18, 18, 18);
}

void commandLines(QPainter& p) {
    p.setBrush(Qt::white);
    p.drawRect(3, 5, 18, 22);
    for (int y = 10; y <= 22; y += 4)
        p.drawLine(6, y, 18, y);
}

void badge(QPainter& p, bool plus) {
    p.setBrush(plus ? QColor(40, 150, 60) : QColor(200, 50, 40));
    p.drawEllipse(QRectF(17, 15, 14, 14));
    p.setPen(QPen(Qt::white, 2.5));
    p.drawLine(QPointF(20, 22), QPointF(28, 22));
    if (plus)
        p.drawLine(QPointF(24, 18), QPointF(24, 26));
}

void arrow(QPainter& p, bool up) {
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(3, 22, 26, 7);
    p.setBrush(up ? QColor(40, 110, 200) : QColor(40, 150, 60));
    const QPolygonF shape = up ? QPolygonF({QPointF(16, 2), QPointF(26, 12), QPointF(20, 12), QPointF(20, 20),
                                            QPointF(12, 20), QPointF(12, 12), QPointF(6, 12)})
                               : QPolygonF({QPointF(16, 20), QPointF(26, 10), QPointF(20, 10), QPointF(20, 2),
                                            QPointF(12, 2), QPointF(12, 10), QPointF(6, 10)});
    p.drawPolygon(shape);
}

void grid(QPainter& p, const QColor& fill) {
    p.setBrush(fill);
    p.drawRect(3, 5, 26, 22);
    for (int x = 11; x < 29; x += 8)
        p.drawLine(x, 5, x, 27);
    for (int y = 12; y < 27; y += 7)
        p.drawLine(3, y, 29, y);
}

void conflict(QPainter& p) {
    p.setBrush(QColor(120, 170, 220, 200));
    p.drawRect(3, 5, 18, 14);
    p.setBrush(QColor(220, 90, 80, 200));
    p.drawRect(11, 13, 18, 14);
}

void bug(QPainter& p) {
    p.setBrush(QColor(90, 90, 90));
    p.drawEllipse(QRectF(9, 8, 14, 20));
    p.drawEllipse(QRectF(12, 3, 8, 7));
    for (int y : {12, 18, 24}) {
        p.drawLine(9, y, 3, y - 2);
        p.drawLine(23, y, 29, y - 2);
    }
}

void draw(QPainter& p, CommandId id) {
    switch (id) {
    case CommandId::FileNew:
        page(p);
        break;
    case CommandId::FileOpen:
        folder(p);
        break;
    case CommandId::FileSave:
        disk(p);
        break;
    case CommandId::AddNode:
        node(p);
        badge(p, true);
        break;
    case CommandId::DeleteNode:
        node(p);
        badge(p, false);
        break;
    case CommandId::AddCommand:
        commandLines(p);
        badge(p, true);
        break;
    case CommandId::DeleteCommand:
        commandLines(p);
        badge(p, false);
        break;
    case CommandId::Upload:
        arrow(p, true);
        break;
    case CommandId::Download:
        arrow(p, false);
        break;
    case CommandId::CalculateMapping:
        grid(p, QColor(200, 225, 250));
        break;
    case CommandId::ConflictDetection:
        conflict(p);
        break;
    case CommandId::ExportExcel:
        grid(p, QColor(190, 230, 190));
        break;
    case CommandId::Debug:
        bug(p);
        break;
    default:
        break;
    }
}
} // namespace

QIcon toolbarIcon(CommandId id) {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1.2));
    draw(p, id);
    p.end();
    return QIcon(pixmap);
}

} // namespace veltrane
