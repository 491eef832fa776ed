#pragma once

#include "core/calendar/JalaliCalendar.h"
#include "core/cheque/ChequeLayout.h"
#include "core/cheque/ChequePage.h"
#include "core/cheque/ChequeTexts.h"

#include <QRect>
#include <QString>
#include <array>
#include <functional>

// One cheque as the user writes it: the account's layout, the typed values, the switches,
// the feed and the printer's calibration. It computes every item's text, box and
// visibility, and composes the page. The print window shows it, the page for the printer
// and the PDF is composed from it, and the command-line tool fills it the same way, so the
// preview, the paper and the tool can never disagree.

// The width and height of one line of text in a font, in pixels of 1/96 inch. The window
// and the tool pass the same measure (a 96-dpi device with the program's fonts).
using TextMeasure = std::function<QSize(const FontSpec& font, const QString& text)>;

// The items of the cheque panel, in the panel's order (also the printing order).
enum class ChequeItem {
    NumericDate,
    AlphabeticDate,
    NumericPrice,
    AlphabeticPrice,
    Customer,
    Cover,
    Perforation,
    Description,
    Constant,
    Toman,
    NationalId,
};
inline constexpr int kChequeItemCount = 11;
inline constexpr int kSwitchCount = 7;

// Switch numbers 1..7, as the print window shows them.
namespace ChequeSwitch {
inline constexpr int WordsDate = 1, Toman = 2, Description = 3, Cover = 4, Constant = 5,
                     Perforation = 6, NationalId = 7;
}

struct ChequeItemView
{
    QString name;          // the box's object name (lblNumericDate ...)
    QString caption;       // what the user calls the item (the designer's tab)
    QString text;          // what the preview shows: the value, or a caption standing in
    bool hasValue = false; // the text is a real value; only such texts are printed
    bool visible = false;  // shown on the preview (its switch is on, or it is always shown)
    QRect box;             // in the cheque panel, from its outer top-left corner
    FontSpec font;
    bool leftToRight = false; // the perforation and the national ID
    bool alignRight = true;   // every text but the perforation ends at its box's right edge
    bool cutAtWidth = false;  // the cover's asterisks never run beyond their box
};

// Why "چاپ" refuses to print (None: it may print).
enum class PrintRefusal { None, NoAccount, NoLayout, EmptyAmount };
QString PrintRefusalMessage(PrintRefusal refusal);

// A printer's own error in feeding a cheque, added to every text at print time.
struct PrinterCalibration
{
    double xMm = 0; // + moves the texts right on the page
    double yMm = 0; // + moves them down
    friend bool operator==(const PrinterCalibration&, const PrinterCalibration&) = default;
};
inline constexpr double kMaxCalibrationMm = 25.0;
// Finite and within -kMaxCalibrationMm..kMaxCalibrationMm on both axes.
bool IsValidCalibration(PrinterCalibration calibration);
// The printer distances the window and the tool accept, in pixels.
inline constexpr int kMaxPrinterDistance = 500;

class ChequeModel final
{
public:
    explicit ChequeModel(TextMeasure measure);

    // No account: an empty cheque; nothing prints.
    void clearAccount();
    // Every value reset, then the layout applied: its cheque size, feed, distances, switches
    // and boxes. An account without a saved layout shows the designer's starting layout and
    // refuses to print.
    void loadAccount(int accountId, const ChequeLayout& layout);
    int accountId() const { return accountId_; }
    bool hasLayout() const { return hasLayout_; }

    void setDate(SerialDate date);
    SerialDate date() const { return date_; }

    enum class AmountChange { Accepted, TooLong, NotAnAmount };
    // The amount as typed (group marks, Persian digits and blanks allowed). A text longer
    // than 15 characters leaves every item as it was; a text that is no amount leaves none.
    AmountChange setAmount(const QString& text);
    QString amount() const { return amount_; }
    void setPayee(const QString& text);
    void setDescription(const QString& text);
    // The payee's national ID as typed; only a valid one (10 or 11 digits with the check
    // digit, Persian digits allowed) is a value, anything else leaves the placeholder.
    void setNationalId(const QString& text);
    QString nationalId() const { return nationalId_; }

    // Switching the description off (or on) also empties it.
    void setSwitch(int number, bool on);
    bool isSwitchOn(int number) const;

    void setFeed(FeedDirection direction, FeedPosition position);
    FeedDirection feedDirection() const { return direction_; }
    FeedPosition feedPosition() const { return position_; }
    // Refused (false, nothing changes) outside -kMaxPrinterDistance..kMaxPrinterDistance.
    bool setDistances(int top, int left);
    int distanceTop() const { return top_; }
    int distanceLeft() const { return left_; }
    // Refused outside -kMaxCalibrationMm..kMaxCalibrationMm or when not finite.
    bool setCalibration(PrinterCalibration calibration);
    PrinterCalibration calibration() const { return calibration_; }

    // A box dragged or resized on the preview; it prints where it now stands.
    void moveItem(ChequeItem item, const QRect& box);

    const ChequeItemView& item(ChequeItem which) const { return items_[int(which)]; }
    // The cheque's size + 4 (the panel's lowered border).
    QSize panelSize() const { return panelSize_; }
    const QByteArray& pictureJpeg() const { return pictureJpeg_; }

    PrintRefusal printRefusal() const;
    // The page as printed: one text element per visible item with a value, the calibration
    // added. Composed whether or not printing would be refused.
    ChequePage page() const;
    // The page and, on plain paper, every box's outline with its name, the cheque's outline,
    // millimetre marks along its top and right edges and crosshairs at two corners;
    // optionally the cheque picture at true size beneath.
    ChequePage testSheet(bool withPicture) const;

private:
    ChequeItemView& at(ChequeItem which) { return items_[int(which)]; }
    void resetValues();
    void applyRows(const ChequeLayout& layout);
    void applyAmountTexts();
    void setText(ChequeItem which, const QString& value, const QString& placeholder);
    void fit(ChequeItem which);
    void placeToman();
    void updateVisibility();
    ChequeOrigin origin() const;

    TextMeasure measure_;
    std::array<ChequeItemView, kChequeItemCount> items_;
    std::array<bool, kSwitchCount> switches_{};
    int accountId_ = 0;
    bool hasLayout_ = false;
    QByteArray pictureJpeg_;
    QSize panelSize_{654, 324};
    SerialDate date_ = 0;
    bool dateSet_ = false;
    QString amount_;
    QString payee_;
    QString description_;
    QString nationalId_; // valid and in Latin digits, or empty
    FeedDirection direction_ = FeedDirection::Horizontal;
    FeedPosition position_ = FeedPosition::Middle;
    int top_ = 0;
    int left_ = 0;
    PrinterCalibration calibration_;
};
