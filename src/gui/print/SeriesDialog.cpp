#include "gui/print/SeriesDialog.h"

#include "core/errors/AppError.h"
#include "core/storage/ChequeRegister.h"
#include "core/text/AmountText.h"
#include "core/text/TextChecks.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

SeriesDialog::SeriesDialog(qint64 firstDay, const QString& amount, QWidget* parent)
    : QDialog(parent), firstDay_(firstDay)
{
    setObjectName(u"SeriesDialog"_s);
    setWindowTitle(u"چك‌هاي اقساطي"_s);
    setLayoutDirection(Qt::RightToLeft);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    count_ = new QSpinBox(this);
    count_->setRange(1, 120);
    count_->setValue(12);
    step_ = new QSpinBox(this);
    step_->setRange(1, 12);
    step_->setValue(1);
    amount_ = new QLineEdit(amount, this);
    amount_->setLayoutDirection(Qt::LeftToRight);
    each_ = new QRadioButton(u"مبلغ هر برگ"_s, this);
    total_ = new QRadioButton(
        u"جمع همه برگ‌ها (برگ آخر باقيمانده را مي‌گيرد)"_s,
        this);
    each_->setChecked(true);
    auto* mode = new QButtonGroup(this);
    mode->addButton(each_);
    mode->addButton(total_);
    form->addRow(u"تعداد برگ"_s, count_);
    form->addRow(u"فاصله (ماه)"_s, step_);
    form->addRow(u"مبلغ (ريال)"_s, amount_);
    form->addRow(QString(), each_);
    form->addRow(QString(), total_);
    layout->addLayout(form);

    leaves_ = new QTableWidget(0, 3, this);
    leaves_->setHorizontalHeaderLabels({u"برگ"_s, u"سررسيد"_s, u"مبلغ (ريال)"_s});
    leaves_->horizontalHeader()->setStretchLastSection(true);
    leaves_->verticalHeader()->hide();
    leaves_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    leaves_->setMinimumSize(360, 240);
    layout->addWidget(leaves_);
    reason_ = new QLabel(this);
    reason_->setWordWrap(true);
    layout->addWidget(reason_);

    auto* buttons = new QDialogButtonBox(this);
    printButton_ = buttons->addButton(u"چاپ برگ به برگ"_s, QDialogButtonBox::AcceptRole);
    buttons->addButton(u"بازگشت"_s, QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(count_, &QSpinBox::valueChanged, this, [this] { recompute(); });
    connect(step_, &QSpinBox::valueChanged, this, [this] { recompute(); });
    connect(amount_, &QLineEdit::textChanged, this, [this] { recompute(); });
    connect(total_, &QRadioButton::toggled, this, [this] { recompute(); });
    recompute();
}

void SeriesDialog::recompute()
{
    plan_ = {};
    leaves_->setRowCount(0);
    QString reason;
    try {
        const QString text = TrimBlanks(ToLatinDigits(amount_->text()));
        if (text.isEmpty())
            throw AppError(u"مبلغ را وارد كنيد."_s);
        const qint64 value = ParseAmount(text);
        const int count = count_->value();
        const QList<qint64> amounts =
            total_->isChecked() ? SplitTotal(value, count) : QList<qint64>(count, value);
        if (amounts.isEmpty() || amounts.first() <= 0)
            throw AppError(u"مبلغ هر برگ بايد بيش از صفر باشد."_s);
        // Every leaf's amount must fit the cheque's amount field, as one typed cheque does.
        for (const qint64 a : amounts)
            if (QString::number(a).size() > kMaxAmountLength)
                throw AppError(u"مبلغ هر برگ بيش از ۱۵ رقم است."_s);
        plan_.dueDays = SeriesDueDays(firstDay_, count, step_->value());
        plan_.amounts = amounts;
    } catch (const ConversionError&) {
        plan_ = {};
        reason = u"مبلغ يا سررسيد برگ‌ها درست نيست."_s;
    } catch (const AppError& e) {
        plan_ = {};
        reason = e.message();
    }
    leaves_->setRowCount(int(plan_.dueDays.size()));
    for (int k = 0; k < plan_.dueDays.size(); ++k) {
        leaves_->setItem(k, 0, new QTableWidgetItem(QString::number(k + 1)));
        leaves_->setItem(k, 1, new QTableWidgetItem(JalaliDayText(plan_.dueDays[k])));
        leaves_->setItem(k, 2,
                         new QTableWidgetItem(FormatAmount(QString::number(plan_.amounts[k]))));
    }
    reason_->setText(reason);
    printButton_->setEnabled(!plan_.dueDays.isEmpty());
}
