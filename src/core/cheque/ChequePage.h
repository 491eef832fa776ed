#pragma once

#include <QLineF>
#include <QList>
#include <QRectF>
#include <QString>

// A cheque page as data: the texts of the preview's item boxes moved to where the cheque
// lies on an A4 page. Units are pixels of 1/96 inch from the page's top-left corner.

enum class FeedDirection { Horizontal, Vertical }; // portrait page / landscape page
enum class FeedPosition { Middle, Left };

// The page's width in the origin arithmetic (portrait 793, landscape 1122; the landscape
// page is 793 high).
inline constexpr int kPortraitPageWidth = 793;
inline constexpr int kLandscapePageWidth = 1122;
inline constexpr int kLandscapePageHeight = 793;

struct ChequeOrigin
{
    int x0 = 0;
    int y0 = 0;
    friend bool operator==(const ChequeOrigin&, const ChequeOrigin&) = default;
};

// Where the cheque's top-left corner lies on the page. panelWidth/panelHeight are the
// cheque panel's size (the cheque's size + 4), top/left the distances from the printer's
// top and left. Divisions round toward zero.
ChequeOrigin ComputeChequeOrigin(FeedDirection feed, FeedPosition position, int panelWidth,
                                 int panelHeight, int top, int left);

struct FontSpec
{
    QString family;
    int pointSize = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

struct TextElement
{
    QString text;
    qreal left = 0; // fractions come from a printer's calibration in millimetres
    qreal top = 0;
    qreal width = 0;
    FontSpec font;
    bool alignRight = true;
    bool rightToLeft = true;
    bool cutAtWidth = false; // the cover's asterisks never run beyond their box
    friend bool operator==(const TextElement&, const TextElement&) = default;
};

struct ChequePage
{
    bool landscape = false; // landscape pages carry a thin frame line along their edges
    QList<TextElement> elements;
    // What only an alignment test sheet carries: hairlines and outlines, and the cheque's
    // picture at true size beneath the texts.
    QList<QLineF> lines;
    QList<QRectF> outlines;
    QByteArray pictureJpeg;
    QRectF pictureRect;
};
