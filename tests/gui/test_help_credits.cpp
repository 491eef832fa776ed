// The credits window (scrolling, text, modality) and the help viewer (request handling, the
// help item's existence test, the .chm reader and the help window).
#include "gui/common/MessageBox.h"
#include "gui/common/NiloApplication.h"
#include "gui/credits/CreditsDialog.h"
#include "gui/help/ChmFile.h"
#include "gui/help/HelpSystem.h"
#include "gui/help/HelpWindow.h"
#include "render/Fonts.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QGlyphRun>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextLayout>
#include <QTimer>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

const QString kChmName = u"NiloChequePrint.chm"_s;

// Runs the test body with another current folder, restoring it after.
class CurrentFolder final
{
public:
    explicit CurrentFolder(const QString& path) : saved_(QDir::currentPath())
    {
        QDir::setCurrent(path);
    }
    ~CurrentFolder() { QDir::setCurrent(saved_); }

private:
    QString saved_;
};

// Records the help engine's calls instead of opening windows.
struct EngineRecorder
{
    QList<HtmlHelpCall> calls;
    EngineRecorder()
    {
        HelpSystem::SetEngine([this](const HtmlHelpCall& call) {
            calls << call;
            return true;
        });
    }
    ~EngineRecorder() { HelpSystem::SetEngine({}); }
};

QList<HelpWindow*> helpWindowsOf(const QWidget* owner)
{
    return owner->findChildren<HelpWindow*>(Qt::FindDirectChildrenOnly);
}

QTreeWidgetItem* findItem(QTreeWidget* tree, const QString& name)
{
    const auto found = tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

} // namespace

class HelpCredits : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        RegisterProgramFonts();
        QVERIFY2(QFileInfo::exists(QStringLiteral(NILO_HELP_CHM)), NILO_HELP_CHM);
        // The program looks beside its executable; for the test that is the test's folder.
        besideExecutable_ = QCoreApplication::applicationDirPath() + u'/' + kChmName;
        QFile::remove(besideExecutable_);
        QVERIFY(QFile::copy(QStringLiteral(NILO_HELP_CHM), besideExecutable_));
    }
    void cleanupTestCase() { QFile::remove(besideExecutable_); }
    void cleanup() { HelpSystem::SetCurrentHelpFile(kChmName); }

    // ---- Credits window ----

    void creditsWindowHasItsLayoutAndText()
    {
        CreditsDialog w(nullptr);
        QCOMPARE(w.windowTitle(), u"پديدآورنده"_s);
        QCOMPARE(w.size(), QSize(579, 425));
        QCOMPARE(w.minimumSize(), w.maximumSize());
        QCOMPARE(w.layoutDirection(), Qt::RightToLeft);
        QVERIFY(!(w.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(w.richEdit()->geometry(), QRect(0, 0, 579, 385));
        QCOMPARE(w.richEdit()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QVERIFY(w.richEdit()->textInteractionFlags() & Qt::TextSelectableByMouse);
        QCOMPARE(QImage(u":/images/credits_leather.png"_s).size(), QSize(100, 100));
        QVERIFY(w.richEdit()->styleSheet().contains(u":/images/credits_leather.png"_s));
        QCOMPARE(w.backButton()->text(), u"بازگشت"_s);
        QCOMPARE(w.backButton()->geometry(), QRect((579 - 75) / 2, 385 + 8, 75, 25));
        QCOMPARE(w.timer()->interval(), 50);
        QVERIFY(w.timer()->isActive());

        const QStringList lines = w.CreditLines();
        const QList<int> styles = w.creditStyles();
        QCOMPARE(lines.size(), 18 + 1 + 2 + 1 + 6 + 16 + 18);
        QCOMPARE(lines.first(), QString());
        for (int i = 1; i < 18; ++i)
            QCOMPARE(lines[i], u" "_s);
        QCOMPARE(lines[18], u"نرم افزار چاپ چك"_s);
        QCOMPARE(lines[21], u"نيلـــو"_s);
        QCOMPARE(styles[18], 1);
        QCOMPARE(styles[21], 1);
        for (int i = 22; i < 28; ++i)
            QCOMPARE(lines[i], u" "_s);
        const QStringList credits = lines.mid(28, 16);
        for (const QString& line : credits) {
            if (line == u" "_s)
                continue;
            const qsizetype indent = line.size() - QStringView(line).trimmed().size();
            QVERIFY2(indent >= 20 && indent <= 46, qPrintable(line));
        }
        QVERIFY(credits.join(u'\n').contains(u"تيم توسعه نيلو"_s));
        QVERIFY(credits[14].contains(u'@')); // the third of the four closing lines
        for (int i = 44; i < lines.size(); ++i)
            QCOMPARE(lines[i], u" "_s);
        QCOMPARE(styles.count(1), 2);

        // The two text styles as they are laid out.
        const QTextDocument* doc = w.richEdit()->document();
        const QTextCharFormat title = doc->findBlockByNumber(18).charFormat();
        QCOMPARE(title.fontFamilies().toStringList().value(0), u"Arial"_s);
        QCOMPARE(title.fontPointSize(), 18.0);
        QCOMPARE(title.foreground().color(), QColor(Qt::red));
        QVERIFY(title.fontWeight() == QFont::Bold && title.fontItalic());
        QCOMPARE(doc->findBlockByNumber(18).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignHCenter);
        const QTextCharFormat plain = doc->findBlockByNumber(30).charFormat();
        QCOMPARE(plain.fontPointSize(), 14.0);
        QCOMPARE(plain.foreground().color(), QColor(Qt::yellow));
        QVERIFY(plain.fontWeight() == QFont::Normal && !plain.fontItalic());
    }

    // 50 ms per one-pixel step is 20 px a second; at the end it starts again with the title.
    void creditsScrollOnePixelPerTickAndRestart()
    {
        CreditsDialog w(nullptr);
        w.timer()->stop(); // ticks are driven by hand
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QScrollBar* bar = w.richEdit()->verticalScrollBar();
        const int viewHeight = w.richEdit()->viewport()->height();
        QCOMPARE(bar->singleStep(), 1);

        // Every line fits the view's width: none wraps onto a second line.
        for (QTextBlock b = w.richEdit()->document()->begin(); b.isValid(); b = b.next())
            QVERIFY2(b.layout()->lineCount() == 1, qPrintable(b.text()));

        // The leading blank lines fill more than the view; yet the window opens with the title
        // and the product name in view, not blank.
        auto* layout = w.richEdit()->document()->documentLayout();
        const QTextDocument* doc = w.richEdit()->document();
        const QRectF title = layout->blockBoundingRect(doc->findBlockByNumber(18));
        QVERIFY(title.top() >= viewHeight);
        const int opening = bar->value();
        QCOMPARE(opening, w.openingPosition());
        QVERIFY(title.top() >= opening && title.bottom() <= opening + viewHeight / 2);
        QVERIFY(layout->blockBoundingRect(doc->findBlockByNumber(21)).bottom() <=
                opening + viewHeight);

        for (int tick = 0; tick < 20; ++tick)
            w.scrollCredits();
        QCOMPARE(bar->value(), opening + 20); // one second

        const int last = bar->maximum();
        QVERIFY(last > 0);
        QCOMPARE(last, int(layout->documentSize().height()) - viewHeight);
        // At the end the last credit line has left the view.
        QVERIFY(layout->blockBoundingRect(doc->findBlockByNumber(43)).bottom() <= last);

        bar->setValue(last - 1);
        w.scrollCredits();
        QCOMPARE(bar->value(), last);
        // The next round: the title just below the lower edge, rising at once.
        w.scrollCredits();
        const int restart = bar->value();
        QCOMPARE(restart, int(title.top()) - viewHeight);
        w.scrollCredits();
        QCOMPARE(bar->value(), restart + 1);
    }

    void creditsTimerDrivesTheScroll()
    {
        CreditsDialog w(nullptr);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_VERIFY_WITH_TIMEOUT(w.richEdit()->verticalScrollBar()->value() > 0, 2000);
    }

    // Opened through ShowModalWindow: other windows take no input until it is closed.
    void creditsWindowIsModal()
    {
        QWidget mainWindow;
        auto* other = new QPushButton(u"x"_s, &mainWindow);
        QSignalSpy otherClicked(other, &QPushButton::clicked);
        mainWindow.resize(200, 100);
        other->setGeometry(10, 10, 80, 30);
        mainWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
        QTest::mouseClick(mainWindow.windowHandle(), Qt::LeftButton, {},
                          other->geometry().center());
        QTRY_COMPARE(otherClicked.count(), 1); // the click reaches it while nothing is modal

        bool sawModal = false;
        QTimer::singleShot(0, this, [&] {
            auto* credits = qobject_cast<CreditsDialog*>(QApplication::activeModalWidget());
            sawModal = credits && credits->isModal();
            // Through the window system, as a person's click comes, so modality applies.
            QTest::mouseClick(mainWindow.windowHandle(), Qt::LeftButton, {},
                              other->geometry().center());
            if (credits)
                QTest::mouseClick(credits->backButton(), Qt::LeftButton);
        });
        QTimer watchdog; // never hang the suite if the window did not close
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, this, [] {
            if (QWidget* w = QApplication::activeModalWidget())
                w->close();
        });
        watchdog.start(5000);
        ShowModalWindow<CreditsDialog>();
        QVERIFY(watchdog.isActive());
        QVERIFY(sawModal);
        QCOMPARE(otherClicked.count(), 1);
        QVERIFY(!QApplication::activeModalWidget());
    }

    // ---- Help requests ----

    void helpRequestsBecomeEngineCalls()
    {
        EngineRecorder recorder;
        ChmHelpViewer* viewer = HelpSystem::Viewer();
        QVERIFY(viewer && viewer->registered());
        QCOMPARE(viewer->viewerName(), u"StoHtmlHelp"_s);
        const QString beside = QCoreApplication::applicationDirPath() + u"/NiloChequePrint.chm"_s;
        QWidget owner;

        QCOMPARE(viewer->resolveHelpFile(QString()), beside);
        QCOMPARE(viewer->resolveHelpFile(u"/opt/x/Other.CHM"_s), u"/opt/x/Other.CHM"_s);
        HelpSystem::SetCurrentHelpFile(QString());
        QCOMPARE(viewer->resolveHelpFile(QString()), QString());
        QVERIFY(!viewer->showTableOfContents(&owner, QString()));
        HelpSystem::SetCurrentHelpFile(kChmName);

        QVERIFY(viewer->displayTopic(&owner, QString(), u"accounts"_s));
        QVERIFY(viewer->displayTopic(&owner, QString(), u"print.HTML"_s));
        QVERIFY(viewer->showHelp(&owner, QString(), u"StoHtmlHelp:  ساعت "_s));
        QVERIFY(viewer->displayHelpByContext(&owner, QString(), 12));
        QVERIFY(!viewer->showTableOfContents(&owner, u"guide.hlp"_s)); // never WinHelp
        viewer->softShutDown();

        QCOMPARE(recorder.calls.size(), 5);
        QCOMPARE(recorder.calls[0].file, beside + u"::/accounts.htm"_s);
        QCOMPARE(recorder.calls[0].command, HelpCommand::DisplayTopic);
        QCOMPARE(recorder.calls[0].caller.data(), &owner);
        QCOMPARE(recorder.calls[1].file, beside + u"::/print.HTML"_s);
        QCOMPARE(recorder.calls[2].command, HelpCommand::DisplayIndex);
        QCOMPARE(recorder.calls[2].data, u"ساعت"_s);
        QCOMPARE(recorder.calls[3].command, HelpCommand::HelpContext);
        QCOMPARE(recorder.calls[3].data, u"12"_s);
        QCOMPARE(recorder.calls[4].command, HelpCommand::CloseAll);
        QVERIFY(recorder.calls[4].file.isEmpty() && !recorder.calls[4].caller);
        QCOMPARE(viewer->getHelpStrings(u"ساعت"_s), QStringList{u"StoHtmlHelp: ساعت"_s});
        const HelpFileTester* winHelp = HelpSystem::WinHelpTester();
        QVERIFY(winHelp);
        QVERIFY(!winHelp->canShowTopic(u"intro"_s, u"guide.hlp"_s));
        QVERIFY(!winHelp->canShowContext(1, u"guide.hlp"_s));
        QVERIFY(!winHelp->canShowALink(u"a"_s, u"guide.hlp"_s));
        QVERIFY(winHelp->getHelpStrings(u"a"_s).isEmpty());
        QCOMPARE(HelpSystem::SelectHelp({u"WinHelp"_s, u"StoHtmlHelp"_s}), 1);
        QCOMPARE(HelpSystem::SelectHelp({u"WinHelp: a"_s, u"StoHtmlHelp: a"_s}), 1);
        QCOMPARE(HelpSystem::SelectHelp({u"WinHelp"_s}), -1);
    }

    void helpFileNamesAndTopics_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("chm");
        QTest::addColumn<QString>("topic");
        QTest::newRow("plain") << u"a.chm"_s << true << u"a.chm.htm"_s;
        QTest::newRow("upper case") << u"A.CHM"_s << true << u"A.CHM.htm"_s;
        QTest::newRow("backup") << u"a.chm.bak"_s << false << u"a.chm.bak.htm"_s;
        QTest::newRow("no dot") << u"chm"_s << false << u"chm.htm"_s;
        QTest::newRow("htm") << u"page.htm"_s << false << u"page.htm"_s;
        QTest::newRow("Html") << u"page.Html"_s << false << u"page.Html"_s;
        QTest::newRow("txt") << u"page.txt"_s << false << u"page.txt.htm"_s;
    }
    void helpFileNamesAndTopics()
    {
        QFETCH(QString, name);
        QFETCH(bool, chm);
        QFETCH(QString, topic);
        QCOMPARE(ChmHelpViewer::isChmFile(name), chm);
        QCOMPARE(HelpSystem::Viewer()->topicPath(name), topic);
    }

    // The current (data) folder's copy wins; without one, the copy beside the executable.
    void helpItemOpensTheDataFoldersCopyElseTheOneBesideTheExecutable()
    {
        EngineRecorder recorder;
        QWidget owner;
        QTemporaryDir empty;
        {
            const CurrentFolder cd(empty.path());
            QVERIFY(ShowHelpContents(&owner));
        }
        QTemporaryDir withFile;
        QVERIFY(QFile::copy(QStringLiteral(NILO_HELP_CHM), withFile.filePath(kChmName)));
        {
            const CurrentFolder cd(withFile.path());
            QVERIFY(ShowHelpContents(&owner));
        }
        QCOMPARE(recorder.calls.size(), 2);
        QCOMPARE(recorder.calls[0].command, HelpCommand::DisplayToc);
        QCOMPARE(recorder.calls[0].file, besideExecutable_);
        QCOMPARE(recorder.calls[1].file, QDir(withFile.path()).absoluteFilePath(kChmName));
        QCOMPARE(recorder.calls[1].caller.data(), &owner);
        // Nowhere at all: nothing is asked of the viewer.
        QFile::remove(besideExecutable_);
        {
            const CurrentFolder cd(empty.path());
            QVERIFY(!ShowHelpContents(&owner));
        }
        QCOMPARE(recorder.calls.size(), 2);
        QVERIFY(QFile::copy(QStringLiteral(NILO_HELP_CHM), besideExecutable_));
    }

    // ---- Help window over the real guide ----

    void helpItemOpensTheGuideContents()
    {
        auto owner = std::make_unique<QWidget>();
        owner->show();
        QTemporaryDir folder;
        QVERIFY(QFile::copy(QStringLiteral(NILO_HELP_CHM), folder.filePath(kChmName)));
        const CurrentFolder cd(folder.path());

        QVERIFY(ShowHelpContents(owner.get()));
        QCOMPARE(helpWindowsOf(owner.get()).size(), 1);
        HelpWindow* help = helpWindowsOf(owner.get()).first();
        QVERIFY(help->isVisible() && help->isWindow());
        QCOMPARE(help->layoutDirection(), Qt::RightToLeft);
        QCOMPARE(help->windowTitle(), u"راهنماي كاربران چاپ چك نيلو"_s);

        // The contents tree, nested as the guide's contents file says.
        QTreeWidget* tree = help->contentsTree();
        QCOMPARE(tree->topLevelItemCount(), 1);
        QTreeWidgetItem* top = tree->topLevelItem(0);
        QCOMPARE(top->text(0), u"راهنماي كاربران"_s);
        QCOMPARE(top->childCount(), 9);
        QTreeWidgetItem* clock = findItem(tree, u"ساعت"_s);
        QVERIFY(clock && clock->parent() &&
                clock->parent()->text(0) == u"ظاهر برنامه، ساعت و تصوير پس زمينه"_s);

        // The first page, decoded as UTF-8 (its meta charset).
        QCOMPARE(help->pageView()->source().path(), u"/index.html"_s);
        QVERIFY(help->pageView()->toPlainText().contains(u"راهنماي كاربران چاپ چك نيلو"_s));

        // The register's and the series' pages, with their headings.
        for (const auto& [entry, page] :
             {std::pair{u"چك‌هاي صادره"_s, u"/register.html"_s},
              std::pair{u"چك اقساطي و چاپ گروهي"_s, u"/series.html"_s}}) {
            tree->setCurrentItem(findItem(tree, entry));
            QCOMPARE(help->pageView()->source().path(), page);
            QVERIFY(help->pageView()->toPlainText().startsWith(entry));
        }
        // Choosing an entry shows its page with its picture.
        tree->setCurrentItem(findItem(tree, u"طراحي چيدمان چك"_s));
        QCOMPARE(help->pageView()->source().path(), u"/layout.html"_s);
        QVERIFY(help->pageView()->toPlainText().contains(u"ثبت تنظيمات"_s));
        // The page's linked style sheet, read from the file, colours its title.
        const QTextBlock heading = help->pageView()->document()->begin();
        QCOMPARE(QTextCursor(heading).charFormat().foreground().color(), QColor(0x5a, 0x3a, 0x1e));
        const QVariant picture = help->pageView()->loadResource(QTextDocument::ImageResource,
                                                                QUrl(u"images/feed.png"_s));
        QCOMPARE(picture.value<QImage>().size(), QSize(440, 260));
        // A link inside the page follows to the other page of the file.
        QVERIFY(help->showTopic(u"themes.html#clock"_s));
        QCOMPARE(help->pageView()->source().path(), u"/themes.html"_s);
        QCOMPARE(tree->currentItem()->text(0), u"ساعت"_s);
        QVERIFY(!help->showTopic(u"/missing.html"_s));

        // Asking again brings the same window back to its contents.
        QVERIFY(ShowHelpContents(owner.get()));
        QCOMPARE(helpWindowsOf(owner.get()).size(), 1);
        QCOMPARE(help->pageView()->source().path(), u"/index.html"_s);

        // The help window belongs to its owner and goes with it.
        const QPointer<HelpWindow> guard(help);
        owner.reset();
        QVERIFY(guard.isNull());
    }

    // A heading that starts with an anchor is shaped as one word: its glyphs are those of
    // the same text laid out alone, and the anchor still scrolls to it.
    void anchoredHeadingsJoin()
    {
        QWidget owner;
        QVERIFY(HelpSystem::Viewer()->displayTopic(&owner, besideExecutable_, u"themes.html"_s));
        HelpWindow* help = helpWindowsOf(&owner).first();
        help->resize(700, 300);
        QTextDocument* doc = help->pageView()->document();
        for (const QString& heading : {u"ساعت"_s, u"تصوير پس زمينه"_s}) {
            QTextBlock block = doc->begin();
            while (block.isValid() && block.text() != heading)
                block = block.next();
            QVERIFY2(block.isValid(), qPrintable(heading));
            int fragments = 0;
            for (auto it = block.begin(); !it.atEnd(); ++it)
                ++fragments;
            QCOMPARE(fragments, 1);
            QVERIFY(!QTextCursor(block).charFormat().anchorNames().isEmpty() ||
                    !block.begin().fragment().charFormat().anchorNames().isEmpty());

            // Laid out with the block's own formats, as the page draws it, and alone.
            const QFont font = block.begin().fragment().charFormat().font();
            const auto glyphs = [&](const QList<QTextLayout::FormatRange>& formats) {
                QTextLayout layout(heading, font);
                layout.setTextOption(block.layout()->textOption());
                layout.setFormats(formats);
                layout.beginLayout();
                layout.createLine();
                layout.endLayout();
                QList<quint32> out;
                for (const QGlyphRun& run : layout.glyphRuns())
                    out += run.glyphIndexes();
                return out;
            };
            const QList<quint32> expected = glyphs({});
            const QList<quint32> shown = glyphs(block.textFormats());
            QVERIFY(!expected.isEmpty());
            QCOMPARE(shown, expected);
        }
        // Links stay dark on the paper whatever the theme.
        QPalette dark = QApplication::palette();
        dark.setColor(QPalette::Link, QColor(0xe2, 0xbd, 0x6a));
        QApplication::setPalette(dark);
        QCOMPARE(help->pageView()->palette().color(QPalette::Link), QColor(0x1d, 0x4f, 0x91));
        QApplication::setPalette(QPalette());
        help->pageView()->verticalScrollBar()->setValue(0);
        help->pageView()->scrollToAnchor(u"background"_s);
        QVERIFY(help->pageView()->verticalScrollBar()->value() > 0);
    }

    // The contents follow the page: links, Back and Forward light the entry of the page or
    // anchor shown, and only that one.
    void contentsFollowThePage()
    {
        QWidget owner;
        QVERIFY(HelpSystem::Viewer()->displayTopic(&owner, besideExecutable_, u"index.html"_s));
        HelpWindow* help = helpWindowsOf(&owner).first();
        QTreeWidget* tree = help->contentsTree();
        ChmTextBrowser* page = help->pageView();
        const auto lit = [&] {
            const auto selected = tree->selectedItems();
            return selected.size() == 1 && selected.first() == tree->currentItem()
                       ? tree->currentItem()->text(0)
                       : u"%1 selected"_s.arg(selected.size());
        };
        QCOMPARE(lit(), u"راهنماي كاربران"_s);
        emit page->anchorClicked(QUrl(u"themes.html#clock"_s));
        QCOMPARE(lit(), u"ساعت"_s);
        // A link to an anchor of the same page.
        emit page->anchorClicked(QUrl(u"#background"_s));
        QCOMPARE(page->source().fragment(), u"background"_s);
        QCOMPARE(lit(), u"تصوير پس زمينه"_s);
        emit page->anchorClicked(QUrl(u"print.html"_s));
        QCOMPARE(lit(), u"نوشتن و چاپ چك"_s);
        page->backward();
        QCOMPARE(lit(), u"تصوير پس زمينه"_s);
        page->backward();
        QCOMPARE(lit(), u"ساعت"_s);
        page->backward();
        QCOMPARE(lit(), u"راهنماي كاربران"_s);
        page->forward();
        QCOMPARE(lit(), u"ساعت"_s);
        // An entry chosen in the tree is the one lit, not its page's parent entry.
        tree->setCurrentItem(findItem(tree, u"ظاهر برنامه"_s));
        QCOMPARE(page->source().fragment(), u"themes"_s);
        QCOMPARE(lit(), u"ظاهر برنامه"_s);
    }

    void escapeAndItsButtonCloseTheHelp()
    {
        QWidget owner;
        QVERIFY(HelpSystem::Viewer()->displayTopic(&owner, besideExecutable_, u"index.html"_s));
        HelpWindow* help = helpWindowsOf(&owner).first();
        help->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(help));
        QTest::keyClick(help->pageView(), Qt::Key_Escape);
        QTRY_COMPARE(helpWindowsOf(&owner).size(), 0);

        QVERIFY(HelpSystem::Viewer()->displayTopic(&owner, besideExecutable_, u"index.html"_s));
        help = helpWindowsOf(&owner).first();
        auto* close = help->findChild<QPushButton*>(u"btnClose"_s);
        QVERIFY(close && close->isVisible());
        QCOMPARE(close->text(), u"بستن"_s);
        close->click();
        QTRY_COMPARE(helpWindowsOf(&owner).size(), 0);
    }

    void closeAllClosesEveryHelpWindow()
    {
        QWidget owner;
        QVERIFY(HelpSystem::Viewer()->displayTopic(&owner, besideExecutable_, u"print.html"_s));
        QCOMPARE(helpWindowsOf(&owner).size(), 1);
        QCOMPARE(helpWindowsOf(&owner).first()->pageView()->source().path(), u"/print.html"_s);
        // A keyword finds the entry of that name in the contents.
        QVERIFY(HelpSystem::Viewer()->showHelp(&owner, besideExecutable_, u"StoHtmlHelp: ساعت"_s));
        QCOMPARE(helpWindowsOf(&owner).size(), 1);
        QCOMPARE(helpWindowsOf(&owner).first()->pageView()->source().path(), u"/themes.html"_s);
        HelpSystem::Viewer()->softShutDown();
        QTRY_COMPARE(helpWindowsOf(&owner).size(), 0);
    }

    // ---- The .chm reader ----

    void sitemapParsing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tree"); // name=local, children in [ ]
        const auto entry = [](const QString& name, const QString& local) {
            return u"<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"%1\">"
                   "<param name=\"Local\" value=\"%2\"></OBJECT>"_s.arg(name, local);
        };
        QTest::newRow("nested") << u"<UL>"_s + entry(u"a"_s, u"a.htm"_s) + u"<UL>"_s +
                                       entry(u"b"_s, u"d\\b.htm"_s) + u"</UL>"_s +
                                       entry(u"c"_s, u"ms-its:x.chm::/c.htm#k"_s) + u"</UL>"_s
                                << u"a=/a.htm[b=/d/b.htm]c=/c.htm#k"_s;
        QTest::newRow("unclosed and entities")
            << u"<ul>"_s + entry(u"A &amp; B &#1587;"_s, u"x.htm"_s) + u"<ul>"_s +
                   entry(u"c"_s, QString())
            << u"A & B س=/x.htm[c=]"_s;
        QTest::newRow("no name takes the page")
            << u"<ul><li><object type='text/sitemap'><param name='Local' value='p.htm'></object>"_s
            << u"/p.htm=/p.htm"_s;
        QTest::newRow("site properties ignored")
            << u"<OBJECT type=\"text/site properties\"><param name=\"Name\" value=\"x\"></OBJECT>"_s
            << QString();
        QString deep = entry(u"root"_s, u"r.htm"_s);
        for (int i = 0; i < 5000; ++i)
            deep += u"<UL>"_s + entry(u"n"_s, u"n.htm"_s);
        QTest::newRow("very deep lists are flattened") << deep << u"bounded"_s;
    }
    void sitemapParsing()
    {
        QFETCH(QString, text);
        QFETCH(QString, tree);
        const QList<ChmTopic> topics = ChmFile::parseSitemap(text);
        std::function<QString(const QList<ChmTopic>&, int)> show = [&](const QList<ChmTopic>& list,
                                                                       int depth) {
            QString out;
            for (const ChmTopic& t : list) {
                out += t.name + u'=' + t.local;
                if (!t.children.isEmpty())
                    out += u'[' + show(t.children, depth + 1) + u']';
            }
            return out;
        };
        if (tree == u"bounded"_s) {
            int depth = 0;
            int count = 0;
            for (const QList<ChmTopic>* level = &topics; !level->isEmpty();
                 level = &level->last().children) {
                ++depth;
                count += int(level->size());
            }
            QVERIFY(depth <= 33);
            QCOMPARE(count, 5001);
            return;
        }
        QCOMPARE(show(topics, 0), tree);
    }

    void pagesDecodeByTheirCharset_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        const QByteArray salamUtf8 = u"سلام"_s.toUtf8();
        const QByteArray salam1256("\xD3\xE1\xC7\xE3");
        QTest::newRow("utf-8 meta")
            << QByteArray("<meta charset=\"utf-8\"><p>") + salamUtf8 << u"سلام"_s;
        QTest::newRow("1256 meta")
            << QByteArray("<meta http-equiv=\"Content-Type\" content=\"text/html; "
                          "charset=windows-1256\"><p>") +
                   salam1256
            << u"سلام"_s;
        QTest::newRow("no meta, utf-8") << QByteArray("<p>") + salamUtf8 << u"سلام"_s;
        QTest::newRow("no meta, old code page") << QByteArray("<p>") + salam1256 << u"سلام"_s;
    }
    void pagesDecodeByTheirCharset()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QVERIFY(ChmFile::decodeHtml(bytes).endsWith(text));
    }

    void readsTheCompiledGuide()
    {
        const ChmFile chm(QStringLiteral(NILO_HELP_CHM));
        QVERIFY(chm.isOpen());
        QCOMPARE(chm.contentsFile().toLower(), u"/nilochequeprint.hhc"_s);
        QCOMPARE(chm.defaultTopic(), u"/index.html"_s);
        const auto page = chm.read(u"/print.html"_s);
        QVERIFY(page);
        // chmcmd stores the pages' bytes unchanged: still UTF-8, as the meta charset says.
        QVERIFY(page->contains(u"نوشتن و چاپ چك"_s.toUtf8()));
        QVERIFY(!chm.read(u"/absent.html"_s));
        QVERIFY(!chm.read(QString()));
        QVERIFY(!ChmFile(u"/nonexistent/x.chm"_s).isOpen());
    }

    // Damaged files: refused or read in part, never a crash, a hang or a huge allocation.
    void damagedFilesAreHandledSafely()
    {
        QFile source(QStringLiteral(NILO_HELP_CHM));
        QVERIFY(source.open(QIODevice::ReadOnly));
        const QByteArray good = source.readAll();
        QList<QByteArray> damaged;
        for (qsizetype cut : {qsizetype(0), qsizetype(3), qsizetype(60), qsizetype(0x60),
                              qsizetype(0x200), good.size() / 3, good.size() / 2, good.size() - 1})
            damaged << good.left(cut);
        for (int start = 0; start < 0x400; start += 3) { // every header field in turn
            QByteArray b = good;
            b[start] = char(b[start] ^ 0xFF);
            damaged << b;
        }
        quint32 seed = 12345;
        for (int round = 0; round < 40; ++round) {
            QByteArray b = good;
            for (int k = 0; k < 16; ++k) {
                seed = seed * 1664525u + 1013904223u;
                b[qsizetype(seed % quint32(b.size()))] = char(seed >> 24);
            }
            damaged << b;
        }

        QTemporaryDir dir;
        const QString path = dir.filePath(kChmName);
        int opened = 0;
        for (const QByteArray& bytes : std::as_const(damaged)) {
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
            out.write(bytes);
            out.close();
            QWidget owner;
            HelpWindow window(path, &owner);
            if (!window.isOpen())
                continue;
            ++opened;
            window.showContents();
            for (const QString& page : {u"/index.html"_s, u"/layout.html"_s, u"/images/feed.png"_s})
                window.showTopic(page);
        }
        QVERIFY(opened > 0); // some damage leaves the file readable in part
    }

private:
    QString besideExecutable_;
};

int main(int argc, char** argv)
{
    NiloApplication app(argc, argv);
    HelpCredits test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_help_credits.moc"
