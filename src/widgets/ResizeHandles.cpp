#include "widgets/ResizeHandles.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

#include <algorithm>

using namespace Qt::StringLiterals;

// Lies over the whole area, above the boxes: draws the handles and outlines and takes the
// mouse, so that clicks on the picture or between boxes reach the facility too.
class ResizeHandlesOverlay final : public QWidget
{
public:
    ResizeHandlesOverlay(ResizeHandles* ctrl, QWidget* area) : QWidget(area), ctrl_(ctrl)
    {
        setObjectName(u"sizeCtrlOverlay"_s);
        // The area's coordinates are physical; a right-to-left window must not mirror them.
        setLayoutDirection(Qt::LeftToRight);
        // Focus is given explicitly when a box is selected, never by a bare click.
        setFocusPolicy(Qt::NoFocus);
        setMouseTracking(true);
        setAttribute(Qt::WA_NoSystemBackground);
        hide();
    }

protected:
    bool event(QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::ShortcutOverride:
            // Keep window shortcuts (Escape closing the window) off the selection's keys.
            if (ResizeHandles::isOwnKey(static_cast<QKeyEvent*>(event))) {
                event->accept();
                return true;
            }
            break;
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            if (ctrl_->handleKey(key))
                return true;
            // While the selection holds the focus, Enter and Escape stay here.
            if (key->key() == Qt::Key_Escape || key->key() == Qt::Key_Return ||
                key->key() == Qt::Key_Enter)
                return true;
            break;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease:
            if (ctrl_->handleMouse(this, static_cast<QMouseEvent*>(event)))
                return true;
            break;
        default:
            break;
        }
        return QWidget::event(event);
    }

    void paintEvent(QPaintEvent*) override { ctrl_->paint(this); }

private:
    ResizeHandles* ctrl_ = nullptr;
};

namespace {

// Handles tried first win where those of a small box overlap: the corner that grows it.
constexpr ResizeHandles::Handle HitOrder[] = {
    ResizeHandles::Handle::BottomRight, ResizeHandles::Handle::Right,
    ResizeHandles::Handle::Bottom,      ResizeHandles::Handle::TopRight,
    ResizeHandles::Handle::BottomLeft,  ResizeHandles::Handle::TopLeft,
    ResizeHandles::Handle::Top,         ResizeHandles::Handle::Left};

Qt::CursorShape cursorFor(ResizeHandles::Handle handle)
{
    switch (handle) {
    case ResizeHandles::Handle::TopLeft:
    case ResizeHandles::Handle::BottomRight:
        return Qt::SizeFDiagCursor;
    case ResizeHandles::Handle::TopRight:
    case ResizeHandles::Handle::BottomLeft:
        return Qt::SizeBDiagCursor;
    case ResizeHandles::Handle::Top:
    case ResizeHandles::Handle::Bottom:
        return Qt::SizeVerCursor;
    case ResizeHandles::Handle::Left:
    case ResizeHandles::Handle::Right:
        return Qt::SizeHorCursor;
    case ResizeHandles::Handle::None:
        break;
    }
    return Qt::ArrowCursor;
}

bool movesLeft(ResizeHandles::Handle h)
{
    return h == ResizeHandles::Handle::TopLeft || h == ResizeHandles::Handle::Left ||
           h == ResizeHandles::Handle::BottomLeft;
}
bool movesRight(ResizeHandles::Handle h)
{
    return h == ResizeHandles::Handle::TopRight || h == ResizeHandles::Handle::Right ||
           h == ResizeHandles::Handle::BottomRight;
}
bool movesTop(ResizeHandles::Handle h)
{
    return h == ResizeHandles::Handle::TopLeft || h == ResizeHandles::Handle::Top ||
           h == ResizeHandles::Handle::TopRight;
}
bool movesBottom(ResizeHandles::Handle h)
{
    return h == ResizeHandles::Handle::BottomLeft || h == ResizeHandles::Handle::Bottom ||
           h == ResizeHandles::Handle::BottomRight;
}

QList<QWidget*> alive(const QList<QPointer<QWidget>>& list)
{
    QList<QWidget*> out;
    for (const auto& p : list)
        if (p)
            out << p.data();
    return out;
}

} // namespace

ResizeHandles::ResizeHandles(QWidget* area, QObject* parent)
    : QObject(parent ? parent : area), area_(area)
{
    Q_ASSERT(area);
    overlay_ = new ResizeHandlesOverlay(this, area);
    overlay_->setGeometry(area->rect());
    area->installEventFilter(this);
}

ResizeHandles::~ResizeHandles()
{
    for (const auto& box : std::as_const(targets_))
        if (box)
            box->removeEventFilter(this);
    if (area_)
        area_->removeEventFilter(this);
    delete overlay_.data();
}

QWidget* ResizeHandles::overlay() const
{
    return overlay_.data();
}

bool ResizeHandles::registerControl(QWidget* box)
{
    if (!box || !area_ || box->parentWidget() != area_ || box == overlay_)
        return false;
    if (targets_.contains(box))
        return true;
    targets_ << box;
    box->installEventFilter(this);
    connect(box, &QObject::destroyed, this, [this, box] { forget(box); });
    return true;
}

void ResizeHandles::unregisterControl(QWidget* box)
{
    if (!box || !targets_.contains(box))
        return;
    if (drag_.boxes.contains(box))
        cancelDrag();
    targets_.removeAll(box);
    box->removeEventFilter(this);
    disconnect(box, &QObject::destroyed, this, nullptr);
    if (selection_.contains(box)) {
        auto rest = selection();
        rest.removeAll(box);
        setSelection(rest, false);
    }
}

void ResizeHandles::unregisterAll()
{
    const auto boxes = targets();
    for (QWidget* box : boxes)
        unregisterControl(box);
}

QList<QWidget*> ResizeHandles::targets() const
{
    return alive(targets_);
}

void ResizeHandles::setEnabled(bool on)
{
    if (enabled_ == on)
        return;
    if (!on) {
        cancelDrag();
        clearSelection();
    }
    enabled_ = on;
    if (overlay_) {
        overlay_->setVisible(on);
        syncOverlay();
    }
    emit enabledChanged(on);
}

void ResizeHandles::setHandleColor(const QColor& color)
{
    if (handleColor_ == color)
        return;
    handleColor_ = color;
    syncOverlay();
    emit handleColorChanged(color);
}

void ResizeHandles::setGridSize(int step)
{
    step = std::max(step, 1);
    if (gridSize_ == step)
        return;
    gridSize_ = step;
    emit gridSizeChanged(step);
}

QList<QWidget*> ResizeHandles::selection() const
{
    return alive(selection_);
}

QWidget* ResizeHandles::firstSelected() const
{
    for (const auto& p : selection_)
        if (p)
            return p.data();
    return nullptr;
}

bool ResizeHandles::isSelected(const QWidget* box) const
{
    return box && std::any_of(selection_.cbegin(), selection_.cend(),
                              [box](const QPointer<QWidget>& p) { return p.data() == box; });
}

void ResizeHandles::select(QWidget* box, bool add)
{
    if (!enabled_ || !box || !targets_.contains(box) || box->isHidden())
        return;
    if (!add) {
        setSelection({box}, false);
    } else if (!isSelected(box)) {
        setSelection(selection() << box, false);
    }
}

void ResizeHandles::deselect(QWidget* box)
{
    if (!isSelected(box))
        return;
    auto rest = selection();
    rest.removeAll(box);
    setSelection(rest, false);
}

void ResizeHandles::clearSelection()
{
    cancelDrag();
    setSelection({}, false);
}

void ResizeHandles::selectNext()
{
    cycle(1);
}

void ResizeHandles::selectPrevious()
{
    cycle(-1);
}

void ResizeHandles::cancelDrag()
{
    const bool wasActive = drag_.active;
    if (drag_.pressed)
        drag_.cancelled = true;
    drag_.active = false;
    drag_.boxes.clear();
    drag_.startRects.clear();
    drag_.rects.clear();
    syncOverlay();
    if (wasActive)
        emit endSizeMove();
}

void ResizeHandles::updateHandles()
{
    syncOverlay();
}

QRect ResizeHandles::handleRect(const QRect& rect, Handle handle)
{
    const int left = rect.x();
    const int right = rect.x() + rect.width() - 1;
    const int midX = rect.x() + rect.width() / 2;
    const int top = rect.y();
    const int bottom = rect.y() + rect.height() - 1;
    const int midY = rect.y() + rect.height() / 2;
    QPoint c;
    switch (handle) {
    case Handle::TopLeft:
        c = {left, top};
        break;
    case Handle::Top:
        c = {midX, top};
        break;
    case Handle::TopRight:
        c = {right, top};
        break;
    case Handle::Right:
        c = {right, midY};
        break;
    case Handle::BottomRight:
        c = {right, bottom};
        break;
    case Handle::Bottom:
        c = {midX, bottom};
        break;
    case Handle::BottomLeft:
        c = {left, bottom};
        break;
    case Handle::Left:
        c = {left, midY};
        break;
    case Handle::None:
        return {};
    }
    return QRect(c.x() - HandleSize / 2, c.y() - HandleSize / 2, HandleSize, HandleSize);
}

int ResizeHandles::snap(int value, int step)
{
    if (step <= 1)
        return value;
    // Floor division on 64 bits: halfway values go up, negatives included.
    const qint64 shifted = qint64(value) + step / 2;
    qint64 q = shifted / step;
    if (shifted % step != 0 && shifted < 0)
        --q;
    return int(std::clamp<qint64>(q * step, INT_MIN, INT_MAX));
}

ResizeHandles::Handle ResizeHandles::handleAt(QPoint areaPos, QWidget** box) const
{
    auto boxes = selection();
    // Topmost first, as the boxes are stacked in the area.
    const QObjectList& order = area_ ? area_->children() : QObjectList();
    std::sort(boxes.begin(), boxes.end(),
              [&order](QWidget* a, QWidget* b) { return order.indexOf(a) > order.indexOf(b); });
    for (QWidget* b : std::as_const(boxes)) {
        if (b->isHidden())
            continue;
        for (Handle h : HitOrder) {
            // One pixel of slack around the 5 x 5 square.
            if (handleRect(b->geometry(), h).adjusted(-1, -1, 1, 1).contains(areaPos)) {
                if (box)
                    *box = b;
                return h;
            }
        }
    }
    return Handle::None;
}

QWidget* ResizeHandles::boxAt(QPoint areaPos) const
{
    const QObjectList& order = area_->children();
    QWidget* best = nullptr;
    qsizetype bestIndex = -1;
    for (QWidget* b : visibleTargets()) {
        const qsizetype i = order.indexOf(b);
        if (i > bestIndex && b->geometry().contains(areaPos)) {
            best = b;
            bestIndex = i;
        }
    }
    return best;
}

QList<QWidget*> ResizeHandles::visibleTargets() const
{
    QList<QWidget*> out;
    for (const auto& p : targets_)
        if (p && !p->isHidden())
            out << p.data();
    return out;
}

QRect ResizeHandles::dragRect(const QRect& start, QPoint delta) const
{
    const Handle h = drag_.handle;
    if (h == Handle::None)
        return start.translated(delta);
    int left = start.x();
    int top = start.y();
    int right = start.x() + start.width();
    int bottom = start.y() + start.height();
    // An edge dragged past the opposite one stops one pixel short of it.
    if (movesLeft(h))
        left = std::min(left + delta.x(), right - 1);
    if (movesRight(h))
        right = std::max(right + delta.x(), left + 1);
    if (movesTop(h))
        top = std::min(top + delta.y(), bottom - 1);
    if (movesBottom(h))
        bottom = std::max(bottom + delta.y(), top + 1);
    return QRect(left, top, right - left, bottom - top);
}

QRect ResizeHandles::snapRect(const QRect& rect) const
{
    if (gridSize_ <= 1)
        return rect;
    // A size that would round to nothing keeps one grid step, or the box would vanish.
    return QRect(snap(rect.x(), gridSize_), snap(rect.y(), gridSize_),
                 std::max(snap(rect.width(), gridSize_), gridSize_),
                 std::max(snap(rect.height(), gridSize_), gridSize_));
}

bool ResizeHandles::handleMouse(QWidget* receiver, QMouseEvent* event)
{
    if (!enabled_ || !area_)
        return false;
    const QPoint local = event->position().toPoint();
    const QPoint pos = receiver == area_ ? local : receiver->mapTo(area_.data(), local);
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);

    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        if (event->button() != Qt::LeftButton)
            return true;
        cancelDrag();
        drag_ = Drag{};
        QWidget* handleBox = nullptr;
        const Handle handle = shift ? Handle::None : handleAt(pos, &handleBox);
        QWidget* box = handle != Handle::None ? handleBox : boxAt(pos);
        if (!box) {
            if (!shift)
                setSelection({}, false);
            return true;
        }
        if (handle == Handle::None) {
            if (shift && isSelected(box)) {
                auto rest = selection();
                rest.removeAll(box);
                setSelection(rest, true);
                return true;
            }
            if (shift)
                setSelection(selection() << box, true);
            else if (!isSelected(box))
                setSelection({box}, true);
        }
        if (overlay_)
            overlay_->setFocus(Qt::MouseFocusReason);
        drag_.pressed = true;
        drag_.handle = handle;
        drag_.pressPos = pos;
        for (QWidget* b : selection()) {
            drag_.boxes << b;
            drag_.startRects << b->geometry();
        }
        return true;
    }
    case QEvent::MouseMove: {
        if (!drag_.pressed) {
            if (receiver == overlay_) {
                const Handle h = handleAt(pos);
                if (h != Handle::None)
                    overlay_->setCursor(cursorFor(h));
                else if (boxAt(pos))
                    overlay_->setCursor(Qt::SizeAllCursor);
                else
                    overlay_->unsetCursor();
            }
            return true;
        }
        if (!event->buttons().testFlag(Qt::LeftButton)) {
            // The release went elsewhere; end as if it came here.
            QMouseEvent release(QEvent::MouseButtonRelease, event->position(),
                                event->globalPosition(), Qt::LeftButton, Qt::NoButton,
                                event->modifiers());
            return handleMouse(receiver, &release);
        }
        if (drag_.cancelled)
            return true;
        // The pointer counts as held inside the area.
        const QRect bounds = area_->rect();
        const QPoint held(
            std::clamp(pos.x(), bounds.left(), std::max(bounds.left(), bounds.right())),
            std::clamp(pos.y(), bounds.top(), std::max(bounds.top(), bounds.bottom())));
        if (held != pos && QGuiApplication::platformName() == "xcb"_L1)
            QCursor::setPos(area_->mapToGlobal(held));
        const QPoint delta = held - drag_.pressPos;
        if (!drag_.active) {
            if (delta.isNull())
                return true;
            drag_.active = true;
            emit startSizeMove();
        }
        drag_.rects.clear();
        for (const QRect& r : std::as_const(drag_.startRects))
            drag_.rects << snapRect(dragRect(r, delta));
        syncOverlay();
        return true;
    }
    case QEvent::MouseButtonRelease: {
        if (event->button() != Qt::LeftButton)
            return true;
        const bool wasActive = drag_.active && !drag_.cancelled;
        const auto boxes = drag_.boxes;
        const auto rects = drag_.rects;
        drag_ = Drag{};
        if (wasActive) {
            for (qsizetype i = 0; i < boxes.size() && i < rects.size(); ++i)
                if (boxes[i])
                    boxes[i]->setGeometry(rects[i]);
            syncOverlay();
            emit endSizeMove();
        }
        return true;
    }
    default:
        return false;
    }
}

bool ResizeHandles::isOwnKey(const QKeyEvent* event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        return true;
    default:
        return false;
    }
}

bool ResizeHandles::handleKey(QKeyEvent* event)
{
    if (!enabled_ || !isOwnKey(event))
        return false;
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    const int key = event->key();
    if (key == Qt::Key_Escape) {
        if (drag_.pressed && !drag_.cancelled) {
            cancelDrag();
            return true;
        }
        if (selection().isEmpty())
            return false;
        clearSelection();
        return true;
    }
    if (drag_.active && !drag_.cancelled)
        return true; // the mouse owns the boxes until it lets go
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
        if (visibleTargets().isEmpty())
            return false;
        cycle(key == Qt::Key_Backtab || shift ? -1 : 1);
        return true;
    }
    if (selection().isEmpty())
        return false;
    const int dx = key == Qt::Key_Right ? 1 : key == Qt::Key_Left ? -1 : 0;
    const int dy = key == Qt::Key_Down ? 1 : key == Qt::Key_Up ? -1 : 0;
    if (shift)
        step(0, 0, dx, dy);
    else
        step(dx, dy, 0, 0);
    return true;
}

void ResizeHandles::step(int dx, int dy, int dw, int dh)
{
    emit startSizeMove();
    for (QWidget* b : selection()) {
        QRect g = b->geometry().translated(dx, dy);
        if (dw)
            g.setWidth(std::max(1, g.width() + dw));
        if (dh)
            g.setHeight(std::max(1, g.height() + dh));
        b->setGeometry(g);
    }
    syncOverlay();
    emit endSizeMove();
}

void ResizeHandles::setSelection(const QList<QWidget*>& boxes, bool takeFocus)
{
    QList<QPointer<QWidget>> next;
    for (QWidget* b : boxes)
        if (b && !next.contains(b))
            next << b;
    const bool changed = next != selection_ || selection_.contains(nullptr);
    selection_ = next;
    if (takeFocus && !next.isEmpty() && overlay_)
        overlay_->setFocus(Qt::OtherFocusReason);
    if (!changed)
        return;
    syncOverlay();
    emit selectionChanged(firstSelected());
}

void ResizeHandles::cycle(int direction)
{
    const auto boxes = visibleTargets();
    if (boxes.isEmpty())
        return;
    const qsizetype n = boxes.size();
    const qsizetype at = boxes.indexOf(firstSelected());
    const qsizetype next = at < 0 ? (direction > 0 ? 0 : n - 1) : ((at + direction) % n + n) % n;
    setSelection({boxes[next]}, true);
}

void ResizeHandles::forget(QObject* box)
{
    // The pointers may or may not be cleared yet while the box is being destroyed.
    const auto gone = [box](const QPointer<QWidget>& p) {
        return p.isNull() || static_cast<QObject*>(p.data()) == box;
    };
    targets_.removeIf(gone);
    if (selection_.removeIf(gone) > 0)
        notifySelectionLater();
    syncOverlay();
}

// Boxes vanish while their window is torn down; telling the window then could reach a
// half-destroyed object, so the notice waits for the event loop.
void ResizeHandles::notifySelectionLater()
{
    syncOverlay();
    QMetaObject::invokeMethod(
        this, [this] { emit selectionChanged(firstSelected()); }, Qt::QueuedConnection);
}

void ResizeHandles::syncOverlay()
{
    if (!overlay_ || !area_)
        return;
    if (overlay_->geometry() != area_->rect())
        overlay_->setGeometry(area_->rect());
    if (enabled_)
        overlay_->raise();
    overlay_->update();
}

void ResizeHandles::paint(QWidget* overlay)
{
    QPainter p(overlay);
    if (drag_.active && !drag_.cancelled) {
        // Light under dark dashes: visible over any picture.
        for (const QRect& r : std::as_const(drag_.rects)) {
            const QRect outline = r.adjusted(0, 0, -1, -1);
            p.setPen(QPen(Qt::white, 1));
            p.drawRect(outline);
            p.setPen(QPen(Qt::black, 1, Qt::DashLine));
            p.drawRect(outline);
        }
        return;
    }
    for (QWidget* b : selection()) {
        if (b->isHidden())
            continue;
        for (Handle h : HitOrder)
            p.fillRect(handleRect(b->geometry(), h), handleColor_);
    }
}

bool ResizeHandles::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == area_) {
        switch (event->type()) {
        case QEvent::Resize:
            syncOverlay();
            break;
        case QEvent::ChildAdded:
            // A child added later would stack above the overlay and hide the handles.
            if (enabled_ && static_cast<QChildEvent*>(event)->child() != overlay_)
                syncOverlay();
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease:
            return handleMouse(area_.data(), static_cast<QMouseEvent*>(event));
        case QEvent::KeyPress:
            return handleKey(static_cast<QKeyEvent*>(event));
        default:
            break;
        }
        return false;
    }
    auto* box = qobject_cast<QWidget*>(watched);
    if (!box || !targets_.contains(box))
        return false;
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::ZOrderChange: // a raised box must not cover the handles
        syncOverlay();
        break;
    case QEvent::Hide:
        // Only a box hidden on its own leaves the selection, not one whose window hides.
        if (box->isHidden() && selection_.contains(box)) {
            selection_.removeAll(box);
            notifySelectionLater();
        } else {
            syncOverlay();
        }
        break;
    // Events sent to a box directly (the overlay normally takes them) act the same.
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
        return handleMouse(box, static_cast<QMouseEvent*>(event));
    case QEvent::KeyPress:
        return handleKey(static_cast<QKeyEvent*>(event));
    default:
        break;
    }
    return false;
}
