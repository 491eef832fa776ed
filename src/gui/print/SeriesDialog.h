#pragma once

#include <QDialog>
#include <QList>

class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QTableWidget;

// The leaves of an instalment series: leaf k falls due on dueDays[k] for amounts[k] Rials.
struct SeriesPlan
{
    QList<qint64> dueDays;
    QList<qint64> amounts;
};

// The instalment series dialog: a count, a step in Jalali months and an amount per leaf (or a
// total the last leaf takes the remainder of), from the print window's due date; the list of
// leaves is shown before anything prints.
class SeriesDialog final : public QDialog
{
    Q_OBJECT
public:
    SeriesDialog(qint64 firstDay, const QString& amount, QWidget* parent = nullptr);

    // The leaves as the fields give them; empty while they give none (the reason is shown).
    SeriesPlan plan() const { return plan_; }
    QSpinBox* countEdit() const { return count_; }
    QSpinBox* stepEdit() const { return step_; }
    QLineEdit* amountEdit() const { return amount_; }
    QRadioButton* totalChoice() const { return total_; }
    QTableWidget* leavesTable() const { return leaves_; }

private:
    void recompute();

    qint64 firstDay_;
    SeriesPlan plan_;
    QSpinBox* count_ = nullptr;
    QSpinBox* step_ = nullptr;
    QLineEdit* amount_ = nullptr;
    QRadioButton* each_ = nullptr;
    QRadioButton* total_ = nullptr;
    QTableWidget* leaves_ = nullptr;
    QLabel* reason_ = nullptr;
    QPushButton* printButton_ = nullptr;
};
