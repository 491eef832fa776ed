#include "gui/common/ChequeItemBox.h"

#include "render/PagePainter.h"

#include <QPainter>

ChequeItemBox::ChequeItemBox(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
}

void ChequeItemBox::setElement(const TextElement& element)
{
    TextElement e = element;
    e.left = 0;
    e.top = 0;
    if (e == element_)
        return; // a keystroke repaints only the boxes it changed
    if (e.font != element_.font)
        setFont(ToQFont(e.font));
    element_ = e;
    update();
}

void ChequeItemBox::setPlaceholder(bool on)
{
    if (placeholder_ == on)
        return;
    placeholder_ = on;
    update();
}

void ChequeItemBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // Black over the cheque picture, as on paper, whatever the theme; captions in grey.
    painter.setPen(placeholder_ ? QColor(105, 105, 105) : QColor(Qt::black));
    TextElement e = element_;
    e.width = width();
    painter.setClipRect(rect());
    PaintTextElement(painter, e, 1.0);
}
