#pragma once

#include "core/cheque/ChequePage.h"

#include <QWidget>

// One item's box over the cheque picture: its text painted by the page's own painting code
// (top-aligned, same side, same cut, same reading order), so the preview shows what the
// paper will carry.
class ChequeItemBox final : public QWidget
{
    Q_OBJECT
public:
    explicit ChequeItemBox(QWidget* parent = nullptr);

    // The element at the box's own origin: left and top are ignored.
    void setElement(const TextElement& element);
    const TextElement& element() const { return element_; }
    QString text() const { return element_.text; }
    // A caption standing in for a value: drawn grey, never printed.
    void setPlaceholder(bool on);
    bool isPlaceholder() const { return placeholder_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TextElement element_;
    bool placeholder_ = false;
};
