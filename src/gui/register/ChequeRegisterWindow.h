#pragma once

#include "core/cheque/ChequePage.h"
#include "core/storage/ChequeRegister.h"

#include <QAbstractTableModel>
#include <QWidget>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class JalaliMonthView;
class PrintWindow;

// The issued cheques as a table: one row a record, sortable by any column.
class ChequeRegisterModel final : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    enum Column { Number, Due, Account, Amount, Payee, NationalId, Sayad, Status, Note, Count };
    void setRecords(QList<ChequeRecord> records);
    const QList<ChequeRecord>& records() const { return records_; }
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<ChequeRecord> records_;
};

// The register window (object name "ChequeRegisterWindow"): filters, the table with the
// totals of its rows, and a Jalali month in which due days are bold, with the chosen day's
// cheques and total beside it. Void, reprint and the CSV and PDF exports act on the shown
// rows.
class ChequeRegisterWindow final : public QWidget
{
    Q_OBJECT
public:
    explicit ChequeRegisterWindow(QWidget* parent = nullptr);

    // Where a reprint goes; tests replace it. Empty text when the job was accepted.
    using PrintJob = std::function<QString(const ChequePage& page, const QString& printer)>;
    static void setPrintJob(PrintJob job);
    // Where the CSV and PDF exports write; tests replace the save dialog.
    using SavePath = std::function<QString()>;
    static void setSavePath(SavePath path);
    // The reason a void asks for; tests replace the input dialog (empty: cancelled).
    using AskReason = std::function<QString()>;
    static void setAskReason(AskReason ask);

    void reload();
    RegisterFilter filter() const;
    QTableView* table() const { return table_; }
    ChequeRegisterModel* model() const { return model_; }
    QLabel* totalsLabel() const { return totals_; }
    QLabel* dayLabel() const { return day_; }
    JalaliMonthView* calendar() const { return calendar_; }
    QComboBox* statusChoice() const { return status_; }
    QLineEdit* textEdit() const { return text_; }

    // The actions on the selected row (source row of the model).
    void selectRecord(qint64 id);
    void voidSelected();
    void reprintSelected();
    void exportCsv();
    // The print window filled from the selected record: the open one in the same work area,
    // else a new one. Returns it, or null when nothing is selected.
    PrintWindow* openInPrintWindow();
    // The shown rows as an A4 landscape PDF report with their totals.
    void exportPdf();

private:
    const ChequeRecord* selected() const;
    void showDay(SerialDate day);

    ChequeRegisterModel* model_ = nullptr;
    QSortFilterProxyModel* sorted_ = nullptr;
    QTableView* table_ = nullptr;
    QComboBox* account_ = nullptr;
    QLineEdit* from_ = nullptr;
    QLineEdit* to_ = nullptr;
    QLineEdit* payee_ = nullptr;
    QComboBox* status_ = nullptr;
    QLineEdit* text_ = nullptr;
    QLabel* totals_ = nullptr;
    QLabel* day_ = nullptr;
    JalaliMonthView* calendar_ = nullptr;
};

// The due-soon sentence for the main window ("" when nothing falls due), and the default span.
inline constexpr int kDefaultDueSoonDays = 3;
inline constexpr int kMaxDueSoonDays = 365;
// The span N in days from the settings file in folder ([Register] DueSoonDays, Persian digits
// allowed); absent or not a whole number from 0 to kMaxDueSoonDays: kDefaultDueSoonDays.
int DueSoonDaysSetting(const QString& folder);
QString DueSoonText(const DueSoonSummary& summary);
