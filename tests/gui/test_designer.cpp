// The layout designer window: accounts, reading and saving layouts, fields and boxes
// following each other, fonts, pictures, keys.
#include "core/storage/Database.h"
#include "core/storage/DatabaseSchema.h"
#include "core/storage/DesignerData.h"
#include "core/storage/LayoutStore.h"
#include "gui/common/KeyboardLayout.h"
#include "gui/common/MessageBox.h"
#include "gui/common/NiloApplication.h"
#include "gui/designer/LayoutDesigner.h"
#include "gui/mainwindow/MainWindow.h"
#include "render/Fonts.h"
#include "widgets/ResizeHandles.h"
#include "widgets/Ruler.h"

#include <QBuffer>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>
#include <memory>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

// A scanned-cheque stand-in: a tinted sheet with a frame and a few lines, as JPEG.
QByteArray chequeJpeg(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(226, 238, 246));
    QPainter p(&image);
    const qreal sx = size.width() / 650.0, sy = size.height() / 320.0;
    p.scale(sx, sy);
    p.setPen(QPen(QColor(40, 80, 140), 3));
    p.drawRect(6, 6, 638, 308);
    p.setPen(QPen(QColor(90, 110, 150), 1));
    for (int y : {60, 100, 150, 190, 230, 270})
        p.drawLine(40, y, 610, y);
    p.fillRect(QRect(470, 20, 150, 30), QColor(200, 215, 235));
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 85);
    return bytes;
}

struct Recorded
{
    QList<ShownMessage> messages;
    QList<bool> answers; // answers to confirmations, in turn; true when run out
};

// A keyboard layer that records what the window asks of it.
class RecordingKeyboard final : public KeyboardLayer
{
public:
    explicit RecordingKeyboard(QStringList* log) : log_(log) {}
    bool supportsRightToLeft() const override { return true; }
    void activateLayout(const QString& id) override { log_->append(id); }

private:
    QStringList* log_;
};

// A database in a temporary folder and a designer over it.
struct Fixture
{
    QTemporaryDir dir;
    std::unique_ptr<Database> dm;
    QPointer<LayoutDesigner> window;
    Recorded recorded;

    explicit Fixture(int accounts = 0)
    {
        CreateDatabase(dir.filePath(QString::fromLatin1(kDatabaseFileName)));
        dm = std::make_unique<Database>(dir.path());
        for (int i = 1; i <= accounts; ++i)
            exec(u"insert into tblAccountMst (Radif, BankName) values (%1, 'bank %1')"_s.arg(i));
        DialogSeam::setMessageHook([this](const ShownMessage& m) {
            recorded.messages << m;
            if (m.kind == MessageKind::Confirmation && !recorded.answers.isEmpty())
                return recorded.answers.takeFirst();
            return true;
        });
    }
    ~Fixture()
    {
        delete window.data();
        LayoutDesigner::setUnsavedQuestionHook({});
        DialogSeam::setMessageHook({});
        DialogSeam::setOpenFileHook({});
        DialogSeam::setFontHook({});
    }
    LayoutDesigner* open()
    {
        window = new LayoutDesigner;
        window->show();
        QApplication::setActiveWindow(window);
        return window;
    }
    void exec(const QString& sql)
    {
        QSqlQuery q(dm->connection());
        if (!q.exec(sql))
            qFatal("%s failed", qPrintable(sql));
    }
    int value(const QString& sql)
    {
        QSqlQuery q(dm->connection());
        if (!q.exec(sql) || !q.next())
            qFatal("%s failed", qPrintable(sql));
        return q.value(0).toInt();
    }
    template <class T> T* child(const QString& name) const
    {
        T* w = window->findChild<T*>(name);
        if (!w)
            qFatal("no child %s", qPrintable(name));
        return w;
    }
    QSpinBox* spin(const QString& name) const { return child<QSpinBox>(name); }
    void click(const QString& name)
    {
        QTest::mouseClick(child<QAbstractButton>(name), Qt::LeftButton);
    }
    QStringList texts() const
    {
        QStringList t;
        for (const ShownMessage& m : recorded.messages)
            t << m.text;
        return t;
    }
    QWidget* overlay() const { return window->resizeHandles()->overlay(); }
    // A mouse drag over the picture, through every point given.
    void drag(QPoint from, QPoint to, const QList<QPoint>& through = {})
    {
        QTest::mousePress(overlay(), Qt::LeftButton, {}, from);
        for (const QPoint p : through + QList<QPoint>{to}) {
            QMouseEvent move(QEvent::MouseMove, p, overlay()->mapToGlobal(p), Qt::NoButton,
                             Qt::LeftButton, {});
            QApplication::sendEvent(overlay(), &move);
        }
        QTest::mouseRelease(overlay(), Qt::LeftButton, {}, to);
    }
    // Answers the question about unsaved changes in turn (Stay when run out); each question
    // is recorded among the messages.
    void answerUnsaved(QList<LayoutDesigner::UnsavedAnswer> answers)
    {
        LayoutDesigner::setUnsavedQuestionHook([this, answers](const ShownMessage& m) mutable {
            recorded.messages << m;
            return answers.isEmpty() ? LayoutDesigner::UnsavedAnswer::Stay : answers.takeFirst();
        });
    }
    int questionsAsked() const { return texts().count(kUnsavedQuestion); }
    // Clicks another account's row; the question, if any, comes once the click is over.
    void clickAccountRow(int row)
    {
        auto* grid = child<QTableView>(u"accountGrid"_s);
        const int shown = grid->horizontalHeader()->logicalIndex(0);
        const QRect cell = grid->visualRect(grid->model()->index(row, shown));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QCoreApplication::processEvents();
    }
    QUndoStack* undo() const { return window->undoStack(); }
    static inline const QString kUnsavedQuestion = u"تغييرات اين طرح ذخيره نشده است. ذخيره شود؟"_s;
    void selectAccountRow(int row)
    {
        auto* grid = child<QTableView>(u"accountGrid"_s);
        grid->setCurrentIndex(grid->model()->index(row, 1));
    }
};

QRect boxRect(LayoutDesigner* w, int itemId)
{
    return w->itemBox(itemId)->geometry();
}

// Where a box stands and how wide it is; its height is the designer's, not the layout's.
QRect place(LayoutDesigner* w, int itemId)
{
    const QRect r = boxRect(w, itemId);
    return QRect(r.x(), r.y(), r.width(), 1);
}

using Answer = LayoutDesigner::UnsavedAnswer;

} // namespace

class DesignerTest : public QObject
{
    Q_OBJECT
private slots:
    void emptyDatabaseShowsStartingValuesAndRefusesToSave()
    {
        Fixture fx;
        LayoutDesigner* w = fx.open();
        QCOMPARE(w->objectName(), u"layoutDesigner"_s);
        QCOMPARE(w->windowTitle(), u"اطلاعات چك"_s);
        QCOMPARE(w->size(), QSize(736, 638));
        QCOMPARE(w->layoutDirection(), Qt::RightToLeft);
        QCOMPARE(w->currentTabCaption(), u"عمومي"_s);
        QCOMPARE(w->fields(), StartingFields());
        QVERIFY(!w->showsPicture());
        QCOMPARE(w->pictureArea()->size(), QSize(650, 320));
        // Boxes placed from the starting fields: 650 - 36 - 52 = 562.
        QCOMPARE(boxRect(w, 2), QRect(562, 39, 52, 25));
        QCOMPARE(boxRect(w, 4), QRect(51, 218, 62, 25));
        QCOMPARE(w->itemBox(10)->font().pointSize(), 36);
        QVERIFY(w->itemBox(10)->font().bold());

        bool fileAsked = false;
        DialogSeam::setOpenFileHook([&](const QString&) {
            fileAsked = true;
            return QString();
        });
        fx.click(u"btnEdit"_s);
        fx.click(u"btnDelete"_s);
        fx.click(u"btnLoadPicture"_s);
        QVERIFY(!fileAsked);
        QVERIFY(fx.recorded.messages.isEmpty());

        fx.click(u"btnSave"_s);
        QCOMPARE(fx.texts(), QStringList{u"حسابي تعريف نشده است"_s});
        QCOMPARE(fx.recorded.messages[0].kind, MessageKind::Error);
        QCOMPARE(QApplication::focusWidget(), fx.child<QTableView>(u"accountGrid"_s));
        QCOMPARE(fx.value(u"select count(*) from tblItemsPrvt"_s), 0);
    }

    void gridShowsTheAccountsInDisplayOrder()
    {
        Fixture fx;
        fx.exec(u"insert into tblAccountMst (Radif, BankName) values (2, 'second')"_s);
        fx.exec(u"insert into tblAccountMst (Radif, BankName) values (1, 'first')"_s);
        LayoutDesigner* w = fx.open();
        auto* grid = fx.child<QTableView>(u"accountGrid"_s);
        QStringList titles;
        QList<int> widths;
        for (int visual = 0; visual < grid->model()->columnCount(); ++visual) {
            const int c = grid->horizontalHeader()->logicalIndex(visual);
            if (grid->isColumnHidden(c))
                continue;
            titles << grid->model()->headerData(c, Qt::Horizontal).toString();
            widths << grid->columnWidth(c);
        }
        // The account's name and number next to the order, where the narrow group shows them.
        QCOMPARE(titles, (QStringList{u"رديف"_s, u"حساب"_s, u"شماره حساب"_s, u"بانك"_s, u"شعبه"_s,
                                      u"كد شعبه"_s}));
        const QList<int> least{30, 100, 100, 100, 100, 50};
        int shown = grid->verticalHeader()->width();
        for (int i = 0; i < least.size(); ++i) {
            QVERIFY(widths[i] >= least[i]);
            // No title is clipped: each column holds its title with the header's padding.
            const int c = grid->horizontalHeader()->logicalIndex(i);
            QVERIFY(widths[i] >= grid->horizontalHeader()->sectionSizeHint(c));
            if (i < 3)
                shown += widths[i];
        }
        QVERIFY(shown <= grid->viewport()->width() + grid->verticalHeader()->width());
        QCOMPARE(w->currentAccountId(), 2); // Radif 1 comes first
        QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    }

    // Reading fills the fields and places the boxes, with the panel moving 0..10.
    void selectingAnAccountReadsItsLayout()
    {
        Fixture fx(2);
        LayoutFields stored = StartingFields();
        stored.chequeWidth = 700;
        stored.horizontalFeed = true;
        stored.verticalFeed = false;
        stored.item(5).switchOn = true;
        stored.item(6).fontName = u"B Jadid"_s;
        std::array<int, kLayoutItemCount> lefts{};
        for (int id = 2; id <= kLastLayoutItemId; ++id)
            lefts[id - 2] = BoxLeftFromFields(stored, id);
        QVERIFY(
            SaveLayout(fx.dm->connection(), 2, RowsToSave(stored, lefts), chequeJpeg({300, 140})));

        LayoutDesigner* w = fx.open();
        QCOMPARE(w->currentAccountId(), 1);
        QVERIFY(!w->showsPicture());
        QSignalSpy progress(fx.child<QProgressBar>(u"progressBar"_s), &QProgressBar::valueChanged);
        fx.selectAccountRow(1);
        QCOMPARE(w->currentAccountId(), 2);
        QList<int> steps;
        for (const QList<QVariant>& s : progress)
            steps << s[0].toInt();
        QCOMPARE(steps, (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
        QVERIFY(!fx.child<QWidget>(u"progressPanel"_s)->isVisible());
        QCOMPARE(w->fields(), stored);
        QVERIFY(w->showsPicture());
        QCOMPARE(w->pictureArea()->size(), QSize(700, 320));
        QCOMPARE(boxRect(w, 2), QRect(612, 39, 52, 25));
        QCOMPARE(w->itemBox(6)->font().family(), u"B Jadid"_s);

        // An account without rows keeps the fields and boxes; its own (absent) picture shows.
        fx.selectAccountRow(0);
        QCOMPARE(w->fields(), stored);
        QVERIFY(!w->showsPicture());
    }

    // The payee's national ID has its own tab, fields, box and switch; a save writes its row,
    // and an account saved before it existed shows it at its starting place, switched off.
    void nationalIdIsPlacedAndSavedLikeTheOthers()
    {
        Fixture fx(2);
        LayoutDesigner* w = fx.open();
        w->showTab(kNationalIdItemId - 1);
        QCOMPARE(w->currentTabCaption(), u"شناسه ملي گيرنده"_s);
        fx.spin(u"horizontal11"_s)->setValue(200);
        fx.spin(u"top11"_s)->setValue(120);
        QCOMPARE(boxRect(w, kNationalIdItemId).topLeft(), QPoint(200, 120)); // from the left
        fx.child<QCheckBox>(u"switch11"_s)->setChecked(true);
        if (!qEnvironmentVariableIsEmpty("NILO_SHOTS"))
            w->grab().save(qEnvironmentVariable("NILO_SHOTS") + u"/designer_national_id.png"_s);
        fx.click(u"btnSave"_s);
        QCOMPARE(fx.value(u"select SideMargin from tblItemsPrvt where AccountMstId = 1 and "
                          "ItemId = 11 and UpMargin = 120 and DoPrint = 1"_s),
                 200);

        // Account 2 holds a layout of the ten older rows.
        LayoutFields older = StartingFields();
        older.horizontalFeed = true;
        std::array<int, kLayoutItemCount> lefts{};
        for (int id = kFirstLayoutItemId; id <= kLastLayoutItemId; ++id)
            lefts[id - 2] = BoxLeftFromFields(older, id);
        QVERIFY(SaveLayout(fx.dm->connection(), 2, RowsToSave(older, lefts), {}));
        fx.exec(u"delete from tblItemsPrvt where AccountMstId = 2 and ItemId = 11"_s);
        fx.selectAccountRow(1);
        QCOMPARE(w->currentAccountId(), 2);
        QCOMPARE(w->fields().item(kNationalIdItemId), StartingFields().item(kNationalIdItemId));
        QVERIFY(!fx.child<QCheckBox>(u"switch11"_s)->isChecked());
        fx.click(u"btnSave"_s);
        QCOMPARE(fx.value(u"select count(*) from tblItemsPrvt where AccountMstId = 2"_s),
                 kLayoutRowCount);
        QCOMPARE(fx.value(u"select DoPrint from tblItemsPrvt where AccountMstId = 2 and "
                          "ItemId = 11"_s),
                 0);
    }

    void chequeWidthChangeKeepsBoxesAndRightEdgesReadBackFurther()
    {
        Fixture fx(1);
        LayoutDesigner* w = fx.open();
        fx.click(u"btnSave"_s);
        QCOMPARE(fx.texts(),
                 (QStringList{u"تصوير چك بارگزاري نشده است"_s, u"تاييد ثبت تنظيمات ؟"_s}));
        QCOMPARE(fx.value(u"select SideMargin from tblItemsPrvt where ItemId = 2"_s), 562);

        fx.spin(u"chequeWidth"_s)->setValue(700);
        QCOMPARE(boxRect(w, 2), QRect(562, 39, 52, 25)); // no box moves
        QCOMPARE(fx.spin(u"horizontal2"_s)->value(), 36);
        QCOMPARE(w->pictureArea()->width(), 700);
        fx.click(u"btnSave"_s);
        QCOMPARE(fx.value(u"select SideMargin from tblItemsPrvt where ItemId = 2"_s), 562);
        QCOMPARE(fx.value(u"select SideMargin from tblItemsPrvt where ItemId = 1"_s), 700);
        QCOMPARE(fx.value(u"select count(*) from tblItemsPrvt"_s), kLayoutRowCount);
        QCOMPARE(fx.value(u"select count(*) from tblItemsPrvt where ItemId = 1 and "
                          "(FName is not null or FStyle is not null or DoPrint is not null)"_s),
                 0);

        w->refreshGrid(false);
        QCOMPARE(fx.spin(u"horizontal2"_s)->value(), 86);
        QCOMPARE(boxRect(w, 2), QRect(562, 39, 52, 25));
    }

    void refusedConfirmationWritesNothing()
    {
        Fixture fx(1);
        fx.open();
        fx.recorded.answers = {false};
        fx.click(u"btnSave"_s);
        QCOMPARE(fx.value(u"select count(*) from tblItemsPrvt"_s), 0);
    }

    void failedSaveReportsAndKeepsTheOldLayout()
    {
        Fixture fx(1);
        LayoutDesigner* w = fx.open();
        fx.click(u"btnSave"_s);
        fx.exec(u"create trigger t before update on tblItemsPrvt when new.ItemId = 6 "
                "begin select raise(abort, 'refused'); end"_s);
        fx.spin(u"top2"_s)->setValue(111);
        fx.spin(u"top9"_s)->setValue(222);
        fx.recorded.messages.clear();
        fx.click(u"btnSave"_s);
        QVERIFY(fx.texts().last().startsWith(u"اشكال در ثبت اطلاعات\n"_s));
        QCOMPARE(fx.recorded.messages.last().kind, MessageKind::Error);
        QCOMPARE(fx.value(u"select UpMargin from tblItemsPrvt where ItemId = 2"_s), 39);
        QCOMPARE(fx.value(u"select UpMargin from tblItemsPrvt where ItemId = 9"_s), 253);
        QCOMPARE(w->fields().item(2).top, 111); // what the user typed stays on the screen
    }

    // Field changes move the boxes exactly as the tables say.
    void fieldsMoveTheBoxes_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("itemId");
        QTest::addColumn<QRect>("box");
        QTest::newRow("right margin") << u"horizontal2"_s << 100 << 2 << QRect(498, 39, 52, 25);
        QTest::newRow("width keeps right edge") << u"width2"_s << 80 << 2 << QRect(534, 39, 80, 25);
        QTest::newRow("left margin") << u"horizontal4"_s << 75 << 4 << QRect(75, 218, 62, 25);
        QTest::newRow("width keeps left edge") << u"width4"_s << 10 << 4 << QRect(51, 218, 10, 25);
        QTest::newRow("top") << u"top7"_s << -15 << 7 << QRect(60, -15, 90, 25);
        QTest::newRow("negative margin") << u"horizontal8"_s << -20 << 8 << QRect(630, 193, 40, 25);
    }
    void fieldsMoveTheBoxes()
    {
        QFETCH(QString, field);
        QFETCH(int, value);
        QFETCH(int, itemId);
        QFETCH(QRect, box);
        Fixture fx;
        LayoutDesigner* w = fx.open();
        fx.spin(field)->setValue(value);
        QCOMPARE(boxRect(w, itemId), box);
    }

    // Any whole number is taken, painted without harm and stored as it stands.
    void extremeValuesAreKept()
    {
        Fixture fx(1);
        LayoutDesigner* w = fx.open();
        constexpr int maxInt = std::numeric_limits<int>::max();
        constexpr int minInt = std::numeric_limits<int>::min();
        fx.spin(u"horizontal4"_s)->setValue(20000000);
        fx.spin(u"top4"_s)->setValue(minInt);
        fx.spin(u"width4"_s)->setValue(maxInt);
        fx.spin(u"width3"_s)->setValue(-40);
        fx.spin(u"horizontal6"_s)->setValue(maxInt);
        fx.spin(u"chequeHeight"_s)->setValue(-1);
        QVERIFY(!w->grab().isNull());
        // A picture over an absurdly large cheque is painted without a cheque-sized copy.
        const QString jpeg = fx.dir.filePath(u"c.jpg"_s);
        QFile file(jpeg);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(chequeJpeg({650, 320}));
        file.close();
        DialogSeam::setOpenFileHook([&](const QString&) { return jpeg; });
        fx.click(u"btnLoadPicture"_s);
        QVERIFY(w->showsPicture());
        fx.spin(u"chequeHeight"_s)->setValue(maxInt);
        fx.spin(u"chequeWidth"_s)->setValue(maxInt);
        QVERIFY(!w->grab().isNull());
        fx.spin(u"chequeWidth"_s)->setValue(650);
        fx.spin(u"chequeHeight"_s)->setValue(320);
        fx.click(u"btnSave"_s);
        QCOMPARE(fx.value(u"select SideMargin from tblItemsPrvt where ItemId = 4"_s), 20000000);
        QCOMPARE(fx.value(u"select UpMargin from tblItemsPrvt where ItemId = 4"_s), minInt);
        QCOMPARE(fx.value(u"select Width from tblItemsPrvt where ItemId = 4"_s), maxInt);
        QCOMPARE(fx.value(u"select Width from tblItemsPrvt where ItemId = 3"_s), -40);
        QCOMPARE(fx.value(u"select SideMargin from tblItemsPrvt where ItemId = 3"_s),
                 650 - 48 + 40);
        QCOMPARE(fx.value(u"select SideMargin from tblItemsPrvt where ItemId = 6"_s),
                 650 - maxInt - 47);
        QCOMPARE(fx.value(u"select count(*) from tblChequeImage"_s), 1);
        const LayoutFields shown = w->fields();
        w->refreshGrid(false);
        QCOMPARE(w->fields().item(4), shown.item(4));
        QCOMPARE(w->fields().item(3), shown.item(3));
    }

    void typingIntoAFieldTakesEffectAtOnce()
    {
        Fixture fx;
        LayoutDesigner* w = fx.open();
        w->showTab(1);
        QSpinBox* top = fx.spin(u"top2"_s);
        top->setFocus();
        top->selectAll();
        QTest::keyClicks(top, u"7"_s);
        QCOMPARE(boxRect(w, 2).top(), 7);
        QTest::keyClicks(top, u"5"_s);
        QCOMPARE(boxRect(w, 2).top(), 75);
        QCOMPARE(top->minimum(), std::numeric_limits<int>::min());
        QCOMPARE(top->maximum(), std::numeric_limits<int>::max());
    }

    void draggingAndArrowKeysUpdateTheFields()
    {
        Fixture fx;
        LayoutDesigner* w = fx.open();
        fx.spin(u"width9"_s)->setValue(52); // the constant text: left 20, width 52
        QCOMPARE(boxRect(w, 9), QRect(20, 253, 52, 25));
        fx.drag(QPoint(40, 260), QPoint(53, 260));
        QCOMPARE(w->currentTabCaption(), u"متن ثابت"_s);
        QCOMPARE(boxRect(w, 9).topLeft().x(), 30);
        QCOMPARE(boxRect(w, 9).width(), 50);
        QCOMPARE(fx.spin(u"horizontal9"_s)->value(), 30);
        QCOMPARE(fx.spin(u"width9"_s)->value(), 50);
        QCOMPARE(fx.spin(u"top9"_s)->value(), boxRect(w, 9).top());

        Fixture fx2;
        LayoutDesigner* w2 = fx2.open();
        fx2.spin(u"width9"_s)->setValue(52);
        w2->resizeHandles()->select(w2->itemBox(9));
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(fx2.overlay(), Qt::Key_Right);
        QCOMPARE(boxRect(w2, 9), QRect(23, 253, 52, 25));
        QCOMPARE(fx2.spin(u"horizontal9"_s)->value(), 23);

        // A right-measured box: the right margin follows, exact arithmetic.
        w2->resizeHandles()->select(w2->itemBox(2));
        QTest::keyClick(fx2.overlay(), Qt::Key_Left);
        QTest::keyClick(fx2.overlay(), Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(boxRect(w2, 2), QRect(561, 39, 53, 25));
        QCOMPARE(fx2.spin(u"horizontal2"_s)->value(), 36);
        QCOMPARE(fx2.spin(u"width2"_s)->value(), 53);
        // The keys went to the boxes, not to the window's Escape.
        QTest::keyClick(fx2.overlay(), Qt::Key_Escape);
        QVERIFY(fx2.window);
        QVERIFY(w2->resizeHandles()->selection().isEmpty());
    }

    void selectingABoxShowsItsTabAndPresetsTheFontDialog()
    {
        Fixture fx;
        LayoutDesigner* w = fx.open();
        const QRect r = boxRect(w, 5);
        QTest::mouseClick(fx.overlay(), Qt::LeftButton, {}, r.center());
        QCOMPARE(w->currentTabCaption(), u"مبلغ حرفي"_s);
        QFont preset;
        DialogSeam::setFontHook([&](const QFont& initial) {
            preset = initial;
            return std::optional<QFont>();
        });
        QTest::mouseClick(fx.child<QToolButton>(u"fontButton5"_s), Qt::LeftButton);
        QCOMPARE(preset.family(), u"Tahoma"_s);
        QCOMPARE(preset.pointSize(), 8);
        QVERIFY(!preset.bold());
    }

    void choosingAFontChangesOnlyThatItem()
    {
        Fixture fx;
        LayoutDesigner* w = fx.open();
        QStringList keyboard;
        setKeyboardLayer(std::make_unique<RecordingKeyboard>(&keyboard));
        w->showTab(9); // the cover
        QList<QFont> presets;
        DialogSeam::setFontHook([&](const QFont& initial) {
            presets << initial;
            QFont f(u"Tahoma"_s);
            f.setPointSize(14);
            f.setUnderline(true);
            return std::optional<QFont>(f);
        });
        const LayoutFields before = w->fields();
        QTest::mouseClick(fx.child<QToolButton>(u"fontButton10"_s), Qt::LeftButton);
        QLabel* cover = w->itemBox(10);
        QVERIFY(cover->font().underline());
        QCOMPARE(cover->font().pointSize(), 14);
        QCOMPARE(fx.child<QLineEdit>(u"fontName10"_s)->text(), u"Tahoma"_s);
        QCOMPARE(fx.child<QLineEdit>(u"fontStyle10"_s)->text(), QString());
        QCOMPARE(fx.child<QLineEdit>(u"fontSize10"_s)->text(), u"14"_s);
        QCOMPARE(cover->width(), 115); // a font never resizes a box
        LayoutFields expected = before;
        expected.item(10).fontName = u"Tahoma"_s;
        expected.item(10).fontStyle.clear();
        expected.item(10).fontSize = u"14"_s;
        QCOMPARE(w->fields(), expected);
        QCOMPARE(keyboard, (QStringList{u"00000409"_s, u"00000429"_s}));

        // Pressed again without another tab in between (selecting the cover's own box shows
        // no other): preset with the tab's font as it was shown.
        w->resizeHandles()->select(cover);
        QTest::mouseClick(fx.child<QToolButton>(u"fontButton10"_s), Qt::LeftButton);
        QCOMPARE(presets.size(), 2);
        QCOMPARE(presets[1].family(), u"Microsoft Sans Serif"_s);
        QCOMPARE(presets[1].pointSize(), 36);
        QVERIFY(presets[1].bold());
        // Showing the tab again takes the chosen font from its fields.
        w->showTab(0);
        w->showTab(9);
        QCOMPARE(w->currentFont().family(), u"Tahoma"_s);
        QCOMPARE(w->currentFont().pointSize(), 14);
        QVERIFY(!w->currentFont().bold());

        // Cancelled: nothing changes but the input language.
        keyboard.clear();
        DialogSeam::setFontHook([](const QFont&) { return std::optional<QFont>(); });
        QTest::mouseClick(fx.child<QToolButton>(u"fontButton10"_s), Qt::LeftButton);
        QCOMPARE(w->fields(), expected);
        QCOMPARE(keyboard, QStringList{u"00000409"_s});
        setKeyboardLayer(nullptr);
    }

    void boxesSitOnTheirPhysicalSides()
    {
        Fixture fx;
        LayoutDesigner* w = fx.open();
        // Wide boxes: the text of a right-measured item hugs the right edge, others the left.
        for (int id : {2, 4, 7})
            fx.spin(u"width%1"_s.arg(id))->setValue(300);
        auto inkSpan = [w](QLabel* box) {
            // The box over the white picture area, as the user sees it.
            const QImage image = w->pictureArea()->grab(box->geometry()).toImage();
            int first = image.width(), last = -1;
            for (int x = 0; x < image.width(); ++x)
                for (int y = 0; y < image.height(); ++y)
                    if (qGray(image.pixel(x, y)) < 128) {
                        first = std::min(first, x);
                        last = std::max(last, x);
                    }
            return std::pair{first, last};
        };
        const auto [l2, r2] = inkSpan(w->itemBox(2));
        QVERIFY2(r2 > 285 && l2 > 150, qPrintable(u"%1..%2"_s.arg(l2).arg(r2)));
        const auto [l4, r4] = inkSpan(w->itemBox(4));
        QVERIFY2(l4 < 15 && r4 < 200, qPrintable(u"%1..%2"_s.arg(l4).arg(r4)));
        QCOMPARE(w->itemBox(7)->layoutDirection(), Qt::LeftToRight);
        QCOMPARE(w->itemBox(7)->text(), u"Perforate"_s);
        const auto [l7, r7] = inkSpan(w->itemBox(7));
        QVERIFY(l7 < 15);
        Q_UNUSED(r7);

        // Texts run beyond narrow boxes, except the cover's, which is cut at its right edge.
        auto inkIn = [w](const QRect& r) {
            const QImage image = w->pictureArea()->grab(r).toImage();
            for (int x = 0; x < image.width(); ++x)
                for (int y = 0; y < image.height(); ++y)
                    if (qGray(image.pixel(x, y)) < 128)
                        return true;
            return false;
        };
        fx.spin(u"width4"_s)->setValue(10);
        fx.spin(u"width2"_s)->setValue(10);
        const QRect b4 = boxRect(w, 4), b2 = boxRect(w, 2), b10 = boxRect(w, 10);
        QVERIFY(inkIn(QRect(b4.right() + 1, b4.top(), 40, b4.height())));
        QVERIFY(inkIn(QRect(b2.left() - 40, b2.top(), 40, b2.height())));
        QVERIFY(inkIn(b10));
        QVERIFY(!inkIn(QRect(b10.right() + 1, b10.top(), 100, b10.height())));
    }

    void loadingAPicture()
    {
        Fixture fx(1);
        LayoutDesigner* w = fx.open();
        const QString good = fx.dir.filePath(u"cheque.jpg"_s);
        const QString bad = fx.dir.filePath(u"broken.jpg"_s);
        {
            QFile f(good);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(chequeJpeg({1300, 640}));
            QFile b(bad);
            QVERIFY(b.open(QIODevice::WriteOnly));
            b.write("not a picture at all");
        }
        QString filter;
        QString answer = good;
        DialogSeam::setOpenFileHook([&](const QString& f) {
            filter = f;
            return answer;
        });
        fx.click(u"btnLoadPicture"_s);
        QVERIFY(filter.contains(u"*.jpg"_s) && filter.contains(u"*.jpeg"_s));
        QVERIFY(w->showsPicture());
        const QByteArray shown = w->shownPictureJpeg();

        answer = bad;
        fx.click(u"btnLoadPicture"_s);
        QCOMPARE(fx.recorded.messages.size(), 1);
        QVERIFY(fx.recorded.messages[0].fromEventLoop);
        QVERIFY(fx.recorded.messages[0].text.contains(u"broken.jpg"_s));
        QCOMPARE(w->shownPictureJpeg(), shown); // the shown picture stays

        // A FIFO or a device is refused at once, never waited on or read without end.
        const QString fifo = fx.dir.filePath(u"fifo.jpg"_s);
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        for (const QString& special : {fifo, u"/dev/zero"_s}) {
            fx.recorded.messages.clear();
            answer = special;
            fx.click(u"btnLoadPicture"_s);
            QCOMPARE(fx.recorded.messages.size(), 1);
            QVERIFY(fx.recorded.messages[0].text.contains(QFileInfo(special).fileName()));
            QCOMPARE(w->shownPictureJpeg(), shown);
        }

        fx.recorded.messages.clear();
        fx.click(u"btnSave"_s);
        QCOMPARE(fx.texts(), QStringList{u"تاييد ثبت تنظيمات ؟"_s}); // no warning: a picture shows
        QCOMPARE(ReadLayout(fx.dm->connection(), 1).pictureJpeg, shown);
        fx.click(u"btnSave"_s);
        QCOMPARE(fx.value(u"select count(*) from tblChequeImage"_s), 1);
        QCOMPARE(fx.value(u"select count(*) from tblItemsPrvt"_s), kLayoutRowCount);
    }

    // Exported from one account and imported into another through the designer's buttons;
    // a damaged file is refused and the account keeps its layout.
    void sharingALayoutBetweenAccounts()
    {
        Fixture fx(2);
        LayoutDesigner* w = fx.open();
        fx.selectAccountRow(0);
        fx.spin(u"chequeWidth"_s)->setValue(701);
        fx.click(u"btnSave"_s);
        const LayoutRows first = ReadLayout(fx.dm->connection(), 1).rows;
        QCOMPARE(first[0].sideMargin, 701);

        const QString file = fx.dir.filePath(u"shared.zip"_s);
        QString suggested;
        DialogSeam::setSaveFileHook([&](const QString&, const QString& s) {
            suggested = s;
            return file;
        });
        fx.recorded.messages.clear();
        fx.click(u"btnExportLayout"_s);
        DialogSeam::setSaveFileHook({});
        QVERIFY(suggested.endsWith(u".zip"_s));
        QCOMPARE(fx.recorded.messages.size(), 1);
        QCOMPARE(fx.recorded.messages[0].kind, MessageKind::Information);

        fx.selectAccountRow(1);
        QCOMPARE(w->currentAccountId(), 2);
        DialogSeam::setOpenFileHook([&](const QString&) { return file; });
        fx.click(u"btnImportLayout"_s);
        QVERIFY(ReadLayout(fx.dm->connection(), 2).rows == first);
        QCOMPARE(fx.spin(u"chequeWidth"_s)->value(), 701);

        QFile damaged(file);
        QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
        damaged.write("PK\x03\x04 damaged");
        damaged.close();
        fx.recorded.messages.clear();
        fx.click(u"btnImportLayout"_s);
        QCOMPARE(fx.recorded.messages.size(), 2); // the question, then the refusal
        QCOMPARE(fx.recorded.messages[1].kind, MessageKind::Error);
        QVERIFY(fx.recorded.messages[1].text.startsWith(u"پرونده طرح چك معتبر نيست"_s));
        QVERIFY(ReadLayout(fx.dm->connection(), 2).rows == first);
    }

    void deletingAnAccount()
    {
        Fixture fx(2);
        LayoutDesigner* w = fx.open();
        fx.click(u"btnSave"_s);
        fx.recorded.answers = {false};
        fx.click(u"btnDelete"_s);
        QCOMPARE(fx.value(u"select count(*) from tblAccountMst"_s), 2);
        fx.click(u"btnDelete"_s);
        QCOMPARE(fx.texts().last(), u"تاييد حذف اطلاعات ؟"_s);
        QCOMPARE(fx.value(u"select count(*) from tblAccountMst"_s), 1);
        QCOMPARE(fx.value(u"select count(*) from tblItemsPrvt"_s), 0);
        QCOMPARE(w->currentAccountId(), 2);
        fx.click(u"btnDelete"_s);
        QCOMPARE(fx.value(u"select count(*) from tblAccountMst"_s), 0);
        QCOMPARE(fx.child<QTableView>(u"accountGrid"_s)->model()->rowCount(), 0);
    }

    void newAccountThroughTheEditorSelectsIt()
    {
        Fixture fx(1);
        LayoutDesigner* w = fx.open();
        QTimer::singleShot(0, [] {
            QWidget* editor = QApplication::activeModalWidget();
            QVERIFY(editor);
            editor->findChild<QLineEdit*>(u"bankNameEdit"_s)->setText(u"new bank"_s);
            editor->findChild<QLineEdit*>(u"displayOrderEdit"_s)->setText(u"9"_s);
            QTest::mouseClick(editor->findChild<QAbstractButton*>(u"saveButton"_s), Qt::LeftButton);
        });
        fx.click(u"btnNew"_s);
        QCOMPARE(fx.value(u"select count(*) from tblAccountMst"_s), 2);
        QCOMPARE(w->currentAccountId(), 2); // the last in display order
    }

    void editingAnAccountStaysOnIt()
    {
        Fixture fx(2);
        LayoutDesigner* w = fx.open();
        fx.selectAccountRow(1);
        QCOMPARE(w->currentAccountId(), 2);
        QTimer::singleShot(0, [] {
            QWidget* editor = QApplication::activeModalWidget();
            QVERIFY(editor);
            QCOMPARE(editor->findChild<QLineEdit*>(u"bankNameEdit"_s)->text(), u"bank 2"_s);
            editor->findChild<QLineEdit*>(u"displayOrderEdit"_s)
                ->setText(u"0"_s); // now listed first
            QTest::mouseClick(editor->findChild<QAbstractButton*>(u"saveButton"_s), Qt::LeftButton);
        });
        fx.click(u"btnEdit"_s);
        QCOMPARE(w->currentAccountId(), 2);
        QCOMPARE(fx.child<QTableView>(u"accountGrid"_s)->currentIndex().row(), 0);
    }

    void enterMovesOnAndEscapeCloses()
    {
        Fixture fx;
        LayoutDesigner* w = fx.open();
        w->activateWindow();
        QSpinBox* width = fx.spin(u"chequeWidth"_s);
        width->setFocus();
        QTest::keyClick(width, Qt::Key_Return);
        QVERIFY(QApplication::focusWidget() != width &&
                !width->isAncestorOf(QApplication::focusWidget()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!fx.window);
    }

    void rulerUnitButtonsSetBothRulers()
    {
        Fixture fx;
        fx.open();
        auto* rulers = fx.child<RulerFrame>(u"rulers"_s);
        QCOMPARE(rulers->unit(), Ruler::Unit::Millimetre);
        QVERIFY(fx.child<QToolButton>(u"btnUnitmm"_s)->isChecked());
        const std::pair<const char*, Ruler::Unit> cases[] = {{"Cm", Ruler::Unit::Centimetre},
                                                             {"Inch", Ruler::Unit::Inch},
                                                             {"Pixel", Ruler::Unit::Pixel},
                                                             {"mm", Ruler::Unit::Millimetre}};
        for (const auto& [caption, unit] : cases) {
            fx.click(u"btnUnit"_s + QLatin1String(caption));
            QCOMPARE(rulers->horizontalRuler()->unit(), unit);
            QCOMPARE(rulers->verticalRuler()->unit(), unit);
            QCOMPARE(rulers->corner()->unit(), unit);
        }
        QCOMPARE(rulers->area(), fx.window->pictureArea());
        QCOMPARE(fx.window->pictureArea()->pos(), QPoint(25, 25));
    }

    // One mouse drag, however many moves it makes, is one step; undo puts the box and its
    // fields back together, redo moves both again. The buttons and keys follow the stack.
    void dragIsOneUndoStep()
    {
        Fixture fx;
        LayoutDesigner* w = fx.open();
        auto* undoButton = fx.child<QToolButton>(u"btnUndo"_s);
        auto* redoButton = fx.child<QToolButton>(u"btnRedo"_s);
        QVERIFY(!undoButton->isEnabled() && !redoButton->isEnabled());
        fx.spin(u"width9"_s)->setValue(52);
        QVERIFY(undoButton->isEnabled());
        if (!qEnvironmentVariableIsEmpty("NILO_SHOTS"))
            w->grab().save(qEnvironmentVariable("NILO_SHOTS") + u"/designer_undo.png"_s);
        // The drag snaps the box to the 10 px grid: left 30, top 250, width 50.
        fx.drag(QPoint(40, 260), QPoint(53, 260), {{42, 261}, {47, 262}, {50, 259}});
        QCOMPARE(place(w, 9), QRect(30, 250, 50, 1));
        QCOMPARE(fx.undo()->count(), 2);

        QTest::mouseClick(undoButton, Qt::LeftButton);
        QCOMPARE(place(w, 9), QRect(20, 253, 52, 1));
        QCOMPARE(fx.spin(u"horizontal9"_s)->value(), 20);
        QCOMPARE(fx.spin(u"top9"_s)->value(), 253);
        QCOMPARE(fx.spin(u"width9"_s)->value(), 52);
        QVERIFY(redoButton->isEnabled());
        QTest::mouseClick(redoButton, Qt::LeftButton);
        QCOMPARE(place(w, 9), QRect(30, 250, 50, 1));
        QCOMPARE(fx.spin(u"horizontal9"_s)->value(), 30);
        QCOMPARE(fx.spin(u"top9"_s)->value(), 250);
        QCOMPARE(fx.spin(u"width9"_s)->value(), 50);

        // The keys, from the picture where the box is selected.
        QTest::keyClick(fx.overlay(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(fx.spin(u"horizontal9"_s)->value(), 20);
        QTest::keyClick(fx.overlay(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(fx.spin(u"width9"_s)->value(), 168);
        QCOMPARE(place(w, 9), QRect(20, 253, 168, 1));
        QVERIFY(!undoButton->isEnabled());
        QTest::keyClick(fx.overlay(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(fx.overlay(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(place(w, 9), QRect(30, 250, 50, 1));
        QVERIFY(!redoButton->isEnabled());

        // A drag given up with Escape is no step.
        QTest::mousePress(fx.overlay(), Qt::LeftButton, {}, QPoint(40, 260));
        QMouseEvent move(QEvent::MouseMove, QPoint(90, 260),
                         fx.overlay()->mapToGlobal(QPoint(90, 260)), Qt::NoButton, Qt::LeftButton,
                         {});
        QApplication::sendEvent(fx.overlay(), &move);
        QTest::keyClick(fx.overlay(), Qt::Key_Escape);
        QTest::mouseRelease(fx.overlay(), Qt::LeftButton, {}, QPoint(90, 260));
        QCOMPARE(fx.undo()->count(), 2);
    }

    // Digits typed into one field in a row are one step; another field starts another step.
    // Ctrl+Z in a field undoes the layout's last step, not the field's own text.
    void typedFieldIsOneUndoStep()
    {
        Fixture fx;
        LayoutDesigner* w = fx.open();
        w->showTab(1);
        QSpinBox* top = fx.spin(u"top2"_s);
        top->setFocus();
        top->selectAll();
        QTest::keyClicks(top, u"75"_s);
        QCOMPARE(boxRect(w, 2).top(), 75);
        QCOMPARE(fx.undo()->count(), 1);
        QSpinBox* width = fx.spin(u"width2"_s);
        width->setFocus();
        width->selectAll();
        QTest::keyClicks(width, u"80"_s);
        QCOMPARE(fx.undo()->count(), 2);
        QCOMPARE(boxRect(w, 2), QRect(534, 75, 80, 25));

        // The last step is undone whichever field holds the focus.
        top->setFocus();
        QTest::keyClick(top, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(width->value(), 52);
        QCOMPARE(top->value(), 75);
        QCOMPARE(boxRect(w, 2), QRect(562, 75, 52, 25));
        QTest::keyClick(top, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(top->value(), 39);
        QCOMPARE(boxRect(w, 2), QRect(562, 39, 52, 25));
        QCOMPARE(w->fields(), StartingFields());
        QVERIFY(fx.undo()->isClean());
        QTest::keyClick(top, Qt::Key_Y, Qt::ControlModifier);
        QTest::keyClick(top, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(top->value(), 75);
        QCOMPARE(width->value(), 80);

        // Typed back to where it began, the field leaves no step behind.
        fx.undo()->undo();
        top->selectAll();
        QTest::keyClicks(top, u"3"_s);
        QTest::keyClicks(top, u"9"_s);
        QCOMPARE(top->value(), 39);
        QCOMPARE(fx.undo()->count(), 0);
        QVERIFY(fx.undo()->isClean());
    }

    void fontChangeIsOneUndoStep()
    {
        Fixture fx;
        LayoutDesigner* w = fx.open();
        DialogSeam::setFontHook([](const QFont&) {
            QFont f(u"Tahoma"_s);
            f.setPointSize(14);
            f.setUnderline(true);
            return std::optional<QFont>(f);
        });
        QTest::mouseClick(fx.child<QToolButton>(u"fontButton10"_s), Qt::LeftButton);
        QLabel* cover = w->itemBox(10);
        QVERIFY(cover->font().underline());
        QCOMPARE(fx.undo()->count(), 1);
        fx.undo()->undo();
        QCOMPARE(fx.child<QLineEdit>(u"fontName10"_s)->text(), u"Microsoft Sans Serif"_s);
        QCOMPARE(fx.child<QLineEdit>(u"fontStyle10"_s)->text(), u"Bold"_s);
        QCOMPARE(fx.child<QLineEdit>(u"fontSize10"_s)->text(), u"36"_s);
        QCOMPARE(cover->font().family(), u"Microsoft Sans Serif"_s);
        QCOMPARE(cover->font().pointSize(), 36);
        QVERIFY(cover->font().bold() && !cover->font().underline());
        fx.undo()->redo();
        QCOMPARE(cover->font().pointSize(), 14);
        QVERIFY(cover->font().underline() && !cover->font().bold());
        QCOMPARE(fx.child<QLineEdit>(u"fontSize10"_s)->text(), u"14"_s);
    }

    // A switch, a feed and a loaded picture are one step each, as the fields are.
    void switchesFeedsAndPicturesAreUndoSteps()
    {
        Fixture fx(1);
        LayoutDesigner* w = fx.open();
        const QString path = fx.dir.filePath(u"cheque.jpg"_s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(chequeJpeg({650, 320}));
        file.close();
        DialogSeam::setOpenFileHook([&](const QString&) { return path; });

        auto* switch8 = fx.child<QCheckBox>(u"switch8"_s);
        const bool wasOn = switch8->isChecked();
        switch8->click();
        fx.child<QRadioButton>(u"verticalFeed"_s)->click();
        fx.child<QRadioButton>(u"horizontalFeed"_s)->click();
        fx.click(u"btnLoadPicture"_s);
        QVERIFY(w->showsPicture());
        QCOMPARE(fx.undo()->count(), 4);

        fx.undo()->undo();
        QVERIFY(!w->showsPicture());
        fx.undo()->undo();
        QVERIFY(fx.child<QRadioButton>(u"verticalFeed"_s)->isChecked());
        QVERIFY(!w->fields().horizontalFeed && w->fields().verticalFeed);
        fx.undo()->undo();
        QVERIFY(!fx.child<QRadioButton>(u"verticalFeed"_s)->isChecked());
        QVERIFY(!fx.child<QRadioButton>(u"horizontalFeed"_s)->isChecked());
        fx.undo()->undo();
        QCOMPARE(switch8->isChecked(), wasOn);
        QCOMPARE(w->fields(), StartingFields());
        fx.undo()->setIndex(4);
        QVERIFY(w->showsPicture());
        QVERIFY(w->fields().horizontalFeed);
        QCOMPARE(switch8->isChecked(), !wasOn);
    }

    // Another account with the layout's changes unsaved: stay (the account and the changes
    // stay), discard (the other account is read) or save first (written to the account left).
    void leavingUnsavedChangesAsks_data()
    {
        QTest::addColumn<bool>("byClosing");
        QTest::addColumn<Answer>("answer");
        QTest::newRow("switch, stay") << false << Answer::Stay;
        QTest::newRow("switch, discard") << false << Answer::Discard;
        QTest::newRow("switch, save") << false << Answer::Save;
        QTest::newRow("close, stay") << true << Answer::Stay;
        QTest::newRow("close, discard") << true << Answer::Discard;
        QTest::newRow("close, save") << true << Answer::Save;
    }
    void leavingUnsavedChangesAsks()
    {
        QFETCH(bool, byClosing);
        QFETCH(Answer, answer);
        Fixture fx(2);
        LayoutDesigner* w = fx.open();
        fx.answerUnsaved({answer});
        fx.spin(u"top2"_s)->setValue(111);
        QVERIFY(w->hasUnsavedChanges());
        if (byClosing)
            w->close();
        else
            fx.clickAccountRow(1);
        QCOMPARE(fx.texts(), QStringList{Fixture::kUnsavedQuestion});
        QCOMPARE(fx.recorded.messages[0].kind, MessageKind::Confirmation);
        const int saved = fx.value(u"select count(*) from tblItemsPrvt where AccountMstId = 1 and "
                                   "ItemId = 2 and UpMargin = 111"_s);
        QCOMPARE(saved, answer == Answer::Save ? 1 : 0);
        if (answer == Answer::Stay) {
            QVERIFY(fx.window && w->isVisible());
            QCOMPARE(w->currentAccountId(), 1);
            auto* grid = fx.child<QTableView>(u"accountGrid"_s);
            QCOMPARE(grid->selectionModel()->selectedRows().size(), 1);
            QCOMPARE(grid->selectionModel()->selectedRows()[0].row(), 0);
            QCOMPARE(boxRect(w, 2).top(), 111);
            QVERIFY(w->hasUnsavedChanges());
            fx.undo()->undo(); // the changes are still steps to take back
            QCOMPARE(boxRect(w, 2).top(), 39);
            return;
        }
        if (byClosing) {
            QTRY_VERIFY(!fx.window);
            return;
        }
        QCOMPARE(w->currentAccountId(), 2);
        QVERIFY(!w->hasUnsavedChanges() && fx.undo()->count() == 0);
        // Account 2 has no rows and keeps the fields shown: the saved ones, not the discarded.
        QCOMPARE(fx.spin(u"top2"_s)->value(), answer == Answer::Save ? 111 : 39);
    }

    // A save that fails on leaving keeps the window, the account and the changes.
    void failedSaveOnLeavingStays()
    {
        Fixture fx(2);
        LayoutDesigner* w = fx.open();
        fx.exec(u"create trigger t before insert on tblItemsPrvt "
                "begin select raise(abort, 'refused'); end"_s);
        fx.answerUnsaved({Answer::Save, Answer::Save});
        fx.spin(u"top2"_s)->setValue(111);
        fx.clickAccountRow(1);
        QCOMPARE(w->currentAccountId(), 1);
        w->close();
        QVERIFY(fx.window && w->isVisible());
        QCOMPARE(fx.questionsAsked(), 2);
        QVERIFY(fx.texts().last().startsWith(u"اشكال در ثبت اطلاعات\n"_s));
        QCOMPARE(boxRect(w, 2).top(), 111);
        QVERIFY(w->hasUnsavedChanges());
    }

    // Nothing is asked of a clean layout: untouched, just saved, undone back to its state
    // as read, or just read after leaving; other accounts are read at once.
    void cleanLayoutLeavesWithoutAsking()
    {
        Fixture fx(3);
        LayoutDesigner* w = fx.open();
        fx.answerUnsaved({});
        fx.clickAccountRow(1);
        QCOMPARE(w->currentAccountId(), 2);

        fx.spin(u"top2"_s)->setValue(100);
        fx.click(u"btnSave"_s);
        QVERIFY(fx.undo()->isClean() && fx.undo()->count() == 0);
        fx.clickAccountRow(0);
        QCOMPARE(w->currentAccountId(), 1);

        fx.spin(u"top2"_s)->setValue(120);
        fx.spin(u"width2"_s)->setValue(70);
        fx.undo()->undo();
        fx.undo()->undo();
        fx.clickAccountRow(2);
        QCOMPARE(w->currentAccountId(), 3);

        // Refreshing the grid keeps unsaved changes while it ends on their account.
        fx.spin(u"top2"_s)->setValue(130);
        fx.selectAccountRow(0);
        fx.selectAccountRow(2);
        QCoreApplication::processEvents();
        QCOMPARE(boxRect(w, 2).top(), 130);
        fx.undo()->undo();
        QCOMPARE(fx.questionsAsked(), 0);
        w->close();
        QTRY_VERIFY(!fx.window);
        QCOMPARE(fx.questionsAsked(), 0);
    }

    // Without a hook the question is a dialog with three Persian buttons; Escape stays.
    void unsavedQuestionDialog()
    {
        Fixture fx(1);
        LayoutDesigner* w = fx.open();
        fx.spin(u"top2"_s)->setValue(111);
        DialogSeam::setMessageHook({});
        QStringList captions;
        auto answerWith = [&](const QString& button) {
            QTimer::singleShot(0, [&, button] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box);
                QCOMPARE(box->text(), Fixture::kUnsavedQuestion);
                QCOMPARE(box->layoutDirection(), Qt::RightToLeft);
                if (!qEnvironmentVariableIsEmpty("NILO_SHOTS"))
                    box->grab().save(qEnvironmentVariable("NILO_SHOTS") +
                                     u"/designer_unsaved_question.png"_s);
                captions.clear();
                for (QAbstractButton* b : box->buttons())
                    captions << b->text();
                if (button.isEmpty())
                    QTest::keyClick(box, Qt::Key_Escape);
                else
                    box->findChild<QAbstractButton*>(button)->click();
            });
        };
        answerWith({});
        w->close();
        QVERIFY(fx.window);
        captions.sort();
        QCOMPARE(captions, (QStringList{u"انصراف"_s, u"بله"_s, u"خير"_s}));
        answerWith(u"btnStay"_s);
        w->close();
        QVERIFY(fx.window);
        answerWith(u"btnDiscardChanges"_s);
        w->close();
        QTRY_VERIFY(!fx.window);
        QCOMPARE(fx.value(u"select count(*) from tblItemsPrvt"_s), 0);
    }

    // Under a plain message hook the question is a confirmation: accepting saves, refusing
    // stays.
    void unsavedQuestionThroughTheMessageHook()
    {
        Fixture fx(2);
        LayoutDesigner* w = fx.open();
        fx.spin(u"top2"_s)->setValue(111);
        fx.recorded.answers = {false, true};
        fx.clickAccountRow(1);
        QCOMPARE(w->currentAccountId(), 1);
        fx.clickAccountRow(1);
        QCOMPARE(w->currentAccountId(), 2);
        QCOMPARE(fx.questionsAsked(), 2);
        QCOMPARE(fx.value(u"select UpMargin from tblItemsPrvt where AccountMstId = 1 and "
                          "ItemId = 2"_s),
                 111);
    }

    // Closed from its frame in the main window's work area, the designer asks too.
    void closingTheWorkAreaWindowAsks()
    {
        Fixture fx(1);
        MainWindow main;
        main.show();
        auto* item = main.findChild<QAbstractButton*>(u"itemChequeInfo"_s);
        QVERIFY(item);
        QTest::mouseClick(item, Qt::LeftButton);
        QCOMPARE(main.mdiArea()->subWindowList().size(), 1);
        QMdiSubWindow* sub = main.mdiArea()->subWindowList().first();
        auto* w = qobject_cast<LayoutDesigner*>(sub->widget());
        QVERIFY(w);
        fx.window = w;
        QTRY_COMPARE(w->currentAccountId(), 1);
        fx.spin(u"top2"_s)->setValue(111);
        fx.answerUnsaved({Answer::Stay, Answer::Discard});
        sub->close();
        QVERIFY(fx.window && sub->isVisible());
        sub->close();
        QTRY_VERIFY(!fx.window);
        QCOMPARE(fx.questionsAsked(), 2);
    }

    // Quitting the program closes the designer first: staying keeps the program open.
    void closingTheMainWindowAsksForTheDesigner()
    {
        Fixture fx(1);
        MainWindow main;
        main.show();
        QTest::mouseClick(main.findChild<QAbstractButton*>(u"itemChequeInfo"_s), Qt::LeftButton);
        fx.window =
            qobject_cast<LayoutDesigner*>(main.mdiArea()->subWindowList().first()->widget());
        QVERIFY(fx.window);
        QTRY_COMPARE(fx.window->currentAccountId(), 1);
        fx.spin(u"top2"_s)->setValue(111);
        fx.answerUnsaved({Answer::Stay, Answer::Discard});
        QVERIFY(!main.close());
        QVERIFY(fx.window && main.isVisible());
        QVERIFY(main.close());
        QTRY_VERIFY(!fx.window);
        QCOMPARE(fx.questionsAsked(), 2);
    }

    void livesInTheMainWindowWorkArea()
    {
        Fixture fx;
        MainWindow main;
        // The main window's item opens one designer, placed once, however often chosen.
        auto* item = main.findChild<QAbstractButton*>(u"itemChequeInfo"_s);
        QVERIFY(item);
        QTest::mouseClick(item, Qt::LeftButton);
        QTest::mouseClick(item, Qt::LeftButton);
        QCOMPARE(main.mdiArea()->subWindowList().size(), 1);
        QVERIFY(IsChildWindowOpen(&main, u"layoutDesigner"_s));
        QMdiSubWindow* sub = main.mdiArea()->subWindowList().first();
        fx.window = qobject_cast<LayoutDesigner*>(sub->widget());
        QVERIFY(fx.window);
        QCOMPARE(fx.window->size(), QSize(736, 638));
        QCOMPARE(sub->minimumSize(), sub->maximumSize());
        QVERIFY(!(sub->windowFlags() & Qt::WindowMaximizeButtonHint));
        sub->close();
        QTRY_VERIFY(!fx.window);
        QVERIFY(!IsChildWindowOpen(&main, u"layoutDesigner"_s));
    }
};

int main(int argc, char** argv)
{
    NiloApplication app(argc, argv);
    RegisterProgramFonts();
    DesignerTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_designer.moc"
