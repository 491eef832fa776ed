#include "gui/accounts/AccountEditor.h"

#include "core/ProgramFont.h"
#include "core/storage/AccountStore.h"
#include "gui/accounts/AccountEditorData.h"
#include "gui/accounts/AccountIcons.h"
#include "gui/common/DialogKeys.h"
#include "gui/common/Guard.h"
#include "gui/common/MessageBox.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QToolButton* pictureButton(QWidget* parent, const QString& name, const QString& tip,
                           AccountGlyph glyph)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setToolTip(tip);
    button->setIcon(AccountButtonIcon(glyph));
    button->setIconSize(QSize(24, 24));
    button->setAutoRaise(true);
    // Like the speed buttons they are, they never take the focus: Tab and Enter cycle
    // through the six fields only.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

AccountEditor::AccountEditor(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      dm_(std::make_unique<AccountEditorData>())
{
    setObjectName(u"accountEditor"_s);
    setWindowTitle(u"اطلاعات حساب"_s);
    setLayoutDirection(Qt::RightToLeft);
    QFont font(ProgramFontFamily());
    font.setPointSize(8);
    setFont(font);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(10);
    fields->setVerticalSpacing(6);
    struct FieldDef
    {
        QLineEdit** edit;
        const char* name;
        QString caption;
        AccountField field;
    };
    const FieldDef fieldDefs[] = {
        {&bankNameEdit_, "bankNameEdit", u"عنوان بانك"_s, AccountField::BankName},
        {&branchNameEdit_, "branchNameEdit", u"شعبه"_s, AccountField::BankBranchName},
        {&branchCodeEdit_, "branchCodeEdit", u"كد بانك"_s, AccountField::BankBranchCode},
        {&accountNameEdit_, "accountNameEdit", u"نام حساب"_s, AccountField::AccountName},
        {&accountNumberEdit_, "accountNumberEdit", u"شماره حساب"_s, AccountField::AccountNo},
        {&displayOrderEdit_, "displayOrderEdit", u"ترتيب نمايش"_s, AccountField::Radif},
    };
    int row = 0;
    QLineEdit* previous = nullptr;
    for (const FieldDef& def : fieldDefs) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(def.name));
        // Right-aligned whatever is typed: a number alone would otherwise sit at the left.
        edit->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
        if (const int limit = AccountTextLimit(def.field))
            edit->setMaxLength(limit);
        auto* label = new QLabel(def.caption, this);
        label->setBuddy(edit);
        fields->addWidget(label, row, 0);
        if (def.field == AccountField::Radif) {
            // Wide enough for the largest display order the column holds (ten digits), with
            // the field's padding and frame.
            const int digits = edit->fontMetrics().horizontalAdvance(u"0000000000"_s);
            edit->setFixedWidth(std::max(80, digits + 20));
            fields->addWidget(edit, row, 1, Qt::AlignLeading);
        } else {
            edit->setMinimumWidth(220);
            fields->addWidget(edit, row, 1);
        }
        if (previous)
            setTabOrder(previous, edit);
        previous = edit;
        *def.edit = edit;
        ++row;
    }

    saveButton_ = pictureButton(this, u"saveButton"_s, u"ثبت"_s, AccountGlyph::Save);
    saveAndNewButton_ =
        pictureButton(this, u"saveAndNewButton"_s, u"ثبت و جديد"_s, AccountGlyph::SaveAndNew);
    backButton_ = pictureButton(this, u"backButton"_s, u"بازگشت"_s, AccountGlyph::Back);
    connect(saveButton_, &QToolButton::clicked, this, Guarded([this] { saveAndClose(); }));
    connect(saveAndNewButton_, &QToolButton::clicked, this, Guarded([this] { saveAndNew(); }));
    connect(backButton_, &QToolButton::clicked, this, Guarded([this] { goBack(); }));

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    buttons->addStretch();
    buttons->addWidget(saveButton_);
    buttons->addWidget(saveAndNewButton_);
    buttons->addWidget(backButton_);

    auto* frame = new QVBoxLayout(this);
    frame->setContentsMargins(12, 12, 12, 8);
    frame->setSpacing(10);
    frame->addLayout(fields);
    frame->addLayout(buttons);
    setFixedSize(sizeHint());

    new DialogKeys(this, [this] { focusNextChild(); });
}

AccountEditor::~AccountEditor() = default;

void AccountEditor::openFor(int id)
{
    id_ = id;
    adding_ = id == 0;
    saved_ = false;
    if (dm_)
        dm_->qryAccount().open(id);
}

QLineEdit* AccountEditor::editOf(AccountField field) const
{
    switch (field) {
    case AccountField::BankName:
        return bankNameEdit_;
    case AccountField::BankBranchName:
        return branchNameEdit_;
    case AccountField::BankBranchCode:
        return branchCodeEdit_;
    case AccountField::AccountName:
        return accountNameEdit_;
    case AccountField::AccountNo:
        return accountNumberEdit_;
    case AccountField::Radif:
        return displayOrderEdit_;
    }
    return nullptr;
}

void AccountEditor::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    if (!filled_) {
        filled_ = true;
        fillOnFirstShow();
    }
}

void AccountEditor::fillOnFirstShow()
{
    if (id_ != 0 && dm_) {
        if (const auto& row = dm_->qryAccount().current()) {
            const AccountTexts texts = TextsOfAccount(*row);
            for (int i = 0; i < kAccountFieldCount; ++i)
                editOf(AccountField(i))->setText(texts[i]);
        }
    }
    bankNameEdit_->setFocus(Qt::OtherFocusReason);
}

bool AccountEditor::saveRecord()
{
    AccountTexts typed;
    for (int i = 0; i < kAccountFieldCount; ++i)
        typed[i] = editOf(AccountField(i))->text();
    if (const auto error = CheckAccountInput(typed))
        ReportInputError(error->message, editOf(error->field));
    const AccountRecord record = AccountFromTexts(typed);
    if (!dm_ || !dm_->qryAccount().store(record, adding_)) {
        ShowAppMessage(u"اشكال در ثبت اطلاعات"_s, MessageKind::Error);
        return false;
    }
    const auto& stored = dm_->qryAccount().current();
    emit accountSaved(stored ? stored->id : id_);
    return true;
}

void AccountEditor::saveAndClose()
{
    if (!saveRecord())
        return;
    saved_ = true;
    close();
}

void AccountEditor::saveAndNew()
{
    if (!saveRecord())
        return;
    for (QLineEdit* edit :
         {bankNameEdit_, branchNameEdit_, branchCodeEdit_, accountNameEdit_, accountNumberEdit_})
        edit->clear();
    adding_ = true;
    saved_ = true;
    bankNameEdit_->setFocus(Qt::OtherFocusReason);
}

void AccountEditor::goBack()
{
    close();
}

void AccountEditor::done(int result)
{
    // The data module goes with the window; a row a failed save began is dropped with it.
    dm_.reset();
    QDialog::done(result);
}

bool OpenAccountEditor(int id, const std::function<void(int id)>& onSaved)
{
    auto window = std::make_unique<AccountEditor>();
    if (onSaved)
        QObject::connect(window.get(), &AccountEditor::accountSaved, window.get(), onSaved);
    window->openFor(id);
    window->exec();
    return window->saved();
}
