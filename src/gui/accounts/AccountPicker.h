#pragma once

#include <QDialog>
#include <memory>

class QColor;
class QPushButton;
class QTableView;
class AccountListData;

// The account picker: every account in display order, read-only; hands back the chosen
// account's Id, 0 when the user leaves without choosing.
class AccountPicker final : public QDialog
{
    Q_OBJECT
public:
    explicit AccountPicker(QWidget* parent = nullptr);
    ~AccountPicker() override;

    int chosenId() const { return chosenId_; }

    // The grid's cell-colour handler: tints the rows with odd record numbers.
    static void gridRowColor(int recordNumber, QColor& background);

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void chooseCurrent();
    void btnSelectClick();
    void btnBackClick();

    std::unique_ptr<AccountListData> dm_;
    QTableView* DBGrid1 = nullptr;
    QPushButton* btnSelect = nullptr;
    QPushButton* btnBack = nullptr;
    int chosenId_ = 0;
};

// Shows the account list modally; the chosen account's Id, or 0.
int PickAccount();
