#include "gui/credits/CreditsDialog.h"

#include "core/ProgramFont.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFrame>
#include <QTimer>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr int kClientWidth = 579;
constexpr int kClientHeight = 425;
constexpr int kStripHeight = 40;
constexpr int kLeftMargin = 20;
constexpr int kRightMargin = 5;
constexpr int kBlankLinesAround = 18;
constexpr int kMinIndent = 20;
constexpr int kMaxIndent = 46;

// The credits proper, each line without its indent; a single space is a blank line.
const QStringList& creditTexts()
{
    static const QStringList texts = {
        u"طراحي و برنامه نويسي اين نرم افزار"_s,
        u"كار تيم توسعه نيلو است"_s,
        u"گروهي كوچك از سازندگان نرم افزارهاي مالي"_s,
        u" "_s,
        u"استفاده از اين نرم افزار براي همگان آزاد است؛"_s,
        u"درستي هر چك را پيش از چاپ بررسي كنيد"_s,
        u" "_s,
        u"تيم توسعه نيلو آماده طراحي و ساخت"_s,
        u"نرم افزارهاي مالي و اداري ديگري براي شماست"_s,
        u" "_s,
        u"نظرات و انتقادهاي شما راهنماي ما در ادامه كار است"_s,
        u" "_s,
        u"از شما خواهشمنديم پيشنهادها و نظرات خود را"_s,
        u"به نشاني پست الكترونيك زير براي ما بفرستيد:"_s,
        u"nilo.team@example.org"_s,
        u"با سپاس از همراهي شما"_s,
    };
    return texts;
}

QTextCharFormat styleFormat(int style)
{
    QTextCharFormat format;
    // Arial has no Persian letters here; the program's own face draws them, joined.
    format.setFontFamilies(QStringList{u"Arial"_s, u"Vazirmatn"_s});
    if (style == 1) {
        format.setFontPointSize(18);
        format.setForeground(QColor(Qt::red));
        format.setFontWeight(QFont::Bold);
        format.setFontItalic(true);
    } else {
        format.setFontPointSize(14);
        format.setForeground(QColor(Qt::yellow));
    }
    return format;
}

struct CreditLine
{
    QString text;
    int style = 0;
    bool centred = false;
};

// The whole text in order: blank lines that fill the view, the title, the product name, the
// credits indented towards the middle of the view, and blank lines that let it scroll out.
QList<CreditLine> creditLines(qreal textWidth)
{
    QList<CreditLine> lines;
    lines << CreditLine{QString(), 0, false};
    for (int i = 1; i < kBlankLinesAround; ++i)
        lines << CreditLine{u" "_s, 0, false};
    lines << CreditLine{u"نرم افزار چاپ چك"_s, 1, true};
    lines << CreditLine{u" "_s, 0, false} << CreditLine{u" "_s, 0, false};
    lines << CreditLine{u"نيلـــو"_s, 1, true};
    for (int i = 0; i < 6; ++i)
        lines << CreditLine{u" "_s, 0, false};

    QFont font;
    font.setFamilies({u"Arial"_s, u"Vazirmatn"_s});
    font.setPointSize(14);
    const QFontMetricsF metrics(font);
    const qreal space = std::max<qreal>(1.0, metrics.horizontalAdvance(u' '));
    for (const QString& text : creditTexts()) {
        if (text == u" "_s) {
            lines << CreditLine{text, 0, false};
            continue;
        }
        const qreal free = textWidth - metrics.horizontalAdvance(text);
        const int indent = std::clamp(int(free / 2 / space), kMinIndent, kMaxIndent);
        lines << CreditLine{QString(indent, u' ') + text, 0, false};
    }
    for (int i = 0; i < kBlankLinesAround; ++i)
        lines << CreditLine{u" "_s, 0, false};
    return lines;
}

} // namespace

CreditsDialog::CreditsDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(u"creditsDialog"_s);
    setWindowTitle(u"پديدآورنده"_s);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setLayoutDirection(Qt::RightToLeft);
    setFont(QFont(ProgramFontFamily(), 8));
    setFixedSize(kClientWidth, kClientHeight);
    setModal(true);

    richEdit_ = new QTextEdit(this);
    richEdit_->setObjectName(u"RichEdit1"_s);
    richEdit_->setGeometry(0, 0, kClientWidth, kClientHeight - kStripHeight);
    richEdit_->setReadOnly(true);
    // Selectable with the mouse; no caret blinking over the credits.
    richEdit_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    richEdit_->setFrameShape(QFrame::NoFrame);
    richEdit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    richEdit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The widget's own sheet, so that no theme paints over the leather.
    richEdit_->setStyleSheet(u"QTextEdit#RichEdit1 { border: none; "
                             "background-color: #4a2a18; "
                             "background-image: url(:/images/credits_leather.png); "
                             "background-repeat: repeat-xy; background-attachment: fixed; "
                             "background-origin: border; }"_s);

    backButton_ = new QPushButton(u"بازگشت"_s, this);
    backButton_->setObjectName(u"backButton"_s);
    backButton_->setGeometry((kClientWidth - 75) / 2, kClientHeight - kStripHeight + 8, 75, 25);
    connect(backButton_, &QPushButton::clicked, this, &QDialog::reject);

    buildText();

    timer_ = new QTimer(this);
    timer_->setObjectName(u"scrollTimer"_s);
    timer_->setInterval(kTickMs);
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, &CreditsDialog::scrollCredits);
    timer_->start();
}

CreditsDialog::~CreditsDialog()
{
    timer_->stop();
}

void CreditsDialog::buildText()
{
    QTextDocument* document = richEdit_->document();
    document->clear();
    document->setDocumentMargin(0);
    QTextFrameFormat rootFormat = document->rootFrame()->frameFormat();
    rootFormat.setLeftMargin(kLeftMargin);
    rootFormat.setRightMargin(kRightMargin);
    document->rootFrame()->setFrameFormat(rootFormat);

    // The view has no frame and no visible scroll bar: its text area is known before it is shown.
    const qreal textWidth = kClientWidth - kLeftMargin - kRightMargin;
    QTextCursor cursor(document);
    bool first = true;
    for (const CreditLine& line : creditLines(textWidth)) {
        QTextBlockFormat block;
        block.setLayoutDirection(Qt::RightToLeft);
        block.setAlignment(line.centred ? Qt::AlignHCenter : Qt::AlignLeading);
        const QTextCharFormat chars = styleFormat(line.style);
        if (first) {
            cursor.setBlockFormat(block);
            cursor.setBlockCharFormat(chars);
            first = false;
        } else {
            cursor.insertBlock(block, chars);
        }
        cursor.insertText(line.text, chars);
    }
    // The view's own cursor moved along with the inserted text; at the end it would make the
    // view open scrolled to the bottom.
    richEdit_->moveCursor(QTextCursor::Start);
    richEdit_->verticalScrollBar()->setSingleStep(1);
    // Lay the text out now, so the scroll range is known before the first tick.
    document->setTextWidth(kClientWidth);
    document->documentLayout()->documentSize();
    richEdit_->verticalScrollBar()->setValue(0);
}

void CreditsDialog::scrollCredits()
{
    QScrollBar* bar = richEdit_->verticalScrollBar();
    // The bar's maximum is already the range less the visible height.
    if (bar->value() >= bar->maximum())
        bar->setValue(restartPosition());
    else
        bar->setValue(bar->value() + 1);
}

int CreditsDialog::titleTop() const
{
    const QTextDocument* document = richEdit_->document();
    const QTextBlock title = document->findBlockByNumber(kBlankLinesAround);
    return int(document->documentLayout()->blockBoundingRect(title).top());
}

int CreditsDialog::openingPosition() const
{
    return std::max(0, titleTop() - richEdit_->viewport()->height() / 4);
}

int CreditsDialog::restartPosition() const
{
    return std::max(0, titleTop() - richEdit_->viewport()->height());
}

void CreditsDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!opened_) {
        opened_ = true;
        // The leading blank lines would keep the window empty for many seconds.
        richEdit_->verticalScrollBar()->setValue(openingPosition());
    }
}

QStringList CreditsDialog::CreditLines() const
{
    QStringList lines;
    for (QTextBlock block = richEdit_->document()->begin(); block.isValid(); block = block.next())
        lines << block.text();
    return lines;
}

QList<int> CreditsDialog::creditStyles() const
{
    QList<int> styles;
    for (QTextBlock block = richEdit_->document()->begin(); block.isValid(); block = block.next())
        styles << (block.charFormat().fontPointSize() >= 18 ? 1 : 0);
    return styles;
}
