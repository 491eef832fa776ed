#pragma once

#include "core/calendar/JalaliCalendar.h"
#include "core/cheque/ChequeModel.h"
#include "core/storage/ChequeRegister.h"
#include "gui/print/SeriesDialog.h"

#include <QWidget>
#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QToolButton;
class ChequeItemBox;
class JalaliDateDropDown;
class ResizeHandles;
class PrintWindowData;

// The cheque print window: a child window of the main frame (object name
// "printWindow"), at most one at a time. The user picks an account, types the cheque's
// values and prints them on one A4 page. It shows a ChequeModel and prints the model's page;
// only the printers' calibrations are stored here.
class PrintWindow final : public QWidget
{
    Q_OBJECT
public:
    explicit PrintWindow(QWidget* parent = nullptr);
    ~PrintWindow() override;

    // The item boxes in the cheque panel's order, the Toman box and the national ID last.
    enum Box {
        NumericDate,
        AlphabeticDate,
        NumericPrice,
        AlphabeticPrice1,
        Customer,
        Cover,
        Perferaj,
        Description,
        Constant,
        AlphabeticPrice2,
        NationalId,
        BoxCount
    };
    ChequeItemBox* box(Box which) const { return boxes_[which]; }
    int loadedAccountId() const { return model_.accountId(); }
    const ChequeModel& model() const { return model_; }

    // The page the print button would print now.
    ChequePage composePage() const { return model_.page(); }

    // Where "چاپ" sends the page; tests replace it. It returns an empty text when the job
    // was accepted, else the Persian reason. By default the printer chosen in the window.
    using PrintJob = std::function<QString(const ChequePage& page, const QString& printer)>;
    static void setPrintJob(PrintJob job);

    // Loads an account as the account button does after the list answered accountId.
    void LoadAccount(int accountId);
    // Loads the record's account and fills the fields from it: due date, amount, payee,
    // description (its switch on when there is one), Sayad ID and national ID. Throws
    // AppError when the account cannot be read (the window keeps what it showed).
    void fillFromRecord(const ChequeRecord& record);

    // Named controls, for tests and for the keys of the window.
    QLineEdit* amountEdit() const { return amountEdit_; }
    QLineEdit* payeeEdit() const { return payeeEdit_; }
    QLineEdit* descriptionEdit() const { return descriptionEdit_; }
    QLineEdit* sayadEdit() const { return sayadEdit_; }
    QLineEdit* nationalIdEdit() const { return nationalIdEdit_; }
    JalaliDateDropDown* datePicker() const { return datePicker_; }
    QCheckBox* switchBox(int number) const { return switches_[number - 1]; }
    QToolButton* accountButton() const { return accountButton_; }
    QPushButton* printButton() const { return printButton_; }
    QPushButton* testSheetButton() const { return testSheetButton_; }
    QComboBox* printerChoice() const { return printerChoice_; }
    QSpinBox* distanceTopEdit() const { return distanceTop_; }
    QSpinBox* distanceLeftEdit() const { return distanceLeft_; }
    QDoubleSpinBox* calibrationXEdit() const { return calibrationX_; }
    QDoubleSpinBox* calibrationYEdit() const { return calibrationY_; }
    QFrame* chequePanel() const { return panel_; }
    QLabel* hintLabel() const { return hint_; }
    ResizeHandles* resizeHandles() const { return resizeHandles_; }

    // The print and test-sheet actions, as the buttons run them.
    void printCheque();
    void printTestSheet();
    // Prints an instalment series leaf by leaf, asking before each for the next leaf; every
    // accepted leaf is recorded in one series at once, so cancelling keeps what was printed.
    // Returns the number of leaves printed.
    int printSeries(const SeriesPlan& plan);
    QPushButton* seriesButton() const { return seriesButton_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildAccountGroup();
    void buildSettingsGroup();
    void buildPictureGroup();
    void buildWaitPanel();

    void fillPrinters();
    void chooseAccount();
    void amountEdited();
    void amountInputRejected();
    void switchClicked(int number);
    void feedChosen();
    void distancesEdited();
    void printerChosen(const QString& name);
    void calibrationEdited();
    void loadCalibration();
    bool amountKeyPress(QKeyEvent* event);
    QString sendToPrinter(const ChequePage& page, int* jobId = nullptr);

    void showModel();
    void showFieldsOfModel();
    void showPicture();
    void showWaitPanel(bool on);
    void boxesMoved();

    PrintWindowData* dm_ = nullptr;
    ChequeModel model_;
    bool shownOnce_ = false;
    bool showing_ = false; // fields being set from the model, not by the user
    bool typing_ = false;  // a key press is being handled by the amount field

    QLineEdit* bankName_ = nullptr;
    QLineEdit* bankBranchName_ = nullptr;
    QLineEdit* bankBranchCode_ = nullptr;
    QLineEdit* accountName_ = nullptr;
    QLineEdit* accountNo_ = nullptr;
    QToolButton* accountButton_ = nullptr;
    QPushButton* printButton_ = nullptr;
    QPushButton* seriesButton_ = nullptr;
    QPushButton* testSheetButton_ = nullptr;
    QCheckBox* testSheetPicture_ = nullptr;
    JalaliDateDropDown* datePicker_ = nullptr;
    QLineEdit* amountEdit_ = nullptr;
    QLineEdit* payeeEdit_ = nullptr;
    QLineEdit* descriptionEdit_ = nullptr;
    QLineEdit* sayadEdit_ = nullptr;
    QLineEdit* nationalIdEdit_ = nullptr;
    std::array<QCheckBox*, kSwitchCount> switches_{};
    QRadioButton* horizontalFeed_ = nullptr;
    QRadioButton* verticalFeed_ = nullptr;
    QRadioButton* fromMiddle_ = nullptr;
    QRadioButton* fromLeft_ = nullptr;
    QComboBox* printerChoice_ = nullptr;
    QSpinBox* distanceTop_ = nullptr;
    QSpinBox* distanceLeft_ = nullptr;
    QDoubleSpinBox* calibrationX_ = nullptr;
    QDoubleSpinBox* calibrationY_ = nullptr;
    QFrame* frame_ = nullptr;
    QFrame* panel_ = nullptr;
    QLabel* picture_ = nullptr;
    QLabel* hint_ = nullptr;
    std::array<ChequeItemBox*, BoxCount> boxes_{};
    QFrame* waitPanel_ = nullptr;
    QProgressBar* progress_ = nullptr;
    ResizeHandles* resizeHandles_ = nullptr;
};
