#include "gui/common/MessageBox.h"

#include "core/ProgramFont.h"
#include "core/errors/AppError.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>

QString MessageCaption(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Warning:
        return QStringLiteral("اخـــطـــار");
    case MessageKind::Error:
        return QStringLiteral("خـــطـــا");
    case MessageKind::Information:
        return QStringLiteral("آگـــاهـــي");
    case MessageKind::Confirmation:
        return QStringLiteral("تـــايـــيـــد");
    }
    return {};
}

namespace {

QMessageBox::Icon iconOf(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Warning:
        return QMessageBox::Warning;
    case MessageKind::Error:
        return QMessageBox::Critical;
    case MessageKind::Information:
        return QMessageBox::Information;
    case MessageKind::Confirmation:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QFont tahoma(int pointSize = -1)
{
    QFont f(ProgramFontFamily());
    if (pointSize > 0)
        f.setPointSize(pointSize);
    return f;
}

} // namespace

AppMessageBox::AppMessageBox(const QString& text, MessageKind kind, QWidget* parent)
    : QMessageBox(parent), kind_(kind)
{
    setWindowTitle(MessageCaption(kind));
    setIcon(iconOf(kind));
    setLayoutDirection(Qt::RightToLeft);
    setWindowModality(Qt::ApplicationModal);
    setTextFormat(Qt::PlainText);
    setText(text);

    if (kind == MessageKind::Confirmation) {
        accept_ = addButton(QStringLiteral("قبول"), QMessageBox::AcceptRole);
        refuse_ = addButton(QStringLiteral("رد"), QMessageBox::RejectRole);
        setDefaultButton(static_cast<QPushButton*>(accept_));
        setEscapeButton(refuse_);
    } else {
        accept_ = addButton(QStringLiteral("تاييد"), QMessageBox::AcceptRole);
        setDefaultButton(static_cast<QPushButton*>(accept_));
        setEscapeButton(accept_);
    }
    for (QAbstractButton* b : buttons())
        b->setFont(tahoma());

    // The message: one line per line of the text, never wrapped, Tahoma 8, in the theme's
    // text colour (black on the light themes; a fixed black is unreadable on the dark ones),
    // reading from the icon's side (the right: the dialog is right-to-left whatever the program
    // is); the 100 px it is set in from its standard place go to the far side from the icon.
    if (auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        label->setWordWrap(false);
        label->setFont(tahoma(8));
        label->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
        label->setContentsMargins(100, 0, 0, 0);
    }
}

void AppMessageBox::placeButtons()
{
    // By hand: QDialogButtonBox orders the buttons by the desktop's button-layout rule and
    // then mirrors them for right-to-left, so "قبول" would stand on either side.
    auto* box = findChild<QDialogButtonBox*>();
    if (!box || !accept_)
        return;
    // The box has sized them in its first pass; from now on it no longer moves them.
    if (box->layout())
        box->layout()->setEnabled(false);
    const int middle = width() / 2;
    const auto place = [this](QAbstractButton* button, int left) {
        button->move(button->parentWidget()->mapFrom(this, QPoint(left, 0)).x(), button->y());
    };
    if (refuse_) {
        place(accept_, middle - accept_->width() - 10);
        place(refuse_, middle + 10);
    } else {
        place(accept_, middle - accept_->width() / 2);
    }
}

void AppMessageBox::showEvent(QShowEvent* event)
{
    // 20 px between the buttons keep the dialog wide enough for the places placeButtons gives
    // them; set here, as a change of style rebuilds the button box's layout.
    if (auto* box = findChild<QDialogButtonBox*>(); box && box->layout()) {
        box->layout()->setEnabled(true);
        box->layout()->setSpacing(20);
    }
    QMessageBox::showEvent(event);
    setFixedSize(size());
    placeButtons();
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area =
            kind_ == MessageKind::Confirmation ? screen->virtualGeometry() : screen->geometry();
        move(area.center() - QPoint(frameSize().width() / 2, frameSize().height() / 2));
    }
}

void AppMessageBox::closeEvent(QCloseEvent* event)
{
    closedByCloseBox_ = true;
    QMessageBox::closeEvent(event);
}

bool AppMessageBox::accepted() const
{
    return !closedByCloseBox_ && clickedButton() && clickedButton() == accept_;
}

bool ShowAppMessage(const QString& text, MessageKind kind)
{
    const unsigned k = static_cast<unsigned>(kind);
    if (k < 1 || k > 4)
        return false;
    if (const auto& hook = DialogSeam::messageHook())
        return hook(ShownMessage{MessageCaption(kind), text, kind, false});
    AppMessageBox box(text, kind);
    box.exec();
    return box.accepted();
}

bool ShowAppMessage(const QString& text, unsigned kind)
{
    if (kind < 1 || kind > 4)
        return false;
    return ShowAppMessage(text, static_cast<MessageKind>(kind));
}

void ShowDefaultErrorBox(const QString& message)
{
    const QString text = errorBoxText(message);
    const QString caption = QCoreApplication::applicationName();
    if (const auto& hook = DialogSeam::messageHook()) {
        hook(ShownMessage{caption, text, MessageKind::Error, true});
        return;
    }
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::NoButton);
    box.addButton(QStringLiteral("تاييد"), QMessageBox::AcceptRole); // not Qt's English "OK"
    box.setLayoutDirection(Qt::RightToLeft);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

namespace {
bool takesInputFocus(const QWidget* w)
{
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w) ||
           qobject_cast<const QPushButton*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
           qobject_cast<const QAbstractSpinBox*>(w) || w->inherits("JalaliDateEdit");
}
} // namespace

void ReportInputError(const QString& text, QWidget* control)
{
    ShowAppMessage(text, MessageKind::Error);
    if (control && takesInputFocus(control))
        control->setFocus(Qt::OtherFocusReason);
    throw SilentAbort();
}

bool IsEditBlank(const QLineEdit* edit)
{
    return !edit || IsBlankText(edit->text());
}

bool IsChildWindowOpen(const QWidget* mainWindow, const QString& name)
{
    if (!mainWindow)
        return false;
    const QMdiArea* area = qobject_cast<const QMdiArea*>(mainWindow);
    if (!area)
        area = mainWindow->findChild<QMdiArea*>();
    if (!area)
        return false;
    const QList<QMdiSubWindow*> windows = area->subWindowList(QMdiArea::CreationOrder);
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        const QMdiSubWindow* sub = *it;
        if (sub->objectName() == name || (sub->widget() && sub->widget()->objectName() == name))
            return true;
    }
    return false;
}

void ShadeGridRow(int recordNumber, QColor& background)
{
    if (recordNumber >= 1 && recordNumber % 2 == 1)
        background = kGridShadeColor;
}
