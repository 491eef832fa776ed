// Message dialogs, the input-error path, the event loop's guard and small shell routines.
#include "app/NiloApplication.h"
#include "lib/AppError.h"
#include "lib/Lib.h"

#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

class FoundationGui : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { DialogSeam::setMessageHook({}); }

    // The font dialog's foundry-qualified names are stored as plain family names.
    void fontFamiliesAreStoredPlain()
    {
        QCOMPARE(DialogSeam::PlainFontFamily(QStringLiteral("C059 [UKWN]")), QStringLiteral("C059"));
        QCOMPARE(DialogSeam::PlainFontFamily(QStringLiteral("2  Yekan")), QStringLiteral("2  Yekan"));
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
        QTest::newRow("confirmation") << 4 << u"تـــايـــيـــد"_s << QStringList{u"قبول"_s, u"رد"_s};
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
        child->setObjectName(u"frmChequeInfoUI"_s);
        area.addSubWindow(child);
        QVERIFY(IsChildWindowOpen(&area, u"frmChequeInfoUI"_s));
        QVERIFY(!IsChildWindowOpen(&area, u"frmchequeinfoui"_s));
        QVERIFY(!IsChildWindowOpen(&area, u"frmChequePrintUI"_s));
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
