// The main window: navigation bar, date panel, clock faces and their settings file, the
// background picture, the themes and where they are stored, child windows, the wheel rule.
#include "core/calendar/Today.h"
#include "core/errors/AppError.h"
#include "core/storage/Database.h"
#include "core/storage/DatabaseSchema.h"
#include "core/storage/ImageCodec.h"
#include "gui/common/MessageBox.h"
#include "gui/common/NiloApplication.h"
#include "gui/common/Themes.h"
#include "gui/common/WheelFilter.h"
#include "gui/credits/CreditsDialog.h"
#include "gui/designer/LayoutDesigner.h"
#include "gui/help/HelpSystem.h"
#include "gui/mainwindow/MainWindow.h"

#include <QAction>
#include <QBuffer>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QIcon>
#include <QImageWriter>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QScrollArea>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

QString iniPath(const QTemporaryDir& dir)
{
    return dir.filePath(u"NiloChequePrint.ini"_s);
}

QString readText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

void writeText(const QString& path, const QString& text)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.toUtf8());
}

QByteArray jpegOf(const QColor& color)
{
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 95);
    return bytes;
}

// A progressive JPEG whose frame header claims claimed pixels over a few hundred bytes of data.
QByteArray craftedJpeg(QSize claimed)
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    writer.write(image);
    const qsizetype sof = bytes.indexOf("\xFF\xC2");
    bytes[sof + 5] = char(claimed.height() >> 8), bytes[sof + 6] = char(claimed.height() & 0xFF);
    bytes[sof + 7] = char(claimed.width() >> 8), bytes[sof + 8] = char(claimed.width() & 0xFF);
    return bytes;
}

bool isRed(const QImage& image)
{
    if (image.isNull())
        return false;
    const QColor c = image.pixelColor(image.width() / 2, image.height() / 2);
    return c.red() > 200 && c.green() < 60 && c.blue() < 60;
}

void click(QWidget* widget)
{
    QVERIFY(widget);
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

void sendWheel(QWidget* receiver, QPoint angleDelta)
{
    QWheelEvent wheel(QPointF(5, 5), receiver->mapToGlobal(QPointF(5, 5)), QPoint(), angleDelta,
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(receiver, &wheel);
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<Database> dm_;
    QList<ShownMessage> shown_;

    // A main window over this test's folder, shown (its start-up step has run).
    std::unique_ptr<MainWindow> open()
    {
        auto window = std::make_unique<MainWindow>();
        window->show();
        return window;
    }
    template <class T = QWidget> T* child(const MainWindow& w, const QString& name)
    {
        return w.findChild<T*>(name);
    }

private slots:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        DialogSeam::setMessageHook([this](const ShownMessage& m) { return shown_ << m, true; });
    }

    void init()
    {
        shown_.clear();
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(CreateDatabase(dir_->filePath(u"NiloChequePrint.mdb"_s)).isEmpty());
        dm_ = std::make_unique<Database>(dir_->path());
        QVERIFY(programDatabase && programDatabase->isOpened());
        QDir::setCurrent(dir_->path());
    }

    void cleanup()
    {
        DialogSeam::setOpenFileHook({});
        SetNowForTests({});
        dm_.reset();
        QDir::setCurrent(QDir::tempPath());
        dir_.reset();
    }

    void navigationBarHoldsTheFiveGroupsOnTheRight()
    {
        const auto w = open();
        QCOMPARE(w->objectName(), u"mainWindow"_s);
        QCOMPARE(w->windowTitle(), u"نيلو"_s);
        QCOMPARE(w->layoutDirection(), Qt::RightToLeft);
        w->resize(900, 700);
        QCoreApplication::processEvents();

        auto* bar = child<QScrollArea>(*w, u"navigationScroller"_s);
        QVERIFY(bar);
        QCOMPARE(bar->width(), 152);
        const QRect barRect(bar->mapTo(w.get(), QPoint()), bar->size());
        const QRect areaRect(w->mdiArea()->mapTo(w.get(), QPoint()), w->mdiArea()->size());
        QCOMPARE(barRect.right(), w->width() - 1);
        QVERIFY(areaRect.right() < barRect.left());

        // Top to bottom: clock, date, cheque operations, facilities, general items.
        QStringList order;
        for (const QString& name :
             {u"AnalogClock1"_s, u"lblMonthYear"_s, u"itemChequeInfo"_s, u"itemChequePrint"_s,
              u"backgroundLink"_s, u"itemHelp"_s, u"itemAbout"_s, u"itemExit"_s}) {
            QWidget* widget = child(*w, name);
            QVERIFY2(widget, qPrintable(name));
            order << QString::number(widget->mapTo(w.get(), QPoint()).y()).rightJustified(5, u'0');
        }
        QStringList sorted = order;
        sorted.sort();
        QCOMPARE(order, sorted);

        const auto text = [&](const QString& name) {
            if (auto* b = child<QAbstractButton>(*w, name))
                return b->text();
            return child<QLabel>(*w, name)->text();
        };
        QCOMPARE(text(u"itemChequeInfo"_s), u"اطلاعات چك"_s);
        QCOMPARE(text(u"itemChequePrint"_s), u"چاپ چك"_s);
        QCOMPARE(text(u"backgroundLink"_s), u"تصوير پس زمينه"_s);
        QCOMPARE(text(u"lblClockCaption"_s), u"ظاهر ساعت"_s);
        QCOMPARE(text(u"lblThemeCaption"_s), u"ظاهر برنامه"_s);
        QCOMPARE(text(u"itemHelp"_s), u"راهنماي كاربران"_s);
        QCOMPARE(text(u"itemAbout"_s), u"درباره نرم افزار"_s);
        QCOMPARE(text(u"itemExit"_s), u"خروج"_s);
        QStringList headers;
        for (QLabel* label : w->findChildren<QLabel*>())
            if (label->property("navRole").toString() == u"header")
                headers << label->text();
        QCOMPARE(headers, (QStringList{u"عمليات چك"_s, u"امكانات"_s}));

        QCOMPARE(w->clock()->size(), QSize(87, 93));
        QCOMPARE(w->clock()->text(), u"نيلـــــو"_s);
        // "Previous" buttons stand at the left, "next" at the right, whatever the direction.
        for (const auto& [previous, next] : {std::pair{u"btnClockPrevious"_s, u"btnClockNext"_s},
                                             std::pair{u"btnThemePrevious"_s, u"btnThemeNext"_s}}) {
            QWidget* p = child(*w, previous);
            QWidget* n = child(*w, next);
            QCOMPARE(p->size(), QSize(25, 25));
            QVERIFY(p->mapTo(w.get(), QPoint()).x() < n->mapTo(w.get(), QPoint()).x());
        }
        QCOMPARE(child(*w, u"imgCalendar"_s)->size(), QSize(130, 150));

        // The logo's box sits in the lower right corner of the work area.
        const QRect logo = w->workArea()->logoRect();
        QCOMPARE(logo.size(), QSize(321, 212));
        QCOMPARE(logo.bottomRight(), w->workArea()->viewport()->rect().bottomRight());

        // The link underlines while the mouse is over it.
        auto* link = child<QLabel>(*w, u"backgroundLink"_s);
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QApplication::sendEvent(link, &enter);
        QVERIFY(link->font().underline());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(link, &leave);
        QVERIFY(!link->font().underline());
    }

    void datePanelShowsTodaysJalaliDate_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("monthYear");
        QTest::addColumn<QString>("day");
        QTest::addColumn<QString>("weekday");
        QTest::newRow("sunday") << QDate(2024, 3, 24) << u"فروردين   1403"_s << u"5"_s
                                << u"يكشنبه"_s;
        QTest::newRow("new year, friday")
            << QDate(2025, 3, 21) << u"فروردين   1404"_s << u"1"_s << u"جمعه"_s;
        QTest::newRow("saturday") << QDate(2025, 3, 22) << u"فروردين   1404"_s << u"2"_s
                                  << u"شنبه"_s;
        QTest::newRow("leap esfand")
            << QDate(2025, 3, 20) << u"اسفند   1403"_s << u"30"_s << u"پنجشنبه"_s;
        QTest::newRow("tuesday") << QDate(2026, 12, 15) << u"آذر   1405"_s << u"24"_s
                                 << u"سه شنبه"_s;
    }
    void datePanelShowsTodaysJalaliDate()
    {
        QFETCH(QDate, today);
        QFETCH(QString, monthYear);
        QFETCH(QString, day);
        QFETCH(QString, weekday);
        // Late in the day, so that the date part alone decides.
        SetNowForTests([today] { return ToDateValue(QDateTime(today, QTime(23, 30))); });
        const auto w = open();
        QCOMPARE(child<QLabel>(*w, u"lblMonthYear"_s)->text(), monthYear);
        QCOMPARE(child<QLabel>(*w, u"lblDay"_s)->text(), day);
        QCOMPARE(child<QLabel>(*w, u"lblWeekday"_s)->text(), weekday);

        // Filled once: the next day does not change a window already shown.
        SetNowForTests([today] { return ToDateValue(today.addDays(1)); });
        w->hide();
        w->show();
        QCOMPARE(child<QLabel>(*w, u"lblDay"_s)->text(), day);
    }

    void firstStartWritesFaceOneAndEveryClickRewritesIt()
    {
        QVERIFY(!QFile::exists(iniPath(*dir_)));
        const auto w = open();
        QCOMPARE(w->settingsFolder(), dir_->path());
        QCOMPARE(ReadIniString(kSettingsFileNamePart, dir_->path(), u"Clock Params"_s, u"No"_s, {}),
                 u"1"_s);
        QVERIFY(readText(iniPath(*dir_)).contains(u"[Clock Params]"_s));
        QCOMPARE(w->faceNumber(), quint8(1));
        QCOMPARE(w->clock()->clockStyle(), AnalogClockStyle::acCronometer);

        const auto stored = [&] {
            return ReadIniString(kSettingsFileNamePart, dir_->path(), u"Clock Params"_s, u"No"_s,
                                 {});
        };
        // The folder was taken at start: later writes go there, wherever the process now is.
        QDir::setCurrent(QDir::tempPath());
        // At face 1 the left button changes nothing, yet writes the face again.
        WriteIniString(kSettingsFileNamePart, dir_->path(), u"Clock Params"_s, u"No"_s, u"x"_s);
        click(child(*w, u"btnClockPrevious"_s));
        QCOMPARE(w->faceNumber(), quint8(1));
        QCOMPARE(stored(), u"1"_s);

        click(child(*w, u"btnClockNext"_s));
        QCOMPARE(w->faceNumber(), quint8(2));
        QCOMPARE(w->clock()->clockStyle(), AnalogClockStyle::acDiner);
        QCOMPARE(stored(), u"2"_s);
        for (int i = 0; i < 6; ++i)
            click(child(*w, u"btnClockNext"_s));
        QCOMPARE(w->faceNumber(), quint8(8));
        QCOMPARE(w->clock()->clockStyle(), AnalogClockStyle::acTrad);

        // At face 8 the right button changes nothing, yet writes 8 again.
        WriteIniString(kSettingsFileNamePart, dir_->path(), u"Clock Params"_s, u"No"_s, u"x"_s);
        click(child(*w, u"btnClockNext"_s));
        QCOMPARE(w->faceNumber(), quint8(8));
        QCOMPARE(stored(), u"8"_s);
    }

    void storedFaceValueSelectsTheFace_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("face");
        QTest::addColumn<AnalogClockStyle>("style");
        const auto entry = [](const QString& value) {
            return u"[Clock Params]\nNo="_s + value + u'\n';
        };
        QTest::newRow("3") << entry(u"3"_s) << 3 << AnalogClockStyle::acFlower;
        QTest::newRow("4 with blanks") << entry(u"  4 "_s) << 4 << AnalogClockStyle::acModern;
        QTest::newRow("7") << entry(u"7"_s) << 7 << AnalogClockStyle::acSystem;
        QTest::newRow("8") << entry(u"8"_s) << 8 << AnalogClockStyle::acTrad;
        // Anything but a whole number 1..8 gives face 1.
        QTest::newRow("0") << entry(u"0"_s) << 1 << AnalogClockStyle::acCronometer;
        QTest::newRow("9") << entry(u"9"_s) << 1 << AnalogClockStyle::acCronometer;
        QTest::newRow("-2") << entry(u"-2"_s) << 1 << AnalogClockStyle::acCronometer;
        QTest::newRow("260") << entry(u"260"_s) << 1 << AnalogClockStyle::acCronometer;
        QTest::newRow("2.5") << entry(u"2.5"_s) << 1 << AnalogClockStyle::acCronometer;
        QTest::newRow("text") << entry(u"five"_s) << 1 << AnalogClockStyle::acCronometer;
        QTest::newRow("empty") << entry(QString()) << 1 << AnalogClockStyle::acCronometer;
        QTest::newRow("key missing") << u"[Other]\nNo=5\n"_s << 1 << AnalogClockStyle::acCronometer;
        QTest::newRow("empty file") << QString() << 1 << AnalogClockStyle::acCronometer;
    }
    void storedFaceValueSelectsTheFace()
    {
        QFETCH(QString, file);
        QFETCH(int, face);
        QFETCH(AnalogClockStyle, style);
        writeText(iniPath(*dir_), file);
        const auto w = open();
        QCOMPARE(int(w->faceNumber()), face);
        QCOMPARE(w->clock()->clockStyle(), style);
        // The file is read, not rewritten, at start.
        QCOMPARE(readText(iniPath(*dir_)), file);
    }

    // Root writes through any permission, so the settings file's folder is made unwritable
    // for everyone: the file's name leads, by a link, into a folder that is a plain file.
    void unwritableSettingsFolderIsReportedAndTheWindowStillOpens()
    {
        writeText(dir_->filePath(u"blocker"_s), u"not a folder"_s);
        QVERIFY(QFile::link(dir_->filePath(u"blocker/NiloChequePrint.ini"_s), iniPath(*dir_)));
        QVERIFY(!QFileInfo::exists(iniPath(*dir_))); // the link leads nowhere: no settings yet
        const auto w = open();
        QCOMPARE(w->faceNumber(), quint8(1));
        QCOMPARE(shown_.size(), 1);
        QVERIFY(shown_[0].fromEventLoop);
        QVERIFY2(shown_[0].text.startsWith(u"Unable to write to "_s + iniPath(*dir_)),
                 qPrintable(shown_[0].text));
    }

    void themeIsStoredByTheCloseBox()
    {
        {
            const auto w = open();
            QCOMPARE(w->themeNumber(), quint8(0)); // no row yet
            QCOMPARE(SelectedTheme(), 0);
            for (int i = 0; i < 3; ++i)
                click(child(*w, u"btnThemeNext"_s));
            QCOMPARE(w->themeNumber(), quint8(3));
            // Applied at once, to the whole program, and not stored yet.
            QCOMPARE(SelectedTheme(), 3);
            QCOMPARE(qApp->styleSheet(), ThemeStyleSheet(3));
            QCOMPARE(QApplication::palette().color(QPalette::Window),
                     QColor(ThemeColorsOf(3).window));
            QCOMPARE(dm_->readThemeId(), std::nullopt);
            QVERIFY(w->close());
            QCOMPARE(dm_->readThemeId(), std::optional<int>(3));
        }
        const auto again = open();
        QCOMPARE(again->themeNumber(), quint8(3));
        QCOMPARE(SelectedTheme(), 3);
    }

    // Style sheets cut a control off its window's font; the program's font must still reach
    // every control, before and after a change of theme.
    void controlsKeepTheProgramFontUnderEveryTheme()
    {
        const auto w = open();
        QWidget window;
        window.setFont(QFont(u"Tahoma"_s, 8));
        auto* label = new QLabel(u"x"_s, &window);
        auto* edit = new QLineEdit(&window);
        window.show();
        for (const auto step : {MainWindow::Step::Next, MainWindow::Step::Next}) {
            for (QWidget* control :
                 std::initializer_list<QWidget*>{label, edit, child(*w, u"lblClockCaption"_s)}) {
                QCOMPARE(control->font().family(), u"Tahoma"_s);
                QCOMPARE(control->font().pointSize(), 8);
            }
            w->changeTheme(step);
        }
    }

    void themeButtonsStopAtBothEnds()
    {
        dm_->writeThemeId(0);
        auto w = open();
        click(child(*w, u"btnThemePrevious"_s));
        QCOMPARE(w->themeNumber(), quint8(0));
        w.reset();

        dm_->writeThemeId(9);
        w = open();
        QCOMPARE(SelectedTheme(), 9);
        click(child(*w, u"btnThemeNext"_s));
        QCOMPARE(w->themeNumber(), quint8(9));
        click(child(*w, u"btnThemePrevious"_s));
        QCOMPARE(w->themeNumber(), quint8(8));
        QCOMPARE(SelectedTheme(), 8);
    }

    void storedThemeOutsideTheRangeSelectsThemeZero_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("theme");
        QTest::newRow("9") << 9 << 9;
        QTest::newRow("10") << 10 << 0;
        QTest::newRow("-1") << -1 << 0;
        QTest::newRow("265") << 265 << 0;
    }
    void storedThemeOutsideTheRangeSelectsThemeZero()
    {
        QFETCH(int, stored);
        QFETCH(int, theme);
        dm_->writeThemeId(stored);
        const auto w = open();
        QCOMPARE(int(w->themeNumber()), theme);
        QCOMPARE(SelectedTheme(), theme);
    }

    void everyThemeHasItsOwnSheetAndPalette()
    {
        QSet<QString> sheets;
        QSet<QRgb> windows;
        for (int n = 0; n < kThemeCount; ++n) {
            const QString sheet = ThemeStyleSheet(n);
            QVERIFY2(sheet.contains(u"#navigationBar"_s), qPrintable(QString::number(n)));
            QVERIFY2(!sheet.contains(u'@'), "a placeholder was left unfilled");
            sheets << sheet;
            windows << ThemePalette(n).color(QPalette::Window).rgb();
        }
        QCOMPARE(sheets.size(), kThemeCount);
        QCOMPARE(windows.size(), kThemeCount);
    }

    void chosenBackgroundIsStoredPackedAndShownNextTime()
    {
        const QByteArray jpeg = jpegOf(Qt::red);
        const QString file = dir_->filePath(u"red.jpg"_s);
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(jpeg);
        }
        QString filterAsked;
        DialogSeam::setOpenFileHook(
            [&](const QString& filter) { return filterAsked = filter, file; });
        {
            const auto w = open();
            // No row yet: the built-in picture.
            QCOMPARE(w->workArea()->backgroundImage().cacheKey(),
                     MainWindow::defaultBackground().cacheKey());
            click(child(*w, u"backgroundLink"_s));
            QVERIFY(filterAsked.contains(u"*.jpg"_s) && filterAsked.contains(u"*.jpeg"_s));
            QVERIFY(isRed(w->workArea()->backgroundImage()));
        }
        const QByteArray stored = dm_->readBackImage();
        QVERIFY(stored.startsWith("PK\x03\x04"));
        QVERIFY(stored.contains("K2741B"));
        QByteArray unpacked;
        UnpackImageStream(stored, unpacked);
        QCOMPARE(unpacked, jpeg);

        const auto next = open();
        QVERIFY(isRed(next->workArea()->backgroundImage()));
    }

    void cancelledChoiceChangesNothing()
    {
        dm_->writeBackImage([] {
            QByteArray packed;
            PackImageStream(jpegOf(Qt::red), packed);
            return packed;
        }());
        const QByteArray before = dm_->readBackImage();
        const auto w = open();
        DialogSeam::setOpenFileHook([](const QString&) { return QString(); });
        click(child(*w, u"backgroundLink"_s));
        QVERIFY(isRed(w->workArea()->backgroundImage()));
        QVERIFY(shown_.isEmpty());
        QCOMPARE(dm_->readBackImage(), before);
    }

    // A file that is no whole JPEG, or no regular file of its folder, gets a Persian message at
    // once; the previous picture stays on screen and in the database.
    void refusedChoiceKeepsThePictureAndSaysWhyInPersian_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"text", "png", "truncated jpeg", "crafted header", "/dev/zero",
                                 "fifo", "link out of its folder", "missing", "not storable"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }
    void refusedChoiceKeepsThePictureAndSaysWhyInPersian()
    {
        QFETCH(QString, kind);
        dm_->writeBackImage([] {
            QByteArray packed;
            PackImageStream(jpegOf(Qt::red), packed);
            return packed;
        }());
        const QByteArray before = dm_->readBackImage();
        const auto w = open();
        QTemporaryDir elsewhere;
        QString file = dir_->filePath(u"picture.jpg"_s);
        const auto write = [](const QString& path, const QByteArray& bytes) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        };
        if (kind == u"text"_s) {
            write(file, "not a picture");
        } else if (kind == u"png"_s) {
            file = dir_->filePath(u"picture.png"_s);
            QImage image(32, 32, QImage::Format_RGB32);
            image.fill(Qt::green);
            QVERIFY(image.save(file, "PNG"));
        } else if (kind == u"truncated jpeg"_s) {
            const QByteArray whole = jpegOf(Qt::green);
            write(file, whole.left(whole.size() * 2 / 3));
        } else if (kind == u"crafted header"_s) {
            write(file, craftedJpeg({7071, 7071}));
        } else if (kind == u"/dev/zero"_s) {
            file = u"/dev/zero"_s;
        } else if (kind == u"fifo"_s) {
            QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
        } else if (kind == u"link out of its folder"_s) {
            write(elsewhere.filePath(u"green.jpg"_s), jpegOf(Qt::green));
            QVERIFY(QFile::link(elsewhere.filePath(u"green.jpg"_s), file));
        } else if (kind == u"not storable"_s) {
            write(file, jpegOf(Qt::green));
            QSqlQuery q(dm_->connection());
            QVERIFY(q.exec(u"create trigger refuse before update on tblBackground "
                           "begin select raise(abort, 'database or disk is full'); end"_s));
        }
        DialogSeam::setOpenFileHook([&](const QString&) { return file; });
        QElapsedTimer t;
        t.start();
        click(child(*w, u"backgroundLink"_s));
        QVERIFY(t.elapsed() < 2000);
        QCOMPARE(shown_.size(), 1);
        QVERIFY(!shown_[0].fromEventLoop);
        QCOMPARE(shown_[0].kind, MessageKind::Error);
        if (kind == u"not storable"_s) // what failed, what to do, then the database's words
            QVERIFY(
                shown_[0].text.startsWith(DatabaseWriteFailed() + u"\ndatabase or disk is full"_s));
        else
            QVERIFY(shown_[0].text.contains(QFileInfo(file).fileName()));
        QVERIFY(shown_[0].text.endsWith(u"تصوير پس زمينه تغيير نكرد."_s));
        QVERIFY(!shown_[0].text.contains(u"readable"_s));
        QVERIFY(isRed(w->workArea()->backgroundImage()));
        QCOMPARE(dm_->readBackImage(), before);
    }

    void builtInPictureCanBeChosenAgain()
    {
        dm_->writeBackImage([] {
            QByteArray packed;
            PackImageStream(jpegOf(Qt::red), packed);
            return packed;
        }());
        {
            const auto w = open();
            QVERIFY(isRed(w->workArea()->backgroundImage()));
            auto* link = child(*w, u"backgroundLink"_s);
            QCOMPARE(link->contextMenuPolicy(), Qt::ActionsContextMenu);
            auto* builtIn = link->findChild<QAction*>(u"actBuiltInBackground"_s);
            QVERIFY(builtIn && link->actions().contains(builtIn));
            builtIn->trigger();
            QCOMPARE(w->workArea()->backgroundImage().cacheKey(),
                     MainWindow::defaultBackground().cacheKey());
        }
        QVERIFY(dm_->readBackImage().isEmpty());
        const auto next = open();
        QCOMPARE(next->workArea()->backgroundImage().cacheKey(),
                 MainWindow::defaultBackground().cacheKey());
        QVERIFY(shown_.isEmpty());
    }

    void storedBackgroundThatDoesNotDecodeShowsTheBuiltInOne_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QByteArray packedGarbage;
        PackImageStream("\xff\xd8\xff\xe0 this is no jpeg at all", packedGarbage);
        QByteArray truncatedHeader;
        PackImageStream(jpegOf(Qt::red).left(20), truncatedHeader);
        QTest::newRow("packed garbage") << packedGarbage;
        QTest::newRow("packed truncated header") << truncatedHeader;
        QTest::newRow("broken archive") << QByteArray("PK\x03\x04 broken", 12);
        QTest::newRow("plain text") << QByteArray("hello");
        QByteArray crafted;
        PackImageStream(craftedJpeg({7071, 7071}), crafted);
        QTest::newRow("crafted 7071 x 7071 header") << crafted;
        QByteArray truncated;
        PackImageStream(jpegOf(Qt::red).chopped(40), truncated);
        QTest::newRow("truncated picture") << truncated;
    }
    void storedBackgroundThatDoesNotDecodeShowsTheBuiltInOne()
    {
        QFETCH(QByteArray, stored);
        dm_->writeBackImage(stored);
        const auto w = open();
        QVERIFY(!w->workArea()->backgroundImage().isNull());
        QCOMPARE(w->workArea()->backgroundImage().cacheKey(),
                 MainWindow::defaultBackground().cacheKey());
        QVERIFY(shown_.isEmpty());
    }

    void childWindowOpensOncePerName()
    {
        QMdiArea area;
        area.show();
        int created = 0;
        const auto make = [&] {
            ++created;
            auto* window = new QWidget;
            window->setObjectName(u"printWindow"_s);
            return window;
        };
        QWidget* first = OpenChildWindowOnce(&area, u"printWindow"_s, make);
        QVERIFY(first && first->isVisible());
        QCOMPARE(area.subWindowList().size(), 1);
        // Open, even minimised: nothing happens.
        area.subWindowList().first()->showMinimized();
        QVERIFY(!OpenChildWindowOnce(&area, u"printWindow"_s, make));
        QCOMPARE(created, 1);
        // Another name is another window.
        QVERIFY(!OpenChildWindowOnce(&area, u"layoutDesigner"_s, [] { return nullptr; }));
        // Closed, it opens anew.
        area.subWindowList().first()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(area.subWindowList().isEmpty());
        QVERIFY(OpenChildWindowOnce(&area, u"printWindow"_s, make));
        QCOMPARE(created, 2);
        QVERIFY(area.subWindowList().first()->windowFlags() & Qt::WindowMaximizeButtonHint);
        // A window of fixed size offers no maximise button.
        const auto fixed = [] {
            auto* window = new QWidget;
            window->setFixedSize(300, 200);
            return window;
        };
        QWidget* small = OpenChildWindowOnce(&area, u"fixed"_s, fixed);
        QVERIFY(small);
        QVERIFY(!(qobject_cast<QMdiSubWindow*>(small->parentWidget())->windowFlags() &
                  Qt::WindowMaximizeButtonHint));
    }

    void chequeItemsOpenOneWindowEach_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("window");
        QTest::newRow("designer") << u"itemChequeInfo"_s << u"layoutDesigner"_s;
        QTest::newRow("print") << u"itemChequePrint"_s << u"printWindow"_s;
    }
    void chequeItemsOpenOneWindowEach()
    {
        QFETCH(QString, item);
        QFETCH(QString, window);
        const auto w = open();
        click(child(*w, item));
        QCOMPARE(w->mdiArea()->subWindowList().size(), 1);
        QMdiSubWindow* sub = w->mdiArea()->subWindowList().first();
        QCOMPARE(sub->widget()->objectName(), window);
        // The child window's title bar shows the program's icon, not Qt's.
        const QImage icon = sub->windowIcon().pixmap(16, 16).toImage();
        QVERIFY(!icon.isNull());
        QCOMPARE(icon, QIcon(u":/images/app_icon.png"_s).pixmap(16, 16).toImage());
        if (window == u"layoutDesigner")
            QVERIFY(qobject_cast<LayoutDesigner*>(sub->widget()));
        // A second click, even on a minimised window, opens nothing and leaves it minimised.
        sub->showMinimized();
        click(child(*w, item));
        QCOMPARE(w->mdiArea()->subWindowList().size(), 1);
        QVERIFY(sub->isMinimized());
    }

    void helpItemAsksForTheContentsOnlyWithTheFileHere()
    {
        QList<HtmlHelpCall> calls;
        HelpSystem::SetEngine([&](const HtmlHelpCall& call) { return calls << call, true; });
        const auto w = open();
        click(child(*w, u"itemHelp"_s));
        QVERIFY(calls.isEmpty());
        // Missing, the item says so and where it looked.
        QCOMPARE(shown_.size(), 1);
        const QString exe = QCoreApplication::applicationDirPath();
        QCOMPARE(shown_[0].text,
                 u"پرونده راهنماي برنامه پيدا نشد\n"_s + dir_->filePath(u"NiloChequePrint.chm"_s) +
                     u'\n' + exe + u"/NiloChequePrint.chm\n"_s +
                     QDir::cleanPath(exe + u"/../share/NiloChequePrint/NiloChequePrint.chm"_s));
        QCOMPARE(shown_[0].kind, MessageKind::Warning);
        writeText(dir_->filePath(u"NiloChequePrint.chm"_s), u""_s);
        click(child(*w, u"itemHelp"_s));
        HelpSystem::SetEngine({});
        QCOMPARE(shown_.size(), 1);
        QCOMPARE(calls.size(), 1);
        QCOMPARE(calls[0].command, HelpCommand::DisplayToc);
        QCOMPARE(calls[0].caller.data(), w.get());
    }

    void aboutItemShowsTheCreditsModally()
    {
        const auto w = open();
        bool modal = false;
        QTimer::singleShot(0, w.get(), [&] {
            const bool appeared =
                QTest::qWaitFor([] { return QApplication::activeModalWidget() != nullptr; }, 3000);
            QWidget* shown = appeared ? QApplication::activeModalWidget() : nullptr;
            modal = qobject_cast<CreditsDialog*>(shown) && shown->isModal();
            if (shown)
                shown->close();
        });
        click(child(*w, u"itemAbout"_s));
        QVERIFY(modal);
    }

    void wheelStepIsOneArrowKeyToTheFocusedWidget_data()
    {
        QTest::addColumn<QPoint>("delta");
        QTest::addColumn<int>("row");
        QTest::newRow("one notch away") << QPoint(0, 120) << 4;
        QTest::newRow("one notch back") << QPoint(0, -120) << 6;
        QTest::newRow("fast spin is still one") << QPoint(0, 720) << 4;
        QTest::newRow("smallest step") << QPoint(0, -1) << 6;
        QTest::newRow("sideways passes") << QPoint(120, 0) << 5;
        QTest::newRow("empty marker passes") << QPoint(0, 0) << 5;
    }
    void wheelStepIsOneArrowKeyToTheFocusedWidget()
    {
        QFETCH(QPoint, delta);
        QFETCH(int, row);
        WheelFilter hook;
        QWidget window;
        auto* list = new QListWidget(&window);
        for (int i = 0; i < 20; ++i)
            list->addItem(QString::number(i));
        auto* other = new QListWidget(&window);
        other->addItem(u"x"_s);
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(list);
        layout->addWidget(other);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        list->setFocus();
        list->setCurrentRow(5);
        // Sent over the other list: the focused one moves, by one row whatever the delta.
        sendWheel(other->viewport(), delta);
        QCOMPARE(list->currentRow(), row);
    }

    void wheelActsInsideModalDialogs()
    {
        const auto w = open(); // installs the rule
        QDialog dialog(w.get());
        auto* spin = new QSpinBox(&dialog);
        spin->setValue(5);
        auto* label = new QLabel(u"x"_s, &dialog);
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(spin);
        layout->addWidget(label);
        QList<int> values;
        bool active = false;
        QTimer::singleShot(0, &dialog, [&] {
            active = QTest::qWaitForWindowActive(&dialog);
            spin->setFocus();
            sendWheel(label, QPoint(0, 120));
            values << spin->value();
            sendWheel(label, QPoint(0, -240));
            sendWheel(label, QPoint(0, -120));
            values << spin->value();
            dialog.accept();
        });
        dialog.exec();
        QVERIFY(active);
        QCOMPARE(values, (QList<int>{6, 4}));
    }

    // Kept last: ending the event loop marks the application as quitting for any later loop.
    void exitItemEndsWithoutStoringTheTheme()
    {
        dm_->writeThemeId(2);
        const auto w = open();
        click(child(*w, u"btnThemeNext"_s));
        QCOMPARE(w->themeNumber(), quint8(3));
        QEventLoop loop;
        bool loopEnded = false;
        QTimer::singleShot(0, w.get(), [&] { click(child(*w, u"itemExit"_s)); });
        QTimer::singleShot(5000, &loop, [&] { loop.exit(1); });
        loopEnded = loop.exec() == 0;
        QVERIFY(loopEnded);
        QVERIFY(w->isVisible()); // not closed: the closing step did not run
        QCOMPARE(dm_->readThemeId(), std::optional<int>(2));
    }
};

int main(int argc, char** argv)
{
    NiloApplication app(argc, argv);
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_mainwindow.moc"
