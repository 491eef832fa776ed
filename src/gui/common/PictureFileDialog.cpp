#include "gui/common/PictureFileDialog.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QTreeView>

namespace {
// The folder box paints its text in the application's direction whatever its own: this style
// makes its texts (paths) read left to right.
class LeftToRightTextStyle final : public QProxyStyle
{
public:
    void drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& pal,
                      bool enabled, const QString& text,
                      QPalette::ColorRole textRole = QPalette::NoRole) const override
    {
        QProxyStyle::drawItemText(painter, rect, flags | Qt::TextForceLeftToRight, pal, enabled,
                                  text, textRole);
    }
};

constexpr int kPreviewSide = 220;
// Larger files are not decoded for a preview; the cheque picture itself is bounded far below.
constexpr qint64 kPreviewMaxBytes = 64 * 1024 * 1024;
} // namespace

void ReadPathsLeftToRight(QFileDialog& dialog)
{
    // Paths, file names, sizes and dates read left to right: in a right-to-left line a path
    // reads "home/user/" and a size "KiB 40". Labels and buttons stay right to left.
    for (const char* name : {"fileNameEdit", "lookInCombo", "listView", "treeView"})
        if (auto* w = dialog.findChild<QWidget*>(QLatin1String(name)))
            w->setLayoutDirection(Qt::LeftToRight);
    if (auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("lookInCombo"))) {
        auto* style = new LeftToRightTextStyle;
        style->setParent(combo);
        combo->setStyle(style);
    }
    if (auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("treeView")))
        tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

PictureFileDialog::PictureFileDialog(QWidget* parent, const QString& filter)
    : QFileDialog(parent, QString(), QString(), filter)
{
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::ExistingFile);
    setAcceptMode(QFileDialog::AcceptOpen);

    ReadPathsLeftToRight(*this);

    preview_ = new QLabel(this);
    preview_->setObjectName(QStringLiteral("picturePreview"));
    preview_->setFixedSize(kPreviewSide, kPreviewSide);
    preview_->setAlignment(Qt::AlignCenter);
    preview_->setFrameShape(QFrame::StyledPanel);
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(preview_, 1, grid->columnCount(), grid->rowCount() - 1, 1);
    resize(sizeHint().width() + kPreviewSide, qMax(sizeHint().height(), 420));

    connect(this, &QFileDialog::currentChanged, this, &PictureFileDialog::showPreview);
}

void PictureFileDialog::showPreview(const QString& path)
{
    preview_->setPixmap(QPixmap());
    preview_->setText(QString());
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > kPreviewMaxBytes)
        return;
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > kPreviewSide || size.height() > kPreviewSide))
        reader.setScaledSize(size.scaled(kPreviewSide, kPreviewSide, Qt::KeepAspectRatio));
    const QImage image = reader.read();
    if (image.isNull()) {
        preview_->setText(QStringLiteral("بدون پيش نمايش"));
        return;
    }
    preview_->setPixmap(QPixmap::fromImage(
        image.scaled(kPreviewSide, kPreviewSide, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}
