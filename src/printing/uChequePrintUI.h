#pragma once

#include "calendar/JalaliCalendar.h"
#include "printing/ChequePage.h"

#include <QWidget>
#include <array>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;
class QRadioButton;
class QSpinBox;
class QToolButton;
class TDropDownDatePicker;
class TSizeCtrl;
class TfrmChequePrintDM;
struct ChequeLayout;

// The cheque print window: a child window of the main frame (object name
// "frmChequePrintUI"), at most one at a time. The user picks an account, types the cheque's
// values and prints the preview's texts on one A4 page. Nothing here is ever stored.
class TfrmChequePrintUI final : public QWidget
{
    Q_OBJECT
public:
    explicit TfrmChequePrintUI(QWidget* parent = nullptr);
    ~TfrmChequePrintUI() override;

    // The item boxes in the cheque panel's order, the Toman box last.
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
        BoxCount
    };
    QLabel* box(Box which) const { return boxes_[which]; }
    int loadedAccountId() const { return accountId_; }

    // What the print job reads: every box of the panel with its place, text and font.
    QList<PreviewBox> previewBoxes() const;
    // The page the print button would print now.
    ChequePage composePage() const;

    // Where "چاپ" sends the page; tests replace it. By default the current printer.
    using PrintJob = std::function<void(const ChequePage&)>;
    static void setPrintJob(PrintJob job);

    // Loads an account as the account button does after the list answered accountId.
    void LoadAccount(int accountId);

    // What a person sets with the mouse, for the command-line tool: each runs the same
    // handling as the control it stands for.
    void setChequeDate(TDateTime date);
    void setSwitch(int number, bool on);
    void setFeed(FeedDirection feed, FeedPosition position);
    void setDistances(int top, int left);

    // Named controls, for tests and for the keys of the window.
    QLineEdit* amountEdit() const { return edit1_; }
    QLineEdit* payeeEdit() const { return edit2_; }
    QLineEdit* descriptionEdit() const { return edit3_; }
    TDropDownDatePicker* datePicker() const { return datePicker_; }
    QCheckBox* switchBox(int number) const { return checkBoxes_[number - 1]; }
    QToolButton* accountButton() const { return speedButton1_; }
    QToolButton* printButton() const { return speedButton6_; }
    QComboBox* printerChoice() const { return comboBox1_; }
    QFrame* chequePanel() const { return panel_; }
    TSizeCtrl* sizeCtrl() const { return sizeCtrl_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildAccountGroup();
    void buildSettingsGroup();
    void buildPictureGroup();
    void buildWaitPanel();

    void FormShow();
    void Reset();
    void SpeedButton1Click();
    void SpeedButton6Click();
    void Edit1Change();
    void Edit2Change();
    void Edit3Change();
    void DatePickerChange();
    void CheckBoxClick(int number);
    void ComboBox1Change(const QString& text);
    bool Edit1KeyPress(QKeyEvent* event);

    void applyLayout(const ChequeLayout& layout);
    void setBoxText(Box which, const QString& text);
    void fitBox(Box which);
    void placeTomanBox();
    void setChequePanelSize(int chequeWidth, int chequeHeight);
    void showWaitPanel(bool on);
    void setSwitchSilently(int number, bool on);

    TfrmChequePrintDM* dm_ = nullptr;
    int accountId_ = 0;
    bool shownOnce_ = false;

    QLineEdit* bankName_ = nullptr;
    QLineEdit* bankBranchName_ = nullptr;
    QLineEdit* bankBranchCode_ = nullptr;
    QLineEdit* accountName_ = nullptr;
    QLineEdit* accountNo_ = nullptr;
    QToolButton* speedButton1_ = nullptr;
    QToolButton* speedButton6_ = nullptr;
    TDropDownDatePicker* datePicker_ = nullptr;
    QLineEdit* edit1_ = nullptr;
    QLineEdit* edit2_ = nullptr;
    QLineEdit* edit3_ = nullptr;
    std::array<QCheckBox*, 6> checkBoxes_{};
    QRadioButton* radioButton1_ = nullptr;
    QRadioButton* radioButton2_ = nullptr;
    QRadioButton* radioButton3_ = nullptr;
    QRadioButton* radioButton4_ = nullptr;
    QComboBox* comboBox1_ = nullptr;
    QSpinBox* advSpinEdit1_ = nullptr;
    QSpinBox* advSpinEdit2_ = nullptr;
    QFrame* frame_ = nullptr;
    QFrame* panel_ = nullptr;
    QLabel* picture_ = nullptr;
    std::array<QLabel*, BoxCount> boxes_{};
    QFrame* waitPanel_ = nullptr;
    QProgressBar* progress_ = nullptr;
    TSizeCtrl* sizeCtrl_ = nullptr;
};
