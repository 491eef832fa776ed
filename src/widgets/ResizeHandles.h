#pragma once

#include <QColor>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QWidget>

class QKeyEvent;
class QMouseEvent;

class ResizeHandlesOverlay;

// Drag-and-resize of boxes over a picture area.
//
// The area is any widget; a box is any direct child widget of it (typically a QLabel),
// registered with registerControl() in the order Tab cycles through. The facility lays a
// transparent overlay over the whole area that draws the handles and the drag outlines and
// takes the mouse and, once a box is selected, the keyboard focus. Geometry is physical
// (x to the right) whatever the layout direction of the window.
//
//   click / Shift-click       select one box / add or remove a box
//   Tab / Shift+Tab           select the next / previous box, wrapping round
//   drag a selected box       move every selected box (pointer held inside the area)
//   drag a handle             resize every selected box
//   on release                left, top, width, height snap to multiples of gridSize
//                             (halfway up; a size never below one step)
//   arrows / Shift+arrows     move by 1 px / change width or height by 1 px (min 1), unsnapped
//   Escape                    cancel the drag in progress, otherwise clear the selection
//
// Notifications: selectionChanged(firstSelected) after every change of the selection;
// startSizeMove() / endSizeMove() around every mouse move or resize and every arrow-key step
// (endSizeMove() also ends a cancelled drag, the boxes then being where they were).
// Hidden boxes cannot be selected, and a box hidden while selected leaves the selection.
// The facility starts switched off; the window switches it on with setEnabled(true). Switched
// off, it takes no input, draws nothing and holds no selection.
class ResizeHandles final : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool enabled READ isEnabled WRITE setEnabled NOTIFY enabledChanged)
    Q_PROPERTY(QColor handleColor READ handleColor WRITE setHandleColor NOTIFY handleColorChanged)
    Q_PROPERTY(int gridSize READ gridSize WRITE setGridSize NOTIFY gridSizeChanged)

public:
    // Handle positions around a box, clockwise from the top-left corner.
    enum class Handle {
        None,
        TopLeft,
        Top,
        TopRight,
        Right,
        BottomRight,
        Bottom,
        BottomLeft,
        Left
    };
    Q_ENUM(Handle)

    static constexpr int HandleSize = 5;

    // The facility is a child of the area unless another parent is given.
    explicit ResizeHandles(QWidget* area, QObject* parent = nullptr);
    ~ResizeHandles() override;

    QWidget* area() const { return area_.data(); }
    // The overlay holds the keyboard focus while boxes are selected; a window that previews
    // keys should leave keys addressed to it alone.
    QWidget* overlay() const;

    // False (and nothing registered) unless box is a direct child of the area.
    bool registerControl(QWidget* box);
    void unregisterControl(QWidget* box);
    void unregisterAll();
    QList<QWidget*> targets() const;

    bool isEnabled() const { return enabled_; }
    void setEnabled(bool on);
    QColor handleColor() const { return handleColor_; }
    void setHandleColor(const QColor& color);
    // Snapping step on release of a mouse drag; 1 or less switches snapping off.
    int gridSize() const { return gridSize_; }
    void setGridSize(int step);

    // The selected boxes in the order they were selected.
    QList<QWidget*> selection() const;
    QWidget* firstSelected() const;
    bool isSelected(const QWidget* box) const;
    // Programmatic selection does not move the keyboard focus.
    void select(QWidget* box, bool add = false);
    void deselect(QWidget* box);
    void clearSelection();
    void selectNext();
    void selectPrevious();

    bool isDragging() const { return drag_.active; }
    void cancelDrag();
    // Redraws the handles at the selected boxes' places (the area also tracks its boxes).
    void updateHandles();

    // The handle of a selected box under a point of the area, topmost box first.
    Handle handleAt(QPoint areaPos, QWidget** box = nullptr) const;
    // The rectangle of a handle of a box whose geometry is rect.
    static QRect handleRect(const QRect& rect, Handle handle);
    // Nearest multiple of step; a value exactly halfway rounds up.
    static int snap(int value, int step);

signals:
    void enabledChanged(bool enabled);
    void handleColorChanged(const QColor& color);
    void gridSizeChanged(int step);
    void selectionChanged(QWidget* firstSelected);
    void startSizeMove();
    void endSizeMove();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class ResizeHandlesOverlay;

    struct Drag
    {
        bool pressed = false;   // left button down after a press that may start a drag
        bool active = false;    // the pointer has moved: outlines are shown
        bool cancelled = false; // Escape ended it; the button is still down
        Handle handle = Handle::None;
        QPoint pressPos;
        QList<QPointer<QWidget>> boxes;
        QList<QRect> startRects;
        QList<QRect> rects; // outlines, already snapped
    };

    bool handleMouse(QWidget* receiver, QMouseEvent* event);
    bool handleKey(QKeyEvent* event);
    static bool isOwnKey(const QKeyEvent* event);
    void paint(QWidget* overlay);
    QWidget* boxAt(QPoint areaPos) const;
    QList<QWidget*> visibleTargets() const;
    QRect dragRect(const QRect& start, QPoint delta) const;
    QRect snapRect(const QRect& rect) const;
    void step(int dx, int dy, int dw, int dh);
    void setSelection(const QList<QWidget*>& boxes, bool takeFocus);
    void cycle(int direction);
    void forget(QObject* box);
    void notifySelectionLater();
    void syncOverlay();

    QPointer<QWidget> area_;
    QPointer<ResizeHandlesOverlay> overlay_;
    QList<QPointer<QWidget>> targets_;
    QList<QPointer<QWidget>> selection_;
    Drag drag_;
    bool enabled_ = false;
    QColor handleColor_ = QColor(204, 0, 0);
    int gridSize_ = 10;
};
