#include "layout/SizeCtrl.h"

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
class TSizeCtrlOverlay final : public QWidget
{
public:
    TSizeCtrlOverlay(TSizeCtrl* ctrl, QWidget* area) : QWidget(area), ctrl_(ctrl)
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
            if (TSizeCtrl::isOwnKey(static_cast<QKeyEvent*>(event))) {
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
    TSizeCtrl* ctrl_ = nullptr;
};

namespace {

// Handles tried first win where those of a small box overlap: the corner that grows it.
constexpr TSizeCtrl::Handle HitOrder[] = {
    TSizeCtrl::Handle::BottomRight, TSizeCtrl::Handle::Right,      TSizeCtrl::Handle::Bottom,
    TSizeCtrl::Handle::TopRight,    TSizeCtrl::Handle::BottomLeft, TSizeCtrl::Handle::TopLeft,
    TSizeCtrl::Handle::Top,         TSizeCtrl::Handle::Left};

Qt::CursorShape cursorFor(TSizeCtrl::Handle handle)
{
    switch (handle) {
    case TSizeCtrl::Handle::TopLeft:
    case TSizeCtrl::Handle::BottomRight:
        return Qt::SizeFDiagCursor;
    case TSizeCtrl::Handle::TopRight:
    case TSizeCtrl::Handle::BottomLeft:
        return Qt::SizeBDiagCursor;
    case TSizeCtrl::Handle::Top:
    case TSizeCtrl::Handle::Bottom:
        return Qt::SizeVerCursor;
    case TSizeCtrl::Handle::Left:
    case TSizeCtrl::Handle::Right:
        return Qt::SizeHorCursor;
    case TSizeCtrl::Handle::None:
        break;
    }
    return Qt::ArrowCursor;
}

bool movesLeft(TSizeCtrl::Handle h)
{
    return h == TSizeCtrl::Handle::TopLeft || h == TSizeCtrl::Handle::Left ||
           h == TSizeCtrl::Handle::BottomLeft;
}
bool movesRight(TSizeCtrl::Handle h)
{
    return h == TSizeCtrl::Handle::TopRight || h == TSizeCtrl::Handle::Right ||
           h == TSizeCtrl::Handle::BottomRight;
}
bool movesTop(TSizeCtrl::Handle h)
{
    return h == TSizeCtrl::Handle::TopLeft || h == TSizeCtrl::Handle::Top ||
           h == TSizeCtrl::Handle::TopRight;
}
bool movesBottom(TSizeCtrl::Handle h)
{
    return h == TSizeCtrl::Handle::BottomLeft || h == TSizeCtrl::Handle::Bottom ||
           h == TSizeCtrl::Handle::BottomRight;
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

TSizeCtrl::TSizeCtrl(QWidget* area, QObject* parent) : QObject(parent ? parent : area), area_(area)
{
    Q_ASSERT(area);
    overlay_ = new TSizeCtrlOverlay(this, area);
    overlay_->setGeometry(area->rect());
    area->installEventFilter(this);
}

TSizeCtrl::~TSizeCtrl()
{
    for (const auto& box : std::as_const(targets_))
        if (box)
            box->removeEventFilter(this);
    if (area_)
        area_->removeEventFilter(this);
    delete overlay_.data();
}

QWidget* TSizeCtrl::overlay() const
{
    return overlay_.data();
}

bool TSizeCtrl::registerControl(QWidget* box)
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

void TSizeCtrl::unregisterControl(QWidget* box)
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

void TSizeCtrl::unregisterAll()
{
    const auto boxes = targets();
    for (QWidget* box : boxes)
        unregisterControl(box);
}

QList<QWidget*> TSizeCtrl::targets() const
{
    return alive(targets_);
}

void TSizeCtrl::setEnabled(bool on)
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

void TSizeCtrl::setHandleColor(const QColor& color)
{
    if (handleColor_ == color)
        return;
    handleColor_ = color;
    syncOverlay();
    emit handleColorChanged(color);
}

void TSizeCtrl::setGridSize(int step)
{
    step = std::max(step, 1);
    if (gridSize_ == step)
        return;
    gridSize_ = step;
    emit gridSizeChanged(step);
}

QList<QWidget*> TSizeCtrl::selection() const
{
    return alive(selection_);
}

QWidget* TSizeCtrl::firstSelected() const
{
    for (const auto& p : selection_)
        if (p)
            return p.data();
    return nullptr;
}

bool TSizeCtrl::isSelected(const QWidget* box) const
{
    return box && std::any_of(selection_.cbegin(), selection_.cend(),
                              [box](const QPointer<QWidget>& p) { return p.data() == box; });
}

void TSizeCtrl::select(QWidget* box, bool add)
{
    if (!enabled_ || !box || !targets_.contains(box) || box->isHidden())
        return;
    if (!add) {
        setSelection({box}, false);
    } else if (!isSelected(box)) {
        setSelection(selection() << box, false);
    }
}

void TSizeCtrl::deselect(QWidget* box)
{
    if (!isSelected(box))
        return;
    auto rest = selection();
    rest.removeAll(box);
    setSelection(rest, false);
}

void TSizeCtrl::clearSelection()
{
    cancelDrag();
    setSelection({}, false);
}

void TSizeCtrl::selectNext()
{
    cycle(1);
}

void TSizeCtrl::selectPrevious()
{
    cycle(-1);
}

void TSizeCtrl::cancelDrag()
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

void TSizeCtrl::updateHandles()
{
    syncOverlay();
}

QRect TSizeCtrl::handleRect(const QRect& rect, Handle handle)
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

int TSizeCtrl::snap(int value, int step)
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

TSizeCtrl::Handle TSizeCtrl::handleAt(QPoint areaPos, QWidget** box) const
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

QWidget* TSizeCtrl::boxAt(QPoint areaPos) const
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

QList<QWidget*> TSizeCtrl::visibleTargets() const
{
    QList<QWidget*> out;
    for (const auto& p : targets_)
        if (p && !p->isHidden())
            out << p.data();
    return out;
}

QRect TSizeCtrl::dragRect(const QRect& start, QPoint delta) const
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

QRect TSizeCtrl::snapRect(const QRect& rect) const
{
    if (gridSize_ <= 1)
        return rect;
    // A size that would round to nothing keeps one grid step, or the box would vanish.
    return QRect(snap(rect.x(), gridSize_), snap(rect.y(), gridSize_),
                 std::max(snap(rect.width(), gridSize_), gridSize_),
                 std::max(snap(rect.height(), gridSize_), gridSize_));
}

bool TSizeCtrl::handleMouse(QWidget* receiver, QMouseEvent* event)
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

bool TSizeCtrl::isOwnKey(const QKeyEvent* event)
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

bool TSizeCtrl::handleKey(QKeyEvent* event)
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

void TSizeCtrl::step(int dx, int dy, int dw, int dh)
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

void TSizeCtrl::setSelection(const QList<QWidget*>& boxes, bool takeFocus)
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

void TSizeCtrl::cycle(int direction)
{
    const auto boxes = visibleTargets();
    if (boxes.isEmpty())
        return;
    const qsizetype n = boxes.size();
    const qsizetype at = boxes.indexOf(firstSelected());
    const qsizetype next = at < 0 ? (direction > 0 ? 0 : n - 1) : ((at + direction) % n + n) % n;
    setSelection({boxes[next]}, true);
}

void TSizeCtrl::forget(QObject* box)
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
void TSizeCtrl::notifySelectionLater()
{
    syncOverlay();
    QMetaObject::invokeMethod(
        this, [this] { emit selectionChanged(firstSelected()); }, Qt::QueuedConnection);
}

void TSizeCtrl::syncOverlay()
{
    if (!overlay_ || !area_)
        return;
    if (overlay_->geometry() != area_->rect())
        overlay_->setGeometry(area_->rect());
    if (enabled_)
        overlay_->raise();
    overlay_->update();
}

void TSizeCtrl::paint(QWidget* overlay)
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

bool TSizeCtrl::eventFilter(QObject* watched, QEvent* event)
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
