#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

// Rulers along a picture area.
//
// Ruler is one strip, 25 px thick, horizontal (along the top) or vertical (down the left).
// Zero lies at the pixel `origin` along the strip; lengths are counted in `unit` with the
// screen's pixels per inch (logicalDpiX for a horizontal ruler, logicalDpiY for a vertical
// one) unless `pixelsPerInch` is set (10 to 10000; other figures mean the screen's).
// Coordinates are physical: a right-to-left window does not mirror a ruler.
//
// RulerFrame puts two rulers, the corner square between them and an area together: the area
// sits at (25, 25), the rulers count from its top-left corner and run to the frame's edges.
// setUnit() on the frame sets both rulers and the corner.
class Ruler final : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(
        Qt::Orientation orientation READ orientation WRITE setOrientation NOTIFY orientationChanged)
    Q_PROPERTY(Unit unit READ unit WRITE setUnit NOTIFY unitChanged)
    Q_PROPERTY(int origin READ origin WRITE setOrigin NOTIFY originChanged)
    Q_PROPERTY(
        qreal pixelsPerInch READ pixelsPerInch WRITE setPixelsPerInch NOTIFY pixelsPerInchChanged)

public:
    enum class Unit { Centimetre, Millimetre, Inch, Pixel };
    Q_ENUM(Unit)

    static constexpr int Thickness = 25;

    // One graduation: position in pixels along the ruler, level 0 (labelled, longest) to 3
    // (shortest), and the label of a level-0 tick.
    struct Tick
    {
        qreal pos = 0;
        int level = 0;
        QString label;
    };

    explicit Ruler(Qt::Orientation orientation, QWidget* parent = nullptr);

    Qt::Orientation orientation() const { return orientation_; }
    void setOrientation(Qt::Orientation orientation);
    Unit unit() const { return unit_; }
    void setUnit(Unit unit);
    int origin() const { return origin_; }
    void setOrigin(int pixel);
    // 0, or a figure outside 10..10000, means the screen's own.
    qreal pixelsPerInch() const { return pixelsPerInch_; }
    void setPixelsPerInch(qreal ppi);

    qreal effectivePixelsPerInch() const;
    qreal pixelsPerUnit() const;
    // Graduations over the visible length, in increasing position.
    QList<Tick> ticks() const;

    // "cm", "mm", "in", "px".
    static QString unitSymbol(Unit unit);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void orientationChanged(Qt::Orientation orientation);
    void unitChanged(Ruler::Unit unit);
    void originChanged(int pixel);
    void pixelsPerInchChanged(qreal ppi);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QFont labelFont() const;
    int length() const;

    Qt::Orientation orientation_ = Qt::Horizontal;
    Unit unit_ = Unit::Millimetre;
    int origin_ = 0;
    qreal pixelsPerInch_ = 0;
};

// The square where the two rulers meet; it shows the unit's symbol.
class RulerCorner final : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(Ruler::Unit unit READ unit WRITE setUnit NOTIFY unitChanged)

public:
    explicit RulerCorner(QWidget* parent = nullptr);

    Ruler::Unit unit() const { return unit_; }
    void setUnit(Ruler::Unit unit);

    QSize sizeHint() const override;

signals:
    void unitChanged(Ruler::Unit unit);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    Ruler::Unit unit_ = Ruler::Unit::Millimetre;
};

class RulerFrame final : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(Ruler::Unit unit READ unit WRITE setUnit NOTIFY unitChanged)
    Q_PROPERTY(
        qreal pixelsPerInch READ pixelsPerInch WRITE setPixelsPerInch NOTIFY pixelsPerInchChanged)

public:
    explicit RulerFrame(QWidget* parent = nullptr);

    // Takes the area as a child placed at (25, 25); its size stays the caller's.
    void setArea(QWidget* area);
    QWidget* area() const { return area_; }

    Ruler* horizontalRuler() const { return horizontal_; }
    Ruler* verticalRuler() const { return vertical_; }
    RulerCorner* corner() const { return corner_; }

    Ruler::Unit unit() const { return horizontal_->unit(); }
    void setUnit(Ruler::Unit unit);
    qreal pixelsPerInch() const { return horizontal_->pixelsPerInch(); }
    void setPixelsPerInch(qreal ppi);

    QSize sizeHint() const override;

signals:
    void unitChanged(Ruler::Unit unit);
    void pixelsPerInchChanged(qreal ppi);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeChildren();

    Ruler* horizontal_ = nullptr;
    Ruler* vertical_ = nullptr;
    RulerCorner* corner_ = nullptr;
    QPointer<QWidget> area_;
};
