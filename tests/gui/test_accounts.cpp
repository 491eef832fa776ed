// Accounts: the input rules and the display order column, the account editor (add and edit
// modes, save and new, refused writes, keys) and the account list (order, tint, choosing).
#include "core/errors/AppError.h"
#include "core/storage/AccountStore.h"
#include "core/storage/Database.h"
#include "core/storage/DatabaseSchema.h"
#include "gui/accounts/AccountEditor.h"
#include "gui/accounts/AccountPicker.h"
#include "gui/common/MessageBox.h"
#include "gui/common/NiloApplication.h"
#include "gui/designer/LayoutDesigner.h"
#include "render/Fonts.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString kBankNameMissing = u"نام بانك را وارد كنيد"_s;
const QString kRadifWrong = u"ترتيب نمايش صحيح نيست"_s;
const QString kSaveFailed = u"اشكال در ثبت اطلاعات"_s;

// Runs the action on the modal window as soon as it is shown; the action's window is closed
// afterwards if it is still open, so a failing check never leaves the test hanging.
template <class Window> void whenShown(std::function<void(Window*)> action)
{
    QTimer::singleShot(0, qApp, [action] {
        auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
        if (!window) {
            QTimer::singleShot(10, qApp, [action] { whenShown<Window>(action); });
            return;
        }
        if (!QTest::qWaitForWindowActive(window))
            qWarning("the modal window never became active");
        action(window);
        if (window->isVisible())
            window->reject();
    });
}

template <class T> T* child(QWidget* window, const char* name)
{
    return window->findChild<T*>(QString::fromLatin1(name));
}

QLineEdit* edit(QWidget* window, const char* name)
{
    return child<QLineEdit>(window, name);
}

// Types a text key by key, as a person would (QTest::keyClicks takes Latin-1 only).
void typeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, c == u' ' ? Qt::Key_Space : Qt::Key_unknown,
                            QString(c), Qt::NoModifier);
}

void click(QWidget* window, const char* name)
{
    QTest::mouseClick(child<QAbstractButton>(window, name), Qt::LeftButton);
}

// A stored row as texts, an empty column as "<null>".
using Row = QStringList;
const QString kNull = u"<null>"_s;

} // namespace

class AccountsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<Database> dm_;
    QList<ShownMessage> shown_;

    QSqlDatabase db() const { return programDatabase->connection(); }

    void exec(const QString& sql)
    {
        QSqlQuery q(db());
        QVERIFY2(q.exec(sql), qPrintable(q.lastError().text()));
    }

    QList<Row> rows()
    {
        QList<Row> result;
        QSqlQuery q(db());
        q.exec(u"select Id, Radif, BankName, BankBranchName, BankBranchCode, AccountName,"
               " AccountNo from tblAccountMst order by Id"_s);
        while (q.next()) {
            Row row;
            for (int c = 0; c < 7; ++c)
                row << (q.isNull(c) ? kNull : q.value(c).toString());
            result << row;
        }
        return result;
    }

    QStringList messages() const
    {
        QStringList texts;
        for (const ShownMessage& m : shown_)
            texts << m.text;
        return texts;
    }

private slots:
    void initTestCase() { RegisterProgramFonts(); }

    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QCOMPARE(CreateDatabase(dir_->filePath(QString::fromLatin1(kDatabaseFileName))), QString());
        dm_ = std::make_unique<Database>(dir_->path());
        QVERIFY(dm_->isOpened());
        shown_.clear();
        DialogSeam::setMessageHook([this](const ShownMessage& m) { return shown_ << m, true; });
    }

    void cleanup()
    {
        DialogSeam::setMessageHook({});
        dm_.reset();
        dir_.reset();
    }

    // --- Rules without a window ---

    void inputRules_data()
    {
        QTest::addColumn<QString>("bank");
        QTest::addColumn<QString>("radif");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("field");
        const int bank = int(AccountField::BankName), radif = int(AccountField::Radif);
        QTest::newRow("title only") << u"ملت"_s << u""_s << QString() << -1;
        QTest::newRow("blank title") << u" \t "_s << u"12"_s << kBankNameMissing << bank;
        QTest::newRow("title checked first") << u""_s << u"12a"_s << kBankNameMissing << bank;
        QTest::newRow("order 12") << u"ملت"_s << u"12"_s << QString() << -1;
        QTest::newRow("order in Persian digits") << u"ملت"_s << u"۱۲"_s << QString() << -1;
        QTest::newRow("order leading space") << u"ملت"_s << u" 12"_s << kRadifWrong << radif;
        QTest::newRow("order with letter") << u"ملت"_s << u"12a"_s << kRadifWrong << radif;
        QTest::newRow("order minus") << u"ملت"_s << u"-1"_s << kRadifWrong << radif;
        QTest::newRow("order blanks only") << u"ملت"_s << u"  "_s << QString() << -1;
        // Passes the text check; the column refuses it later.
        QTest::newRow("order 1.5") << u"ملت"_s << u"1.5"_s << QString() << -1;
    }
    void inputRules()
    {
        QFETCH(QString, bank);
        QFETCH(QString, radif);
        QFETCH(QString, message);
        QFETCH(int, field);
        AccountTexts typed;
        textOf(typed, AccountField::BankName) = bank;
        textOf(typed, AccountField::Radif) = radif;
        const auto error = CheckAccountInput(typed);
        QCOMPARE(error ? error->message : QString(), message);
        QCOMPARE(error ? int(error->field) : -1, field);
    }

    void radifConversion_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariant>("value"); // invalid: refused
        QTest::newRow("empty") << u""_s << QVariant(QMetaType::fromType<int>());
        QTest::newRow("12") << u"12"_s << QVariant(12);
        QTest::newRow("leading zeros") << u"007"_s << QVariant(7);
        QTest::newRow("Persian digits") << u"۱۲"_s << QVariant(12);
        QTest::newRow("Arabic-Indic digits") << u"١٢"_s << QVariant(12);
        QTest::newRow("largest") << u"2147483647"_s << QVariant(2147483647);
        QTest::newRow("too large") << u"2147483648"_s << QVariant();
        QTest::newRow("far too large") << u"99999999999999999999"_s << QVariant();
        QTest::newRow("fraction") << u"1.5"_s << QVariant();
        QTest::newRow("two stops") << u"1.2.3"_s << QVariant();
        QTest::newRow("lone stop") << u"."_s << QVariant();
    }
    void radifConversion()
    {
        QFETCH(QString, text);
        QFETCH(QVariant, value);
        if (value.isValid()) {
            const QVariant got = RadifFromText(text);
            QCOMPARE(got.isNull(), value.isNull());
            if (!value.isNull())
                QCOMPARE(got.toInt(), value.toInt());
            return;
        }
        try {
            RadifFromText(text);
            QFAIL("accepted");
        } catch (const ConversionError& e) {
            QCOMPARE(e.message(), u"'%1' is not a valid integer value"_s.arg(text));
        }
    }

    // --- The editor ---

    void editorWindowAndFields()
    {
        AccountEditor window;
        window.openFor(0);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.windowTitle(), u"اطلاعات حساب"_s);
        QCOMPARE(window.layoutDirection(), Qt::RightToLeft);
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QCOMPARE(window.font().family(), u"Tahoma"_s);
        QCOMPARE(window.font().pointSize(), 8);
        QVERIFY(!(window.windowFlags() & Qt::WindowMinMaxButtonsHint));

        struct Field
        {
            const char* name;
            QString caption;
            int maxLength;
        };
        const Field fields[] = {{"bankNameEdit", u"عنوان بانك"_s, 100}, {"branchNameEdit", u"شعبه"_s, 100},
                                {"branchCodeEdit", u"كد بانك"_s, 50},     {"accountNameEdit", u"نام حساب"_s, 100},
                                {"accountNumberEdit", u"شماره حساب"_s, 50},  {"displayOrderEdit", u"ترتيب نمايش"_s, -1}};
        QHash<QWidget*, QString> captions;
        for (QLabel* label : window.findChildren<QLabel*>())
            captions.insert(label->buddy(), label->text());
        for (const Field& f : fields) {
            QLineEdit* e = edit(&window, f.name);
            QVERIFY2(e && e->text().isEmpty(), f.name);
            QCOMPARE(captions.value(e), f.caption);
            if (f.maxLength > 0) {
                // Typing beyond the column's size is refused by the field itself.
                typeText(e, QString(f.maxLength + 5, u'ب'));
                QCOMPARE(e->text().size(), f.maxLength);
            }
        }
        QCOMPARE(QApplication::focusWidget(), edit(&window, "bankNameEdit"));

        const QStringList tips = {u"ثبت"_s, u"ثبت و جديد"_s, u"بازگشت"_s};
        const char* names[] = {"saveButton", "saveAndNewButton", "backButton"};
        for (int i = 0; i < 3; ++i) {
            auto* button = child<QToolButton>(&window, names[i]);
            QVERIFY(button);
            QCOMPARE(button->toolTip(), tips[i]);
            QVERIFY(button->text().isEmpty() ||
                    button->toolButtonStyle() == Qt::ToolButtonIconOnly);
            QVERIFY(!button->icon().isNull());
        }
    }

    // Enter walks the six fields in tab order and wraps; it never saves or closes.
    void enterMovesThroughTheFieldsInTabOrder()
    {
        QStringList visited;
        bool stillOpen = false;
        whenShown<AccountEditor>([&](AccountEditor* w) {
            edit(w, "bankNameEdit")->setText(u"ملت"_s);
            for (int i = 0; i < 6; ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                visited << QApplication::focusWidget()->objectName();
            }
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
            visited << QApplication::focusWidget()->objectName();
            stillOpen = w->isVisible();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        });
        QVERIFY(!OpenAccountEditor(0));
        QCOMPARE(visited, (QStringList{u"branchNameEdit"_s, u"branchCodeEdit"_s, u"accountNameEdit"_s, u"accountNumberEdit"_s, u"displayOrderEdit"_s,
                                       u"bankNameEdit"_s, u"branchNameEdit"_s}));
        QVERIFY(stillOpen);
        QVERIFY(rows().isEmpty());
    }

    void addWithOnlyABankTitleStoresItTrimmed()
    {
        whenShown<AccountEditor>([&](AccountEditor* w) {
            typeText(edit(w, "bankNameEdit"), u"  بانك ملت  "_s);
            typeText(edit(w, "branchNameEdit"), u"   "_s);
            click(w, "saveButton");
        });
        QVERIFY(OpenAccountEditor(0));
        QVERIFY(shown_.isEmpty());
        const QList<Row> stored = rows();
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored[0].mid(1), (Row{kNull, u"بانك ملت"_s, kNull, kNull, kNull, kNull}));
    }

    void refusedInputKeepsTheWindowOpen_data()
    {
        QTest::addColumn<QString>("bank");
        QTest::addColumn<QString>("radif");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("blank title") << u"   "_s << u"12"_s << kBankNameMissing << u"bankNameEdit"_s;
        QTest::newRow("order leading space") << u"ملت"_s << u" 12"_s << kRadifWrong << u"displayOrderEdit"_s;
        QTest::newRow("order with letter") << u"ملت"_s << u"12a"_s << kRadifWrong << u"displayOrderEdit"_s;
    }
    void refusedInputKeepsTheWindowOpen()
    {
        QFETCH(QString, bank);
        QFETCH(QString, radif);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        QString focused;
        bool stillOpen = false;
        QStringList kept;
        whenShown<AccountEditor>([&](AccountEditor* w) {
            edit(w, "bankNameEdit")->setText(bank);
            edit(w, "accountNumberEdit")->setText(u"0101"_s);
            edit(w, "displayOrderEdit")->setText(radif);
            edit(w, "branchNameEdit")->setFocus();
            click(w, "saveButton");
            click(w, "saveAndNewButton");
            stillOpen = w->isVisible();
            focused = QApplication::focusWidget()->objectName();
            kept = {edit(w, "bankNameEdit")->text(), edit(w, "accountNumberEdit")->text(), edit(w, "displayOrderEdit")->text()};
        });
        QVERIFY(!OpenAccountEditor(0));
        QVERIFY(stillOpen);
        QCOMPARE(messages(), (QStringList{message, message}));
        QCOMPARE(shown_[0].kind, MessageKind::Error);
        QVERIFY(!shown_[0].fromEventLoop);
        QCOMPARE(focused, focus);
        QCOMPARE(kept, (QStringList{bank, u"0101"_s, radif}));
        QVERIFY(rows().isEmpty());
    }

    void displayOrderAccepted_data()
    {
        QTest::addColumn<QString>("radif");
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("empty") << u""_s << QVariant();
        QTest::newRow("12") << u"12"_s << QVariant(12);
    }
    void displayOrderAccepted()
    {
        QFETCH(QString, radif);
        QFETCH(QVariant, stored);
        whenShown<AccountEditor>([&](AccountEditor* w) {
            edit(w, "bankNameEdit")->setText(u"ملت"_s);
            edit(w, "displayOrderEdit")->setText(radif);
            click(w, "saveButton");
        });
        QVERIFY(OpenAccountEditor(0));
        QCOMPARE(rows().size(), 1);
        QCOMPARE(rows()[0][1], stored.isValid() ? stored.toString() : kNull);
    }

    // A number text the column cannot hold fails with the data layer's conversion error in
    // the event loop's error box; nothing is stored and the window stays as it was.
    void displayOrderTheColumnCannotHold_data()
    {
        QTest::addColumn<QString>("radif");
        QTest::newRow("fraction") << u"1.5"_s;
        QTest::newRow("two stops") << u"1.2.3"_s;
        QTest::newRow("too large") << u"99999999999"_s;
    }
    void displayOrderTheColumnCannotHold()
    {
        QFETCH(QString, radif);
        bool stillOpen = false;
        whenShown<AccountEditor>([&](AccountEditor* w) {
            edit(w, "bankNameEdit")->setText(u"ملت"_s);
            edit(w, "displayOrderEdit")->setText(radif);
            click(w, "saveButton");
            click(w, "saveAndNewButton");
            stillOpen = w->isVisible() && edit(w, "bankNameEdit")->text() == u"ملت"_s;
        });
        QVERIFY(!OpenAccountEditor(0));
        QVERIFY(stillOpen);
        QCOMPARE(shown_.size(), 2);
        QVERIFY(shown_[0].fromEventLoop);
        QCOMPARE(shown_[0].text, u"'%1' is not a valid integer value."_s.arg(radif));
        QVERIFY(rows().isEmpty());
    }

    // The Id is held at full width: with account 44 (= 300 mod 256) present, editing 300
    // loads and changes 300 only. After "ثبت و جديد" the next "ثبت" adds a further account,
    // with the display order carried over, and leaves 300 as that first save left it.
    void saveAndNewInEditModeThenAdds()
    {
        exec(u"insert into tblAccountMst (Id, Radif, BankName) values (44, 1, 'صادرات')"_s);
        exec(u"insert into tblAccountMst (Id, Radif, BankName, BankBranchName, BankBranchCode,"
             " AccountName, AccountNo) values (300, 5, 'ملت', 'مركزي', '123', 'نيلو', '0101')"_s);
        QStringList loaded;
        QStringList afterSaveAndNew;
        bool addingAfter = false;
        whenShown<AccountEditor>([&](AccountEditor* w) {
            for (const char* name : {"bankNameEdit", "branchNameEdit", "branchCodeEdit", "accountNameEdit", "accountNumberEdit", "displayOrderEdit"})
                loaded << edit(w, name)->text();
            edit(w, "bankNameEdit")->setText(u" ملت جديد "_s);
            click(w, "saveAndNewButton");
            for (const char* name : {"bankNameEdit", "branchNameEdit", "branchCodeEdit", "accountNameEdit", "accountNumberEdit", "displayOrderEdit"})
                afterSaveAndNew << edit(w, name)->text();
            addingAfter = w->isAdding();
            afterSaveAndNew << QApplication::focusWidget()->objectName();
            edit(w, "bankNameEdit")->setText(u"تجارت"_s);
            click(w, "saveButton");
        });
        QVERIFY(OpenAccountEditor(300));
        QCOMPARE(loaded,
                 (QStringList{u"ملت"_s, u"مركزي"_s, u"123"_s, u"نيلو"_s, u"0101"_s, u"5"_s}));
        QCOMPARE(afterSaveAndNew,
                 (QStringList{u""_s, u""_s, u""_s, u""_s, u""_s, u"5"_s, u"bankNameEdit"_s}));
        QVERIFY(addingAfter);
        const QList<Row> stored = rows();
        QCOMPARE(stored.size(), 3);
        QCOMPARE(stored[0], (Row{u"44"_s, u"1"_s, u"صادرات"_s, kNull, kNull, kNull, kNull}));
        QCOMPARE(stored[1], (Row{u"300"_s, u"5"_s, u"ملت جديد"_s, u"مركزي"_s, u"123"_s, u"نيلو"_s,
                                 u"0101"_s}));
        QVERIFY(stored[2][0].toInt() > 300);
        QCOMPARE(stored[2].mid(1), (Row{u"5"_s, u"تجارت"_s, kNull, kNull, kNull, kNull}));
    }

    // "ثبت و جديد" reloads the open designer's account grid and moves it to the last account.
    void saveAndNewRefreshesTheOpenDesigner()
    {
        exec(u"insert into tblAccountMst (Radif, BankName) values (1, 'صادرات')"_s);
        auto designer = std::make_unique<LayoutDesigner>();
        int designerCurrent = -1;
        whenShown<AccountEditor>([&](AccountEditor* w) {
            edit(w, "bankNameEdit")->setText(u"ملت"_s);
            edit(w, "displayOrderEdit")->setText(u"9"_s);
            click(w, "saveAndNewButton");
            designerCurrent = designer->currentAccountId();
        });
        auto* newButton = designer->findChild<QAbstractButton*>(u"btnNew"_s);
        QVERIFY(newButton);
        newButton->click(); // the editor runs modally until the handler above closes it
        designer.reset();
        QCOMPARE(rows().size(), 2);
        QCOMPARE(designerCurrent, rows()[1][0].toInt());
    }

    // Leaving without "ثبت" reports whether any save succeeded while the window was open.
    void leavingReportsEarlierSaves_data()
    {
        QTest::addColumn<bool>("saveAndNewFirst");
        QTest::addColumn<QString>("how");
        for (const QString& how : {u"escape"_s, u"back"_s, u"close box"_s}) {
            QTest::addRow("%s after save and new", qPrintable(how)) << true << how;
            QTest::addRow("%s only", qPrintable(how)) << false << how;
        }
    }
    void leavingReportsEarlierSaves()
    {
        QFETCH(bool, saveAndNewFirst);
        QFETCH(QString, how);
        bool closed = false;
        whenShown<AccountEditor>([&](AccountEditor* w) {
            edit(w, "bankNameEdit")->setText(u"ملت"_s);
            if (saveAndNewFirst)
                click(w, "saveAndNewButton");
            edit(w, "bankNameEdit")->setText(u"not stored"_s);
            if (how == u"escape")
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            else if (how == u"back")
                click(w, "backButton");
            else
                w->close();
            closed = !w->isVisible();
        });
        QCOMPARE(OpenAccountEditor(0), saveAndNewFirst);
        QVERIFY(closed);
        QCOMPARE(rows().size(), saveAndNewFirst ? 1 : 0);
        if (saveAndNewFirst)
            QCOMPARE(rows()[0][2], u"ملت"_s);
    }

    // A database that refuses the write (locked by another connection beyond the busy
    // timeout, or read-only) gives the save-failed message; the window stays open with every
    // value typed, nothing is stored, and the next try once the database takes writes again
    // stores the row once.
    void refusedWriteKeepsEverything_data()
    {
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<bool>("editing");
        QTest::newRow("locked, adding") << u"locked"_s << false;
        QTest::newRow("read-only, adding") << u"read-only"_s << false;
        QTest::newRow("read-only, editing") << u"read-only"_s << true;
    }
    void refusedWriteKeepsEverything()
    {
        QFETCH(QString, refusal);
        QFETCH(bool, editing);
        if (editing)
            exec(u"insert into tblAccountMst (Id, Radif, BankName) values (7, 1, 'صادرات')"_s);
        const QList<Row> before = rows();
        QSqlDatabase locker = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"locker"_s);
        locker.setDatabaseName(dir_->filePath(QString::fromLatin1(kDatabaseFileName)));
        QVERIFY(locker.open());
        const auto refuseWrites = [&](bool on) {
            if (refusal == u"locked")
                QSqlQuery(locker).exec(on ? u"begin exclusive"_s : u"rollback"_s);
            else
                QSqlQuery(db()).exec(u"pragma query_only = %1"_s.arg(on ? 1 : 0));
        };
        bool openAfterFailure = false;
        QString keptTitle;
        QList<Row> whileRefused;
        whenShown<AccountEditor>([&](AccountEditor* w) {
            edit(w, "bankNameEdit")->setText(u"ملت"_s);
            edit(w, "displayOrderEdit")->setText(u"3"_s);
            refuseWrites(true);
            click(w, "saveButton");
            refuseWrites(false);
            openAfterFailure = w->isVisible();
            keptTitle = edit(w, "bankNameEdit")->text();
            whileRefused = rows();
            click(w, "saveButton");
        });
        QVERIFY(OpenAccountEditor(editing ? 7 : 0));
        locker.close();
        locker = QSqlDatabase();
        QSqlDatabase::removeDatabase(u"locker"_s);
        QVERIFY(openAfterFailure);
        QCOMPARE(keptTitle, u"ملت"_s);
        QCOMPARE(whileRefused, before);
        QCOMPARE(messages(), QStringList{kSaveFailed});
        QCOMPARE(shown_[0].kind, MessageKind::Error);
        const QList<Row> after = rows();
        QCOMPARE(after.size(), 1);
        QCOMPARE(after[0].mid(1, 2), (Row{u"3"_s, u"ملت"_s}));
    }

    // --- The list ---

    void listShowsAccountsByDisplayOrderWithOddRowsTinted()
    {
        exec(u"insert into tblAccountMst (Id, Radif, BankName, BankBranchCode, AccountNo)"
             " values (1, 3, 'سوم', '12', '0101')"_s);
        exec(u"insert into tblAccountMst (Id, Radif, BankName) values (2, 1, 'اول')"_s);
        exec(u"insert into tblAccountMst (Id, Radif, BankName) values (3, 2, 'دوم')"_s);
        exec(u"insert into tblAccountMst (Id, Radif, BankName) values (4, 2, 'دوم ب')"_s);
        exec(u"insert into tblAccountMst (Id, Radif, BankName) values (5, 9, 'آخر')"_s);
        AccountPicker window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.windowTitle(), u"ليست حسابها"_s);
        QCOMPARE(window.layoutDirection(), Qt::RightToLeft);
        QCOMPARE(window.size(), QSize(570, 435));
        QCOMPARE(window.minimumSize(), window.maximumSize());

        auto* grid = child<QTableView>(&window, "DBGrid1");
        QAbstractItemModel* model = grid->model();
        QHeaderView* header = grid->horizontalHeader();
        QStringList titles;
        QList<int> widths;
        for (int visual = 0; visual < header->count(); ++visual) {
            const int logical = header->logicalIndex(visual);
            if (header->isSectionHidden(logical))
                continue;
            titles << model->headerData(logical, Qt::Horizontal).toString();
            widths << header->sectionSize(logical);
        }
        QCOMPARE(titles, (QStringList{u"رديف"_s, u"بانك"_s, u"شعبه"_s, u"كد شعبه"_s, u"حساب"_s,
                                      u"شماره حساب"_s}));
        QCOMPARE(widths, (QList<int>{30, 100, 150, 50, 100, 100}));
        QCOMPARE(header->defaultAlignment(), Qt::AlignCenter);

        const int nameColumn = header->logicalIndex(1);
        QStringList names;
        QList<int> tinted;
        for (int row = 0; row < model->rowCount(); ++row) {
            names << model->index(row, nameColumn).data().toString();
            if (model->index(row, nameColumn).data(Qt::BackgroundRole).value<QColor>() ==
                QColor(227, 236, 234))
                tinted << row + 1;
        }
        QCOMPARE(names, (QStringList{u"اول"_s, u"دوم"_s, u"دوم ب"_s, u"سوم"_s, u"آخر"_s}));
        QCOMPARE(tinted, (QList<int>{1, 3, 5}));
        // The tint is light in every theme, so its rows bring their own dark text.
        QCOMPARE(model->index(0, nameColumn).data(Qt::ForegroundRole).value<QColor>(),
                 QColor(0x1f, 0x29, 0x33));
        QVERIFY(!model->index(1, nameColumn).data(Qt::ForegroundRole).isValid());
        const auto alignment = [&](int visual) {
            return Qt::Alignment(
                model->index(3, header->logicalIndex(visual)).data(Qt::TextAlignmentRole).toInt());
        };
        QCOMPARE(alignment(0), Qt::AlignCenter);
        QCOMPARE(alignment(1), Qt::Alignment());
        QVERIFY(alignment(3) & Qt::AlignAbsolute && alignment(3) & Qt::AlignRight);
        QVERIFY(alignment(5) & Qt::AlignAbsolute && alignment(5) & Qt::AlignRight);
    }

    void pickingAnAccount_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("expected");
        // Rows in display order: Id 700, 300, 12.
        QTest::newRow("select first row") << u"select"_s << 700;
        QTest::newRow("double click third row") << u"double click"_s << 12;
        QTest::newRow("select after moving down") << u"down select"_s << 300;
        QTest::newRow("escape after moving") << u"down escape"_s << 0;
        QTest::newRow("back") << u"back"_s << 0;
        QTest::newRow("close box") << u"close box"_s << 0;
        QTest::newRow("enter moves on, does not choose") << u"enter"_s << 0;
    }
    void pickingAnAccount()
    {
        QFETCH(QString, how);
        QFETCH(int, expected);
        exec(u"insert into tblAccountMst (Id, Radif, BankName) values (12, 3, 'سوم')"_s);
        exec(u"insert into tblAccountMst (Id, Radif, BankName) values (300, 2, 'دوم')"_s);
        exec(u"insert into tblAccountMst (Id, Radif, BankName) values (700, 1, 'اول')"_s);
        QStringList focusAfterEnter;
        whenShown<AccountPicker>([&](AccountPicker* w) {
            auto* grid = child<QTableView>(w, "DBGrid1");
            if (how.startsWith(u"down")) {
                QTest::keyClick(grid, Qt::Key_Down);
                how = how.mid(5);
            }
            if (how == u"select") {
                click(w, "btnSelect");
            } else if (how == u"double click") {
                const QRect cell = grid->visualRect(grid->model()->index(2, 2));
                QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
            } else if (how == u"escape") {
                QTest::keyClick(grid, Qt::Key_Escape);
            } else if (how == u"back") {
                click(w, "btnBack");
            } else if (how == u"close box") {
                w->close();
            } else if (how == u"enter") {
                for (int i = 0; i < 2; ++i) {
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                    focusAfterEnter << QApplication::focusWidget()->objectName();
                }
                if (w->isVisible())
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            }
        });
        QCOMPARE(PickAccount(), expected);
        if (how == u"enter")
            QCOMPARE(focusAfterEnter, (QStringList{u"btnSelect"_s, u"btnBack"_s}));
    }

    void emptyListChoosesNothing()
    {
        whenShown<AccountPicker>([&](AccountPicker* w) {
            auto* grid = child<QTableView>(w, "DBGrid1");
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, QPoint(50, 50));
            if (w->isVisible())
                click(w, "btnSelect");
        });
        QCOMPARE(PickAccount(), 0);
    }
};

int main(int argc, char** argv)
{
    NiloApplication app(argc, argv);
    AccountsTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_accounts.moc"
