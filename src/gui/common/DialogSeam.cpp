#include "gui/common/DialogSeam.h"

#include "gui/common/PictureFileDialog.h"

#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QLineEdit>
#include <QRegularExpression>

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
DialogSeam::SaveFileHook& saveFileHookRef()
{
    static DialogSeam::SaveFileHook hook;
    return hook;
}
} // namespace

namespace DialogSeam {

void setMessageHook(MessageHook hook)
{
    messageHookRef() = std::move(hook);
}
void setSaveFileHook(SaveFileHook hook)
{
    saveFileHookRef() = std::move(hook);
}
void setOpenFileHook(OpenFileHook hook)
{
    openFileHookRef() = std::move(hook);
}
void setFontHook(FontHook hook)
{
    fontHookRef() = std::move(hook);
}
const MessageHook& messageHook()
{
    return messageHookRef();
}

QString chooseOpenFile(QWidget* parent, const QString& filter)
{
    if (openFileHookRef())
        return openFileHookRef()(filter);
    PictureFileDialog dialog(parent, filter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString chooseSaveFile(QWidget* parent, const QString& filter, const QString& suggested)
{
    if (saveFileHookRef())
        return saveFileHookRef()(filter, suggested);
    QFileDialog dialog(parent, QString(), suggested, filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    ReadPathsLeftToRight(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString FontSampleText()
{
    return QStringLiteral("چاپ چك نيلو ۱۲۳۴۵ AaBb");
}

QString PlainFontFamily(const QString& family)
{
    // The font database tells same-named faces apart as "C059 [UKWN]"; a layout stores the
    // plain name, which the font system resolves itself.
    static const QRegularExpression foundry(QStringLiteral("\\s*\\[[^\\]]*\\]\\s*$"));
    return QString(family).remove(foundry);
}

std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial)
{
    if (fontHookRef())
        return fontHookRef()(initial);
    // A stored face this machine lacks opens on the face that stands in for it, not on
    // whatever the dialog would pick first.
    QFont start = initial;
    if (!QFontDatabase::families().contains(initial.family()))
        start.setFamily(QFont::substitute(initial.family()));
    QFontDialog dialog(start, parent);
    // Qt's own dialog, which speaks the program's language; its sample shows Persian text.
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    if (auto* sample = dialog.findChild<QLineEdit*>(QStringLiteral("qt_fontDialog_sampleEdit")))
        sample->setText(FontSampleText());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    QFont font = dialog.selectedFont();
    font.setFamily(PlainFontFamily(font.family()));
    return font;
}

} // namespace DialogSeam
