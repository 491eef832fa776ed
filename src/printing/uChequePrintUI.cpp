#include "printing/uChequePrintUI.h"

#include "accounts/uAccountListUI.h"
#include "calendar/JalaliDatePicker.h"
#include "calendar/Today.h"
#include "layout/SizeCtrl.h"
#include "lib/AmountText.h"
#include "lib/Geometry.h"
#include "lib/Guard.h"
#include "lib/JpegImage.h"
#include "lib/Lib.h"
#include "lib/Printers.h"
#include "lib/TextChecks.h"
#include "printing/ChequeTexts.h"
#include "printing/PagePainter.h"
#include "printing/uChequePrintDM.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <climits>

namespace {

constexpr int kClientWidth = 770;
constexpr int kClientHeight = 668;
constexpr int kFrameWidth = 738;
constexpr int kFrameHeight = 413;
constexpr int kBoxHeight = 25;
constexpr int kRowHeight = 23;

TfrmChequePrintUI::PrintJob& printJobRef()
{
    static TfrmChequePrintUI::PrintJob job;
    return job;
}

struct BoxInfo
{
    const char* name;
    int itemId;       // the layout row it takes its place and font from; 0 for none
    bool keepRight;   // fitted to its text keeping the right edge (else the left)
    bool leftToRight; // the perforation reads left to right
    int switchNumber; // the check box that shows it; 0 when always shown
};

// The panel's order, which is also the order the page is printed in.
constexpr BoxInfo kBoxes[TfrmChequePrintUI::BoxCount] = {
    {"lblNumericDate", 2, true, false, 0},   {"lblAlphabeticDate", 3, true, false, 1},
    {"lblNumericPrice", 4, false, false, 0}, {"lblAlphabeticPrice1", 5, true, false, 0},
    {"lblCustomer", 6, true, false, 0},      {"lblCover", 10, false, false, 4},
    {"lblPerferaj", 7, false, true, 6},      {"lblDescription", 8, true, false, 3},
    {"lblConstatnt", 9, false, false, 5},    {"lblAlphabeticPrice2", 0, true, false, 2},
};

QString defaultText(TfrmChequePrintUI::Box which)
{
    using B = TfrmChequePrintUI;
    switch (which) {
    case B::NumericDate:
        return DefaultBoxText::numericDate();
    case B::AlphabeticDate:
        return DefaultBoxText::alphabeticDate();
    case B::NumericPrice:
        return DefaultBoxText::numericPrice();
    case B::AlphabeticPrice1:
        return DefaultBoxText::alphabeticPrice();
    case B::Customer:
        return DefaultBoxText::customer();
    case B::Cover:
        return DefaultBoxText::cover();
    case B::Perferaj:
        return DefaultBoxText::perforation();
    case B::Description:
        return DefaultBoxText::description();
    case B::Constant:
        return DefaultBoxText::constant();
    case B::AlphabeticPrice2:
        return DefaultBoxText::toman();
    case B::BoxCount:
        break;
    }
    return {};
}

// Which box each switch (1..6) shows.
constexpr TfrmChequePrintUI::Box kSwitchBox[6] = {
    TfrmChequePrintUI::AlphabeticDate, TfrmChequePrintUI::AlphabeticPrice2,
    TfrmChequePrintUI::Description,    TfrmChequePrintUI::Cover,
    TfrmChequePrintUI::Constant,       TfrmChequePrintUI::Perferaj};

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

QSpinBox* wholeNumberField(QWidget* parent, const QRect& geometry)
{
    auto* spin = new QSpinBox(parent);
    spin->setRange(INT_MIN, INT_MAX);
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

void TfrmChequePrintUI::setPrintJob(PrintJob job)
{
    printJobRef() = std::move(job);
}

TfrmChequePrintUI::TfrmChequePrintUI(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmChequePrintUI"));
    setWindowTitle(QStringLiteral("چاپ چك"));
    setLayoutDirection(Qt::RightToLeft);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    setFont(font);
    setFixedSize(kClientWidth, kClientHeight);
    setAttribute(Qt::WA_DeleteOnClose);

    dm_ = new TfrmChequePrintDM(this);
    buildAccountGroup();
    buildSettingsGroup();
    buildPictureGroup();
    buildWaitPanel();

    // Every item box of the nine layout items goes to the drag-and-resize facility; the
    // Toman box and the picture do not.
    sizeCtrl_ = new TSizeCtrl(panel_);
    for (int i = 0; i < BoxCount; ++i)
        if (kBoxes[i].itemId != 0)
            sizeCtrl_->registerControl(boxes_[i]);
    sizeCtrl_->setHandleColor(QColor(204, 0, 0));
    sizeCtrl_->setGridSize(10);
    sizeCtrl_->setEnabled(true);

    // The window sees every key before its controls.
    qApp->installEventFilter(this);
}

TfrmChequePrintUI::~TfrmChequePrintUI()
{
    qApp->removeEventFilter(this);
    if (sizeCtrl_)
        sizeCtrl_->setEnabled(false);
}

void TfrmChequePrintUI::buildAccountGroup()
{
    auto* group = new QGroupBox(QStringLiteral("  انتخاب حساب  "), this);
    const int w = 374;
    group->setGeometry(kClientWidth - w - 8, 4, w, 216);
    const int labelW = 74, labelX = w - labelW - 8, fieldRight = labelX - 6;
    auto row = [](int i) { return 20 + i * kRowHeight; };

    caption(group, QStringLiteral("عنوان بانك"), {labelX, row(0), labelW, 21});
    speedButton1_ = new QToolButton(group);
    speedButton1_->setObjectName(QStringLiteral("SpeedButton1"));
    speedButton1_->setIcon(accountIcon());
    speedButton1_->setGeometry(10, row(0), 26, 21);
    speedButton1_->setToolTip(QStringLiteral("انتخاب حساب"));
    bankName_ = readOnlyField(group, {40, row(0), fieldRight - 40, 21}, 100);

    caption(group, QStringLiteral("شعبه"), {labelX, row(1), labelW, 21});
    bankBranchName_ = readOnlyField(group, {10, row(1), fieldRight - 10, 21}, 100);

    const int half = (fieldRight - 10) / 2;
    caption(group, QStringLiteral("كد بانك"), {labelX, row(2), labelW, 21});
    bankBranchCode_ = readOnlyField(group, {fieldRight - half + 60, row(2), half - 60, 21}, 50);
    caption(group, QStringLiteral("شماره حساب"), {fieldRight - half - 10, row(2), 64, 21});
    accountNo_ = readOnlyField(group, {10, row(2), fieldRight - half - 26, 21}, 50);

    caption(group, QStringLiteral("نام حساب"), {labelX, row(3), labelW, 21});
    accountName_ = readOnlyField(group, {10, row(3), fieldRight - 10, 21}, 100);

    caption(group, QStringLiteral("سررسيد چك"), {labelX, row(4) + 4, labelW, 21});
    datePicker_ = new TDropDownDatePicker(group);
    datePicker_->setObjectName(QStringLiteral("DatePicker1"));
    datePicker_->setGeometry(fieldRight - 130, row(4) + 4, 130, 22);

    speedButton6_ = new QToolButton(group);
    speedButton6_->setObjectName(QStringLiteral("SpeedButton6"));
    speedButton6_->setText(QStringLiteral("چاپ"));
    speedButton6_->setToolTip(QStringLiteral("چاپ چك"));
    speedButton6_->setGeometry(10, row(4) + 4, 90, 24);
    speedButton6_->setToolButtonStyle(Qt::ToolButtonTextOnly);

    caption(group, QStringLiteral("مبلغ چك"), {labelX, row(5) + 8, labelW, 21});
    edit1_ = new QLineEdit(group);
    edit1_->setObjectName(QStringLiteral("Edit1"));
    edit1_->setGeometry(10, row(5) + 8, fieldRight - 10, 21);
    caption(group, QStringLiteral("گيرنده چك"), {labelX, row(6) + 8, labelW, 21});
    edit2_ = new QLineEdit(group);
    edit2_->setObjectName(QStringLiteral("Edit2"));
    edit2_->setGeometry(10, row(6) + 8, fieldRight - 10, 21);
    caption(group, QStringLiteral("توضيحات"), {labelX, row(7) + 8, labelW, 21});
    edit3_ = new QLineEdit(group);
    edit3_->setObjectName(QStringLiteral("Edit3"));
    edit3_->setGeometry(10, row(7) + 8, fieldRight - 10, 21);
    edit3_->setReadOnly(true);

    // Tab order: date, amount, payee, description.
    setTabOrder(datePicker_, edit1_);
    setTabOrder(edit1_, edit2_);
    setTabOrder(edit2_, edit3_);

    connect(speedButton1_, &QToolButton::clicked, this,
            [this] { RunGuarded([this] { SpeedButton1Click(); }); });
    connect(speedButton6_, &QToolButton::clicked, this,
            [this] { RunGuarded([this] { SpeedButton6Click(); }); });
    connect(edit1_, &QLineEdit::textChanged, this,
            [this] { RunGuarded([this] { Edit1Change(); }); });
    connect(edit2_, &QLineEdit::textChanged, this,
            [this] { RunGuarded([this] { Edit2Change(); }); });
    connect(edit3_, &QLineEdit::textChanged, this,
            [this] { RunGuarded([this] { Edit3Change(); }); });
    connect(datePicker_, &TDropDownDatePicker::OnChange, this,
            [this] { RunGuarded([this] { DatePickerChange(); }); });
}

void TfrmChequePrintUI::buildSettingsGroup()
{
    auto* group = new QGroupBox(QStringLiteral("  تنظيمات چاپ چك  "), this);
    const int w = 374;
    group->setGeometry(8, 4, w, 216);
    const QString captions[6] = {
        QStringLiteral("سررسيد به حروف"), QStringLiteral("معادل مبلغ به تومان"),
        QStringLiteral("توضيحات"),        QStringLiteral("خط روي حواله كرد"),
        QStringLiteral("متن ثابت"),       QStringLiteral("پرفراژ")};
    for (int i = 0; i < 6; ++i) {
        auto* box = new QCheckBox(captions[i], group);
        box->setObjectName(QStringLiteral("CheckBox%1").arg(i + 1));
        const int column = i / 3, line = i % 3;
        box->setGeometry(column == 0 ? w / 2 : 10, 22 + line * 22, w / 2 - 14, 20);
        checkBoxes_[i] = box;
        connect(box, &QCheckBox::clicked, this,
                [this, i] { RunGuarded([this, i] { CheckBoxClick(i + 1); }); });
    }

    auto* feed = new QButtonGroup(group);
    radioButton1_ = new QRadioButton(QStringLiteral("چاپ افقي"), group);
    radioButton2_ = new QRadioButton(QStringLiteral("چاپ عمودي"), group);
    radioButton1_->setGeometry(w / 2, 94, w / 2 - 14, 20);
    radioButton2_->setGeometry(10, 94, w / 2 - 14, 20);
    feed->addButton(radioButton1_);
    feed->addButton(radioButton2_);
    auto* position = new QButtonGroup(group);
    radioButton3_ = new QRadioButton(QStringLiteral("چاپ از وسط"), group);
    radioButton4_ = new QRadioButton(QStringLiteral("چاپ از چپ"), group);
    radioButton3_->setGeometry(w / 2, 116, w / 2 - 14, 20);
    radioButton4_->setGeometry(10, 116, w / 2 - 14, 20);
    position->addButton(radioButton3_);
    position->addButton(radioButton4_);
    radioButton1_->setObjectName(QStringLiteral("RadioButton1"));
    radioButton2_->setObjectName(QStringLiteral("RadioButton2"));
    radioButton3_->setObjectName(QStringLiteral("RadioButton3"));
    radioButton4_->setObjectName(QStringLiteral("RadioButton4"));
    radioButton1_->setChecked(true);
    radioButton3_->setChecked(true);

    caption(group, QStringLiteral("انتخاب پرينتر"), {w - 98, 146, 88, 22});
    comboBox1_ = new QComboBox(group);
    comboBox1_->setObjectName(QStringLiteral("ComboBox1"));
    comboBox1_->setEditable(true);
    comboBox1_->setLayoutDirection(Qt::LeftToRight);
    comboBox1_->setGeometry(10, 146, w - 116, 22);
    comboBox1_->setInsertPolicy(QComboBox::NoInsert);
    connect(comboBox1_, &QComboBox::currentTextChanged, this,
            [this](const QString& text) { RunGuarded([this, &text] { ComboBox1Change(text); }); });

    caption(group, QStringLiteral("فاصله از بالا"), {w - 98, 178, 88, 22});
    advSpinEdit1_ = wholeNumberField(group, {w - 98 - 90, 178, 84, 22});
    advSpinEdit1_->setObjectName(QStringLiteral("AdvSpinEdit1"));
    advSpinEdit1_->setToolTip(QStringLiteral("فاصله از بالاي چاپگر"));
    caption(group, QStringLiteral("فاصله از چپ"), {96, 178, 80, 22});
    advSpinEdit2_ = wholeNumberField(group, {10, 178, 84, 22});
    advSpinEdit2_->setObjectName(QStringLiteral("AdvSpinEdit2"));
    advSpinEdit2_->setToolTip(QStringLiteral("فاصله از چپ چاپگر"));
}

void TfrmChequePrintUI::buildPictureGroup()
{
    auto* group = new QGroupBox(QStringLiteral("  تصوير چك  "), this);
    group->setGeometry(8, 224, kClientWidth - 16, kClientHeight - 224 - 6);
    frame_ = new QFrame(group);
    frame_->setGeometry((group->width() - kFrameWidth) / 2, 22, kFrameWidth, kFrameHeight);
    // Positions on the cheque are physical: x grows to the right whatever the window reads.
    frame_->setLayoutDirection(Qt::LeftToRight);
    panel_ = new QFrame(frame_);
    panel_->setObjectName(QStringLiteral("ChequePanel"));
    panel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel_->setLineWidth(2);
    picture_ = new QLabel(panel_);
    picture_->setObjectName(QStringLiteral("Image1"));
    picture_->setScaledContents(true);

    for (int i = 0; i < BoxCount; ++i) {
        auto* label = new QLabel(panel_);
        label->setObjectName(QLatin1String(kBoxes[i].name));
        label->setAttribute(Qt::WA_TranslucentBackground);
        // Black over the cheque picture, as on paper, whatever the theme.
        label->setStyleSheet(QStringLiteral("QLabel { color: black; background: transparent; }"));
        label->setLayoutDirection(kBoxes[i].leftToRight ? Qt::LeftToRight : Qt::RightToLeft);
        const Qt::Alignment side = kBoxes[i].keepRight ? Qt::AlignRight : Qt::AlignLeft;
        label->setAlignment(side | Qt::AlignAbsolute | Qt::AlignVCenter);
        label->setText(defaultText(Box(i)));
        label->resize(100, kBoxHeight);
        label->setVisible(kBoxes[i].switchNumber == 0);
        boxes_[i] = label;
    }
    setChequePanelSize(650, 320);
    for (int i = 0; i < BoxCount; ++i)
        if (i != Cover)
            fitBox(Box(i));
}

void TfrmChequePrintUI::buildWaitPanel()
{
    waitPanel_ = new QFrame(this);
    waitPanel_->setObjectName(QStringLiteral("WaitPanel"));
    waitPanel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    waitPanel_->setAutoFillBackground(true);
    waitPanel_->setGeometry((kClientWidth - 329) / 2, (kClientHeight - 73) / 2, 329, 73);
    auto* text = new QLabel(QStringLiteral("لطفا شكيبا باشيد . . . ."), waitPanel_);
    text->setGeometry(10, 8, 309, 24);
    text->setAlignment(Qt::AlignCenter);
    progress_ = new QProgressBar(waitPanel_);
    progress_->setRange(0, 10);
    progress_->setGeometry(14, 40, 301, 20);
    progress_->setTextVisible(false);
    waitPanel_->hide();
}

void TfrmChequePrintUI::showWaitPanel(bool on)
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

void TfrmChequePrintUI::setChequePanelSize(int chequeWidth, int chequeHeight)
{
    const int w = ShownExtent(qint64(chequeWidth) + 4), h = ShownExtent(qint64(chequeHeight) + 4);
    // Centred in the frame, dividing toward zero; a larger cheque is cut by the frame.
    panel_->setGeometry((kFrameWidth - w) / 2, (kFrameHeight - h) / 2, w, h);
    picture_->setGeometry(2, 2, std::max(0, w - 4), std::max(0, h - 4));
    picture_->lower();
    if (sizeCtrl_)
        sizeCtrl_->updateHandles();
}

void TfrmChequePrintUI::fitBox(Box which)
{
    QLabel* label = boxes_[which];
    if (which == Cover)
        return; // keeps its size and cuts its text at its edges
    const QFontMetrics metrics(label->font());
    const int width = std::max(1, metrics.horizontalAdvance(label->text()) + 2);
    const int height = metrics.height();
    const QRect r = label->geometry();
    if (kBoxes[which].keepRight)
        label->setGeometry(ShownRect(qint64(r.right()) + 1 - width, r.top(), width, height));
    else
        label->setGeometry(ShownRect(r.left(), r.top(), width, height));
}

void TfrmChequePrintUI::setBoxText(Box which, const QString& text)
{
    boxes_[which]->setText(text);
    fitBox(which);
}

void TfrmChequePrintUI::placeTomanBox()
{
    QLabel* words = boxes_[AlphabeticPrice1];
    QLabel* toman = boxes_[AlphabeticPrice2];
    toman->move(ShownCoordinate(qint64(words->x()) + words->width() - toman->width()),
                ShownCoordinate(qint64(words->y()) + words->height()));
}

void TfrmChequePrintUI::setSwitchSilently(int number, bool on)
{
    QSignalBlocker block(checkBoxes_[number - 1]);
    checkBoxes_[number - 1]->setChecked(on);
}

void TfrmChequePrintUI::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        RunGuarded([this] { FormShow(); });
    }
}

void TfrmChequePrintUI::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (sizeCtrl_)
        sizeCtrl_->updateHandles();
}

void TfrmChequePrintUI::FormShow()
{
    const QStringList printers = InstalledPrinters();
    if (printers.isEmpty()) {
        speedButton6_->setEnabled(false);
        ReportInputError(QStringLiteral("برروي سيستم چاپگري نصب نشده است"), edit3_);
    }
    {
        QSignalBlocker block(comboBox1_);
        comboBox1_->addItems(printers);
    }
    comboBox1_->setCurrentText(CurrentPrinterName());
}

void TfrmChequePrintUI::Reset()
{
    boxes_[NumericDate]->setText(DefaultBoxText::numericDate());
    fitBox(NumericDate);
    boxes_[AlphabeticDate]->setText(DefaultBoxText::alphabeticDate());
    fitBox(AlphabeticDate);
    for (QLineEdit* field : {bankName_, bankBranchName_, bankBranchCode_, accountName_, accountNo_})
        field->clear();
    {
        // Today, without the date boxes following: they keep their default texts.
        QSignalBlocker block(datePicker_);
        datePicker_->setDate(Today());
    }
    edit1_->clear();
    edit2_->clear();
    edit3_->clear();
    for (int n = 1; n <= 6; ++n)
        setSwitchSilently(n, false);
    edit3_->setReadOnly(true);
    radioButton1_->setChecked(true);
    radioButton3_->setChecked(true);
    picture_->clear();
    advSpinEdit1_->setValue(0);
    advSpinEdit2_->setValue(0);
}

void TfrmChequePrintUI::SpeedButton1Click()
{
    accountId_ = PickAccount();
    if (accountId_ == 0) {
        Reset();
        return;
    }
    LoadAccount(accountId_);
}

void TfrmChequePrintUI::LoadAccount(int accountId)
{
    accountId_ = accountId;
    showWaitPanel(true);
    Reset();
    radioButton3_->setChecked(true);

    const AccountFields account = dm_->readAccount(accountId);
    bankName_->setText(account.bankName);
    bankBranchName_->setText(account.bankBranchName);
    bankBranchCode_->setText(account.bankBranchCode);
    accountName_->setText(account.accountName);
    accountNo_->setText(account.accountNo);

    const ChequeLayout layout = dm_->readLayout(accountId);
    picture_->clear();
    if (!layout.pictureJpeg.isEmpty()) {
        // Decoded once, at the size it is shown (the cheque's size when the layout gives it);
        // a picture that does not decode is silently left out.
        const bool sized = layout.hasRows && layout.present[0];
        const QSize shown = sized ? QSize(layout.general().sideMargin, layout.general().upMargin)
                                  : picture_->size();
        const QImage image = DecodeJpeg(layout.pictureJpeg, shown);
        if (!image.isNull() && !shown.isEmpty())
            picture_->setPixmap(QPixmap::fromImage(
                image.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    }
    if (layout.hasRows)
        applyLayout(layout);
    placeTomanBox();
    showWaitPanel(false);
    DatePickerChange();
}

void TfrmChequePrintUI::applyLayout(const ChequeLayout& layout)
{
    for (int itemId = 1; itemId <= kLayoutRowCount; ++itemId) {
        progress_->setValue(itemId);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (!layout.present[itemId - 1])
            continue;
        const LayoutRow& row = layout.item(itemId);
        if (itemId == 1) {
            setChequePanelSize(row.sideMargin, row.upMargin);
            advSpinEdit1_->setValue(row.width);
            advSpinEdit2_->setValue(row.fontSize);
            (row.printTumans ? radioButton1_ : radioButton2_)->setChecked(true);
            continue;
        }
        int switchNumber = 0;
        bool on = false;
        switch (itemId) {
        case 3:
            switchNumber = 1, on = row.doPrint;
            break;
        case 5:
            switchNumber = 2, on = row.printTumans;
            break;
        case 7:
            switchNumber = 6, on = row.doPrint;
            break;
        case 8:
            switchNumber = 3, on = row.doPrint;
            break;
        case 9:
            switchNumber = 5, on = row.doPrint;
            break;
        case 10:
            switchNumber = 4, on = row.doPrint;
            break;
        default:
            break;
        }
        if (switchNumber) {
            if (on)
                setSwitchSilently(switchNumber, true);
            CheckBoxClick(switchNumber);
        }
        QFont font(row.fontName);
        font.setPointSize(row.fontSize > 0 ? row.fontSize : 8);
        const quint8 style = FontStyleCode(row.fontStyle);
        font.setBold(style & 1);
        font.setItalic(style & 2);
        for (int i = 0; i < BoxCount; ++i) {
            if (kBoxes[i].itemId != itemId)
                continue;
            QLabel* label = boxes_[i];
            label->setFont(font);
            label->setGeometry(ShownRect(row.sideMargin, row.upMargin, row.width, label->height()));
            fitBox(Box(i));
            if (itemId == 5) {
                boxes_[AlphabeticPrice2]->setFont(font);
                fitBox(AlphabeticPrice2);
            }
        }
    }
}

void TfrmChequePrintUI::Edit1Change()
{
    if (accountId_ == 0)
        return;
    const QString text = edit1_->text();
    const QString trimmed = TrimBlanks(text);
    if (trimmed.size() > kMaxAmountFieldChars)
        return;
    if (trimmed.isEmpty()) {
        setBoxText(NumericPrice, DefaultBoxText::numericPrice());
        setBoxText(Perferaj, DefaultBoxText::perforation());
        setBoxText(AlphabeticPrice1, DefaultBoxText::alphabeticPrice());
        setBoxText(AlphabeticPrice2, DefaultBoxText::toman());
        placeTomanBox();
        return;
    }
    // All four texts are made before any box changes: a text that does not convert leaves
    // every box as it was.
    const AmountBoxTexts texts = AmountTexts(text);
    setBoxText(NumericPrice, texts.numeric);
    setBoxText(Perferaj, texts.perforation);
    setBoxText(AlphabeticPrice1, texts.words);
    setBoxText(AlphabeticPrice2, texts.toman);
    placeTomanBox();
}

void TfrmChequePrintUI::Edit2Change()
{
    if (accountId_ == 0)
        return;
    const QString trimmed = TrimBlanks(edit2_->text());
    setBoxText(Customer, trimmed.isEmpty() ? DefaultBoxText::customer() : trimmed);
}

void TfrmChequePrintUI::Edit3Change()
{
    if (accountId_ == 0)
        return;
    const QString trimmed = TrimBlanks(edit3_->text());
    setBoxText(Description, trimmed.isEmpty() ? DefaultBoxText::description() : trimmed);
}

void TfrmChequePrintUI::DatePickerChange()
{
    const DateBoxTexts texts = DateTexts(datePicker_->Date());
    setBoxText(NumericDate, texts.numeric);
    setBoxText(AlphabeticDate, texts.words);
}

void TfrmChequePrintUI::CheckBoxClick(int number)
{
    if (accountId_ == 0)
        return;
    const bool on = checkBoxes_[number - 1]->isChecked();
    boxes_[kSwitchBox[number - 1]]->setVisible(on);
    if (number == 3) {
        edit3_->clear();
        edit3_->setReadOnly(!on);
    }
    sizeCtrl_->updateHandles();
}

void TfrmChequePrintUI::setChequeDate(TDateTime date)
{
    datePicker_->setDate(date);
    DatePickerChange();
}

void TfrmChequePrintUI::setSwitch(int number, bool on)
{
    if (number < 1 || number > 6)
        return;
    checkBoxes_[number - 1]->setChecked(on);
    CheckBoxClick(number);
}

void TfrmChequePrintUI::setFeed(FeedDirection feed, FeedPosition position)
{
    (feed == FeedDirection::Horizontal ? radioButton1_ : radioButton2_)->setChecked(true);
    (position == FeedPosition::Middle ? radioButton3_ : radioButton4_)->setChecked(true);
}

void TfrmChequePrintUI::setDistances(int top, int left)
{
    advSpinEdit1_->setValue(top);
    advSpinEdit2_->setValue(left);
}

void TfrmChequePrintUI::ComboBox1Change(const QString& text)
{
    SelectDefaultPrinter(text);
}

QList<PreviewBox> TfrmChequePrintUI::previewBoxes() const
{
    QList<PreviewBox> list;
    for (QLabel* label : boxes_) {
        const QRect r = label->geometry();
        list.append({label->objectName(), !label->isHidden(), label->text(), r.x(), r.y(),
                     r.width(), ToFontSpec(label->font())});
    }
    return list;
}

ChequePage TfrmChequePrintUI::composePage() const
{
    return ComposeChequePage(
        previewBoxes(),
        radioButton2_->isChecked() ? FeedDirection::Vertical : FeedDirection::Horizontal,
        radioButton4_->isChecked() ? FeedPosition::Left : FeedPosition::Middle, panel_->width(),
        panel_->height(), advSpinEdit1_->value(), advSpinEdit2_->value());
}

void TfrmChequePrintUI::SpeedButton6Click()
{
    if (accountId_ == 0)
        return;
    showWaitPanel(true);
    const ChequePage page = composePage();
    try {
        if (printJobRef())
            printJobRef()(page);
        else
            PrintChequePageOn(page, CurrentPrinterName());
    } catch (...) {
        showWaitPanel(false);
        throw;
    }
    showWaitPanel(false);
}

bool TfrmChequePrintUI::Edit1KeyPress(QKeyEvent* event)
{
    const QString text = event->text();
    if (text.size() != 1 || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false; // navigation, deletion and shortcuts are the field's own
    const QChar c = text.front();
    if (c == u'\r' || c == u'\n')
        return false; // the window moves the focus on
    if (c == u'.') {
        edit1_->insert(QStringLiteral("000"));
        return true;
    }
    return !IsAmountKey(c);
}

bool TfrmChequePrintUI::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return QWidget::eventFilter(watched, event);
    auto* widget = static_cast<QWidget*>(watched);
    if (widget != this && !isAncestorOf(widget))
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (widget == sizeCtrl_->overlay())
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
    if (widget == edit1_)
        return Edit1KeyPress(key);
    return false;
}
