#include "gui/mainwindow/MainWindow.h"

#include "core/AppInfo.h"
#include "core/ProgramFont.h"
#include "core/calendar/JalaliCalendar.h"
#include "core/calendar/Today.h"
#include "core/errors/AppError.h"
#include "core/storage/DataFolder.h"
#include "core/storage/Database.h"
#include "core/storage/DatabaseBackup.h"
#include "core/storage/ImageCodec.h"
#include "core/storage/SafeFile.h"
#include "core/text/AmountText.h"
#include "gui/common/Guard.h"
#include "gui/common/MessageBox.h"
#include "gui/common/Themes.h"
#include "gui/common/WheelFilter.h"
#include "gui/credits/CreditsDialog.h"
#include "gui/designer/LayoutDesigner.h"
#include "gui/help/HelpSystem.h"
#include "gui/print/PrintWindow.h"
#include "gui/register/ChequeRegisterWindow.h"
#include "render/JpegImage.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QThreadPool>
#include <QToolButton>
#include <QVBoxLayout>

#include <future>
#include <mutex>

using namespace Qt::StringLiterals;

namespace {

constexpr int kNavigationBarWidth = 152;
constexpr int kStepButtonSize = 25;

// The open-picture dialog's filter: JPEG files under either extension.
const QString kBackgroundFilter = u"JPEG Image File (*.jpg);;JPEG Image File (*.jpeg)"_s;

QFont tahoma(bool bold = false)
{
    QFont f(ProgramFontFamily(), 8);
    f.setBold(bold);
    return f;
}

// The size to decode pictures for: the whole screen, in device pixels.
QSize screenPixels(const QWidget* widget)
{
    const QScreen* screen = widget ? widget->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return QSize(1920, 1200);
    return screen->size() * screen->devicePixelRatio();
}

// The built-in pictures, decoded once for the process on worker threads started early (at
// start-up, or by the first main window before it builds its controls), so that the window
// rarely waits for them.
class BuiltInPictures final
{
public:
    static BuiltInPictures& instance()
    {
        static BuiltInPictures pictures;
        return pictures;
    }

    void prepare(qreal dpr)
    {
        std::call_once(started_, [&] {
            // Decoded whole: the picture is about a screen's size, and whole-size decoding is
            // the decoder's fastest path.
            background_ = runInPool([] {
                QFile file(u":/images/background_default.jpg"_s);
                return file.open(QIODevice::ReadOnly) ? DecodeJpeg(file.readAll()) : QImage();
            });
            logo_ = runInPool([dpr] { return scaledLogo(dpr); });
            logoDpr_ = dpr;
        });
    }

    const QImage& background()
    {
        prepare(1.0);
        return background_.get();
    }

    // The logo art stretched to its box, in device pixels.
    QPixmap logo(qreal dpr)
    {
        prepare(dpr);
        if (dpr != logoDpr_ && !qFuzzyCompare(dpr, otherDpr_)) {
            other_ = scaledLogo(dpr);
            otherDpr_ = dpr;
        }
        QPixmap pixmap = QPixmap::fromImage(dpr == logoDpr_ ? logo_.get() : other_);
        pixmap.setDevicePixelRatio(dpr);
        return pixmap;
    }

private:
    // The global pool, because the application waits for it before it goes: no decoding
    // outlives the program's resources.
    template <class Job> static std::shared_future<QImage> runInPool(Job job)
    {
        auto promise = std::make_shared<std::promise<QImage>>();
        std::shared_future<QImage> result = promise->get_future().share();
        QThreadPool::globalInstance()->start([promise, job] {
            try {
                promise->set_value(job());
            } catch (...) { // out of memory: the window goes without the picture
                promise->set_value(QImage());
            }
        });
        return result;
    }

    static QImage scaledLogo(qreal dpr)
    {
        const QImage art(u":/images/logo.png"_s);
        return art.isNull() ? QImage()
                            : art.scaled(MainWorkArea::kLogoBoxSize * dpr, Qt::IgnoreAspectRatio,
                                         Qt::SmoothTransformation);
    }

    std::once_flag started_;
    std::shared_future<QImage> background_;
    std::shared_future<QImage> logo_;
    qreal logoDpr_ = 1.0;
    QImage other_;
    qreal otherDpr_ = 0.0;
};

} // namespace

quint8 ClockFaceFromText(const QString& text)
{
    bool ok = false;
    const int face = text.trimmed().toInt(&ok, 10);
    return ok && face >= 1 && face <= 8 ? quint8(face) : quint8(1);
}

quint8 ThemeFromStored(std::optional<int> themeId)
{
    return themeId && IsThemeNumber(*themeId) ? quint8(*themeId) : quint8(0);
}

DatePanelTexts DatePanelTextsOf(double dateValue)
{
    const JalaliDate date = DecodeJalaliDateFully(dateValue);
    if (date.year == 0)
        return {};
    // The Jalali weekday counts from Saturday, the name table from Sunday.
    const int weekday = (date.weekday + 5) % 7 + 1;
    return {MonthNames[date.month] + u"   "_s + u"%1"_s.arg(date.year, 4, 10, QChar(u'0')),
            QString::number(date.day), WeekdayNames[weekday]};
}

std::optional<quint8> storedClockFace(const QString& folder)
{
    if (!QFileInfo::exists(folder + kSettingsFileNamePart))
        return std::nullopt;
    return ClockFaceFromText(
        ReadIniString(kSettingsFileNamePart, folder, kClockSection, kClockKey, kClockDefaultText));
}

QWidget* OpenChildWindowOnce(QMdiArea* area, const QString& name,
                             const std::function<QWidget*()>& create)
{
    if (!area || !create || IsChildWindowOpen(area, name))
        return nullptr;
    QWidget* window = create();
    if (!window)
        return nullptr;
    auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget());
    if (!sub || sub->mdiArea() != area)
        sub = area->addSubWindow(window);
    // A window of fixed size has nothing to show maximised, and its frame does not resize.
    if (window->minimumSize() == window->maximumSize()) {
        sub->setWindowFlags(sub->windowFlags() & ~Qt::WindowMaximizeButtonHint);
        sub->adjustSize();
        sub->setFixedSize(sub->size());
    }
    sub->show();
    window->show();
    return window;
}

void PrepareMainWindowPictures()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    BuiltInPictures::instance().prepare(screen ? screen->devicePixelRatio() : 1.0);
}

QWidget* CreateChequePrintWindow()
{
    return new PrintWindow(nullptr);
}

// ---------------------------------------------------------------------------------------------

MainWorkArea::MainWorkArea(QWidget* parent) : QMdiArea(parent)
{
    setObjectName(u"workArea"_s);
    setFrameShape(QFrame::NoFrame);
}

void MainWorkArea::setBackgroundImage(const QImage& image)
{
    background_ = image;
    scaledBackground_ = QPixmap();
    viewport()->update();
}

QRect MainWorkArea::logoRect() const
{
    const QRect area = viewport()->rect();
    return QRect(
        QPoint(area.right() - kLogoBoxSize.width() + 1, area.bottom() - kLogoBoxSize.height() + 1),
        kLogoBoxSize);
}

void MainWorkArea::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const QRect area = viewport()->rect();
    if (background_.isNull()) {
        painter.fillRect(event->rect(), palette().brush(QPalette::Dark));
    } else {
        const qreal dpr = devicePixelRatioF();
        const QSize pixels = area.size() * dpr;
        if (scaledBackground_.size() != pixels) {
            // Scaled once per size of the area, not at every repaint behind a child window.
            scaledBackground_ = QPixmap::fromImage(
                background_.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
            scaledBackground_.setDevicePixelRatio(dpr);
        }
        painter.drawPixmap(area.topLeft(), scaledBackground_);
    }
    if (logo_.isNull() || logo_.devicePixelRatio() != devicePixelRatioF())
        logo_ = BuiltInPictures::instance().logo(devicePixelRatioF());
    if (!logo_.isNull())
        painter.drawPixmap(logoRect().topLeft(), logo_);
}

void MainWorkArea::refreshTitleBars()
{
    const QMdiSubWindow* active = activeSubWindow();
    for (QMdiSubWindow* sub : subWindowList()) {
        QEvent state(sub == active ? QEvent::WindowActivate : QEvent::WindowDeactivate);
        QCoreApplication::sendEvent(sub, &state);
    }
}

// ---------------------------------------------------------------------------------------------

NavItem::NavItem(const QString& text, const QIcon& icon, QWidget* parent)
    : QPushButton(icon, text, parent)
{}

void NavItem::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButton, option); // the styled panel alone

    const QRect content = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    const QRect glyph = QStyle::alignedRect(layoutDirection(), Qt::AlignLeading | Qt::AlignVCenter,
                                            iconSize(), content);
    icon().paint(&painter, glyph, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
    QRect text = content;
    Qt::Alignment side = Qt::AlignAbsolute | Qt::AlignVCenter;
    if (layoutDirection() == Qt::RightToLeft) {
        text.setRight(glyph.left() - 6);
        side |= Qt::AlignRight;
    } else {
        text.setLeft(glyph.right() + 6);
        side |= Qt::AlignLeft;
    }
    // A physical side: a leading alignment would follow the painter's direction, not ours.
    painter.drawItemText(text, side, option.palette, isEnabled(), caption, QPalette::ButtonText);
}

// ---------------------------------------------------------------------------------------------

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setCursor(Qt::PointingHandCursor);
}

void LinkLabel::enterEvent(QEnterEvent* event)
{
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    QLabel::enterEvent(event);
}

void LinkLabel::leaveEvent(QEvent* event)
{
    QFont f = font();
    f.setUnderline(false);
    setFont(f);
    QLabel::leaveEvent(event);
}

void LinkLabel::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
    if (pressed_)
        event->accept();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    QLabel::mouseReleaseEvent(event);
    if (click) {
        event->accept();
        emit clicked();
    }
}

// ---------------------------------------------------------------------------------------------

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent)
{
    BuiltInPictures::instance().prepare(devicePixelRatioF());
    setObjectName(u"mainWindow"_s);
    setWindowTitle(u"نيلو"_s);
    setLayoutDirection(Qt::RightToLeft);
    setFont(tahoma());
    resize(737, 676);

    auto* frame = new QWidget(this);
    auto* row = new QHBoxLayout(frame);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    setCentralWidget(frame);
    // Right to left, the first widget of the row is the rightmost.
    row->addWidget(buildNavigationBar());
    workArea_ = new MainWorkArea(frame);
    row->addWidget(workArea_, 1);

    applicationEvents_ = new WheelFilter(this);
}

MainWindow::~MainWindow() = default;

QWidget* MainWindow::buildNavigationBar()
{
    // Scrolls only on a screen too low for the five groups.
    auto* scroller = new QScrollArea;
    scroller->setObjectName(u"navigationScroller"_s);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroller->setWidgetResizable(true);
    scroller->setFixedWidth(kNavigationBarWidth);

    auto* bar = new QFrame;
    bar->setObjectName(u"navigationBar"_s);
    auto* column = new QVBoxLayout(bar);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);
    column->addWidget(buildClockGroup());
    column->addWidget(buildDateGroup());
    column->addWidget(buildChequeGroup());
    column->addWidget(buildFacilitiesGroup());
    column->addWidget(buildGeneralGroup());
    column->addStretch(1);
    scroller->setWidget(bar);
    return scroller;
}

namespace {

QWidget* group(const QString& objectName)
{
    auto* widget = new QWidget;
    widget->setObjectName(objectName);
    widget->setProperty("navRole", u"group"_s);
    widget->setAttribute(Qt::WA_StyledBackground);
    return widget;
}

QLabel* header(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setProperty("navRole", u"header"_s);
    label->setFont(tahoma(true));
    return label;
}

QLabel* caption(const QString& objectName, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
    label->setProperty("navRole", u"caption"_s);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

// A row of [next at the right] [caption] [previous at the left].
QHBoxLayout* stepRow(QToolButton* next, QLabel* label, QToolButton* previous)
{
    auto* row = new QHBoxLayout;
    row->setContentsMargins(8, 0, 8, 0);
    row->addWidget(next);
    row->addWidget(label, 1);
    row->addWidget(previous);
    return row;
}

} // namespace

QToolButton* MainWindow::stepButton(const QString& objectName, bool pointsRight)
{
    auto* button = new QToolButton;
    button->setObjectName(objectName);
    button->setProperty("navRole", u"step"_s);
    button->setFixedSize(kStepButtonSize, kStepButtonSize);
    button->setIcon(
        QIcon(pointsRight ? u":/images/step_right.png"_s : u":/images/step_left.png"_s));
    button->setIconSize(QSize(20, 20));
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

QPushButton* MainWindow::navItem(const QString& objectName, const QString& text,
                                 const QString& icon)
{
    auto* item = new NavItem(text, QIcon(icon));
    item->setObjectName(objectName);
    item->setProperty("navRole", u"item"_s);
    item->setFont(tahoma());
    item->setIconSize(QSize(18, 18));
    item->setCursor(Qt::PointingHandCursor);
    item->setFocusPolicy(Qt::TabFocus);
    return item;
}

QWidget* MainWindow::buildClockGroup()
{
    QWidget* box = group(u"grpClock"_s);
    box->setFixedHeight(150);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 8, 0, 8);
    column->setSpacing(6);

    clock_ = new AnalogClock(box);
    clock_->setObjectName(u"AnalogClock1"_s);
    clock_->setFixedSize(87, 93);
    clock_->setText(u"نيلـــــو"_s);
    // The face the settings name, read now so that its pictures are loaded once; start-up
    // writes the setting when it is missing (restoreClockFace).
    clock_->setStyle(ClockFaceStyles[storedClockFace(QDir::currentPath()).value_or(1)]);
    column->addWidget(clock_, 0, Qt::AlignHCenter | Qt::AlignTop);

    QToolButton* next = stepButton(u"btnClockNext"_s, true);
    QToolButton* previous = stepButton(u"btnClockPrevious"_s, false);
    connect(next, &QToolButton::clicked, this, Guarded([this] { changeClockFace(Step::Next); }));
    connect(previous, &QToolButton::clicked, this,
            Guarded([this] { changeClockFace(Step::Previous); }));
    column->addLayout(stepRow(next, caption(u"lblClockCaption"_s, u"ظاهر ساعت"_s, box), previous));
    column->addStretch(1);
    return box;
}

QWidget* MainWindow::buildDateGroup()
{
    QWidget* box = group(u"grpDate"_s);
    box->setFixedHeight(150);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);

    auto* sheet = new QLabel(box);
    sheet->setObjectName(u"imgCalendar"_s);
    sheet->setFixedSize(130, 150);
    sheet->setPixmap(QPixmap(u":/images/calendar_sheet.png"_s));
    sheet->setScaledContents(true);
    // The sheet's art is the same in every theme, so are the colours of its lines.
    sheet->setStyleSheet(u"QLabel { background: transparent; }"
                         u"QLabel#lblMonthYear { color: #ffffff; }"
                         u"QLabel#lblDay { color: #3b2f2a; }"
                         u"QLabel#lblWeekday { color: #933434; }"_s);
    column->addWidget(sheet, 0, Qt::AlignCenter);

    QFont jadid(u"B Jadid"_s);
    jadid.setPixelSize(16);
    jadid.setBold(true);
    const auto line = [&](const QString& name, const QRect& where) {
        auto* label = new QLabel(sheet);
        label->setObjectName(name);
        label->setFont(jadid);
        label->setAlignment(Qt::AlignCenter);
        label->setGeometry(where);
        return label;
    };
    // Placed on the sheet's red band, its page and above its foot.
    lblMonthYear_ = line(u"lblMonthYear"_s, QRect(7, 13, 116, 34));
    lblDay_ = line(u"lblDay"_s, QRect(7, 52, 116, 60));
    lblWeekday_ = line(u"lblWeekday"_s, QRect(7, 117, 116, 26));
    return box;
}

QWidget* MainWindow::buildChequeGroup()
{
    QWidget* box = group(u"grpCheque"_s);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(header(u"عمليات چك"_s, box));

    QPushButton* info =
        navItem(u"itemChequeInfo"_s, u"اطلاعات چك"_s, u":/images/nav_designer.png"_s);
    connect(info, &QPushButton::clicked, this, Guarded([this] {
                OpenChildWindowOnce(workArea_, u"layoutDesigner"_s,
                                    [] { return static_cast<QWidget*>(new LayoutDesigner); });
            }));
    QPushButton* print = navItem(u"itemChequePrint"_s, u"چاپ چك"_s, u":/images/nav_print.png"_s);
    connect(print, &QPushButton::clicked, this, Guarded([this] {
                OpenChildWindowOnce(workArea_, u"printWindow"_s, CreateChequePrintWindow);
            }));
    QPushButton* issued = navItem(u"itemChequeRegister"_s, u"چك‌هاي صادره"_s,
                                  u":/images/nav_print.png"_s);
    const auto openRegister = [this] {
        OpenChildWindowOnce(workArea_, u"ChequeRegisterWindow"_s,
                            [] { return static_cast<QWidget*>(new ChequeRegisterWindow); });
    };
    connect(issued, &QPushButton::clicked, this, Guarded(openRegister));
    // Cheques falling due soon, filled at start-up; a click opens the register.
    auto* due = new QLabel(box);
    due->setObjectName(u"lblDueSoon"_s);
    due->setWordWrap(true);
    due->setProperty("navRole", u"caption"_s);
    due->setContentsMargins(6, 4, 6, 4);
    due->hide();
    connect(due, &QLabel::linkActivated, this, Guarded(openRegister));
    column->addWidget(info);
    column->addWidget(print);
    column->addWidget(issued);
    column->addWidget(due);
    return box;
}

QWidget* MainWindow::buildFacilitiesGroup()
{
    QWidget* box = group(u"grpFacilities"_s);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(header(u"امكانات"_s, box));

    auto* area = new QWidget(box);
    area->setFixedHeight(76);
    auto* inner = new QVBoxLayout(area);
    inner->setContentsMargins(0, 8, 0, 6);
    inner->setSpacing(6);
    auto* link = new LinkLabel(u"تصوير پس زمينه"_s, area);
    link->setObjectName(u"backgroundLink"_s);
    link->setProperty("navRole", u"link"_s);
    link->setAlignment(Qt::AlignCenter);
    connect(link, &LinkLabel::clicked, this, Guarded([this] { chooseBackground(); }));
    // The way back to the built-in picture, beside choosing another one.
    auto* choose = new QAction(u"انتخاب تصوير پس زمينه..."_s, link);
    choose->setObjectName(u"actChooseBackground"_s);
    connect(choose, &QAction::triggered, this, Guarded([this] { chooseBackground(); }));
    auto* builtIn = new QAction(u"تصوير پيش فرض برنامه"_s, link);
    builtIn->setObjectName(u"actBuiltInBackground"_s);
    connect(builtIn, &QAction::triggered, this, Guarded([this] { useBuiltInBackground(); }));
    link->addActions({choose, builtIn});
    link->setContextMenuPolicy(Qt::ActionsContextMenu);
    link->setToolTip(u"براي بازگشت به تصوير پيش فرض، روي اين پيوند كليك راست كنيد"_s);
    inner->addWidget(link, 0, Qt::AlignHCenter);

    QToolButton* next = stepButton(u"btnThemeNext"_s, true);
    QToolButton* previous = stepButton(u"btnThemePrevious"_s, false);
    connect(next, &QToolButton::clicked, this, Guarded([this] { changeTheme(Step::Next); }));
    connect(previous, &QToolButton::clicked, this,
            Guarded([this] { changeTheme(Step::Previous); }));
    inner->addLayout(
        stepRow(next, caption(u"lblThemeCaption"_s, u"ظاهر برنامه"_s, area), previous));
    column->addWidget(area);
    return box;
}

QWidget* MainWindow::buildGeneralGroup()
{
    QWidget* box = group(u"grpGeneral"_s);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    QPushButton* help = navItem(u"itemHelp"_s, u"راهنماي كاربران"_s, u":/images/nav_help.png"_s);
    connect(help, &QPushButton::clicked, this, [this] {
        if (FindHelpFile().isEmpty()) {
            QStringList places;
            for (const QString& folder : HelpFileFolders())
                places << QDir::toNativeSeparators(QDir(folder).filePath(ApplicationHelpFile()));
            ShowAppMessage(u"پرونده راهنماي برنامه پيدا نشد"_s + u'\n' + places.join(u'\n'),
                           MessageKind::Warning);
            return;
        }
        ShowHelpContents(this);
    });
    QPushButton* about =
        navItem(u"itemAbout"_s, u"درباره نرم افزار"_s, u":/images/nav_about.png"_s);
    connect(about, &QPushButton::clicked, this, Guarded([] { ShowModalWindow<CreditsDialog>(); }));
    QPushButton* exit = navItem(u"itemExit"_s, u"خروج"_s, u":/images/nav_exit.png"_s);
    // Ends the event loop without closing the window, so the closing step (and with it the
    // storing of the theme) does not run.
    // Ends the program without the closing step (the theme is not stored), but not before
    // the child windows have closed: one holding unsaved work may ask and choose to stay.
    connect(exit, &QPushButton::clicked, this, [this] {
        workArea_->closeAllSubWindows();
        if (workArea_->subWindowList().isEmpty())
            QCoreApplication::exit(0);
    });
    QPushButton* backup = navItem(u"itemBackup"_s, u"نسخه پشتيبان"_s, u":/images/nav_backup.png"_s);
    connect(backup, &QPushButton::clicked, this, Guarded([this] { backupDatabase(); }));
    column->addWidget(backup);
    column->addWidget(help);
    column->addWidget(about);
    column->addWidget(exit);
    return box;
}

// ---------------------------------------------------------------------------------------------

void MainWindow::setVisible(bool visible)
{
    if (visible && !formShown_) {
        formShown_ = true;
        firstShow();
    }
    QMainWindow::setVisible(visible);
}

void MainWindow::firstShow()
{
    showDate();
    if (auto* due = findChild<QLabel*>(u"lblDueSoon"_s); due && programDatabase) {
        try {
            const QString text =
                DueSoonText(DueSoon(programDatabase->connection(), DayNumberOf(Today()),
                                    DueSoonDaysSetting(QDir::currentPath())));
            due->setText(u"<a href=\"register\" style=\"color:#b00000\">"_s + text.toHtmlEscaped() +
                         u"</a>"_s);
            due->setToolTip(text);
            due->setVisible(!text.isEmpty());
        } catch (const AppError&) {
            due->hide(); // a notice, not a reason to stop the program
        }
    }
    restoreClockFace();
    restoreBackground();
    restoreTheme();
}

void MainWindow::showDate()
{
    // Filled once: a program left running past midnight keeps the day it started on.
    const DatePanelTexts texts = DatePanelTextsOf(Today());
    lblMonthYear_->setText(texts.monthYear);
    lblDay_->setText(texts.day);
    lblWeekday_->setText(texts.weekday);
}

void MainWindow::restoreClockFace()
{
    settingsFolder_ = QDir::currentPath();
    if (const auto stored = storedClockFace(settingsFolder_)) {
        faceNumber_ = *stored;
    } else {
        faceNumber_ = 1;
        RunGuarded([this] {
            WriteIniString(kSettingsFileNamePart, settingsFolder_, kClockSection, kClockKey,
                           u"1"_s);
        });
    }
    clock_->setStyle(ClockFaceStyles[faceNumber_]);
}

const QImage& MainWindow::defaultBackground()
{
    return BuiltInPictures::instance().background();
}

void MainWindow::restoreBackground()
{
    // A stored picture that cannot be read or decoded (damaged, or past the decode budget) is
    // passed over without a word: the built-in one shows instead.
    QImage picture;
    try {
        QByteArray stored;
        if (programDatabase)
            stored = programDatabase->readBackImage();
        QByteArray jpeg;
        UnpackImageStream(stored, jpeg);
        if (!jpeg.isEmpty())
            picture = DecodeJpeg(jpeg, screenPixels(this));
    } catch (const std::exception&) {
    }
    workArea_->setBackgroundImage(picture.isNull() ? defaultBackground() : picture);
}

void MainWindow::restoreTheme()
{
    std::optional<int> stored;
    if (programDatabase)
        RunGuarded([&] { stored = programDatabase->readThemeId(); });
    themeNumber_ = ThemeFromStored(stored);
    SelectTheme(themeNumber_);
}

void MainWindow::changeClockFace(Step step)
{
    if (step == Step::Previous && faceNumber_ > 1)
        --faceNumber_;
    else if (step == Step::Next && faceNumber_ < 8)
        ++faceNumber_;
    clock_->setStyle(ClockFaceStyles[faceNumber_]);
    WriteIniString(kSettingsFileNamePart, settingsFolder_, kClockSection, kClockKey,
                   QString::number(faceNumber_));
}

void MainWindow::changeTheme(Step step)
{
    const quint8 before = themeNumber_;
    if (step == Step::Previous && themeNumber_ > 0)
        --themeNumber_;
    else if (step == Step::Next && themeNumber_ < kThemeCount - 1)
        ++themeNumber_;
    if (themeNumber_ != before) {
        SelectTheme(themeNumber_);
        workArea_->refreshTitleBars();
    }
}

void MainWindow::backupDatabase()
{
    if (!programDatabase)
        return;
    const QString database = DatabaseFileOf(programDatabase->connection().databaseName());
    const QString suggested = QFileInfo(database).absoluteDir().filePath(
        u"NiloChequePrint-%1.mdb"_s.arg(QDate::currentDate().toString(u"yyyyMMdd"_s)));
    const QString target = DialogSeam::chooseSaveFile(this, u"بانك اطلاعات (*.mdb)"_s, suggested);
    if (target.isEmpty())
        return;
    const QString error = BackupDatabase(database, target);
    if (!error.isEmpty()) {
        ShowAppMessage(error, MessageKind::Error);
        return;
    }
    ShowAppMessage(u"نسخه پشتيبان بانك اطلاعات ساخته و بررسي شد.\n"_s +
                       QDir::toNativeSeparators(QFileInfo(target).absoluteFilePath()),
                   MessageKind::Information);
}

void MainWindow::chooseBackground()
{
    const QString path = DialogSeam::chooseOpenFile(this, kBackgroundFilter);
    if (path.isEmpty())
        return;
    const QString name = QDir::toNativeSeparators(path);
    // Until the new picture is read, decoded and stored, the previous one stays on screen.
    const auto refuse = [](const QString& why) {
        ShowAppMessage(why + u'\n' + u"تصوير پس زمينه تغيير نكرد."_s, MessageKind::Error);
    };
    // A regular file only, of a size that can be stored and read back: a device, a FIFO or a
    // link out of its folder is refused before a byte is read.
    const FileRead read = ReadRegularFile(path, kMaxUnpackedImageBytes);
    if (!read.ok())
        return refuse(u"تصوير «%1» خوانده نشد: "_s.arg(name) + ReadFailureText(read));
    if (read.bytes.isEmpty())
        return refuse(JpegFailureText(JpegFailure::NotJpeg, name));
    JpegFailure failure = JpegFailure::None;
    const QImage picture = DecodeJpeg(read.bytes, screenPixels(this), &failure);
    if (picture.isNull())
        return refuse(JpegFailureText(failure, name));

    if (programDatabase) {
        QByteArray packed;
        PackImageStream(read.bytes, packed);
        try {
            programDatabase->writeBackImage(packed);
        } catch (const AppError& e) {
            return refuse(e.message());
        }
    }
    workArea_->setBackgroundImage(picture);
}

void MainWindow::useBuiltInBackground()
{
    // An empty stored picture reads back as the built-in one.
    if (programDatabase) {
        try {
            programDatabase->writeBackImage(QByteArray());
        } catch (const AppError& e) {
            ShowAppMessage(e.message(), MessageKind::Error);
            return;
        }
    }
    workArea_->setBackgroundImage(defaultBackground());
}

void MainWindow::saveTheme()
{
    if (programDatabase)
        programDatabase->writeThemeId(themeNumber_);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Child windows close first: one holding unsaved work may ask and choose to stay, and
    // then the program stays too.
    workArea_->closeAllSubWindows();
    if (!workArea_->subWindowList().isEmpty()) {
        event->ignore();
        return;
    }
    saveTheme();
    QMainWindow::closeEvent(event);
}
