#include "gui/app/tool_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace corvane::gui {

namespace {

// Icons are drawn on a 16 x 16 grid and scaled, so each painter below thinks in that grid.
constexpr int kDrawnSize = 32;

const QColor kInk(40, 40, 40);
const QColor kPaper(250, 250, 250);

void drawPage(QPainter& p, QPointF at)
{
    QPainterPath page;
    page.moveTo(at + QPointF(0, 0));
    page.lineTo(at + QPointF(6, 0));
    page.lineTo(at + QPointF(9, 3));
    page.lineTo(at + QPointF(9, 12));
    page.lineTo(at + QPointF(0, 12));
    page.closeSubpath();
    p.setBrush(kPaper);
    p.drawPath(page);
}

void drawNew(QPainter& p)
{
    drawPage(p, {3.5, 1.5});
    p.setPen(QPen(QColor(230, 170, 0), 1.2));
    p.drawLine(QPointF(11, 10), QPointF(15, 14));
    p.drawLine(QPointF(15, 10), QPointF(11, 14));
}

void drawOpen(QPainter& p)
{
    p.setBrush(QColor(240, 200, 90));
    p.drawRect(QRectF(1.5, 4.5, 12, 9));
    p.setBrush(QColor(250, 225, 130));
    QPolygonF flap{{1.5, 13.5}, {4.5, 7.5}, {15.5, 7.5}, {13.5, 13.5}};
    p.drawPolygon(flap);
}

void drawSave(QPainter& p)
{
    p.setBrush(QColor(60, 90, 170));
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(4.5, 9.5, 7, 5));
}

void drawCut(QPainter& p)
{
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(4.5, 12), 2.5, 2.5);
    p.drawEllipse(QPointF(11.5, 12), 2.5, 2.5);
    p.setPen(QPen(QColor(90, 90, 110), 1.4));
    p.drawLine(QPointF(6, 10), QPointF(11, 1.5));
    p.drawLine(QPointF(10, 10), QPointF(5, 1.5));
}

void drawCopy(QPainter& p)
{
    drawPage(p, {1.5, 1.5});
    drawPage(p, {5.5, 3.5});
}

void drawPaste(QPainter& p)
{
    p.setBrush(QColor(170, 120, 60));
    p.drawRect(QRectF(1.5, 2.5, 10, 12));
    p.setBrush(QColor(190, 190, 190));
    p.drawRect(QRectF(4.5, 1.5, 4, 2.5));
    drawPage(p, {6.5, 4.5});
}

void drawUndo(QPainter& p)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(30, 110, 60), 1.8));
    p.drawArc(QRectF(3, 4, 10, 9), 90 * 16, -240 * 16);
    p.setBrush(QColor(30, 110, 60));
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF{{1, 7}, {8, 2}, {8, 10}});
}

void drawHelp(QPainter& p)
{
    p.setBrush(QColor(40, 110, 200));
    p.drawEllipse(QPointF(8, 8), 6.8, 6.8);
    p.setPen(Qt::white);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(11);
    p.setFont(font);
    p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
}

} // namespace

QIcon toolIcon(ToolIcon which)
{
    QPixmap pixmap(kDrawnSize, kDrawnSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(kDrawnSize / 16.0, kDrawnSize / 16.0);
    p.setPen(QPen(kInk, 1.0));
    switch (which) {
    case IconNew:
        drawNew(p);
        break;
    case IconOpen:
        drawOpen(p);
        break;
    case IconSave:
        drawSave(p);
        break;
    case IconCut:
        drawCut(p);
        break;
    case IconCopy:
        drawCopy(p);
        break;
    case IconPaste:
        drawPaste(p);
        break;
    case IconUndo:
        drawUndo(p);
        break;
    case IconHelp:
        drawHelp(p);
        break;
    }
    return QIcon(pixmap);
}

} // namespace corvane::gui
