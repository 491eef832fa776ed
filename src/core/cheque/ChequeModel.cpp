#include "core/cheque/ChequeModel.h"

#include "core/ProgramFont.h"
#include "core/cheque/ChequeTexts.h"
#include "core/cheque/Geometry.h"
#include "core/errors/AppError.h"
#include "core/text/ChequeIds.h"
#include "core/text/TextChecks.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr int kStartingBoxHeight = 25;
constexpr double kPixelsPerMm = 96.0 / 25.4;

struct ItemInfo
{
    int itemId;       // the layout row it takes its place and font from (Toman: row 5's font)
    bool keepRight;   // fitted to its text keeping the right edge (else the left)
    int switchNumber; // the switch that shows it; 0 when always shown
};

constexpr ItemInfo kItems[kChequeItemCount] = {
    {2, true, 0},                          // NumericDate
    {3, true, ChequeSwitch::WordsDate},    // AlphabeticDate
    {4, false, 0},                         // NumericPrice
    {5, true, 0},                          // AlphabeticPrice
    {6, true, 0},                          // Customer
    {10, false, ChequeSwitch::Cover},      // Cover
    {7, false, ChequeSwitch::Perforation}, // Perforation
    {8, true, ChequeSwitch::Description},  // Description
    {9, false, ChequeSwitch::Constant},    // Constant
    {5, true, ChequeSwitch::Toman},        // Toman
    {11, false, ChequeSwitch::NationalId}, // NationalId
};

FontSpec fontOfRow(const LayoutRow& row)
{
    const quint8 style = FontStyleCode(row.fontStyle);
    return {row.fontName,    row.fontSize > 0 ? row.fontSize : 8,
            bool(style & 1), bool(style & 2),
            false,           false};
}

// The rows a designer's first save writes: where an account without a layout shows its items.
ChequeLayout startingLayout()
{
    const LayoutFields fields = StartingFields();
    std::array<int, kLayoutItemCount> boxLeft{};
    for (int id = kFirstLayoutItemId; id <= kLastLayoutItemId; ++id)
        boxLeft[id - 2] = BoxLeftFromFields(fields, id);
    ChequeLayout layout;
    layout.hasRows = true;
    layout.rows = RowsToSave(fields, boxLeft);
    layout.rows[kNationalIdItemId - 1].doPrint = false; // off where a layout lacks its row
    layout.rows[0].printTumans = true;                  // horizontal feed
    layout.present.fill(true);
    return layout;
}

} // namespace

QString PrintRefusalMessage(PrintRefusal refusal)
{
    switch (refusal) {
    case PrintRefusal::None:
        break;
    case PrintRefusal::NoAccount:
        return u"براي چاپ، نخست حساب را انتخاب كنيد"_s;
    case PrintRefusal::NoLayout:
        return u"براي اين حساب هنوز طرح چك ثبت نشده است؛ نخست در تعريف چك طرح آن را ثبت كنيد"_s;
    case PrintRefusal::EmptyAmount:
        return u"مبلغ چك را وارد كنيد"_s;
    }
    return {};
}

ChequeModel::ChequeModel(TextMeasure measure) : measure_(std::move(measure))
{
    const FontSpec windowFont{ProgramFontFamily(), 8, false, false, false, false};
    for (int i = 0; i < kChequeItemCount; ++i) {
        ChequeItemView& v = items_[i];
        const bool toman = ChequeItem(i) == ChequeItem::Toman;
        const LayoutItemInfo& info = LayoutItemOf(kItems[i].itemId);
        v.name = toman ? u"lblAlphabeticPrice2"_s : info.labelName;
        v.caption = toman ? u"معادل مبلغ به تومان"_s : info.tabCaption;
        v.leftToRight = info.leftToRight && !toman;
        v.alignRight = !v.leftToRight;
        v.cutAtWidth = info.cutAtRight && !toman;
        v.font = windowFont;
        v.box = QRect(0, 0, 100, kStartingBoxHeight);
    }
    clearAccount();
}

void ChequeModel::resetValues()
{
    amount_.clear();
    payee_.clear();
    description_.clear();
    nationalId_.clear();
    switches_.fill(false);
    direction_ = FeedDirection::Horizontal;
    position_ = FeedPosition::Middle;
    top_ = left_ = 0;
}

void ChequeModel::clearAccount()
{
    loadAccount(0, ChequeLayout{});
}

void ChequeModel::loadAccount(int accountId, const ChequeLayout& layout)
{
    accountId_ = accountId;
    hasLayout_ = layout.hasRows;
    pictureJpeg_ = layout.pictureJpeg;
    resetValues();
    applyRows(layout.hasRows ? layout : startingLayout());
    applyAmountTexts();
    setText(ChequeItem::Customer, {}, LayoutItemOf(6).placeholder);
    setText(ChequeItem::Description, {}, LayoutItemOf(8).placeholder);
    setText(ChequeItem::NationalId, {}, LayoutItemOf(kNationalIdItemId).placeholder);
    setDate(date_);
    updateVisibility();
}

void ChequeModel::applyRows(const ChequeLayout& layout)
{
    // Rows a layout lacks keep what the starting layout put there.
    const ChequeLayout start = startingLayout();
    auto rowOf = [&](int itemId) -> const LayoutRow& {
        return layout.present[itemId - 1] ? layout.item(itemId) : start.item(itemId);
    };
    const LayoutRow& general = rowOf(kGeneralItemId);
    panelSize_ = QSize(ShownExtent(qint64(general.sideMargin) + 4),
                       ShownExtent(qint64(general.upMargin) + 4));
    direction_ = general.printTumans ? FeedDirection::Horizontal : FeedDirection::Vertical;
    // Stored distances beyond what fits a page are shown and printed at the nearest bound.
    top_ = std::clamp(general.width, -kMaxPrinterDistance, kMaxPrinterDistance);
    left_ = std::clamp(general.fontSize, -kMaxPrinterDistance, kMaxPrinterDistance);

    for (int i = 0; i < kChequeItemCount; ++i) {
        const LayoutRow& row = rowOf(kItems[i].itemId);
        ChequeItemView& v = items_[i];
        v.font = fontOfRow(row);
        if (ChequeItem(i) != ChequeItem::Toman)
            v.box = ShownRect(row.sideMargin, row.upMargin, row.width, kStartingBoxHeight);
    }
    auto on = [&](int itemId) {
        const LayoutRow& row = rowOf(itemId);
        return LayoutItemOf(itemId).itemSwitch == ItemSwitch::PrintTumans ? row.printTumans
                                                                          : row.doPrint;
    };
    switches_[ChequeSwitch::WordsDate - 1] = on(3);
    switches_[ChequeSwitch::Toman - 1] = on(5);
    switches_[ChequeSwitch::Description - 1] = on(8);
    switches_[ChequeSwitch::Cover - 1] = on(10);
    switches_[ChequeSwitch::Constant - 1] = on(9);
    switches_[ChequeSwitch::Perforation - 1] = on(7);
    switches_[ChequeSwitch::NationalId - 1] = on(kNationalIdItemId);

    setText(ChequeItem::Constant, LayoutItemOf(9).placeholder, {});
    setText(ChequeItem::Cover, LayoutItemOf(10).placeholder, {});
}

void ChequeModel::setText(ChequeItem which, const QString& value, const QString& placeholder)
{
    ChequeItemView& v = at(which);
    v.hasValue = !value.isEmpty();
    v.text = v.hasValue ? value : placeholder;
    fit(which);
}

void ChequeModel::fit(ChequeItem which)
{
    ChequeItemView& v = at(which);
    const QSize line = measure_ ? measure_(v.font, v.text) : QSize(v.text.size() * 6, 16);
    const QRect r = v.box;
    if (v.cutAtWidth) {
        // Keeps its width and cuts its text there; as tall as one line, as on paper.
        v.box = ShownRect(r.left(), r.top(), r.width(), line.height());
        return;
    }
    const int width = std::max(1, line.width() + 2);
    if (kItems[int(which)].keepRight)
        v.box = ShownRect(qint64(r.left()) + r.width() - width, r.top(), width, line.height());
    else
        v.box = ShownRect(r.left(), r.top(), width, line.height());
}

void ChequeModel::placeToman()
{
    const QRect words = item(ChequeItem::AlphabeticPrice).box;
    QRect& toman = at(ChequeItem::Toman).box;
    toman.moveTo(ShownCoordinate(qint64(words.left()) + words.width() - toman.width()),
                 ShownCoordinate(qint64(words.top()) + words.height()));
}

void ChequeModel::applyAmountTexts()
{
    if (amount_.isEmpty()) {
        setText(ChequeItem::NumericPrice, {}, LayoutItemOf(4).placeholder);
        setText(ChequeItem::Perforation, {}, LayoutItemOf(7).placeholder);
        setText(ChequeItem::AlphabeticPrice, {}, LayoutItemOf(5).placeholder);
        setText(ChequeItem::Toman, {}, u"معادل مبلغ به تومان"_s);
    } else {
        const AmountBoxTexts texts = AmountTexts(amount_);
        setText(ChequeItem::NumericPrice, texts.numeric, {});
        setText(ChequeItem::Perforation, texts.perforation, {});
        setText(ChequeItem::AlphabeticPrice, texts.words, {});
        setText(ChequeItem::Toman, texts.toman, {});
    }
    placeToman();
}

void ChequeModel::updateVisibility()
{
    for (int i = 0; i < kChequeItemCount; ++i) {
        const int n = kItems[i].switchNumber;
        items_[i].visible = accountId_ != 0 && (n == 0 || switches_[n - 1]);
    }
}

void ChequeModel::setDate(SerialDate date)
{
    date_ = date;
    const DateBoxTexts texts = DateTexts(date);
    setText(ChequeItem::NumericDate, texts.numeric, LayoutItemOf(2).placeholder);
    setText(ChequeItem::AlphabeticDate, texts.words, LayoutItemOf(3).placeholder);
}

ChequeModel::AmountChange ChequeModel::setAmount(const QString& text)
{
    const QString amount = TrimBlanks(ToLatinDigits(text));
    if (amount.size() > kMaxAmountFieldChars)
        return AmountChange::TooLong;
    if (!amount.isEmpty()) {
        try {
            AmountTexts(amount); // every text made before anything changes
        } catch (const AppError&) {
            // Marks alone and the like: no amount at all rather than the previous one, so the
            // cheque never shows or prints an amount the field does not hold.
            amount_.clear();
            applyAmountTexts();
            return AmountChange::NotAnAmount;
        }
    }
    amount_ = amount;
    applyAmountTexts();
    return AmountChange::Accepted;
}

void ChequeModel::setPayee(const QString& text)
{
    payee_ = TrimBlanks(text);
    setText(ChequeItem::Customer, payee_, LayoutItemOf(6).placeholder);
}

void ChequeModel::setDescription(const QString& text)
{
    description_ = isSwitchOn(ChequeSwitch::Description) ? TrimBlanks(text) : QString();
    setText(ChequeItem::Description, description_, LayoutItemOf(8).placeholder);
}

void ChequeModel::setNationalId(const QString& text)
{
    const std::optional<QString> id = NormalizeNationalId(text);
    nationalId_ = id ? *id : QString();
    setText(ChequeItem::NationalId, nationalId_, LayoutItemOf(kNationalIdItemId).placeholder);
}

void ChequeModel::setSwitch(int number, bool on)
{
    if (number < 1 || number > kSwitchCount)
        return;
    switches_[number - 1] = on;
    if (number == ChequeSwitch::Description)
        setDescription({});
    updateVisibility();
}

bool ChequeModel::isSwitchOn(int number) const
{
    return number >= 1 && number <= kSwitchCount && switches_[number - 1];
}

void ChequeModel::setFeed(FeedDirection direction, FeedPosition position)
{
    direction_ = direction;
    position_ = position;
}

bool ChequeModel::setDistances(int top, int left)
{
    if (std::abs(top) > kMaxPrinterDistance || std::abs(left) > kMaxPrinterDistance)
        return false;
    top_ = top;
    left_ = left;
    return true;
}

bool IsValidCalibration(PrinterCalibration c)
{
    auto fits = [](double mm) { return std::isfinite(mm) && std::abs(mm) <= kMaxCalibrationMm; };
    return fits(c.xMm) && fits(c.yMm);
}

bool ChequeModel::setCalibration(PrinterCalibration calibration)
{
    if (!IsValidCalibration(calibration))
        return false;
    calibration_ = calibration;
    return true;
}

void ChequeModel::moveItem(ChequeItem which, const QRect& box)
{
    at(which).box = ShownRect(box.left(), box.top(), box.width(), box.height());
    if (which == ChequeItem::AlphabeticPrice)
        placeToman();
}

PrintRefusal ChequeModel::printRefusal() const
{
    if (accountId_ == 0)
        return PrintRefusal::NoAccount;
    if (!hasLayout_)
        return PrintRefusal::NoLayout;
    if (amount_.isEmpty())
        return PrintRefusal::EmptyAmount;
    return PrintRefusal::None;
}

ChequeOrigin ChequeModel::origin() const
{
    return ComputeChequeOrigin(direction_, position_, panelSize_.width(), panelSize_.height(), top_,
                               left_);
}

ChequePage ChequeModel::page() const
{
    const ChequeOrigin o = origin();
    const double dx = calibration_.xMm * kPixelsPerMm, dy = calibration_.yMm * kPixelsPerMm;
    ChequePage page;
    page.landscape = direction_ == FeedDirection::Vertical;
    for (const ChequeItemView& v : items_) {
        if (!v.visible || !v.hasValue)
            continue; // a caption standing in for a value is never printed
        TextElement e;
        e.text = v.text;
        e.left = double(v.box.left()) + o.x0 + dx;
        e.top = double(v.box.top()) + o.y0 + dy;
        e.width = v.box.width();
        e.font = v.font;
        e.alignRight = v.alignRight;
        e.rightToLeft = !v.leftToRight;
        e.cutAtWidth = v.cutAtWidth;
        page.elements.append(e);
    }
    return page;
}

ChequePage ChequeModel::testSheet(bool withPicture) const
{
    ChequePage sheet = page();
    const ChequeOrigin o = origin();
    const double dx = o.x0 + calibration_.xMm * kPixelsPerMm;
    const double dy = o.y0 + calibration_.yMm * kPixelsPerMm;
    // The cheque itself lies 2 pixels inside the panel's corner, where the picture starts.
    const QRectF cheque(dx + 2, dy + 2, panelSize_.width() - 4, panelSize_.height() - 4);
    sheet.outlines.append(cheque);
    if (withPicture && !pictureJpeg_.isEmpty()) {
        sheet.pictureJpeg = pictureJpeg_;
        sheet.pictureRect = cheque;
    }

    const FontSpec small{ProgramFontFamily(), 6, false, false, false, false};
    const int labelHeight = measure_ ? measure_(small, u"0"_s).height() : 10;
    for (const ChequeItemView& v : items_) {
        if (!v.visible)
            continue;
        const QRectF box = QRectF(v.box).translated(dx, dy);
        sheet.outlines.append(box);
        TextElement label;
        label.text = v.caption;
        label.font = small;
        label.left = v.leftToRight ? box.left() : box.right() - 200;
        label.top = box.top() - labelHeight;
        label.width = 200;
        label.alignRight = !v.leftToRight;
        sheet.elements.append(label);
    }

    // Millimetre marks inside the cheque along its top edge (rightwards from its left
    // corner) and its right edge (downwards from its top corner), numbered every ten: inside,
    // so they stay on the page whatever the feed and the distances.
    auto markLength = [](int mm) { return (mm % 10 == 0 ? 3.0 : mm % 5 == 0 ? 2.0 : 1.0); };
    auto number = [&](int mm, double left, double top) {
        TextElement n;
        n.text = QString::number(mm);
        n.font = small;
        n.left = left;
        n.top = top;
        n.width = 30;
        n.alignRight = false;
        n.rightToLeft = false;
        sheet.elements.append(n);
    };
    const int widthMm = int(cheque.width() / kPixelsPerMm);
    for (int mm = 0; mm <= widthMm; ++mm) {
        const double x = cheque.left() + mm * kPixelsPerMm;
        sheet.lines.append(
            QLineF(x, cheque.top(), x, cheque.top() + markLength(mm) * kPixelsPerMm));
        if (mm % 10 == 0 && mm > 0 && mm < widthMm - 5)
            number(mm, x - 4, cheque.top() + 3.5 * kPixelsPerMm);
    }
    const int heightMm = int(cheque.height() / kPixelsPerMm);
    for (int mm = 0; mm <= heightMm; ++mm) {
        const double y = cheque.top() + mm * kPixelsPerMm;
        sheet.lines.append(
            QLineF(cheque.right(), y, cheque.right() - markLength(mm) * kPixelsPerMm, y));
        if (mm % 10 == 0 && mm > 0)
            number(mm, cheque.right() - 3.5 * kPixelsPerMm - 16, y - labelHeight / 2.0);
    }
    // Crosshairs at the top-left and bottom-right corners, 8 mm each way.
    const double arm = 8 * kPixelsPerMm;
    for (const QPointF c : {cheque.topLeft(), cheque.bottomRight()}) {
        sheet.lines.append(QLineF(c.x() - arm, c.y(), c.x() + arm, c.y()));
        sheet.lines.append(QLineF(c.x(), c.y() - arm, c.x(), c.y() + arm));
    }
    return sheet;
}
