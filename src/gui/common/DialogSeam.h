#pragma once

#include <QFont>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

enum class MessageKind : unsigned { Warning = 1, Error = 2, Information = 3, Confirmation = 4 };

// What a message dialog would show; given to a test's answering hook instead of a person.
struct ShownMessage
{
    QString caption;
    QString text;
    MessageKind kind = MessageKind::Error;
    bool fromEventLoop = false; // the event loop's default error box
};

// Every dialog that waits for a person passes through here, so that tests can answer it.
// With no hook installed the real dialog is shown.
namespace DialogSeam {

// Returns true for the accepting button, false for refusing, Escape or the close box.
using MessageHook = std::function<bool(const ShownMessage&)>;
// Returns the chosen file path, or an empty string for "cancelled".
using OpenFileHook = std::function<QString(const QString& filter)>;
// Returns the path to write to, or an empty string for "cancelled".
using SaveFileHook = std::function<QString(const QString& filter, const QString& suggested)>;
// Returns the chosen font, or nullopt for "cancelled".
using FontHook = std::function<std::optional<QFont>(const QFont& initial)>;

void setMessageHook(MessageHook hook);
void setOpenFileHook(OpenFileHook hook);
void setFontHook(FontHook hook);
void setSaveFileHook(SaveFileHook hook);
const MessageHook& messageHook();

// The open-picture dialog; empty when cancelled.
QString chooseOpenFile(QWidget* parent, const QString& filter);
// The save-file dialog, opening on the suggested path; empty when cancelled.
QString chooseSaveFile(QWidget* parent, const QString& filter, const QString& suggested);
// The font dialog; nullopt when cancelled.
std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial);

// The font dialog's sample text: Persian, with digits and Latin letters.
QString FontSampleText();

// A family name without the foundry the font database adds to tell faces apart
// ("C059 [UKWN]" -> "C059").
QString PlainFontFamily(const QString& family);

} // namespace DialogSeam
