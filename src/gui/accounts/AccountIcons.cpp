#include "gui/accounts/AccountIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// Drawn on a 24-unit square, scaled to the pixmap's size.
void drawDisk(QPainter& p)
{
    QPainterPath body;
    body.moveTo(3, 3);
    body.lineTo(18, 3);
    body.lineTo(21, 6);
    body.lineTo(21, 21);
    body.lineTo(3, 21);
    body.closeSubpath();
    p.setPen(QPen(QColor(0x1f, 0x3b, 0x63), 1.2));
    p.setBrush(QColor(0x3d, 0x6f, 0xb6));
    p.drawPath(body);
    // Shutter and label.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xd9, 0xe2, 0xee));
    p.drawRect(QRectF(7, 3.6, 9, 6));
    p.setBrush(QColor(0x1f, 0x3b, 0x63));
    p.drawRect(QRectF(12.5, 4.6, 2, 4));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(6, 13, 12, 7), 1, 1);
    p.setPen(QPen(QColor(0x9a, 0xa8, 0xbb), 0.8));
    p.drawLine(QPointF(8, 15.5), QPointF(16, 15.5));
    p.drawLine(QPointF(8, 17.8), QPointF(16, 17.8));
}

void drawPlusBadge(QPainter& p)
{
    p.setPen(QPen(Qt::white, 1.2));
    p.setBrush(QColor(0x2e, 0x9e, 0x44));
    p.drawEllipse(QPointF(17.5, 17.5), 6, 6);
    p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(17.5, 14), QPointF(17.5, 21));
    p.drawLine(QPointF(14, 17.5), QPointF(21, 17.5));
}

// "Back" in a right-to-left window: a return arrow whose head points to the right.
void drawBack(QPainter& p)
{
    QPainterPath shaft;
    shaft.moveTo(5, 19);
    shaft.lineTo(5, 14);
    shaft.cubicTo(5, 10, 7, 9, 11, 9);
    shaft.lineTo(16, 9);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0xb8, 0x3b, 0x2a), 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(shaft);
    QPainterPath head;
    head.moveTo(22, 9);
    head.lineTo(14.5, 3);
    head.lineTo(14.5, 15);
    head.closeSubpath();
    p.setPen(QPen(QColor(0xb8, 0x3b, 0x2a), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0xd6, 0x4f, 0x3a));
    p.drawPath(head);
}

QPixmap render(AccountGlyph glyph, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 24.0, size / 24.0);
    switch (glyph) {
    case AccountGlyph::Save:
        drawDisk(p);
        break;
    case AccountGlyph::SaveAndNew:
        drawDisk(p);
        drawPlusBadge(p);
        break;
    case AccountGlyph::Back:
        drawBack(p);
        break;
    }
    return pixmap;
}

} // namespace

QIcon AccountButtonIcon(AccountGlyph glyph)
{
    QIcon icon;
    for (int size : {16, 24, 32, 48})
        icon.addPixmap(render(glyph, size));
    return icon;
}
