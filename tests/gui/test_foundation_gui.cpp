// Message dialogs, the input-error path, the event loop's guard and small shell routines.
#include "core/errors/AppError.h"
#include "gui/common/MessageBox.h"
#include "gui/common/NiloApplication.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProxyStyle>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyleFactory>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// A desktop's order of the buttons in a button box.
class ButtonLayoutStyle final : public QProxyStyle
{
public:
    explicit ButtonLayoutStyle(QDialogButtonBox::ButtonLayout layout)
        : QProxyStyle(QStyleFactory::create(u"Fusion"_s)), layout_(layout)
    {}
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override
    {
        if (hint == SH_DialogButtonLayout)
            return layout_;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }

private:
    QDialogButtonBox::ButtonLayout layout_;
};

} // namespace

class FoundationGui : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { DialogSeam::setMessageHook({}); }

    // The font dialog's foundry-qualified names are stored as plain family names.
    void fontFamiliesAreStoredPlain()
    {
        QCOMPARE(DialogSeam::PlainFontFamily(QStringLiteral("C059 [UKWN]")),
                 QStringLiteral("C059"));
        QCOMPARE(DialogSeam::PlainFontFamily(QStringLiteral("2  Yekan")),
                 QStringLiteral("2  Yekan"));
        QCOMPARE(DialogSeam::PlainFontFamily(QStringLiteral("Tahoma")), QStringLiteral("Tahoma"));
    }

    void messageBoxesHaveTheirCaptionsAndButtons_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("buttons");
        QTest::newRow("warning") << 1 << u"اخـــطـــار"_s << QStringList{u"تاييد"_s};
        QTest::newRow("error") << 2 << u"خـــطـــا"_s << QStringList{u"تاييد"_s};
        QTest::newRow("information") << 3 << u"آگـــاهـــي"_s << QStringList{u"تاييد"_s};
        QTest::newRow("confirmation")
            << 4 << u"تـــايـــيـــد"_s << QStringList{u"قبول"_s, u"رد"_s};
    }
    void messageBoxesHaveTheirCaptionsAndButtons()
    {
        QFETCH(int, kind);
        QFETCH(QString, caption);
        QFETCH(QStringList, buttons);
        AppMessageBox box(u"سطر اول\nسطر دوم"_s, MessageKind(kind));
        QCOMPARE(box.windowTitle(), caption);
        QCOMPARE(box.layoutDirection(), Qt::RightToLeft);
        QStringList texts;
        for (QAbstractButton* b : {box.acceptButton(), box.refuseButton()})
            if (b)
                texts << b->text();
        QCOMPARE(texts, buttons);
        auto* label = box.findChild<QLabel*>(u"qt_msgbox_label"_s);
        QVERIFY(label && !label->wordWrap());
        QCOMPARE(label->font().pointSize(), 8);
    }

    // How a dialog is closed decides the result: Escape presses the only button of kinds
    // 1-3 and refuses a confirmation; the close box never accepts.
    void messageResultFollowsHowItWasClosed_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("result");
        QTest::newRow("warning escape") << 1 << u"escape"_s << true;
        QTest::newRow("warning button") << 1 << u"accept"_s << true;
        QTest::newRow("warning close box") << 1 << u"close"_s << false;
        QTest::newRow("confirm accept") << 4 << u"accept"_s << true;
        QTest::newRow("confirm enter") << 4 << u"enter"_s << true;
        QTest::newRow("confirm refuse") << 4 << u"refuse"_s << false;
        QTest::newRow("confirm escape") << 4 << u"escape"_s << false;
        QTest::newRow("confirm close box") << 4 << u"close"_s << false;
    }
    void messageResultFollowsHowItWasClosed()
    {
        QFETCH(int, kind);
        QFETCH(QString, how);
        QFETCH(bool, result);
        AppMessageBox box(u"متن"_s, MessageKind(kind));
        QTimer::singleShot(0, &box, [&] {
            if (how == u"escape")
                QTest::keyClick(&box, Qt::Key_Escape);
            else if (how == u"enter")
                QTest::keyClick(&box, Qt::Key_Return);
            else if (how == u"accept")
                box.acceptButton()->click();
            else if (how == u"refuse")
                box.refuseButton()->click();
            else
                box.close();
        });
        box.exec();
        QCOMPARE(box.accepted(), result);
    }

    // The buttons stand where the dialog puts them, whatever order the desktop gives a button
    // box and whichever way the program reads: "قبول" left of the middle, "رد" right of it.
    void messageButtonsStandAtTheirPlaces_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<Qt::LayoutDirection>("direction");
        QTest::addColumn<int>("desktop");
        QTest::addColumn<QString>("text");
        const QString text = u"تاييد حذف اطلاعات ؟"_s;
        const std::pair<const char*, QDialogButtonBox::ButtonLayout> desktops[] = {
            {"windows", QDialogButtonBox::WinLayout},
            {"mac", QDialogButtonBox::MacLayout},
            {"kde", QDialogButtonBox::KdeLayout},
            {"gnome", QDialogButtonBox::GnomeLayout}};
        for (const auto& [name, layout] : desktops) {
            QTest::addRow("confirmation rtl %s", name)
                << 4 << Qt::RightToLeft << int(layout) << text;
            QTest::addRow("confirmation ltr %s", name)
                << 4 << Qt::LeftToRight << int(layout) << text;
        }
        // A short text: the buttons alone make the dialog's width.
        QTest::newRow("confirmation short text")
            << 4 << Qt::RightToLeft << int(QDialogButtonBox::KdeLayout) << u"؟"_s;
        QTest::newRow("warning rtl")
            << 1 << Qt::RightToLeft << int(QDialogButtonBox::GnomeLayout) << text;
        QTest::newRow("warning ltr")
            << 1 << Qt::LeftToRight << int(QDialogButtonBox::WinLayout) << text;
    }
    void messageButtonsStandAtTheirPlaces()
    {
        QFETCH(int, kind);
        QFETCH(Qt::LayoutDirection, direction);
        QFETCH(int, desktop);
        QFETCH(QString, text);
        QApplication::setLayoutDirection(direction);
        const auto restore = qScopeGuard([] { QApplication::setLayoutDirection(Qt::LeftToRight); });
        AppMessageBox box(text, MessageKind(kind));
        ButtonLayoutStyle style{QDialogButtonBox::ButtonLayout(desktop)};
        auto* buttonBox = box.findChild<QDialogButtonBox*>();
        QVERIFY(buttonBox);
        buttonBox->setStyle(&style);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const auto left = [&](const QAbstractButton* b) { return b->mapTo(&box, QPoint()).x(); };
        const int middle = box.width() / 2;
        const QAbstractButton* accept = box.acceptButton();
        if (kind == 4) {
            QCOMPARE(left(accept), middle - accept->width() - 10);
            QCOMPARE(left(box.refuseButton()), middle + 10);
        } else {
            QCOMPARE(left(accept), middle - accept->width() / 2);
        }
        // Whole: inside the button box that draws them.
        for (const QAbstractButton* b : box.buttons())
            QVERIFY(b->isVisible() && buttonBox->rect().contains(b->geometry()));
        box.close();
    }

    // The text reads from the icon's side: every line ends at the icon, a short one too,
    // in a right-to-left and in a left-to-right program.
    void messageTextStandsByTheIcon_data()
    {
        QTest::addColumn<Qt::LayoutDirection>("direction");
        QTest::newRow("rtl") << Qt::RightToLeft;
        QTest::newRow("ltr") << Qt::LeftToRight;
    }
    void messageTextStandsByTheIcon()
    {
        QFETCH(Qt::LayoutDirection, direction);
        QApplication::setLayoutDirection(direction);
        const auto restore = qScopeGuard([] { QApplication::setLayoutDirection(Qt::LeftToRight); });
        AppMessageBox box(u"تاييد حذف اطلاعات ؟\nرد"_s, MessageKind::Confirmation);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        auto* label = box.findChild<QLabel*>(u"qt_msgbox_label"_s);
        auto* icon = box.findChild<QLabel*>(u"qt_msgboxex_icon_label"_s);
        QVERIFY(label && icon);
        const QRect text = label->geometry();
        QVERIFY(text.right() < icon->x());
        QVERIFY2(icon->x() - text.right() <= 30, "the text stands away from the icon");
        // The right end of the ink of each line (top and bottom half of the label).
        const QImage image = box.grab().toImage();
        const auto inkRight = [&](int top, int bottom) {
            for (int x = text.right(); x >= text.left(); --x)
                for (int y = top; y <= bottom; ++y)
                    if (qGray(image.pixel(x, y)) < 128)
                        return x;
            return -1;
        };
        const int middle = text.top() + text.height() / 2;
        for (const int right : {inkRight(text.top(), middle - 1), inkRight(middle, text.bottom())})
            QVERIFY2(right >= text.right() - 4,
                     qPrintable(u"a line ends at %1 of %2"_s.arg(right).arg(text.right())));
        box.close();
    }

    void kindsOutsideTheTableShowNothing()
    {
        int shown = 0;
        DialogSeam::setMessageHook([&](const ShownMessage&) { return ++shown, true; });
        QVERIFY(!ShowAppMessage(u"x"_s, 0u));
        QVERIFY(!ShowAppMessage(u"x"_s, 5u));
        QCOMPARE(shown, 0);
    }

    // ReportInputError shows the error, focuses the field and ends the action silently;
    // any other error reaches the default error box with the application title.
    void guardReportsErrorsAndSwallowsSilentAborts()
    {
        QList<ShownMessage> shown;
        DialogSeam::setMessageHook([&](const ShownMessage& m) { return shown << m, true; });
        QCoreApplication::setApplicationName(u"چاپ چك نيلو"_s);
        QWidget window;
        auto* edit = new QLineEdit(&window);
        auto* other = new QLineEdit(&window);
        auto* abort = new QPushButton(&window);
        auto* fail = new QPushButton(&window);
        bool continued = false;
        connect(abort, &QPushButton::clicked, &window, [&] {
            ReportInputError(u"نام بانك را وارد كنيد"_s, edit);
            continued = true;
        });
        connect(fail, &QPushButton::clicked, &window,
                [] { throw ConversionError(u"'1.5' is not a valid integer value"_s); });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        other->setFocus();
        QTest::mouseClick(abort, Qt::LeftButton);
        QVERIFY(!continued);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, MessageKind::Error);
        QCOMPARE(shown[0].caption, u"خـــطـــا"_s);
        QVERIFY(!shown[0].fromEventLoop);
        QTRY_COMPARE(QApplication::focusWidget(), edit);
        QTest::mouseClick(fail, Qt::LeftButton);
        QCOMPARE(shown.size(), 2);
        QVERIFY(shown[1].fromEventLoop);
        QCOMPARE(shown[1].caption, u"چاپ چك نيلو"_s);
        QCOMPARE(shown[1].text, u"'1.5' is not a valid integer value."_s);
    }

    void editBlankAndChildWindowLookup()
    {
        QLineEdit edit(u"   "_s);
        QVERIFY(IsEditBlank(&edit));
        edit.setText(u" a "_s);
        QVERIFY(!IsEditBlank(&edit));

        QMdiArea area;
        auto* child = new QWidget;
        child->setObjectName(u"layoutDesigner"_s);
        area.addSubWindow(child);
        QVERIFY(IsChildWindowOpen(&area, u"layoutDesigner"_s));
        QVERIFY(!IsChildWindowOpen(&area, u"frmchequeinfoui"_s));
        QVERIFY(!IsChildWindowOpen(&area, u"printWindow"_s));
    }

    void oddRowsAreShaded()
    {
        QList<int> shaded;
        for (int record = 0; record <= 5; ++record) {
            QColor c = Qt::white;
            ShadeGridRow(record, c);
            if (c == QColor(227, 236, 234))
                shaded << record;
        }
        QCOMPARE(shaded, (QList<int>{1, 3, 5}));
    }
};

int main(int argc, char** argv)
{
    NiloApplication app(argc, argv);
    FoundationGui test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_foundation_gui.moc"
