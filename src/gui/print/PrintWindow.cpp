#include "gui/print/PrintWindow.h"

#include "core/ProgramFont.h"
#include "core/calendar/Today.h"
#include "core/cheque/ChequeTexts.h"
#include "core/errors/AppError.h"
#include "core/register/ChequeIssue.h"
#include "core/storage/CalibrationStore.h"
#include "core/storage/ChequeRegister.h"
#include "core/storage/Database.h"
#include "core/text/AmountText.h"
#include "core/text/TextChecks.h"
#include "gui/accounts/AccountPicker.h"
#include "gui/common/ChequeItemBox.h"
#include "gui/common/Guard.h"
#include "gui/common/MessageBox.h"
#include "gui/print/PrintWindowData.h"
#include "render/JpegImage.h"
#include "render/PagePainter.h"
#include "render/PrinterJob.h"
#include "render/Printers.h"
#include "widgets/JalaliDateEdit.h"
#include "widgets/ResizeHandles.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <QValidator>

using namespace Qt::StringLiterals;

namespace {

constexpr int kClientWidth = 770;
constexpr int kClientHeight = 724;
constexpr int kTopGroupHeight = 272;
constexpr int kFrameWidth = 738;
constexpr int kFrameHeight = 413;
constexpr int kRowHeight = 23;

PrintWindow::PrintJob& printJobRef()
{
    static PrintWindow::PrintJob job;
    return job;
}

// What the amount field takes, typed or pasted: digits (Persian and Arabic-Indic ones become
// 0..9), group marks and blanks, at most 15 characters without the blanks around them.
// Anything else is refused whole, so the field never holds what the cheque does not show.
class AmountValidator final : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        input = ToLatinDigits(input);
        for (const QChar c : input)
            if (!c.isDigit() && c != u',' && c != u'.' && c != u' ')
                return Invalid;
        for (const QChar c : input)
            if (c.unicode() > 127 && c != u' ')
                return Invalid; // other scripts' digits
        return TrimBlanks(input).size() > kMaxAmountFieldChars ? Invalid : Acceptable;
    }
};

QLabel* caption(QWidget* parent, const QString& text, const QRect& geometry)
{
    auto* label = new QLabel(text, parent);
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
    return label;
}

QLineEdit* readOnlyField(QWidget* parent, const QRect& geometry, int maxLength)
{
    auto* edit = new QLineEdit(parent);
    edit->setGeometry(geometry);
    edit->setReadOnly(true);
    edit->setMaxLength(maxLength);
    edit->setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
    edit->setFocusPolicy(Qt::NoFocus);
    return edit;
}

// A read-only field shows the start of a long text, where a right-to-left text begins.
void showStart(QLineEdit* field, const QString& text)
{
    field->setText(text);
    field->setCursorPosition(0);
    field->setToolTip(text);
}

QSpinBox* distanceField(QWidget* parent, const QRect& geometry)
{
    auto* spin = new QSpinBox(parent);
    spin->setRange(-kMaxPrinterDistance, kMaxPrinterDistance);
    spin->setGeometry(geometry);
    spin->setLayoutDirection(Qt::LeftToRight);
    return spin;
}

QDoubleSpinBox* millimetreField(QWidget* parent, const QRect& geometry)
{
    auto* spin = new QDoubleSpinBox(parent);
    spin->setRange(-kMaxCalibrationMm, kMaxCalibrationMm);
    spin->setDecimals(1);
    spin->setSingleStep(0.1);
    spin->setGeometry(geometry);
    spin->setLayoutDirection(Qt::LeftToRight);
    return spin;
}

// The account button's picture: an open ledger with a pointing arrow, drawn once.
QIcon accountIcon()
{
    QPixmap pm(20, 20);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 70, 120), 1.4));
    p.setBrush(QColor(235, 240, 250));
    p.drawRoundedRect(QRectF(2.5, 3.5, 15, 13), 2, 2);
    p.drawLine(QPointF(5, 7.5), QPointF(15, 7.5));
    p.drawLine(QPointF(5, 10.5), QPointF(15, 10.5));
    p.drawLine(QPointF(5, 13.5), QPointF(11, 13.5));
    return QIcon(pm);
}

} // namespace

void PrintWindow::setPrintJob(PrintJob job)
{
    printJobRef() = std::move(job);
}

PrintWindow::PrintWindow(QWidget* parent) : QWidget(parent), model_(ProgramTextMeasure())
{
    setObjectName(u"printWindow"_s);
    setWindowTitle(u"چاپ چك"_s);
    setLayoutDirection(Qt::RightToLeft);
    QFont font(ProgramFontFamily());
    font.setPointSize(8);
    setFont(font);
    setFixedSize(kClientWidth, kClientHeight);
    setAttribute(Qt::WA_DeleteOnClose);

    dm_ = new PrintWindowData(this);
    buildAccountGroup();
    buildSettingsGroup();
    buildPictureGroup();
    buildWaitPanel();

    // Every item box of the ten layout items goes to the drag-and-resize facility; the
    // Toman box and the picture do not.
    resizeHandles_ = new ResizeHandles(panel_);
    for (int i = 0; i < BoxCount; ++i)
        if (i != AlphabeticPrice2)
            resizeHandles_->registerControl(boxes_[i]);
    resizeHandles_->setHandleColor(QColor(204, 0, 0));
    resizeHandles_->setGridSize(10);
    resizeHandles_->setEnabled(true);
    connect(resizeHandles_, &ResizeHandles::endSizeMove, this, [this] { boxesMoved(); });

    {
        QSignalBlocker block(datePicker_);
        datePicker_->setDate(Today());
    }
    model_.setDate(datePicker_->Date());
    showModel();

    // The window sees every key before its controls.
    qApp->installEventFilter(this);
}

PrintWindow::~PrintWindow()
{
    qApp->removeEventFilter(this);
    if (resizeHandles_)
        resizeHandles_->setEnabled(false);
}

void PrintWindow::buildAccountGroup()
{
    auto* group = new QGroupBox(u"  انتخاب حساب  "_s, this);
    const int w = 374;
    group->setGeometry(kClientWidth - w - 8, 4, w, kTopGroupHeight);
    const int labelW = 74, labelX = w - labelW - 8, fieldRight = labelX - 6;
    auto row = [](int i) { return 20 + i * kRowHeight; };

    caption(group, u"عنوان بانك"_s, {labelX, row(0), labelW, 21});
    accountButton_ = new QToolButton(group);
    accountButton_->setObjectName(u"AccountButton"_s);
    accountButton_->setIcon(accountIcon());
    accountButton_->setGeometry(10, row(0), 26, 21);
    accountButton_->setToolTip(u"انتخاب حساب"_s);
    bankName_ = readOnlyField(group, {40, row(0), fieldRight - 40, 21}, 100);

    caption(group, u"شعبه"_s, {labelX, row(1), labelW, 21});
    bankBranchName_ = readOnlyField(group, {10, row(1), fieldRight - 10, 21}, 100);

    const int half = (fieldRight - 10) / 2;
    caption(group, u"كد بانك"_s, {labelX, row(2), labelW, 21});
    bankBranchCode_ = readOnlyField(group, {fieldRight - half + 60, row(2), half - 60, 21}, 50);
    caption(group, u"شماره حساب"_s, {fieldRight - half - 10, row(2), 64, 21});
    accountNo_ = readOnlyField(group, {10, row(2), fieldRight - half - 26, 21}, 50);

    caption(group, u"نام حساب"_s, {labelX, row(3), labelW, 21});
    accountName_ = readOnlyField(group, {10, row(3), fieldRight - 10, 21}, 100);

    caption(group, u"سررسيد چك"_s, {labelX, row(4) + 4, labelW, 21});
    datePicker_ = new JalaliDateDropDown(group);
    datePicker_->setObjectName(u"DueDatePicker"_s);
    datePicker_->setGeometry(fieldRight - 130, row(4) + 4, 130, 22);

    caption(group, u"مبلغ چك"_s, {labelX, row(5) + 8, labelW, 21});
    amountEdit_ = new QLineEdit(group);
    amountEdit_->setObjectName(u"AmountEdit"_s);
    amountEdit_->setGeometry(10, row(5) + 8, fieldRight - 10, 21);
    amountEdit_->setValidator(new AmountValidator(amountEdit_));
    caption(group, u"گيرنده چك"_s, {labelX, row(6) + 8, labelW, 21});
    payeeEdit_ = new QLineEdit(group);
    payeeEdit_->setObjectName(u"PayeeEdit"_s);
    payeeEdit_->setGeometry(10, row(6) + 8, fieldRight - 10, 21);
    caption(group, u"توضيحات"_s, {labelX, row(7) + 8, labelW, 21});
    descriptionEdit_ = new QLineEdit(group);
    descriptionEdit_->setObjectName(u"DescriptionEdit"_s);
    descriptionEdit_->setGeometry(10, row(7) + 8, fieldRight - 10, 21);
    descriptionEdit_->setReadOnly(true);

    // The Sayad data, left to right as the bank prints it; checked when "چاپ" is pressed.
    caption(group, u"شناسه صياد"_s, {labelX, row(8) + 12, labelW, 21});
    sayadEdit_ = new QLineEdit(group);
    sayadEdit_->setObjectName(u"SayadEdit"_s);
    sayadEdit_->setGeometry(fieldRight - 124, row(8) + 12, 124, 21);
    sayadEdit_->setLayoutDirection(Qt::LeftToRight);
    sayadEdit_->setMaxLength(24);
    sayadEdit_->setToolTip(u"شناسه ۱۶ رقمي صياد چك (اختياري)"_s);
    caption(group, u"كد ملي"_s, {fieldRight - 124 - 60, row(8) + 12, 54, 21});
    nationalIdEdit_ = new QLineEdit(group);
    nationalIdEdit_->setObjectName(u"NationalIdEdit"_s);
    nationalIdEdit_->setGeometry(10, row(8) + 12, fieldRight - 124 - 66, 21);
    nationalIdEdit_->setLayoutDirection(Qt::LeftToRight);
    nationalIdEdit_->setMaxLength(20);
    nationalIdEdit_->setToolTip(u"كد ملي يا شناسه ملي گيرنده (اختياري)"_s);

    // A push button, framed in every theme: the window's main action, not a flat label.
    printButton_ = new QPushButton(u"چاپ"_s, group);
    printButton_->setObjectName(u"PrintButton"_s);
    printButton_->setToolTip(u"چاپ چك"_s);
    printButton_->setGeometry(10, row(9) + 15, 110, 26);
    QFont bold = printButton_->font();
    bold.setBold(true);
    printButton_->setFont(bold);
    seriesButton_ = new QPushButton(u"چك‌هاي اقساطي"_s, group);
    seriesButton_->setObjectName(u"SeriesButton"_s);
    seriesButton_->setToolTip(u"چند چك با يك گيرنده، هر چند ماه يك برگ"_s);
    seriesButton_->setGeometry(126, row(9) + 15, 110, 26);
    connect(seriesButton_, &QPushButton::clicked, this, [this] {
        RunGuarded([this] {
            const PrintRefusal refusal = model_.printRefusal();
            if (refusal == PrintRefusal::NoAccount || refusal == PrintRefusal::NoLayout) {
                ShowAppMessage(PrintRefusalMessage(refusal), MessageKind::Warning);
                return;
            }
            SeriesDialog dialog(DayNumberOf(model_.date()), amountEdit_->text(), this);
            if (dialog.exec() == QDialog::Accepted)
                printSeries(dialog.plan());
        });
    });

    // Tab order: date, amount, payee, description, print.
    setTabOrder(datePicker_, amountEdit_);
    setTabOrder(amountEdit_, payeeEdit_);
    setTabOrder(payeeEdit_, descriptionEdit_);
    setTabOrder(descriptionEdit_, sayadEdit_);
    setTabOrder(sayadEdit_, nationalIdEdit_);
    setTabOrder(nationalIdEdit_, printButton_);

    connect(accountButton_, &QToolButton::clicked, this,
            [this] { RunGuarded([this] { chooseAccount(); }); });
    connect(printButton_, &QPushButton::clicked, this,
            [this] { RunGuarded([this] { printCheque(); }); });
    connect(amountEdit_, &QLineEdit::textChanged, this,
            [this] { RunGuarded([this] { amountEdited(); }); });
    connect(amountEdit_, &QLineEdit::inputRejected, this,
            [this] { RunGuarded([this] { amountInputRejected(); }); });
    connect(payeeEdit_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!showing_ && model_.accountId() != 0) {
            model_.setPayee(text);
            showModel();
        }
    });
    connect(nationalIdEdit_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!showing_ && model_.accountId() != 0) {
            model_.setNationalId(text);
            showModel();
        }
    });
    connect(descriptionEdit_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!showing_ && model_.accountId() != 0) {
            model_.setDescription(text);
            showModel();
        }
    });
    connect(datePicker_, &JalaliDateDropDown::dateChanged, this, [this] {
        model_.setDate(datePicker_->Date());
        showModel();
    });
}

void PrintWindow::buildSettingsGroup()
{
    auto* group = new QGroupBox(u"  تنظيمات چاپ چك  "_s, this);
    const int w = 374;
    group->setGeometry(8, 4, w, kTopGroupHeight);
    const QString captions[kSwitchCount] = {u"سررسيد به حروف"_s,  u"معادل مبلغ به تومان"_s,
                                            u"توضيحات"_s,         u"خط روي حواله كرد"_s,
                                            u"متن ثابت"_s,        u"پرفراژ"_s,
                                            u"شناسه ملي گيرنده"_s};
    for (int i = 0; i < kSwitchCount; ++i) {
        auto* box = new QCheckBox(captions[i], group);
        box->setObjectName(u"Switch%1"_s.arg(i + 1));
        // The first three on the right as before; the others below them on the left.
        const int column = i < 3 ? 0 : 1, line = i < 3 ? i : i - 3;
        box->setGeometry(column == 0 ? w / 2 : 10, 20 + line * 19, w / 2 - 14, 19);
        switches_[i] = box;
        connect(box, &QCheckBox::clicked, this,
                [this, i] { RunGuarded([this, i] { switchClicked(i + 1); }); });
    }

    auto* feed = new QButtonGroup(group);
    horizontalFeed_ = new QRadioButton(u"چاپ افقي"_s, group);
    verticalFeed_ = new QRadioButton(u"چاپ عمودي"_s, group);
    horizontalFeed_->setGeometry(w / 2, 100, w / 2 - 14, 20);
    verticalFeed_->setGeometry(10, 100, w / 2 - 14, 20);
    feed->addButton(horizontalFeed_);
    feed->addButton(verticalFeed_);
    auto* position = new QButtonGroup(group);
    fromMiddle_ = new QRadioButton(u"چاپ از وسط"_s, group);
    fromLeft_ = new QRadioButton(u"چاپ از چپ"_s, group);
    fromMiddle_->setGeometry(w / 2, 121, w / 2 - 14, 20);
    fromLeft_->setGeometry(10, 121, w / 2 - 14, 20);
    position->addButton(fromMiddle_);
    position->addButton(fromLeft_);
    horizontalFeed_->setObjectName(u"HorizontalFeed"_s);
    verticalFeed_->setObjectName(u"VerticalFeed"_s);
    fromMiddle_->setObjectName(u"FromMiddle"_s);
    fromLeft_->setObjectName(u"FromLeft"_s);
    horizontalFeed_->setChecked(true);
    fromMiddle_->setChecked(true);
    for (QRadioButton* b : {horizontalFeed_, verticalFeed_, fromMiddle_, fromLeft_})
        connect(b, &QRadioButton::toggled, this, [this](bool on) {
            if (on && !showing_)
                feedChosen();
        });

    caption(group, u"انتخاب پرينتر"_s, {w - 98, 146, 88, 22});
    printerChoice_ = new QComboBox(group);
    printerChoice_->setObjectName(u"PrinterChoice"_s);
    printerChoice_->setEditable(true);
    printerChoice_->setLayoutDirection(Qt::LeftToRight);
    printerChoice_->setGeometry(10, 146, w - 116, 22);
    printerChoice_->setInsertPolicy(QComboBox::NoInsert);
    // Only the user's choice changes the default printer, never the window's own filling.
    connect(printerChoice_, &QComboBox::textActivated, this,
            [this](const QString& text) { RunGuarded([this, &text] { printerChosen(text); }); });
    connect(printerChoice_->lineEdit(), &QLineEdit::editingFinished, this,
            [this] { RunGuarded([this] { printerChosen(printerChoice_->currentText()); }); });

    caption(group, u"فاصله از بالا"_s, {w - 98, 178, 88, 22});
    distanceTop_ = distanceField(group, {w - 98 - 90, 178, 84, 22});
    distanceTop_->setObjectName(u"DistanceTop"_s);
    distanceTop_->setToolTip(u"فاصله از بالاي چاپگر"_s);
    caption(group, u"فاصله از چپ"_s, {96, 178, 80, 22});
    distanceLeft_ = distanceField(group, {10, 178, 84, 22});
    distanceLeft_->setObjectName(u"DistanceLeft"_s);
    distanceLeft_->setToolTip(u"فاصله از چپ چاپگر"_s);
    for (QSpinBox* spin : {distanceTop_, distanceLeft_})
        connect(spin, &QSpinBox::valueChanged, this, [this] {
            if (!showing_)
                distancesEdited();
        });

    // The chosen printer's own feeding error, kept per printer and added at print time.
    caption(group, u"تصحيح چاپگر (ميلي متر)"_s, {w - 128, 210, 118, 22});
    caption(group, u"افقي"_s, {w - 128 - 34, 210, 30, 22});
    calibrationX_ = millimetreField(group, {w - 128 - 34 - 66, 210, 64, 22});
    calibrationX_->setObjectName(u"CalibrationX"_s);
    calibrationX_->setToolTip(u"مثبت: متن ها به راست مي روند"_s);
    caption(group, u"عمودي"_s, {76, 210, 40, 22});
    calibrationY_ = millimetreField(group, {10, 210, 64, 22});
    calibrationY_->setObjectName(u"CalibrationY"_s);
    calibrationY_->setToolTip(u"مثبت: متن ها به پايين مي روند"_s);
    for (QDoubleSpinBox* spin : {calibrationX_, calibrationY_})
        connect(spin, &QDoubleSpinBox::valueChanged, this, [this] {
            if (!showing_)
                RunGuarded([this] { calibrationEdited(); });
        });

    testSheetButton_ = new QPushButton(u"چاپ آزمايشي"_s, group);
    testSheetButton_->setObjectName(u"TestSheetButton"_s);
    testSheetButton_->setToolTip(
        u"چاپ جاي كادرها و خط كش ميلي متري روي كاغذ ساده، براي سنجش خطاي چاپگر"_s);
    testSheetButton_->setGeometry(w - 10 - 110, 240, 110, 26);
    testSheetPicture_ = new QCheckBox(u"با تصوير چك"_s, group);
    testSheetPicture_->setObjectName(u"TestSheetPicture"_s);
    testSheetPicture_->setGeometry(w - 10 - 110 - 120, 243, 112, 20);
    connect(testSheetButton_, &QPushButton::clicked, this,
            [this] { RunGuarded([this] { printTestSheet(); }); });
}

void PrintWindow::buildPictureGroup()
{
    auto* group = new QGroupBox(u"  تصوير چك  "_s, this);
    const int top = kTopGroupHeight + 8;
    group->setGeometry(8, top, kClientWidth - 16, kClientHeight - top - 6);
    frame_ = new QFrame(group);
    frame_->setGeometry((group->width() - kFrameWidth) / 2, 22, kFrameWidth, kFrameHeight);
    // Positions on the cheque are physical: x grows to the right whatever the window reads.
    frame_->setLayoutDirection(Qt::LeftToRight);
    panel_ = new QFrame(frame_);
    panel_->setObjectName(u"ChequePanel"_s);
    panel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel_->setLineWidth(2);
    picture_ = new QLabel(panel_);
    picture_->setObjectName(u"ChequePicture"_s);
    picture_->setScaledContents(true);

    for (int i = 0; i < BoxCount; ++i) {
        auto* box = new ChequeItemBox(panel_);
        box->setObjectName(model_.item(ChequeItem(i)).name);
        boxes_[i] = box;
    }
    hint_ = new QLabel(panel_);
    hint_->setObjectName(u"ChequeHint"_s);
    hint_->setAlignment(Qt::AlignCenter);
    hint_->setWordWrap(true);
    hint_->setLayoutDirection(Qt::RightToLeft);
    // On the cheque's paper, which stays light in every theme.
    hint_->setStyleSheet(u"QLabel { color: rgb(60, 60, 60); background: transparent; }"_s);
}

void PrintWindow::buildWaitPanel()
{
    waitPanel_ = new QFrame(this);
    waitPanel_->setObjectName(u"WaitPanel"_s);
    waitPanel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    waitPanel_->setAutoFillBackground(true);
    waitPanel_->setGeometry((kClientWidth - 329) / 2, (kClientHeight - 73) / 2, 329, 73);
    auto* text = new QLabel(u"لطفا شكيبا باشيد . . . ."_s, waitPanel_);
    text->setGeometry(10, 8, 309, 24);
    text->setAlignment(Qt::AlignCenter);
    progress_ = new QProgressBar(waitPanel_);
    progress_->setRange(0, 10);
    progress_->setGeometry(14, 40, 301, 20);
    progress_->setTextVisible(false);
    waitPanel_->hide();
}

void PrintWindow::showWaitPanel(bool on)
{
    if (on) {
        progress_->setValue(0);
        waitPanel_->show();
        waitPanel_->raise();
    } else {
        waitPanel_->hide();
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// The preview follows the model: panel size, every box's place, text, font and visibility.
void PrintWindow::showModel()
{
    const QSize size = model_.panelSize();
    // Centred in the frame, dividing toward zero; a larger cheque is cut by the frame.
    panel_->setGeometry((kFrameWidth - size.width()) / 2, (kFrameHeight - size.height()) / 2,
                        size.width(), size.height());
    picture_->setGeometry(2, 2, std::max(0, size.width() - 4), std::max(0, size.height() - 4));
    picture_->lower();
    for (int i = 0; i < BoxCount; ++i) {
        const ChequeItemView& v = model_.item(ChequeItem(i));
        TextElement e;
        e.text = v.text;
        e.font = v.font;
        e.width = v.box.width();
        e.alignRight = v.alignRight;
        e.rightToLeft = !v.leftToRight;
        e.cutAtWidth = v.cutAtWidth;
        boxes_[i]->setElement(e);
        boxes_[i]->setPlaceholder(!v.hasValue);
        boxes_[i]->setGeometry(v.box);
        boxes_[i]->setVisible(v.visible);
    }
    const PrintRefusal refusal = model_.printRefusal();
    const bool hinted = refusal == PrintRefusal::NoAccount || refusal == PrintRefusal::NoLayout;
    hint_->setText(refusal == PrintRefusal::NoAccount
                       ? u"براي نوشتن چك، نخست با دكمه كنار «عنوان بانك» حساب را انتخاب كنيد"_s
                       : u"اين حساب هنوز طرح چك ندارد؛ جاي متن ها پيش فرض است و چاپ نمي شود. "
                         u"طرح چك را در «تعريف چك» ثبت كنيد"_s);
    hint_->setGeometry(20, 20, std::max(0, size.width() - 40), std::max(0, size.height() - 40));
    hint_->setVisible(hinted);
    hint_->raise();
    if (resizeHandles_)
        resizeHandles_->updateHandles();
}

// The fields follow the model after a load: the values it reset and the switches it set.
void PrintWindow::showFieldsOfModel()
{
    showing_ = true;
    amountEdit_->setText(model_.amount());
    payeeEdit_->clear();
    descriptionEdit_->clear();
    descriptionEdit_->setReadOnly(!model_.isSwitchOn(ChequeSwitch::Description));
    // The national ID field keeps its text across accounts; the new layout shows it.
    model_.setNationalId(nationalIdEdit_->text());
    for (int n = 1; n <= kSwitchCount; ++n)
        switches_[n - 1]->setChecked(model_.isSwitchOn(n));
    (model_.feedDirection() == FeedDirection::Horizontal ? horizontalFeed_ : verticalFeed_)
        ->setChecked(true);
    (model_.feedPosition() == FeedPosition::Middle ? fromMiddle_ : fromLeft_)->setChecked(true);
    distanceTop_->setValue(model_.distanceTop());
    distanceLeft_->setValue(model_.distanceLeft());
    showing_ = false;
}

void PrintWindow::showPicture()
{
    picture_->clear();
    const QByteArray& jpeg = model_.pictureJpeg();
    const QSize shown = model_.panelSize() - QSize(4, 4);
    if (jpeg.isEmpty() || shown.isEmpty())
        return;
    // Decoded once, at the size it is shown; a picture that does not decode is left out.
    const QImage image = DecodeJpeg(jpeg, shown);
    if (!image.isNull())
        picture_->setPixmap(QPixmap::fromImage(
            image.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
}

void PrintWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        RunGuarded([this] { fillPrinters(); });
    }
}

void PrintWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (resizeHandles_)
        resizeHandles_->updateHandles();
}

void PrintWindow::fillPrinters()
{
    const QStringList printers = InstalledPrinters();
    {
        QSignalBlocker block(printerChoice_);
        printerChoice_->addItems(printers);
        printerChoice_->setCurrentText(CurrentPrinterName());
    }
    loadCalibration();
    if (printers.isEmpty()) {
        printButton_->setEnabled(false);
        testSheetButton_->setEnabled(false);
        ReportInputError(u"برروي سيستم چاپگري نصب نشده است"_s, descriptionEdit_);
    }
}

void PrintWindow::chooseAccount()
{
    const int id = PickAccount();
    if (id == 0) {
        model_.clearAccount();
        for (QLineEdit* field :
             {bankName_, bankBranchName_, bankBranchCode_, accountName_, accountNo_})
            field->clear();
        picture_->clear();
        showFieldsOfModel();
        showModel();
        return;
    }
    LoadAccount(id);
}

void PrintWindow::LoadAccount(int accountId)
{
    showWaitPanel(true);
    AccountFields account;
    ChequeLayout layout;
    try {
        // Both reads first: a failing one leaves the window with the account it had.
        account = dm_->readAccount(accountId);
        progress_->setValue(3);
        layout = dm_->readLayout(accountId);
        progress_->setValue(8);
    } catch (...) {
        showWaitPanel(false);
        throw;
    }
    model_.loadAccount(accountId, layout);
    model_.setFeed(model_.feedDirection(), FeedPosition::Middle);
    {
        QSignalBlocker block(datePicker_);
        datePicker_->setDate(Today());
    }
    model_.setDate(datePicker_->Date());
    showStart(bankName_, account.bankName);
    showStart(bankBranchName_, account.bankBranchName);
    showStart(bankBranchCode_, account.bankBranchCode);
    showStart(accountName_, account.accountName);
    showStart(accountNo_, account.accountNo);
    showFieldsOfModel();
    showPicture();
    progress_->setValue(10);
    showModel();
    showWaitPanel(false);
}

void PrintWindow::amountEdited()
{
    if (showing_ || model_.accountId() == 0)
        return;
    // The validator lets only amount characters in; a text of marks alone is no amount, and
    // the model then holds none, so nothing else than the field can ever be printed.
    model_.setAmount(amountEdit_->text());
    showModel();
}

void PrintWindow::amountInputRejected()
{
    if (typing_) {
        QApplication::beep(); // the 16th character, refused where it is typed
        return;
    }
    ShowAppMessage(u"متن چسبانده شده مبلغ نيست و پذيرفته نشد: مبلغ فقط رقم و جداكننده "
                   u"(, يا .) دارد و حداكثر %1 نويسه است"_s.arg(kMaxAmountFieldChars),
                   MessageKind::Warning);
}

void PrintWindow::fillFromRecord(const ChequeRecord& record)
{
    LoadAccount(record.accountId);
    {
        QSignalBlocker block(datePicker_);
        datePicker_->setDate(SerialDate(record.dueDay));
    }
    model_.setDate(datePicker_->Date());
    amountEdit_->setText(QString::number(record.amount));
    payeeEdit_->setText(record.payee);
    if (!record.description.isEmpty()) {
        switches_[ChequeSwitch::Description - 1]->setChecked(true);
        switchClicked(ChequeSwitch::Description);
        descriptionEdit_->setText(record.description);
    }
    sayadEdit_->setText(record.sayadId);
    nationalIdEdit_->setText(record.nationalId);
    showModel();
}

void PrintWindow::switchClicked(int number)
{
    if (model_.accountId() == 0) {
        switches_[number - 1]->setChecked(model_.isSwitchOn(number));
        return;
    }
    model_.setSwitch(number, switches_[number - 1]->isChecked());
    if (number == ChequeSwitch::Description) {
        showing_ = true;
        descriptionEdit_->clear();
        showing_ = false;
        descriptionEdit_->setReadOnly(!model_.isSwitchOn(number));
    }
    showModel();
}

void PrintWindow::feedChosen()
{
    model_.setFeed(verticalFeed_->isChecked() ? FeedDirection::Vertical : FeedDirection::Horizontal,
                   fromLeft_->isChecked() ? FeedPosition::Left : FeedPosition::Middle);
}

void PrintWindow::distancesEdited()
{
    model_.setDistances(distanceTop_->value(), distanceLeft_->value());
}

void PrintWindow::printerChosen(const QString& name)
{
    if (InstalledPrinters().contains(name) && name != CurrentPrinterName())
        SelectDefaultPrinter(name);
    loadCalibration();
}

void PrintWindow::loadCalibration()
{
    const QString printer = printerChoice_->currentText();
    PrinterCalibration c;
    if (programDatabase && !printer.isEmpty())
        c = ReadCalibration(programDatabase->connection(), printer);
    model_.setCalibration(c);
    showing_ = true;
    calibrationX_->setValue(c.xMm);
    calibrationY_->setValue(c.yMm);
    showing_ = false;
}

void PrintWindow::calibrationEdited()
{
    const PrinterCalibration c{calibrationX_->value(), calibrationY_->value()};
    model_.setCalibration(c);
    const QString printer = printerChoice_->currentText();
    if (!programDatabase || printer.isEmpty())
        return;
    try {
        SaveCalibration(programDatabase->connection(), printer, c);
    } catch (const AppError& e) {
        throw AppError(u"تصحيح چاپگر ثبت نشد.\n"_s + e.message());
    }
}

QString PrintWindow::sendToPrinter(const ChequePage& page, int* jobId)
{
    const QString printer = printerChoice_->currentText();
    if (printJobRef())
        return printJobRef()(page, printer);
    return PrintChequePage(page, printer, jobId);
}

void PrintWindow::printCheque()
{
    const PrintRefusal refusal = model_.printRefusal();
    if (refusal != PrintRefusal::None) {
        ShowAppMessage(PrintRefusalMessage(refusal), MessageKind::Warning);
        return;
    }
    ChequeRecord record = RecordOfCheque(model_);
    if (!IsBlankText(sayadEdit_->text())) {
        const std::optional<QString> sayad = NormalizeSayadId(sayadEdit_->text());
        if (!sayad) {
            ShowAppMessage(u"شناسه صياد بايد ۱۶ رقم باشد."_s, MessageKind::Warning);
            sayadEdit_->setFocus();
            return;
        }
        record.sayadId = *sayad;
    }
    if (!IsBlankText(nationalIdEdit_->text())) {
        const std::optional<QString> id = NormalizeNationalId(nationalIdEdit_->text());
        if (!id) {
            ShowAppMessage(u"كد ملي گيرنده درست نيست: كد ملي ۱۰ رقم و شناسه ملي ۱۱ رقم است و"
                           u" رقم آخر آن بايد با رقم كنترل بخواند."_s,
                           MessageKind::Warning);
            nationalIdEdit_->setFocus();
            return;
        }
        record.nationalId = *id;
    }
    // A Sayad ID identifies one leaf: printing it again is a reprint of the same cheque.
    if (!record.sayadId.isEmpty() && programDatabase) {
        qint64 existing = 0;
        std::optional<ChequeRecord> original;
        try {
            existing = ActiveRecordWithSayad(programDatabase->connection(), record.sayadId);
            if (existing)
                original = ReadRecord(programDatabase->connection(), existing);
        } catch (const AppError& e) {
            throw AppError(DatabaseErrorText(DatabaseReadFailed(), e.message()));
        }
        if (original) {
            if (original->amount != record.amount || original->dueDay != record.dueDay ||
                original->accountId != record.accountId) {
                ShowAppMessage(
                    u"اين شناسه صياد در دفتر چك‌هاي صادره براي "
                    u"چك "
                    u"ديگري "
                    u"(رديف "
                    u"%1)"
                    u" ثبت شده است."_s.arg(existing),
                    MessageKind::Warning);
                return;
            }
            if (!ShowAppMessage(u"اين چك با همين شناسه صياد قبلا چاپ شده است (رديف %1)."
                                u" دوباره چاپ شود؟"_s.arg(existing),
                                MessageKind::Confirmation))
                return;
            record.reprintOf = existing;
        }
    }
    showWaitPanel(true);
    int job = 0;
    const QString error = sendToPrinter(model_.page(), &job);
    showWaitPanel(false);
    if (!error.isEmpty()) {
        ShowAppMessage(error, MessageKind::Error);
        return;
    }
    record.printer = printerChoice_->currentText();
    record.jobId = job;
    if (programDatabase) {
        try {
            RecordCheque(programDatabase->connection(), record);
        } catch (const AppError& e) {
            ShowAppMessage(DatabaseErrorText(NotRecordedSentence(), e.message()),
                           MessageKind::Error);
            return;
        }
    }
    if (!record.sayadId.isEmpty())
        ShowAppMessage(u"اين اطلاعات را در سامانه صياد ثبت كنيد:\n\n"_s +
                           SayadRegistrationText(record),
                       MessageKind::Information);
}

int PrintWindow::printSeries(const SeriesPlan& plan)
{
    const PrintRefusal refusal = model_.printRefusal();
    if (refusal == PrintRefusal::NoAccount || refusal == PrintRefusal::NoLayout) {
        ShowAppMessage(PrintRefusalMessage(refusal), MessageKind::Warning);
        return 0;
    }
    if (plan.dueDays.isEmpty() || plan.dueDays.size() != plan.amounts.size())
        return 0;
    QString nationalId;
    if (!IsBlankText(nationalIdEdit_->text())) {
        const std::optional<QString> id = NormalizeNationalId(nationalIdEdit_->text());
        if (!id) {
            ShowAppMessage(u"كد ملي گيرنده درست نيست."_s, MessageKind::Warning);
            return 0;
        }
        nationalId = *id;
    }
    const SerialDate keptDate = model_.date();
    const QString keptAmount = model_.amount();
    const qint64 series = programDatabase ? NextSeriesId(programDatabase->connection()) : 0;
    const int count = int(plan.dueDays.size());
    int printed = 0;
    QString stopped;
    for (int k = 0; k < count; ++k) {
        const QString amount = QString::number(plan.amounts[k]);
        if (!ShowAppMessage(u"برگ %1 از %2 (سررسيد %3، مبلغ %4 ريال) را در چاپگر بگذاريد."
                            u" چاپ شود؟"_s.arg(k + 1)
                                .arg(count)
                                .arg(JalaliDayText(plan.dueDays[k]), FormatAmount(amount)),
                            MessageKind::Confirmation))
            break;
        model_.setDate(SerialDate(plan.dueDays[k]));
        model_.setAmount(amount);
        ChequeRecord record = RecordOfCheque(model_);
        record.nationalId = nationalId;
        record.seriesId = series;
        record.seriesLeaf = k + 1;
        showWaitPanel(true);
        int job = 0;
        const QString error = sendToPrinter(model_.page(), &job);
        showWaitPanel(false);
        if (!error.isEmpty()) {
            stopped = error;
            break;
        }
        ++printed;
        record.printer = printerChoice_->currentText();
        record.jobId = job;
        if (programDatabase) {
            try {
                RecordCheque(programDatabase->connection(), record);
            } catch (const AppError& e) {
                stopped = DatabaseErrorText(NotRecordedSentence(), e.message());
                break;
            }
        }
    }
    // The window shows the cheque it showed before the series.
    model_.setDate(keptDate);
    model_.setAmount(keptAmount);
    showModel();
    if (!stopped.isEmpty())
        ShowAppMessage(stopped + u"\n"_s + u"%1 برگ از %2 چاپ و ثبت شد."_s.arg(printed).arg(count),
                       MessageKind::Error);
    else if (printed < count)
        ShowAppMessage(u"%1 برگ از %2 چاپ و ثبت شد؛ باقي چاپ نشد."_s.arg(printed).arg(count),
                       MessageKind::Information);
    return printed;
}

void PrintWindow::printTestSheet()
{
    const PrintRefusal refusal = model_.printRefusal();
    if (refusal == PrintRefusal::NoAccount || refusal == PrintRefusal::NoLayout) {
        ShowAppMessage(PrintRefusalMessage(refusal), MessageKind::Warning);
        return;
    }
    showWaitPanel(true);
    const QString error = sendToPrinter(model_.testSheet(testSheetPicture_->isChecked()));
    showWaitPanel(false);
    if (!error.isEmpty())
        ShowAppMessage(error, MessageKind::Error);
}

void PrintWindow::boxesMoved()
{
    for (int i = 0; i < BoxCount; ++i)
        if (i != AlphabeticPrice2 && boxes_[i]->geometry() != model_.item(ChequeItem(i)).box)
            model_.moveItem(ChequeItem(i), boxes_[i]->geometry());
    showModel();
}

bool PrintWindow::amountKeyPress(QKeyEvent* event)
{
    const QString text = event->text();
    if (text.size() != 1 || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false; // navigation, deletion and shortcuts are the field's own
    const QChar typed = text.front();
    if (!typed.isPrint())
        return false; // Tab, Backspace, Delete (X11 sends it as U+007F) and the like
    const QChar c = ToLatinDigits(QString(typed)).front();
    auto insert = [this](const QString& s) {
        typing_ = true;
        amountEdit_->insert(s);
        typing_ = false;
        return true;
    };
    if (c == u'.')
        return insert(u"000"_s);
    if (c != typed && c.isDigit())
        return insert(QString(c)); // a Persian keyboard's digit
    if (IsAmountKey(c)) {
        typing_ = true;
        QApplication::sendEvent(amountEdit_, event);
        typing_ = false;
        return true;
    }
    return true; // every other key is swallowed
}

bool PrintWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return QWidget::eventFilter(watched, event);
    auto* widget = static_cast<QWidget*>(watched);
    if (widget != this && !isAncestorOf(widget))
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (widget == resizeHandles_->overlay())
        return false; // arrows, Tab and Escape belong to the selected boxes
    if (key->key() == Qt::Key_Escape) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
            sub->close();
        else
            close();
        return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        focusNextChild();
        return true;
    }
    if (widget == amountEdit_ && !typing_)
        return amountKeyPress(key);
    return false;
}
