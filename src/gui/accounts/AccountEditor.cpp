#include "gui/accounts/AccountEditor.h"

#include "core/storage/AccountStore.h"
#include "gui/accounts/AccountEditorData.h"
#include "gui/accounts/AccountIcons.h"
#include "gui/common/DialogKeys.h"
#include "gui/common/MessageBox.h"
#include "gui/designer/LayoutDesigner.h"

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
    QFont font(u"Tahoma"_s);
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
        {&Edit1, "Edit1", u"عنوان بانك"_s, AccountField::BankName},
        {&Edit4, "Edit4", u"شعبه"_s, AccountField::BankBranchName},
        {&Edit5, "Edit5", u"كد بانك"_s, AccountField::BankBranchCode},
        {&Edit2, "Edit2", u"نام حساب"_s, AccountField::AccountName},
        {&Edit3, "Edit3", u"شماره حساب"_s, AccountField::AccountNo},
        {&Edit6, "Edit6", u"ترتيب نمايش"_s, AccountField::Radif},
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

    SpeedButton2 = pictureButton(this, u"SpeedButton2"_s, u"ثبت"_s, AccountGlyph::Save);
    SpeedButton3 =
        pictureButton(this, u"SpeedButton3"_s, u"ثبت و جديد"_s, AccountGlyph::SaveAndNew);
    SpeedButton1 = pictureButton(this, u"SpeedButton1"_s, u"بازگشت"_s, AccountGlyph::Back);
    connect(SpeedButton2, &QToolButton::clicked, this, &AccountEditor::SpeedButton2Click);
    connect(SpeedButton3, &QToolButton::clicked, this, &AccountEditor::SpeedButton3Click);
    connect(SpeedButton1, &QToolButton::clicked, this, &AccountEditor::SpeedButton1Click);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    buttons->addStretch();
    buttons->addWidget(SpeedButton2);
    buttons->addWidget(SpeedButton3);
    buttons->addWidget(SpeedButton1);

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
        return Edit1;
    case AccountField::BankBranchName:
        return Edit4;
    case AccountField::BankBranchCode:
        return Edit5;
    case AccountField::AccountName:
        return Edit2;
    case AccountField::AccountNo:
        return Edit3;
    case AccountField::Radif:
        return Edit6;
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
        FormShow();
    }
}

void AccountEditor::FormShow()
{
    if (id_ != 0 && dm_) {
        if (const auto& row = dm_->qryAccount().current()) {
            const AccountTexts texts = TextsOfAccount(*row);
            for (int i = 0; i < kAccountFieldCount; ++i)
                editOf(AccountField(i))->setText(texts[i]);
        }
    }
    Edit1->setFocus(Qt::OtherFocusReason);
}

bool AccountEditor::SaveRecord()
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
    return true;
}

void AccountEditor::SpeedButton2Click()
{
    if (!SaveRecord())
        return;
    saved_ = true;
    close();
}

void AccountEditor::SpeedButton3Click()
{
    if (!SaveRecord())
        return;
    for (QLineEdit* edit : {Edit1, Edit4, Edit5, Edit2, Edit3})
        edit->clear();
    adding_ = true;
    saved_ = true;
    Edit1->setFocus(Qt::OtherFocusReason);
    if (layoutDesigner)
        layoutDesigner->RefreshGrid(true);
}

void AccountEditor::SpeedButton1Click()
{
    close();
}

void AccountEditor::done(int result)
{
    // The data module goes with the window; a row a failed save began is dropped with it.
    dm_.reset();
    QDialog::done(result);
}

bool OpenAccountEditor(int id)
{
    auto window = std::make_unique<AccountEditor>();
    window->openFor(id);
    window->exec();
    return window->saved();
}
