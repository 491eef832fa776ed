#pragma once

#include <QDialog>
#include <functional>
#include <memory>

class QLineEdit;
class QToolButton;
class AccountEditorData;
enum class AccountField;

// The account editor: adds one new account or changes one existing account, and tells its
// opener whether anything was saved.
class AccountEditor final : public QDialog
{
    Q_OBJECT
public:
    explicit AccountEditor(QWidget* parent = nullptr);
    ~AccountEditor() override;

    // Takes the account to edit (0: a new one), sets the mode and loads the row.
    void openFor(int id);

    bool saved() const { return saved_; }
    bool isAdding() const { return adding_; }
    int accountId() const { return id_; }

signals:
    // After every save that the database took, with the account's Id.
    void accountSaved(int id);

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    // The common step of both save buttons; false when the database refused the row.
    // Refused input and a display order the column cannot hold leave by exception.
    bool saveRecord();
    void saveAndClose();
    void saveAndNew();
    void goBack();
    void fillOnFirstShow();
    QLineEdit* editOf(AccountField field) const;

    std::unique_ptr<AccountEditorData> dm_;
    QLineEdit* bankNameEdit_ = nullptr;
    QLineEdit* branchNameEdit_ = nullptr;
    QLineEdit* branchCodeEdit_ = nullptr;
    QLineEdit* accountNameEdit_ = nullptr;
    QLineEdit* accountNumberEdit_ = nullptr;
    QLineEdit* displayOrderEdit_ = nullptr;
    QToolButton* saveButton_ = nullptr;
    QToolButton* saveAndNewButton_ = nullptr;
    QToolButton* backButton_ = nullptr;
    int id_ = 0;
    bool adding_ = true;
    bool saved_ = false;
    bool filled_ = false;
};

// Opens the editor modally for the account (0: a new one); true when at least one save
// succeeded while it was open. onSaved hears every save while the editor is open.
bool OpenAccountEditor(int id, const std::function<void(int id)>& onSaved = {});
