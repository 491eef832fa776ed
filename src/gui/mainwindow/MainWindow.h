#pragma once

#include "widgets/AnalogClock.h"

#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QPixmap>
#include <QPushButton>

#include <array>
#include <functional>
#include <optional>

class QToolButton;
class WheelFilter;

// The clock face of each face number 1..8 (entry 0 is unused).
inline constexpr std::array<AnalogClockStyle, 9> ClockFaceStyles = {
    AnalogClockStyle::acCronometer, AnalogClockStyle::acCronometer, AnalogClockStyle::acDiner,
    AnalogClockStyle::acFlower,     AnalogClockStyle::acModern,     AnalogClockStyle::acNovelty,
    AnalogClockStyle::acSquare,     AnalogClockStyle::acSystem,     AnalogClockStyle::acTrad};

// The settings file beside the database, its one entry and the text read when it is absent.
inline const QString kSettingsFileNamePart = QStringLiteral("/NiloChequePrint.ini");
inline const QString kClockSection = QStringLiteral("Clock Params");
inline const QString kClockKey = QStringLiteral("No");
inline const QString kClockDefaultText = QStringLiteral("Error On Read");

// The face number a stored "No" value gives: the whole number 1..8 it holds, else face 1.
quint8 ClockFaceFromText(const QString& text);
// The face the settings file in the folder names; nullopt when there is no settings file.
std::optional<quint8> storedClockFace(const QString& folder);
// The theme a stored ThemeId gives: 0 without a row, the number when it names a theme,
// else theme 0.
quint8 ThemeFromStored(std::optional<int> themeId);

// The Jalali date texts of the date panel for a date value: month name + three spaces +
// year, the day without a leading zero, the weekday. Empty outside the calendar.
struct DatePanelTexts
{
    QString monthYear;
    QString day;
    QString weekday;
};
DatePanelTexts DatePanelTextsOf(double dateValue);

// Opens a child window in the frame unless one with that object name is open there: asks
// `create` for it, adds it to the frame unless it placed itself there, and shows it. An
// open window is left as it is (not activated). Returns the new window, or null.
QWidget* OpenChildWindowOnce(QMdiArea* area, const QString& name,
                             const std::function<QWidget*()>& create);

// Starts decoding the main window's built-in pictures (background, logo art) on worker
// threads; the first main window does it when nobody did before.
void PrepareMainWindowPictures();

// Creates the cheque print window ("printWindow") for the frame.
QWidget* CreateChequePrintWindow();

// The work area: the background picture stretched over it, the logo art in the lower right
// corner, the child windows in front.
class MainWorkArea final : public QMdiArea
{
    Q_OBJECT
public:
    explicit MainWorkArea(QWidget* parent = nullptr);

    // The picture shown stretched; a null image shows the workspace colour alone.
    void setBackgroundImage(const QImage& image);
    const QImage& backgroundImage() const { return background_; }

    static constexpr QSize kLogoBoxSize{321, 212};
    // Where the logo art is drawn, in viewport coordinates.
    QRect logoRect() const;

    // Child windows keep their title bar colours until told their state again; called after
    // a theme change.
    void refreshTitleBars();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage background_;
    QPixmap scaledBackground_; // background_ at the viewport's size, made on demand
    QPixmap logo_;             // the logo art at its box's size
};

// A caption that acts as a link: hand cursor, underlined while the mouse is over it.
class LinkLabel final : public QLabel
{
    Q_OBJECT
public:
    explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

// An item of the navigation bar: a flat button whose glyph and caption start at the
// reading edge (style sheets cannot place an icon there in right-to-left buttons).
class NavItem final : public QPushButton
{
    Q_OBJECT
public:
    NavItem(const QString& text, const QIcon& icon, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The main window: a right-to-left multiple-document frame with the navigation bar on its
// right carrying the clock, today's Jalali date, the background and theme choices, and the
// items that open the working windows, the help and the credits.
class MainWindow final : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    QMdiArea* mdiArea() const { return workArea_; }
    MainWorkArea* workArea() const { return workArea_; }

    enum class Step { Previous, Next };
    // The clock buttons: one face back or forward within 1..8, then the face is set and
    // written to the settings file, changed or not.
    void changeClockFace(Step step);
    // The theme buttons: one theme back or forward within 0..9, applied at once; stored
    // only when the window is closed.
    void changeTheme(Step step);
    // The background link: choose a JPEG picture, store it packed, show it. A file that is no
    // readable, whole JPEG, or a picture that cannot be stored, gets a Persian message and the
    // previous picture stays.
    void chooseBackground();
    // The backup item: a checked copy of the open database to a file the user names.
    void backupDatabase();
    // The link's menu: back to the built-in picture, stored as no picture.
    void useBuiltInBackground();

    quint8 faceNumber() const { return faceNumber_; }
    quint8 themeNumber() const { return themeNumber_; }
    QString settingsFolder() const { return settingsFolder_; }
    AnalogClock* clock() const { return clock_; }
    // The built-in background, the fall-back of a stored one; decoded once for the process.
    static const QImage& defaultBackground();

    void setVisible(bool visible) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildNavigationBar();
    QWidget* buildClockGroup();
    QWidget* buildDateGroup();
    QWidget* buildChequeGroup();
    QWidget* buildFacilitiesGroup();
    QWidget* buildGeneralGroup();
    QPushButton* navItem(const QString& objectName, const QString& text, const QString& icon);
    QToolButton* stepButton(const QString& objectName, bool pointsRight);

    // Runs once, just before the window is first shown.
    void firstShow();
    void showDate();
    void restoreClockFace();
    void restoreBackground();
    void restoreTheme();
    // The main window is being closed: the theme is stored.
    void saveTheme();

    QString settingsFolder_;
    quint8 faceNumber_ = 1;
    quint8 themeNumber_ = 0;
    bool formShown_ = false;

    MainWorkArea* workArea_ = nullptr;
    AnalogClock* clock_ = nullptr;
    QLabel* lblMonthYear_ = nullptr;
    QLabel* lblDay_ = nullptr;
    QLabel* lblWeekday_ = nullptr;
    WheelFilter* applicationEvents_ = nullptr;
};

// The process-wide main window, set while it lives.
