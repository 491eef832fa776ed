#include "lib/DialogSeam.h"

#include <QFileDialog>
#include <QFontDialog>

namespace {
DialogSeam::MessageHook& messageHookRef()
{
    static DialogSeam::MessageHook hook;
    return hook;
}
DialogSeam::OpenFileHook& openFileHookRef()
{
    static DialogSeam::OpenFileHook hook;
    return hook;
}
DialogSeam::FontHook& fontHookRef()
{
    static DialogSeam::FontHook hook;
    return hook;
}
} // namespace

namespace DialogSeam {

void setMessageHook(MessageHook hook) { messageHookRef() = std::move(hook); }
void setOpenFileHook(OpenFileHook hook) { openFileHookRef() = std::move(hook); }
void setFontHook(FontHook hook) { fontHookRef() = std::move(hook); }
const MessageHook& messageHook() { return messageHookRef(); }

QString chooseOpenFile(QWidget* parent, const QString& filter)
{
    if (openFileHookRef())
        return openFileHookRef()(filter);
    return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
}

std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial)
{
    if (fontHookRef())
        return fontHookRef()(initial);
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, parent);
    return ok ? std::optional<QFont>(font) : std::nullopt;
}

} // namespace DialogSeam
