// The Jalali date picker, its drop-down and the month calendar, driven by keys, clicks and
// the wheel with a pinned "today" (15 Shahrivar 1403) and the default yyyy/mm/dd format.
#include "core/calendar/JalaliFormat.h"
#include "core/calendar/Today.h"
#include "gui/common/NiloApplication.h"
#include "render/Fonts.h"
#include "widgets/JalaliDateEdit.h"
#include "widgets/JalaliMonthView.h"

#include <QClipboard>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

using namespace Qt::StringLiterals;

namespace {

SerialDate J(int y, int m, int d)
{
    return EncodeJalaliDate(quint16(y), quint16(m), quint16(d));
}

// "yyyy/mm/dd" to a date value.
SerialDate D(const QString& text)
{
    return StrToJalaliDate(text);
}

QString S(SerialDate value)
{
    return JalaliDateToStr(value);
}

const SerialDate kToday = J(1403, 6, 15);

void wheel(QWidget* w, int notches, Qt::KeyboardModifiers mods = {}, QPoint at = {})
{
    if (at.isNull())
        at = w->rect().center();
    QWheelEvent event(at, w->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                      mods, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &event);
}

// A right-to-left window like the print window: the picker and one more field to move to.
struct Window
{
    QWidget window;
    JalaliDateDropDown* picker = new JalaliDateDropDown;
    QLineEdit* other = new QLineEdit;
    Window()
    {
        window.setLayoutDirection(Qt::RightToLeft);
        auto* layout = new QHBoxLayout(&window);
        layout->addWidget(picker);
        layout->addWidget(other);
        window.move(100, 100);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        picker->setFocus(Qt::TabFocusReason);
    }
    void leave() { other->setFocus(Qt::TabFocusReason); }
};

} // namespace

class DatePickerTest final : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        RegisterProgramFonts();
        SetJalaliFormatSettings(JalaliFormatSettings{});
    }
    void init()
    {
        SetNowForTests([] { return kToday + 0.4; });
    }
    void cleanupTestCase() { SetNowForTests({}); }

    // ---- the field ---------------------------------------------------------------------

    void newPickerShowsTodayWithItsDefaults()
    {
        JalaliDateDropDown p;
        QCOMPARE(S(p.Date()), u"1403/06/15"_s);
        QCOMPARE(p.activePart(), 2);
        QVERIFY(!p.allowNull() && !p.IsNull() && p.autoMove() && p.AutoSize() && !p.readOnly());
        QCOMPARE(p.autoMoveDirection(), amdDMY);
        QCOMPARE(p.Alignment(), Qt::AlignHCenter);
        QCOMPARE(p.dropDownAlign(), daLeft);
        QVERIFY(p.Checked() && !p.showCheckBox());
        QCOMPARE(p.defaultBoldDays(), dbdNone);
        QCOMPARE(p.calendarOptions(), kDefaultMonthViewOptions);
        QCOMPARE(p.minDate(), 0.0);
        QCOMPARE(p.maxDate(), 0.0);
        QVERIFY(p.focusPolicy() & Qt::TabFocus);
        p.setCalendarOptions(kDefaultMonthViewOptions | mcoMultiSelect | mcoRangeSelect);
        QCOMPARE(p.calendarOptions(), kDefaultMonthViewOptions);
    }

    // The print window's default state: day, then month, then year, one dateChanged per part.
    void typingMovesFromDayToMonthToYear()
    {
        Window w;
        QSignalSpy change(w.picker, &JalaliDateEdit::dateChanged);
        QCOMPARE(w.picker->activePart(), 2);
        QTest::keyClicks(w.picker, u"25"_s);
        QCOMPARE(w.picker->day(), 25);
        QCOMPARE(w.picker->activePart(), 1);
        QCOMPARE(change.size(), 1);
        QTest::keyClicks(w.picker, u"12"_s);
        QCOMPARE(w.picker->month(), 12);
        QCOMPARE(w.picker->activePart(), 0);
        QCOMPARE(change.size(), 2);
        QTest::keyClicks(w.picker, u"1391"_s);
        QCOMPARE(S(w.picker->Date()), u"1391/12/25"_s);
        QCOMPARE(w.picker->activePart(), 0);
        QCOMPARE(change.size(), 3);
        // A part typed to the value it had is no change.
        QTest::keyClicks(w.picker, u"1391"_s);
        QCOMPARE(change.size(), 3);
    }

    void digitTyping_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("part");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("leave");
        QTest::addColumn<QString>("shown"); // y/m/d as shown right after the keys
        QTest::addColumn<bool>("typing");   // the part still waits for a digit
        QTest::addColumn<QString>("date");  // Date() at the end
        QTest::addColumn<int>("changes");
        // Mehr has 30 days.
        QTest::newRow("day 3 waits")
            << "1403/07/15" << 2 << "3" << false << "1403/7/3" << true << "1403/07/15" << 0;
        QTest::newRow("day 3 1 in 30 days")
            << "1403/07/15" << 2 << "31" << false << "1403/7/1" << true << "1403/07/15" << 0;
        QTest::newRow("day 0 7 from 15")
            << "1403/07/15" << 2 << "07" << false << "1403/7/7" << false << "1403/07/07" << 1;
        QTest::newRow("day 3 1 in 31 days")
            << "1403/06/15" << 2 << "31" << false << "1403/6/31" << false << "1403/06/31" << 1;
        QTest::newRow("day 4 at once")
            << "1403/06/15" << 2 << "4" << false << "1403/6/4" << false << "1403/06/04" << 1;
        QTest::newRow("day 1 then leave")
            << "1403/06/15" << 2 << "1" << true << "1403/6/1" << false << "1403/06/01" << 1;
        QTest::newRow("month 1 waits")
            << "1403/06/15" << 1 << "1" << false << "1403/1/15" << true << "1403/06/15" << 0;
        QTest::newRow("month 1 2")
            << "1403/06/15" << 1 << "12" << false << "1403/12/15" << false << "1403/12/15" << 1;
        QTest::newRow("month 1 3 starts over")
            << "1403/06/15" << 1 << "13" << false << "1403/3/15" << false << "1403/03/15" << 1;
        QTest::newRow("month 0 1 from Shahrivar")
            << "1403/06/15" << 1 << "01" << false << "1403/1/15" << false << "1403/01/15" << 1;
        QTest::newRow("month 5 at once")
            << "1403/06/15" << 1 << "5" << false << "1403/5/15" << false << "1403/05/15" << 1;
        QTest::newRow("month cuts the day")
            << "1403/06/31" << 1 << "7" << false << "1403/7/30" << false << "1403/07/30" << 1;
        QTest::newRow("year 91 and leave")
            << "1403/06/15" << 0 << "91" << true << "1391/6/15" << false << "1391/06/15" << 1;
        QTest::newRow("year 30 and leave")
            << "1403/06/15" << 0 << "30" << true << "1430/6/15" << false << "1430/06/15" << 1;
        QTest::newRow("year 139 taken back")
            << "1403/06/15" << 0 << "139" << true << "1403/6/15" << false << "1403/06/15" << 0;
        QTest::newRow("year 1391")
            << "1403/06/15" << 0 << "1391" << false << "1391/6/15" << false << "1391/06/15" << 1;
        QTest::newRow("year cuts 30 Esfand")
            << "1403/12/30" << 0 << "1404" << false << "1404/12/29" << false << "1404/12/29" << 1;
        QTest::newRow("Persian digits")
            << "1403/06/15" << 2 << u"۲۵"_s << false << "1403/6/25" << false << "1403/06/25" << 1;
    }
    void digitTyping()
    {
        QFETCH(QString, start);
        QFETCH(int, part);
        QFETCH(QString, keys);
        QFETCH(bool, leave);
        QFETCH(QString, shown);
        QFETCH(bool, typing);
        QFETCH(QString, date);
        QFETCH(int, changes);
        Window w;
        w.picker->setDate(D(start));
        w.picker->setActivePart(part);
        QSignalSpy change(w.picker, &JalaliDateEdit::dateChanged);
        for (QChar c : keys) {
            if (c.unicode() < 128)
                QTest::keyClick(w.picker, c.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, w.picker, Qt::Key(c.unicode()), QString(c),
                                    Qt::NoModifier);
        }
        if (!leave) {
            QCOMPARE(
                u"%1/%2/%3"_s.arg(w.picker->year()).arg(w.picker->month()).arg(w.picker->day()),
                shown);
            QCOMPARE(w.picker->isTyping(), typing);
        } else {
            w.leave();
            QCOMPARE(
                u"%1/%2/%3"_s.arg(w.picker->year()).arg(w.picker->month()).arg(w.picker->day()),
                shown);
        }
        // While typing, Date is still the date from before.
        QCOMPARE(S(w.picker->Date()), date);
        QCOMPARE(change.size(), changes);
    }

    void keys_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("part");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("mods");
        QTest::addColumn<QString>("expected");
        const int none = 0, ctrl = Qt::ControlModifier, pad = Qt::KeypadModifier;
        QTest::newRow("up day 30 of 31")
            << "1403/06/30" << 2 << int(Qt::Key_Up) << none << "1403/06/31";
        QTest::newRow("up day 31 wraps")
            << "1403/06/31" << 2 << int(Qt::Key_Up) << none << "1403/06/01";
        QTest::newRow("down day 1 wraps")
            << "1403/07/01" << 2 << int(Qt::Key_Down) << none << "1403/07/30";
        QTest::newRow("up month 12 wraps")
            << "1403/12/10" << 1 << int(Qt::Key_Up) << none << "1403/01/10";
        QTest::newRow("down month cuts day")
            << "1403/01/31" << 1 << int(Qt::Key_Down) << none << "1403/12/30";
        QTest::newRow("down year 1200 wraps")
            << "1200/05/05" << 0 << int(Qt::Key_Down) << none << "9999/05/05";
        QTest::newRow("up year 9999 wraps")
            << "9999/05/05" << 0 << int(Qt::Key_Up) << none << "1200/05/05";
        QTest::newRow("up year on 30 Esfand")
            << "1403/12/30" << 0 << int(Qt::Key_Up) << none << "1404/12/29";
        QTest::newRow("keypad plus")
            << "1403/06/15" << 1 << int(Qt::Key_Plus) << pad << "1403/07/15";
        QTest::newRow("keypad minus")
            << "1403/06/15" << 2 << int(Qt::Key_Minus) << pad << "1403/06/14";
        QTest::newRow("page up over month end")
            << "1403/06/31" << 2 << int(Qt::Key_PageUp) << none << "1403/07/01";
        QTest::newRow("page down")
            << "1403/07/01" << 0 << int(Qt::Key_PageDown) << none << "1403/06/31";
        QTest::newRow("ctrl page up")
            << "1403/06/28" << 2 << int(Qt::Key_PageUp) << ctrl << "1403/07/04";
        QTest::newRow("ctrl page down")
            << "1403/07/04" << 2 << int(Qt::Key_PageDown) << ctrl << "1403/06/28";
        QTest::newRow("home year")
            << "1403/06/15" << 0 << int(Qt::Key_Home) << none << "1353/06/15";
        QTest::newRow("end year") << "1403/06/15" << 0 << int(Qt::Key_End) << none << "1452/06/15";
        QTest::newRow("home month")
            << "1403/06/15" << 1 << int(Qt::Key_Home) << none << "1403/01/15";
        QTest::newRow("end month cuts")
            << "1402/06/31" << 1 << int(Qt::Key_End) << none << "1402/12/29";
        QTest::newRow("end day") << "1403/07/02" << 2 << int(Qt::Key_End) << none << "1403/07/30";
        QTest::newRow("ctrl home")
            << "1403/06/15" << 0 << int(Qt::Key_Home) << ctrl << "1403/01/01";
        QTest::newRow("ctrl end leap")
            << "1403/06/15" << 2 << int(Qt::Key_End) << ctrl << "1403/12/30";
        QTest::newRow("ctrl space")
            << "1391/01/02" << 2 << int(Qt::Key_Space) << ctrl << "1403/06/15";
        QTest::newRow("keypad star")
            << "1391/01/02" << 2 << int(Qt::Key_Asterisk) << pad << "1403/06/15";
    }
    void keys()
    {
        QFETCH(QString, start);
        QFETCH(int, part);
        QFETCH(int, key);
        QFETCH(int, mods);
        QFETCH(QString, expected);
        Window w;
        w.picker->setDate(D(start));
        w.picker->setActivePart(part);
        QSignalSpy change(w.picker, &JalaliDateEdit::dateChanged);
        QTest::keyClick(w.picker, Qt::Key(key), Qt::KeyboardModifiers(mods));
        QCOMPARE(S(w.picker->Date()), expected);
        QCOMPARE(change.size(), expected == start ? 0 : 1);
    }

    void leftAndRightWrapTheActivePartWithoutChange()
    {
        Window w;
        QSignalSpy change(w.picker, &JalaliDateEdit::dateChanged);
        QList<int> seen;
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(w.picker, Qt::Key_Left);
            seen << w.picker->activePart();
        }
        QTest::keyClick(w.picker, Qt::Key_Right);
        seen << w.picker->activePart();
        QCOMPARE(seen, (QList<int>{1, 0, 2, 0}));
        QCOMPARE(change.size(), 0);
        // A non-digit key ends a digit entry first.
        w.picker->setActivePart(2);
        QTest::keyClick(w.picker, '1');
        QVERIFY(w.picker->isTyping());
        QTest::keyClick(w.picker, Qt::Key_Left);
        QVERIFY(!w.picker->isTyping());
        QCOMPARE(S(w.picker->Date()), u"1403/06/01"_s);
    }

    void readOnlyTakesOnlyMovesAndCopy()
    {
        Window w;
        w.picker->setReadOnly(true);
        QSignalSpy change(w.picker, &JalaliDateEdit::dateChanged);
        QTest::keyClicks(w.picker, u"12"_s);
        QTest::keyClick(w.picker, Qt::Key_Up);
        ::wheel(w.picker, 1);
        QTest::keyClick(w.picker, Qt::Key_Left);
        QCOMPARE(w.picker->activePart(), 1);
        QTest::keyClick(w.picker, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"1403/06/15"_s);
        QCOMPARE(S(w.picker->Date()), u"1403/06/15"_s);
        QCOMPARE(change.size(), 0);
    }

    void limits()
    {
        Window w;
        JalaliDateDropDown* p = w.picker;
        p->setDate(J(1391, 7, 15));
        QSignalSpy change(p, &JalaliDateEdit::dateChanged);
        p->setMaxDate(J(1391, 7, 15) + 0.75);
        QCOMPARE(p->maxDate(), J(1391, 7, 15));
        QTest::keyClick(p, Qt::Key_Up);
        QCOMPARE(S(p->Date()), u"1391/07/15"_s);
        QCOMPARE(change.size(), 0);
        QTest::keyClick(p, Qt::Key_Down);
        QCOMPARE(S(p->Date()), u"1391/07/14"_s);
        QCOMPARE(change.size(), 1);

        // A typed date beyond the limit is taken back.
        p->setActivePart(1);
        QTest::keyClicks(p, u"9"_s);
        QCOMPARE(S(p->Date()), u"1391/07/14"_s);
        QCOMPARE(p->month(), 7);
        QCOMPARE(change.size(), 1);

        auto message = [](auto&& f) {
            try {
                f();
            } catch (const DateTimeError& e) {
                return e.message();
            }
            return QString();
        };
        QCOMPARE(message([&] { p->setDate(J(1391, 7, 16)); }),
                 u"Date exceeds maximum of 1391/07/15"_s);
        p->setMinDate(J(1391, 7, 1));
        QCOMPARE(message([&] { p->setDate(J(1391, 6, 31)); }),
                 u"Date is less than minimum of 1391/07/01"_s);
        QCOMPARE(message([&] { p->setMaxDate(J(1391, 6, 1)); }),
                 u"Date is less than minimum of 1391/07/01"_s);
        QCOMPARE(message([&] { p->setMinDate(J(1392, 1, 1)); }),
                 u"Date exceeds maximum of 1391/07/15"_s);
        QCOMPARE(p->minDate(), J(1391, 7, 1));
        QCOMPARE(p->maxDate(), J(1391, 7, 15));
        QCOMPARE(S(p->Date()), u"1391/07/14"_s);

        // A new limit pulls the date in and says so.
        p->setMaxDate(J(1391, 7, 10));
        QCOMPARE(S(p->Date()), u"1391/07/10"_s);
        QCOMPARE(change.size(), 2);
        // Stepping past the minimum stops at it; today outside the limits is clamped.
        p->setDate(J(1391, 7, 1));
        QTest::keyClick(p, Qt::Key_PageDown);
        QCOMPARE(S(p->Date()), u"1391/07/01"_s);
        QTest::keyClick(p, Qt::Key_Space, Qt::ControlModifier);
        QCOMPARE(S(p->Date()), u"1391/07/10"_s);
    }

    void clipboard()
    {
        Window w;
        JalaliDateDropDown* p = w.picker;
        p->setDate(J(1391, 1, 2));
        QSignalSpy change(p, &JalaliDateEdit::dateChanged);
        QTest::keyClick(p, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"1391/01/02"_s);

        for (const QString& junk : {u"hello"_s, u"1391/13/01"_s, QString()}) {
            QGuiApplication::clipboard()->setText(junk);
            QTest::keyClick(p, Qt::Key_V, Qt::ControlModifier);
        }
        QCOMPARE(S(p->Date()), u"1391/01/02"_s);
        QCOMPARE(change.size(), 0);

        QGuiApplication::clipboard()->setText(u" 1392/5/6 "_s);
        QTest::keyClick(p, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(S(p->Date()), u"1392/05/06"_s);
        QCOMPARE(change.size(), 1);

        p->setMaxDate(J(1392, 12, 29));
        QGuiApplication::clipboard()->setText(u"1393/01/01"_s);
        QTest::keyClick(p, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(S(p->Date()), u"1392/05/06"_s);
        QCOMPARE(change.size(), 1);

        // Cut copies; it blanks only with AllowNull.
        QTest::keyClick(p, Qt::Key_X, Qt::ControlModifier);
        QVERIFY(!p->IsNull());
        p->setAllowNull(true);
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(p, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"1392/05/06"_s);
        QVERIFY(p->IsNull());
        QCOMPARE(change.size(), 2);
        // Pasting the date behind the blank ends the blank and says so.
        QGuiApplication::clipboard()->setText(u"1392/05/06"_s);
        QTest::keyClick(p, Qt::Key_V, Qt::ControlModifier);
        QVERIFY(!p->IsNull());
        QCOMPARE(change.size(), 3);
    }

    void nullDate()
    {
        Window w;
        JalaliDateDropDown* p = w.picker;
        QSignalSpy change(p, &JalaliDateEdit::dateChanged);
        QTest::keyClick(p, Qt::Key_Delete);
        QVERIFY(!p->IsNull());
        p->setAllowNull(true);
        QTest::keyClick(p, Qt::Key_Delete);
        QVERIFY(p->IsNull());
        QCOMPARE(change.size(), 1);
        QTest::keyClick(p, Qt::Key_Delete);
        QCOMPARE(change.size(), 1);
        // The date behind the blank is kept, and today on it still reports the change.
        QCOMPARE(S(p->Date()), u"1403/06/15"_s);
        QTest::keyClick(p, Qt::Key_Space, Qt::ControlModifier);
        QVERIFY(!p->IsNull());
        QCOMPARE(change.size(), 2);
        // Any date change ends the blank.
        QTest::keyClick(p, Qt::Key_Delete);
        QTest::keyClick(p, Qt::Key_Up);
        QVERIFY(!p->IsNull());
        QCOMPARE(change.size(), 4);
    }

    void mouseOnTheField()
    {
        Window w;
        JalaliDateDropDown* p = w.picker;
        // Boxes run year, month, day from left to right even in right-to-left mode.
        QVERIFY(p->isRightToLeft());
        QVERIFY(p->partRect(0).right() < p->partRect(1).left());
        QVERIFY(p->partRect(1).right() < p->partRect(2).left());
        QVERIFY(p->textBand().contains(p->partRect(0)));
        QTest::mouseClick(p, Qt::LeftButton, {}, p->partRect(0).center());
        QCOMPARE(p->activePart(), 0);
        QTest::mouseClick(p, Qt::LeftButton, {}, p->partRect(1).center());
        QCOMPARE(p->activePart(), 1);
        // The box edge is not inside the box.
        QTest::mouseClick(p, Qt::LeftButton, {},
                          QPoint(p->partRect(0).left(), p->partRect(0).center().y()));
        QCOMPARE(p->activePart(), 1);

        // A click ends a digit entry.
        p->setActivePart(2);
        QTest::keyClick(p, '2');
        QTest::mouseClick(p, Qt::LeftButton, {}, p->partRect(2).center());
        QVERIFY(!p->isTyping());
        QCOMPARE(S(p->Date()), u"1403/06/02"_s);

        QSignalSpy change(p, &JalaliDateEdit::dateChanged);
        QTest::mouseClick(p, Qt::MiddleButton, {}, p->partRect(1).center());
        QCOMPARE(S(p->Date()), u"1403/06/15"_s);
        QCOMPARE(change.size(), 1);
    }

    void wheelSteps_data()
    {
        QTest::addColumn<int>("part");
        QTest::addColumn<int>("notches");
        QTest::addColumn<int>("mods");
        QTest::addColumn<QString>("expected");
        QTest::newRow("day up") << 2 << 1 << 0 << "1403/06/16";
        QTest::newRow("month down") << 1 << -1 << 0 << "1403/05/15";
        QTest::newRow("year up twice") << 0 << 2 << 0 << "1405/06/15";
        QTest::newRow("ctrl: a week") << 1 << 1 << int(Qt::ControlModifier) << "1403/06/22";
        QTest::newRow("shift: a day back") << 0 << -1 << int(Qt::ShiftModifier) << "1403/06/14";
    }
    void wheelSteps()
    {
        QFETCH(int, part);
        QFETCH(int, notches);
        QFETCH(int, mods);
        QFETCH(QString, expected);
        Window w;
        w.picker->setActivePart(part);
        QSignalSpy change(w.picker, &JalaliDateEdit::dateChanged);
        ::wheel(w.picker, notches, Qt::KeyboardModifiers(mods));
        QCOMPARE(S(w.picker->Date()), expected);
        QCOMPARE(change.size(), 1);
    }

    void autoMoveYearMonthDay()
    {
        Window w;
        w.picker->setAutoMoveDirection(amdYMD);
        w.leave();
        w.picker->setFocus(Qt::TabFocusReason);
        QCOMPARE(w.picker->activePart(), 0);
        QTest::keyClicks(w.picker, u"13910102"_s);
        QCOMPARE(S(w.picker->Date()), u"1391/01/02"_s);
        QCOMPARE(w.picker->activePart(), 2);
        // Without AutoMove the part stays where it is.
        w.picker->setAutoMove(false);
        w.picker->setActivePart(1);
        QTest::keyClick(w.picker, '5');
        QCOMPARE(w.picker->activePart(), 1);
        QCOMPARE(S(w.picker->Date()), u"1391/05/02"_s);
    }

    void checkBox()
    {
        Window w;
        JalaliDateDropDown* p = w.picker;
        p->setShowCheckBox(true);
        QSignalSpy change(p, &JalaliDateEdit::dateChanged);
        QTest::keyClick(p, Qt::Key_Space);
        QVERIFY(!p->Checked());
        QCOMPARE(change.size(), 1);
        // Unchecked, the field ignores editing.
        QTest::keyClicks(p, u"25"_s);
        QTest::keyClick(p, Qt::Key_Up);
        QCOMPARE(S(p->Date()), u"1403/06/15"_s);
        QTest::mouseClick(p, Qt::LeftButton, {}, p->checkBoxRect().center());
        QVERIFY(p->Checked());
        QCOMPARE(change.size(), 2);
        // The check box sits at the start edge: the right one in right-to-left mode.
        QVERIFY(p->checkBoxRect().left() > p->buttonRect().right());
        QVERIFY(p->checkBoxRect().left() > p->textBand().right());
    }

    void fontDrivesTheSize()
    {
        JalaliDateEdit p;
        const int h = p.height();
        QFont big = p.font();
        big.setPointSize(big.pointSize() * 2);
        p.setFont(big);
        QVERIFY(p.height() > h);
        QCOMPARE(p.height(), p.sizeHint().height());
        QVERIFY(p.sizeHint().width() >= p.textBand().width());
    }

    // ---- the drop-down -------------------------------------------------------------------

    void dropDownOpensBelowWithTheFieldsSettings()
    {
        Window w;
        w.window.move(350, 100); // room on the left for the calendar
        QTest::qWait(10);
        JalaliDateDropDown* p = w.picker;
        p->setDate(J(1391, 1, 2));
        p->setMinDate(J(1390, 1, 1));
        p->setDefaultBoldDays(dbdFridays);
        p->setCalendarOptions(kDefaultMonthViewOptions | mcoWeekNumbers);
        QSignalSpy dropped(p, &JalaliDateDropDown::dropDownShown);
        QTest::keyClick(p, Qt::Key_Down, Qt::AltModifier);
        QVERIFY(p->droppedDown());
        QCOMPARE(dropped.size(), 1);
        DropDownMonthView* pop = p->dropDownWindow();
        QVERIFY(pop->isVisible());
        QCOMPARE(pop->windowType(), Qt::Popup);
        JalaliMonthView* cal = p->calendar();
        QCOMPARE(S(cal->Date()), u"1391/01/02"_s);
        QCOMPARE(cal->minDate(), J(1390, 1, 1));
        QCOMPARE(cal->defaultBoldDays(), dbdFridays);
        QVERIFY(cal->calendarOptions() & mcoWeekNumbers);
        QVERIFY(cal->isRightToLeft());
        QCOMPARE(cal->font(), p->font());
        // Below the field; daLeft in right-to-left mode lines up the right edges.
        const QRect field(p->mapToGlobal(QPoint(0, 0)), p->size());
        QCOMPARE(pop->geometry().top(), field.bottom() + 1);
        QCOMPARE(pop->geometry().right(), field.right());
        // Alt+Up closes taking the date.
        QTest::keyClick(p, Qt::Key_Up, Qt::AltModifier);
        QVERIFY(!p->droppedDown());
        QVERIFY(!pop->isVisible());
    }

    void dropDownAlign_data()
    {
        QTest::addColumn<bool>("rtl");
        QTest::addColumn<int>("align");
        QTest::addColumn<QString>("edge");
        QTest::newRow("ltr left") << false << int(daLeft) << "left";
        QTest::newRow("ltr right") << false << int(daRight) << "right";
        QTest::newRow("rtl left is right") << true << int(daLeft) << "right";
        QTest::newRow("rtl right is left") << true << int(daRight) << "left";
        QTest::newRow("centre") << true << int(daCenter) << "centre";
    }
    void dropDownAlign()
    {
        QFETCH(bool, rtl);
        QFETCH(int, align);
        QFETCH(QString, edge);
        Window w;
        w.window.setLayoutDirection(rtl ? Qt::RightToLeft : Qt::LeftToRight);
        w.window.layout()->activate(); // the field changes sides now, not at the next event
        JalaliDateDropDown* p = w.picker;
        p->setDropDownAlign(DropDownAlign(align));
        // Measure the calendar first, then put the field where the aligned calendar stands in
        // the middle of the screen: no screen edge may push it, whatever the fonts make its
        // width.
        p->dropDown();
        const QSize popSize = p->dropDownWindow()->size();
        p->closeUp(false);
        const QRect screen = w.window.screen()->availableGeometry();
        QVERIFY2(popSize.width() < screen.width(), "the calendar is wider than the screen");
        const int popLeft = screen.center().x() - popSize.width() / 2;
        int fieldLeft = popLeft; // edge "left"
        if (edge == u"right")
            fieldLeft = popLeft + popSize.width() - p->width();
        else if (edge == u"centre")
            fieldLeft = popLeft + (popSize.width() - p->width()) / 2;
        w.window.move(w.window.pos() + QPoint(fieldLeft - p->mapToGlobal(QPoint(0, 0)).x(), 0));
        QTest::qWait(10);
        QCOMPARE(p->mapToGlobal(QPoint(0, 0)).x(), fieldLeft);
        p->dropDown();
        const QRect field(p->mapToGlobal(QPoint(0, 0)), p->size());
        const QRect pop = p->dropDownWindow()->geometry();
        if (edge == u"left")
            QCOMPARE(pop.left(), field.left());
        else if (edge == u"right")
            QCOMPARE(pop.right(), field.right());
        else
            QVERIFY(qAbs(pop.center().x() - field.center().x()) <= 1);
        p->closeUp(false);
    }

    void dropDownFlipsAboveAtTheScreenBottom()
    {
        Window w;
        const QRect screen = w.window.screen()->availableGeometry();
        w.window.move(screen.right() - w.window.width() - 5,
                      screen.bottom() - w.window.frameGeometry().height() - 2);
        QTest::qWait(10);
        w.picker->dropDown();
        const QRect field(w.picker->mapToGlobal(QPoint(0, 0)), w.picker->size());
        const QRect pop = w.picker->dropDownWindow()->geometry();
        QCOMPARE(pop.bottom(), field.top() - 1);
        QVERIFY(pop.right() <= screen.right());
        QVERIFY(pop.left() >= screen.left());
        w.picker->closeUp(false);
    }

    void dropDownKeys_data()
    {
        QTest::addColumn<QList<int>>("moves");
        QTest::addColumn<int>("closeKey");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("changes");
        // Right to left: Left is the next day.
        QTest::newRow("esc keeps")
            << QList<int>{Qt::Key_Left, Qt::Key_Down} << int(Qt::Key_Escape) << "1403/06/15" << 0;
        QTest::newRow("enter takes")
            << QList<int>{Qt::Key_Left, Qt::Key_Down} << int(Qt::Key_Return) << "1403/06/23" << 1;
        QTest::newRow("page down, keypad enter")
            << QList<int>{Qt::Key_PageDown} << int(Qt::Key_Enter) << "1403/07/15" << 1;
        QTest::newRow("no move") << QList<int>{} << int(Qt::Key_Return) << "1403/06/15" << 0;
    }
    void dropDownKeys()
    {
        QFETCH(QList<int>, moves);
        QFETCH(int, closeKey);
        QFETCH(QString, expected);
        QFETCH(int, changes);
        Window w;
        JalaliDateDropDown* p = w.picker;
        QSignalSpy change(p, &JalaliDateEdit::dateChanged);
        QSignalSpy closed(p, &JalaliDateDropDown::dropDownClosed);
        p->dropDown();
        for (int key : moves)
            QTest::keyClick(p, Qt::Key(key));
        // Keyboard moves never close it, and the field keeps its date meanwhile.
        QVERIFY(p->droppedDown());
        QCOMPARE(S(p->Date()), u"1403/06/15"_s);
        QTest::keyClick(p, Qt::Key(closeKey));
        QVERIFY(!p->droppedDown());
        QCOMPARE(S(p->Date()), expected);
        QCOMPARE(change.size(), changes);
        QCOMPARE(closed.size(), 1);
    }

    void dropDownClicks()
    {
        Window w;
        JalaliDateDropDown* p = w.picker;
        QSignalSpy change(p, &JalaliDateEdit::dateChanged);
        // A click on the button opens; a click on the field closes without taking.
        QTest::mouseClick(p, Qt::LeftButton, {}, p->buttonRect().center());
        QVERIFY(p->droppedDown());
        QVERIFY(p->buttonRect().left() < p->textBand().left());
        JalaliMonthView* cal = p->calendar();
        QTest::keyClick(p, Qt::Key_Left);
        QTest::mouseClick(p, Qt::LeftButton, {}, p->partRect(0).center());
        QVERIFY(!p->droppedDown());
        QCOMPARE(change.size(), 0);

        // Clicking a day closes and shows that day.
        p->dropDown();
        const int index = int(J(1403, 6, 20) - cal->firstCellDate());
        QTest::mouseClick(cal, Qt::LeftButton, {}, cal->cellRect(index).center());
        QVERIFY(!p->droppedDown());
        QCOMPARE(S(p->Date()), u"1403/06/20"_s);
        QCOMPARE(change.size(), 1);
        QVERIFY(p->hasFocus());

        // The today line too; the wheel while open moves the calendar's month. (Qt drops wheel
        // events meant for other windows while a pop-up is open, so it turns over the pop-up.)
        p->dropDown();
        ::wheel(p->dropDownWindow(), -1);
        QCOMPARE(cal->shownMonth(), 7);
        QVERIFY(p->droppedDown());
        QTest::mouseClick(cal, Qt::LeftButton, {}, cal->todayLineRect().center());
        QVERIFY(!p->droppedDown());
        QCOMPARE(S(p->Date()), u"1403/06/15"_s);
        QCOMPARE(change.size(), 2);

        // Losing the focus closes it without taking.
        p->dropDown();
        QTest::keyClick(p, Qt::Key_PageDown);
        w.leave();
        QVERIFY(!p->droppedDown());
        QCOMPARE(S(p->Date()), u"1403/06/15"_s);
    }

    // While the year editor is up, Enter and Esc are the editor's.
    void yearEditorInTheDropDown()
    {
        Window w;
        JalaliDateDropDown* p = w.picker;
        p->dropDown();
        JalaliMonthView* cal = p->calendar();
        QTest::mouseClick(cal, Qt::LeftButton, {}, cal->yearRect().center());
        QVERIFY(cal->yearEditor()->isVisible());
        QTest::keyClick(p, Qt::Key_Up);
        QTest::keyClick(p, Qt::Key_Return);
        QVERIFY(p->droppedDown());
        QVERIFY(!cal->yearEditor()->isVisible());
        QCOMPARE(S(cal->Date()), u"1404/06/15"_s);
        QTest::mouseClick(cal, Qt::LeftButton, {}, cal->yearRect().center());
        QTest::keyClick(p, Qt::Key_Up);
        QTest::keyClick(p, Qt::Key_Escape);
        QVERIFY(p->droppedDown());
        QCOMPARE(S(cal->Date()), u"1404/06/15"_s);
        QTest::keyClick(p, Qt::Key_Return);
        QVERIFY(!p->droppedDown());
        QCOMPARE(S(p->Date()), u"1404/06/15"_s);
        // Closing with the editor up does not leave it there for the next opening.
        p->dropDown();
        QTest::mouseClick(cal, Qt::LeftButton, {}, cal->yearRect().center());
        p->closeUp(false);
        p->dropDown();
        QVERIFY(!cal->yearEditor()->isVisible());
        p->closeUp(false);
    }

    // Keys as the keyboard delivers them: to the focused window, which hands them to the open
    // pop-up's focus widget. After the year editor has been used, the calendar must still hear
    // Left, Esc and Enter, in this and every later opening.
    void dropDownHearsKeysAfterTheYearEditor()
    {
        Window w;
        JalaliDateDropDown* p = w.picker;
        JalaliMonthView* cal = p->calendar();
        const auto press = [&](Qt::Key key) {
            QWindow* target = QGuiApplication::focusWindow();
            QTest::keyClick(target ? target : w.window.windowHandle(), key);
        };
        QTest::mouseClick(p, Qt::LeftButton, {}, p->buttonRect().center());
        QVERIFY(p->droppedDown());
        QTest::mouseClick(cal, Qt::LeftButton, {}, cal->yearRect().center());
        QVERIFY(cal->yearEditor()->isVisible());
        press(Qt::Key_Up);
        press(Qt::Key_Return);
        QVERIFY(!cal->yearEditor()->isVisible());
        QVERIFY(p->droppedDown());
        QCOMPARE(S(cal->Date()), u"1404/06/15"_s);
        // Right to left: Left is the next day.
        press(Qt::Key_Left);
        QCOMPARE(S(cal->Date()), u"1404/06/16"_s);
        press(Qt::Key_Escape);
        QVERIFY(!p->droppedDown());
        QCOMPARE(S(p->Date()), u"1403/06/15"_s);
        QVERIFY(p->hasFocus());

        // The next opening hears them as well; Enter takes the date.
        QTest::mouseClick(p, Qt::LeftButton, {}, p->buttonRect().center());
        QVERIFY(p->droppedDown());
        press(Qt::Key_Left);
        QCOMPARE(S(cal->Date()), u"1403/06/16"_s);
        press(Qt::Key_Return);
        QVERIFY(!p->droppedDown());
        QCOMPARE(S(p->Date()), u"1403/06/16"_s);

        // Escape in the editor drops the year and leaves the keys with the calendar too.
        QTest::mouseClick(p, Qt::LeftButton, {}, p->buttonRect().center());
        QTest::mouseClick(cal, Qt::LeftButton, {}, cal->yearRect().center());
        press(Qt::Key_Down);
        press(Qt::Key_Escape);
        QVERIFY(p->droppedDown());
        QCOMPARE(S(cal->Date()), u"1403/06/16"_s);
        press(Qt::Key_Left);
        press(Qt::Key_Return);
        QVERIFY(!p->droppedDown());
        QCOMPARE(S(p->Date()), u"1403/06/17"_s);
        // Keys typed into the field after closing reach the field.
        press(Qt::Key_Up);
        QCOMPARE(S(p->Date()), u"1403/06/18"_s);
    }

    void openingEndsTheBlankAndChecks()
    {
        Window w;
        JalaliDateDropDown* p = w.picker;
        p->setAllowNull(true);
        p->setShowCheckBox(true);
        p->setChecked(false);
        p->setIsNull(true);
        QSignalSpy change(p, &JalaliDateEdit::dateChanged);
        p->dropDown();
        QVERIFY(p->Checked());
        QVERIFY(!p->IsNull());
        QCOMPARE(change.size(), 1);
        p->closeUp(false);
        // Read-only never opens.
        p->setReadOnly(true);
        QTest::keyClick(p, Qt::Key_Down, Qt::AltModifier);
        QVERIFY(!p->droppedDown());
    }

    void monthInfoComesFromThePicker()
    {
        Window w;
        JalaliDateDropDown* p = w.picker;
        p->setDate(J(1391, 1, 2));
        QList<int> asked;
        connect(p, &JalaliDateDropDown::onGetMonthInfo, p,
                [&](quint16 year, quint16 month, quint32& mask) {
                    asked << year * 100 + month;
                    mask |= 1u << 12; // day 13
                });
        p->setDefaultBoldDays(dbdFridays);
        p->dropDown();
        QCOMPARE(asked, (QList<int>{139101}));
        // Fridays of Farvardin 1391 (1st is a Tuesday): 4, 11, 18, 25; plus the owner's 13.
        const quint32 fridays = (1u << 3) | (1u << 10) | (1u << 17) | (1u << 24);
        QCOMPARE(p->calendar()->MonthBoldDays(), fridays | (1u << 12));
        QTest::keyClick(p, Qt::Key_PageDown);
        QCOMPARE(asked, (QList<int>{139101, 139102}));
        p->closeUp(false);
    }

    // ---- the month calendar ----------------------------------------------------------------

    void firstCellIsTheSaturdayBefore()
    {
        JalaliMonthView cal;
        cal.setDate(J(1391, 1, 10));
        QCOMPARE(S(cal.firstCellDate()), u"1390/12/27"_s);
        QCOMPARE(JalaliDayOfWeek(cal.firstCellDate()), 1);
        QCOMPARE(S(cal.cellDate(41)), u"1391/02/08"_s);
        // A month whose 1st is a Saturday starts a week later.
        SerialDate first = J(1391, 1, 1);
        while (JalaliDayOfWeek(first) != 1)
            first = IncJalaliMonth(first, 1);
        cal.setDate(first);
        QCOMPARE(cal.firstCellDate(), first - 7);
    }

    void rightToLeftMirrorsPaintingAndHits_data()
    {
        QTest::addColumn<bool>("rtl");
        QTest::addColumn<bool>("weeks");
        QTest::newRow("rtl") << true << false;
        QTest::newRow("rtl weeks") << true << true;
        QTest::newRow("ltr weeks") << false << true;
    }
    void rightToLeftMirrorsPaintingAndHits()
    {
        QFETCH(bool, rtl);
        QFETCH(bool, weeks);
        JalaliMonthView cal;
        cal.setLayoutDirection(rtl ? Qt::RightToLeft : Qt::LeftToRight);
        cal.setCalendarOptions(weeks ? kDefaultMonthViewOptions | mcoWeekNumbers
                                     : kDefaultMonthViewOptions);
        cal.setDate(J(1391, 1, 10));
        QCOMPARE(cal.columnCount(), weeks ? 8 : 7);
        QCOMPARE(cal.rowCount(), 10);
        // Saturday is the rightmost day column in right-to-left mode, the week column before it.
        const QRect sat = cal.cellRect(0), fri = cal.cellRect(6);
        QCOMPARE(sat.left() > fri.left(), rtl);
        if (weeks) {
            const QRect week = cal.weekNumberRect(0);
            QCOMPARE(week.left() > sat.left(), rtl);
            QCOMPARE(cal.hitTest(week.center()).part, JalaliMonthView::Part::WeekNumber);
            QCOMPARE(cal.hitTest(cal.cornerRect().center()).part, JalaliMonthView::Part::Nothing);
        }
        for (int i : {0, 6, 17, 41}) {
            const auto hit = cal.hitTest(cal.cellRect(i).center());
            QCOMPARE(hit.part, JalaliMonthView::Part::Day);
            QCOMPARE(hit.cell, i);
        }
        QTest::mouseClick(&cal, Qt::LeftButton, {}, cal.cellRect(17).center());
        QCOMPARE(cal.Date(), cal.cellDate(17));
        // Week cells and weekday names cannot be chosen.
        const SerialDate before = cal.Date();
        if (weeks)
            QTest::mouseClick(&cal, Qt::LeftButton, {}, cal.weekNumberRect(2).center());
        QTest::mouseClick(&cal, Qt::LeftButton, {}, cal.dayNameRect(3).center());
        QCOMPARE(cal.Date(), before);
        // Month buttons: in right-to-left mode the left one goes forward.
        QTest::mouseClick(&cal, Qt::LeftButton, {}, cal.leftButtonRect().center());
        QCOMPARE(cal.shownMonth(), rtl ? 2 : 12);
        QCOMPARE(S(cal.Date()), rtl ? u"1391/02/15"_s : u"1390/12/15"_s);
        QTest::mouseClick(&cal, Qt::LeftButton, {}, cal.rightButtonRect().center());
        QCOMPARE(S(cal.Date()), u"1391/01/15"_s);
    }

    void calendarKeys_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<bool>("rtl");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("mods");
        QTest::addColumn<QString>("expected");
        const int ctrl = Qt::ControlModifier;
        QTest::newRow("rtl left is next")
            << "1391/01/31" << true << int(Qt::Key_Left) << 0 << "1391/02/01";
        QTest::newRow("rtl right is previous")
            << "1391/01/01" << true << int(Qt::Key_Right) << 0 << "1390/12/29";
        QTest::newRow("ltr right is next")
            << "1391/01/10" << false << int(Qt::Key_Right) << 0 << "1391/01/11";
        QTest::newRow("up a week") << "1391/01/20" << true << int(Qt::Key_Up) << 0 << "1391/01/13";
        QTest::newRow("up from first row")
            << "1391/01/02" << true << int(Qt::Key_Up) << 0 << "1391/01/02";
        QTest::newRow("down a week")
            << "1391/01/20" << true << int(Qt::Key_Down) << 0 << "1391/01/27";
        QTest::newRow("down into next month")
            << "1391/01/30" << true << int(Qt::Key_Down) << 0 << "1391/02/06";
        QTest::newRow("page down cuts")
            << "1391/06/31" << true << int(Qt::Key_PageDown) << 0 << "1391/07/30";
        QTest::newRow("page up") << "1391/06/31" << true << int(Qt::Key_PageUp) << 0
                                 << "1391/05/31";
        QTest::newRow("ctrl page up")
            << "1391/12/30" << true << int(Qt::Key_PageUp) << ctrl << "1390/12/29";
        QTest::newRow("ctrl page down")
            << "1391/03/03" << true << int(Qt::Key_PageDown) << ctrl << "1392/03/03";
        QTest::newRow("home") << "1391/07/20" << true << int(Qt::Key_Home) << 0 << "1391/07/01";
        QTest::newRow("end") << "1391/07/20" << true << int(Qt::Key_End) << 0 << "1391/07/30";
        QTest::newRow("ctrl home")
            << "1391/07/20" << true << int(Qt::Key_Home) << ctrl << "1391/01/01";
        QTest::newRow("ctrl end") << "1391/07/20" << true << int(Qt::Key_End) << ctrl
                                  << "1391/12/30";
        QTest::newRow("ctrl space")
            << "1391/07/20" << true << int(Qt::Key_Space) << ctrl << "1403/06/15";
        QTest::newRow("space alone")
            << "1391/07/20" << true << int(Qt::Key_Space) << 0 << "1391/07/20";
        QTest::newRow("other keys ignored")
            << "1391/07/20" << true << int(Qt::Key_Delete) << 0 << "1391/07/20";
    }
    void calendarKeys()
    {
        QFETCH(QString, start);
        QFETCH(bool, rtl);
        QFETCH(int, key);
        QFETCH(int, mods);
        QFETCH(QString, expected);
        JalaliMonthView cal;
        cal.setLayoutDirection(rtl ? Qt::RightToLeft : Qt::LeftToRight);
        cal.setDate(D(start));
        QTest::keyClick(&cal, Qt::Key(key), Qt::KeyboardModifiers(mods));
        QCOMPARE(S(cal.Date()), expected);
        QCOMPARE(cal.Date() >= cal.firstDayOfMonth() && cal.Date() <= cal.lastDayOfMonth(), true);
    }

    void downFromTheLastWeekRowDoesNothing()
    {
        JalaliMonthView cal;
        // The last day of a month that reaches the sixth week row.
        for (SerialDate d = J(1391, 1, 1);; d = IncJalaliMonth(d, 1)) {
            cal.setDate(d);
            const SerialDate last = cal.lastDayOfMonth();
            if (last - cal.firstCellDate() >= 35) {
                cal.setDate(last);
                break;
            }
        }
        const SerialDate before = cal.Date();
        QTest::keyClick(&cal, Qt::Key_Down);
        QCOMPARE(cal.Date(), before);
    }

    void wheelMovesMonths()
    {
        JalaliMonthView cal;
        cal.setDate(J(1391, 1, 10));
        ::wheel(&cal, -1);
        QCOMPARE(S(cal.Date()), u"1391/02/10"_s);
        ::wheel(&cal, 1, Qt::ControlModifier);
        QCOMPARE(S(cal.Date()), u"1390/02/10"_s);
    }

    void limitsBeepAndClamp()
    {
        JalaliMonthView cal;
        cal.setLayoutDirection(Qt::LeftToRight);
        cal.setMinDate(J(1391, 1, 10));
        cal.setMaxDate(J(1391, 2, 5));
        cal.setDate(J(1391, 1, 20));
        QSignalSpy refused(&cal, &JalaliMonthView::refused);
        // Previous from the minimum's month is refused; next is clamped to the maximum.
        QTest::mouseClick(&cal, Qt::LeftButton, {}, cal.leftButtonRect().center());
        QCOMPARE(refused.size(), 1);
        QCOMPARE(S(cal.Date()), u"1391/01/20"_s);
        QTest::mouseClick(&cal, Qt::LeftButton, {}, cal.rightButtonRect().center());
        QCOMPARE(S(cal.Date()), u"1391/02/05"_s);
        QTest::mouseClick(&cal, Qt::LeftButton, {}, cal.rightButtonRect().center());
        QCOMPARE(refused.size(), 2);
        // Today lies outside: the today line beeps.
        QTest::mouseClick(&cal, Qt::LeftButton, {}, cal.todayLineRect().center());
        QCOMPARE(refused.size(), 3);
        QCOMPARE(S(cal.Date()), u"1391/02/05"_s);
        // Keys are clamped, days beyond the limits cannot be chosen.
        QTest::keyClick(&cal, Qt::Key_PageDown);
        QCOMPARE(S(cal.Date()), u"1391/02/05"_s);
        const int beyond = int(J(1391, 2, 6) - cal.firstCellDate());
        QVERIFY(!cal.canChoose(beyond));
        QTest::mouseClick(&cal, Qt::LeftButton, {}, cal.cellRect(beyond).center());
        QCOMPARE(S(cal.Date()), u"1391/02/05"_s);
        // The month menu beeps for a month wholly outside, moves to one inside.
        cal.showMonthMenu();
        QMenu* menu = cal.monthMenu();
        QVERIFY(menu && menu->isVisible());
        QCOMPARE(menu->layoutDirection(), Qt::RightToLeft);
        QCOMPARE(menu->actions().size(), 12);
        QCOMPARE(menu->actions().at(0)->text(), JalaliLongMonthNames[1]);
        menu->actions().at(2)->trigger();
        QCOMPARE(refused.size(), 4);
        menu->actions().at(0)->trigger();
        QCOMPARE(S(cal.Date()), u"1391/01/10"_s); // 5 Farvardin clamped up to the minimum
        menu->close();
    }

    void trailingDays()
    {
        JalaliMonthView cal;
        cal.setDate(J(1391, 1, 10));
        QVERIFY(cal.canChoose(0));
        QTest::mouseClick(&cal, Qt::LeftButton, {}, cal.cellRect(0).center());
        QCOMPARE(S(cal.Date()), u"1390/12/27"_s);
        QCOMPARE(cal.shownMonth(), 12);

        cal.setDate(J(1391, 1, 10));
        cal.setCalendarOptions(kDefaultMonthViewOptions & ~MonthViewOptions(mcoTrailingDays));
        QVERIFY(!(cal.calendarOptions() & mcoSelectTrailDays));
        QVERIFY(!cal.canChoose(0));
        QTest::mouseClick(&cal, Qt::LeftButton, {}, cal.cellRect(0).center());
        QCOMPARE(S(cal.Date()), u"1391/01/10"_s);
        // The cell stays empty: it paints like the month background.
        cal.calColors()->setMonthBackColor(Qt::white);
        const QImage img = cal.grab().toImage();
        const QRect r = cal.cellRect(0).adjusted(2, 2, -2, -2);
        bool blank = true;
        for (int y = r.top(); y <= r.bottom() && blank; ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (img.pixelColor(x, y) != QColor(Qt::white)) {
                    blank = false;
                    break;
                }
        QVERIFY(blank);
    }

    void yearEditor()
    {
        JalaliMonthView cal;
        cal.setDate(J(1403, 12, 30));
        cal.show();
        QVERIFY(QTest::qWaitForWindowExposed(&cal));
        cal.activateWindow();
        QTest::mouseClick(&cal, Qt::LeftButton, {}, cal.yearRect().center());
        YearEdit* edit = cal.yearEditor();
        QVERIFY(edit->isVisible());
        QCOMPARE(edit->value(), 1403);
        QCOMPARE(edit->minimum(), 1201);
        QCOMPARE(edit->maximum(), 9999);
        QVERIFY(edit->geometry().intersects(cal.yearRect()));
        // Typing does nothing; Up changes the year; Esc drops it.
        QTest::keyClicks(edit, u"12"_s);
        QCOMPARE(edit->value(), 1403);
        QTest::keyClick(edit, Qt::Key_Up);
        QCOMPARE(edit->value(), 1404);
        QTest::keyClick(edit, Qt::Key_Escape);
        QVERIFY(!edit->isVisible());
        QCOMPARE(S(cal.Date()), u"1403/12/30"_s);
        // Enter applies, the day cut to the new year's Esfand.
        QTest::mouseClick(&cal, Qt::LeftButton, {}, cal.yearRect().center());
        QTest::keyClick(edit, Qt::Key_Up);
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(!edit->isVisible());
        QCOMPARE(S(cal.Date()), u"1404/12/29"_s);
        // A click elsewhere applies as well; the limits bound the spin range.
        cal.setMinDate(J(1400, 5, 5));
        cal.setMaxDate(J(1410, 1, 1));
        QTest::mouseClick(&cal, Qt::LeftButton, {}, cal.yearRect().center());
        QCOMPARE(edit->minimum(), 1400);
        QCOMPARE(edit->maximum(), 1410);
        QTest::keyClick(edit, Qt::Key_Down);
        QTest::mouseClick(&cal, Qt::LeftButton, {}, cal.titleRect().bottomLeft() + QPoint(60, -2));
        QVERIFY(!edit->isVisible());
        QCOMPARE(S(cal.Date()), u"1403/12/29"_s);
    }

    // Each line option draws its lines, mirrored with the grid, and only those.
    void lines_data()
    {
        QTest::addColumn<bool>("rtl");
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("where");
        for (bool rtl : {true, false}) {
            const char* dir = rtl ? "rtl " : "ltr ";
            QTest::addRow("%sunder the names", dir) << rtl << 0 << "under names";
            QTest::addRow("%sweek column edge", dir) << rtl << int(mcoWeekNumbers) << "week edge";
            QTest::addRow("%sweeks horizontal", dir) << rtl << int(mcoWeeksHorzLine) << "week rows";
            QTest::addRow("%sdays vertical", dir) << rtl << int(mcoDaysVertLine) << "names cols";
            QTest::addRow("%svertical", dir) << rtl << int(mcoVerticalLine) << "day cols";
            QTest::addRow("%shorizontal", dir) << rtl << int(mcoHorizontalLine) << "day rows";
        }
    }
    void lines()
    {
        QFETCH(bool, rtl);
        QFETCH(int, option);
        QFETCH(QString, where);
        JalaliMonthView cal;
        cal.setLayoutDirection(rtl ? Qt::RightToLeft : Qt::LeftToRight);
        cal.setDate(J(1391, 1, 20));
        const QColor lines(1, 2, 250);
        cal.calColors()->setLinesColor(lines);
        // The edge between Saturday and Sunday, on the side lines are drawn.
        auto satSunEdge = [&] { return rtl ? cal.cellRect(0).left() : cal.cellRect(0).right(); };
        auto sample = [&]() -> QPoint {
            if (where == u"under names")
                return {cal.cellRect(2).left() + 2, cal.cellRect(2).top() - 1};
            if (where == u"week edge")
                return {rtl ? cal.cellRect(0).right() + 1 : cal.cellRect(0).left() - 1,
                        cal.cellRect(14).top() + 2};
            if (where == u"week rows")
                return {cal.weekNumberRect(2).left() + 2, cal.weekNumberRect(2).top() - 1};
            if (where == u"names cols")
                return {satSunEdge(), cal.dayNameRect(1).top() + 2};
            if (where == u"day cols")
                return {satSunEdge(), cal.cellRect(14).top() + 2};
            return {cal.cellRect(16).left() + 2, cal.cellRect(16).top() - 1};
        };
        const bool weeks = option == mcoWeekNumbers || option == mcoWeeksHorzLine;
        MonthViewOptions base = kDefaultMonthViewOptions;
        if (weeks)
            base |= mcoWeekNumbers;
        cal.setCalendarOptions(base);
        const bool always = option == 0 || option == mcoWeekNumbers;
        QCOMPARE(cal.grab().toImage().pixelColor(sample()) == lines, always);
        cal.setCalendarOptions(base | MonthViewOption(option));
        QCOMPARE(cal.grab().toImage().pixelColor(sample()), lines);
    }

    void boldDaysAndColours()
    {
        JalaliMonthView cal;
        cal.setDate(J(1391, 1, 10));
        QCOMPARE(cal.MonthBoldDays(), 0u);
        cal.setDefaultBoldDays(dbdSaturdays);
        // Saturdays of Farvardin 1391: 5, 12, 19, 26.
        QCOMPARE(cal.MonthBoldDays(), (1u << 4) | (1u << 11) | (1u << 18) | (1u << 25));

        MonthViewColors* colors = cal.calColors();
        QCOMPARE(colors->circleColor(), QColor(Qt::red));
        QCOMPARE(colors->titleTextColor(), QColor(Qt::white));
        QCOMPARE(colors->monthBackColor(), QColor(Qt::white));
        QVERIFY(!colors->boldDaysColor().isValid());
        const QPoint inTitle =
            cal.titleRect().center() + QPoint(0, cal.titleRect().height() / 2 - 2);
        QSignalSpy changed(colors, &MonthViewColors::changed);
        colors->setTitleBackColor(QColor(10, 200, 30));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(cal.grab().toImage().pixelColor(inTitle), QColor(10, 200, 30));
        colors->setTitleBackColor(QColor(200, 10, 30));
        QCOMPARE(cal.grab().toImage().pixelColor(inTitle), QColor(200, 10, 30));
    }

    // Weekday captions never run into each other: long names where the columns leave a gap
    // between them, the one-letter names where they do not.
    void weekdayNamesFitTheirColumns()
    {
        JalaliMonthView cal;
        const QFontMetrics fm(cal.font());
        const int gap = 2 * fm.horizontalAdvance(u' ');
        const auto captionsFit = [&] {
            for (int d = 1; d <= 7; ++d)
                if (fm.horizontalAdvance(cal.dayNameText(d)) + gap > cal.dayNameRect(d).width())
                    return false;
            return true;
        };
        QVERIFY(captionsFit());
        int widest = 0;
        for (int d = 1; d <= 7; ++d)
            widest = std::max(widest, fm.horizontalAdvance(JalaliLongDayNames[d]));
        cal.setAutoSize(false);
        cal.resize(7 * (widest + gap + 4), cal.height());
        QCOMPARE(cal.dayNameText(4), JalaliLongDayNames[4]);
        QVERIFY(captionsFit());
        cal.resize(7 * (widest + gap / 2), cal.height());
        QCOMPARE(cal.dayNameText(4), JalaliShortDayNames[4]);
        QCOMPARE(cal.dayNameText(1), u"ش"_s);
        QVERIFY(captionsFit());
    }

    void autoSizeFollowsTheFontAndOptions()
    {
        JalaliMonthView cal;
        const QSize plain = cal.size();
        QCOMPARE(plain, cal.sizeHint());
        const QFontMetrics fm(cal.font());
        QCOMPARE(plain.height(), 10 * int(1.2 * fm.height()));
        cal.setCalendarOptions(kDefaultMonthViewOptions | mcoWeekNumbers);
        QCOMPARE(cal.width(), plain.width() / 7 * 8);
        QFont big = cal.font();
        big.setPointSize(big.pointSize() + 4);
        cal.setFont(big);
        QVERIFY(cal.height() > plain.height());
        cal.setAutoSize(false);
        cal.resize(400, 300);
        QCOMPARE(cal.size(), QSize(400, 300));
    }
};

int main(int argc, char** argv)
{
    NiloApplication app(argc, argv);
    DatePickerTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_datepicker.moc"
