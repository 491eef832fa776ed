#pragma once

#include "core/storage/IniFile.h"
#include "core/text/TextChecks.h"
#include "gui/common/DialogSeam.h"

#include <QColor>
#include <QMessageBox>
#include <memory>

class QLineEdit;
class QWidget;

// The row shading colour of ShadeGridRow.
inline const QColor kGridShadeColor(227, 236, 234);

// The window caption of a message kind ("اخـــطـــار" ...); empty outside 1..4.
QString MessageCaption(MessageKind kind);

// The message dialog of a kind, built but not shown (tests inspect it; ShowAppMessage
// runs it).
class AppMessageBox final : public QMessageBox
{
    Q_OBJECT
public:
    AppMessageBox(const QString& text, MessageKind kind, QWidget* parent = nullptr);
    // True exactly when closed with the accepting button (Escape presses it in kinds 1-3).
    bool accepted() const;
    QAbstractButton* acceptButton() const { return accept_; }
    QAbstractButton* refuseButton() const { return refuse_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void placeButtons();
    MessageKind kind_;
    QAbstractButton* accept_ = nullptr;
    QAbstractButton* refuse_ = nullptr;
    bool closedByCloseBox_ = false;
};

// Shows a modal message; true when the user accepted. Kinds outside 1..4 show nothing.
bool ShowAppMessage(const QString& text, MessageKind kind);
bool ShowAppMessage(const QString& text, unsigned kind);

// Shows the error, focuses the control when it takes input, and abandons the user action
// silently (throws SilentAbort, which the event loop's guard swallows).
[[noreturn]] void ReportInputError(const QString& text, QWidget* control);

// The event loop's default error box: caption = application title, error icon, OK.
void ShowDefaultErrorBox(const QString& message);

bool IsEditBlank(const QLineEdit* edit);

// True when one of the main window's open child windows bears that object name (exact,
// case-sensitive). The main window is anything holding a QMdiArea.
bool IsChildWindowOpen(const QWidget* mainWindow, const QString& name);

// Creates a window of the class with no owner, shows it modally, destroys it after.
template <class Window> void ShowModalWindow()
{
    auto window = std::make_unique<Window>(nullptr);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->exec();
}

// Sets background to the shading colour on odd record numbers (1 = first record).
void ShadeGridRow(int recordNumber, QColor& background);
