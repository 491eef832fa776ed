// Draws the user guide's figure of the two feed directions: how a cheque enters the printer
// and where it lies on the A4 sheet, seen from above with the printer's feed edge at the top.
#include "render/Fonts.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

const QColor kInk(70, 52, 36);
const QColor kCheque(236, 221, 190);
const QColor kChequeEdge(150, 110, 60);
const QColor kText(30, 80, 140);

void drawArrow(QPainter& p, QPointF from, QPointF to)
{
    p.setPen(QPen(kInk, 2));
    p.drawLine(from, to);
    const QPointF d = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF n(-d.y(), d.x());
    QPainterPath head;
    head.moveTo(to);
    head.lineTo(to - d * 9 + n * 5);
    head.lineTo(to - d * 9 - n * 5);
    head.closeSubpath();
    p.fillPath(head, kInk);
}

// One panel: an A4 sheet (portrait, as it enters the printer) with the cheque at its feed edge.
void drawPanel(QPainter& p, QRectF panel, bool horizontal, const QString& caption,
               const QString& pageNote)
{
    QFont font(u"Vazirmatn"_s);
    font.setPixelSize(14);
    font.setBold(true);
    p.setFont(font);
    p.setPen(kInk);
    p.drawText(QRectF(panel.left(), panel.top(), panel.width(), 22), Qt::AlignCenter, caption);

    const QRectF sheet(panel.center().x() - 60, panel.top() + 52, 120, 170);
    drawArrow(p, QPointF(sheet.center().x(), panel.top() + 26),
              QPointF(sheet.center().x(), sheet.top() - 4));
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(Qt::white);
    p.drawRect(sheet);

    QRectF cheque = horizontal ? QRectF(sheet.left() + 10, sheet.top() + 6, 100, 46)
                               : QRectF(sheet.center().x() - 23, sheet.top() + 6, 46, 100);
    p.setPen(QPen(kChequeEdge, 1));
    p.setBrush(kCheque);
    p.drawRoundedRect(cheque, 3, 3);

    // Text lines of the cheque, read along its long side.
    p.save();
    p.translate(cheque.center());
    if (!horizontal)
        p.rotate(-90);
    p.setPen(QPen(kText, 2));
    p.drawLine(QPointF(-40, -12), QPointF(10, -12));
    p.drawLine(QPointF(-40, 0), QPointF(40, 0));
    p.drawLine(QPointF(-10, 12), QPointF(40, 12));
    p.restore();

    font.setBold(false);
    font.setPixelSize(12);
    p.setFont(font);
    p.setPen(kInk);
    p.drawText(QRectF(panel.left(), sheet.bottom() + 6, panel.width(), 20), Qt::AlignCenter,
               pageNote);
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: help_figures <output folder>\n";
        return 2;
    }
    RegisterProgramFonts();

    QImage image(440, 260, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(250, 246, 238));
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setLayoutDirection(Qt::RightToLeft);
        // Right to left, like the guide: the horizontal feed first, on the right.
        drawPanel(p, QRectF(220, 8, 220, 244), true, u"چاپ افقي"_s, u"چك از پهنا وارد مي شود"_s);
        drawPanel(p, QRectF(0, 8, 220, 244), false, u"چاپ عمودي"_s, u"چك از درازا وارد مي شود"_s);
        p.setPen(QPen(QColor(200, 185, 160), 1, Qt::DashLine));
        p.drawLine(QPointF(220, 20), QPointF(220, 240));
    }
    const QString path = QDir(QString::fromLocal8Bit(argv[1])).filePath(u"feed.png"_s);
    if (!image.save(path, "PNG")) {
        QTextStream(stderr) << "cannot write " << path << '\n';
        return 1;
    }
    return 0;
}
