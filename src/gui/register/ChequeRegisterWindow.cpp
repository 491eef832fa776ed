#include "gui/register/ChequeRegisterWindow.h"

#include "core/errors/AppError.h"
#include "core/register/ChequeIssue.h"
#include "core/storage/CalibrationStore.h"
#include "core/storage/Database.h"
#include "core/storage/IniFile.h"
#include "core/storage/SafeFile.h"
#include "core/text/TextChecks.h"
#include "gui/common/Guard.h"
#include "gui/common/MessageBox.h"
#include "gui/print/PrintWindow.h"
#include "render/PagePainter.h"
#include "render/PrinterJob.h"
#include "render/Printers.h"
#include "render/RegisterReport.h"
#include "widgets/JalaliMonthView.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSqlQuery>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

ChequeRegisterWindow::PrintJob& printJobRef()
{
    static ChequeRegisterWindow::PrintJob job;
    return job;
}
ChequeRegisterWindow::SavePath& savePathRef()
{
    static ChequeRegisterWindow::SavePath path;
    return path;
}
ChequeRegisterWindow::AskReason& askReasonRef()
{
    static ChequeRegisterWindow::AskReason ask;
    return ask;
}

QString grouped(qint64 amount)
{
    QString digits = QString::number(amount);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, u',');
    return digits;
}

// The open database's file: its connection names it as a file: URL with options, which no
// path comparison would match.
QStringList protectedFiles()
{
    if (!programDatabase)
        return {};
    return {QUrl(programDatabase->connection().databaseName()).toLocalFile()};
}

QSqlDatabase database()
{
    if (!programDatabase)
        throw AppError(u"بانك اطلاعاتي باز نيست"_s);
    return programDatabase->connection();
}

} // namespace

void ChequeRegisterModel::setRecords(QList<ChequeRecord> records)
{
    beginResetModel();
    records_ = std::move(records);
    endResetModel();
}

int ChequeRegisterModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(records_.size());
}

int ChequeRegisterModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Count;
}

QVariant ChequeRegisterModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= records_.size())
        return {};
    const ChequeRecord& r = records_[index.row()];
    const bool voided = r.status == RecordStatus::Voided;
    if (role == Qt::UserRole) { // the sort key
        switch (index.column()) {
        case Number:
            return r.id;
        case Due:
            return r.dueDay;
        case Amount:
            return r.amount;
        default:
            break;
        }
        return data(index, Qt::DisplayRole);
    }
    if (role == Qt::ForegroundRole && voided)
        return QColor(150, 150, 150);
    if (role == Qt::TextAlignmentRole &&
        (index.column() == Amount || index.column() == Sayad || index.column() == NationalId))
        return int(Qt::AlignLeft | Qt::AlignAbsolute | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case Number:
        return QString::number(r.id);
    case Due:
        return JalaliDayText(r.dueDay);
    case Account:
        return r.accountTitle;
    case Amount:
        return grouped(r.amount);
    case Payee:
        return r.payee;
    case NationalId:
        return r.nationalId;
    case Sayad:
        return r.sayadId;
    case Status:
        return voided ? u"باطل شده"_s : u"چاپ شده"_s;
    case Note: {
        QStringList notes;
        if (voided)
            notes << r.voidReason;
        if (r.reprintOf)
            notes << u"چاپ مجدد رديف %1"_s.arg(r.reprintOf);
        if (r.seriesId)
            notes << u"قسط %1 از سري %2"_s.arg(r.seriesLeaf).arg(r.seriesId);
        if (!r.description.isEmpty())
            notes << r.description;
        return notes.join(u" - "_s);
    }
    default:
        return {};
    }
}

QVariant ChequeRegisterModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QString names[Count] = {u"رديف"_s,        u"سررسيد"_s, u"حساب"_s,
                                         u"مبلغ (ريال)"_s, u"گيرنده"_s, u"كد ملي"_s,
                                         u"شناسه صياد"_s,  u"وضعيت"_s,  u"توضيح"_s};
    return section >= 0 && section < Count ? names[section] : QVariant();
}

// ---------------------------------------------------------------------------------------------

void ChequeRegisterWindow::setPrintJob(PrintJob job)
{
    printJobRef() = std::move(job);
}
void ChequeRegisterWindow::setSavePath(SavePath path)
{
    savePathRef() = std::move(path);
}
void ChequeRegisterWindow::setAskReason(AskReason ask)
{
    askReasonRef() = std::move(ask);
}

ChequeRegisterWindow::ChequeRegisterWindow(QWidget* parent) : QWidget(parent)
{
    setObjectName(u"ChequeRegisterWindow"_s);
    setWindowTitle(u"چك‌هاي صادره"_s);
    setLayoutDirection(Qt::RightToLeft);
    setAttribute(Qt::WA_DeleteOnClose);
    resize(1000, 560);

    auto* column = new QVBoxLayout(this);
    auto* filters = new QHBoxLayout;
    column->addLayout(filters);
    auto addField = [&](const QString& caption, QWidget* field) {
        filters->addWidget(new QLabel(caption, this));
        filters->addWidget(field);
    };
    account_ = new QComboBox(this);
    account_->addItem(u"همه حساب‌ها"_s, 0);
    if (programDatabase) {
        QSqlQuery q(programDatabase->connection());
        if (q.exec(u"select Id, coalesce(BankName, '') || ' - ' || coalesce(AccountName, '')"
                   u" from tblAccountMst order by Radif, Id"_s))
            while (q.next())
                account_->addItem(q.value(1).toString(), q.value(0).toInt());
    }
    addField(u"حساب"_s, account_);
    from_ = new QLineEdit(this);
    to_ = new QLineEdit(this);
    for (QLineEdit* e : {from_, to_}) {
        e->setPlaceholderText(u"1403/01/01"_s);
        e->setLayoutDirection(Qt::LeftToRight);
        e->setFixedWidth(84);
    }
    addField(u"سررسيد از"_s, from_);
    addField(u"تا"_s, to_);
    payee_ = new QLineEdit(this);
    addField(u"گيرنده"_s, payee_);
    status_ = new QComboBox(this);
    status_->addItem(u"همه"_s, -1);
    status_->addItem(u"چاپ شده"_s, int(RecordStatus::Printed));
    status_->addItem(u"باطل شده"_s, int(RecordStatus::Voided));
    addField(u"وضعيت"_s, status_);
    text_ = new QLineEdit(this);
    text_->setPlaceholderText(u"جستجو"_s);
    addField(u"متن"_s, text_);

    auto* body = new QHBoxLayout;
    column->addLayout(body, 1);
    model_ = new ChequeRegisterModel(this);
    sorted_ = new QSortFilterProxyModel(this);
    sorted_->setSourceModel(model_);
    sorted_->setSortRole(Qt::UserRole);
    table_ = new QTableView(this);
    table_->setObjectName(u"RegisterTable"_s);
    table_->setModel(sorted_);
    table_->setSortingEnabled(true);
    table_->sortByColumn(ChequeRegisterModel::Due, Qt::AscendingOrder);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(22);
    table_->horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {46, 82, 150, 110, 140, 90, 130, 70};
    for (int c = 0; c < int(std::size(widths)); ++c)
        table_->setColumnWidth(c, widths[c]);
    body->addWidget(table_, 1);

    auto* side = new QVBoxLayout;
    body->addLayout(side);
    calendar_ = new JalaliMonthView(this);
    calendar_->setObjectName(u"RegisterMonth"_s);
    side->addWidget(calendar_);
    day_ = new QLabel(this);
    day_->setObjectName(u"DayPanel"_s);
    day_->setWordWrap(true);
    day_->setAlignment(Qt::AlignTop | Qt::AlignRight | Qt::AlignAbsolute);
    day_->setMinimumWidth(calendar_->sizeHint().width());
    day_->setMaximumWidth(std::max(220, calendar_->sizeHint().width()));
    side->addWidget(day_, 1);

    auto* foot = new QHBoxLayout;
    column->addLayout(foot);
    totals_ = new QLabel(this);
    totals_->setObjectName(u"TotalsLabel"_s);
    foot->addWidget(totals_, 1);
    auto* voidButton = new QPushButton(u"ابطال چك"_s, this);
    auto* reprint = new QPushButton(u"چاپ مجدد"_s, this);
    auto* csv = new QPushButton(u"خروجي CSV"_s, this);
    auto* fill = new QPushButton(u"چاپ چك از روي اين رديف"_s, this);
    fill->setObjectName(u"FillPrintButton"_s);
    fill->setToolTip(
        u"باز كردن پنجره چاپ چك با حساب، سررسيد، مبلغ، گيرنده و شناسه‌هاي اين رديف"_s);
    auto* pdf = new QPushButton(u"گزارش PDF"_s, this);
    pdf->setObjectName(u"PdfReportButton"_s);
    pdf->setToolTip(
        u"گزارش رديف‌هاي نمايش داده شده روي كاغذ A4 افقي"_s);
    foot->addWidget(voidButton);
    foot->addWidget(reprint);
    foot->addWidget(fill);
    foot->addWidget(csv);
    foot->addWidget(pdf);

    const auto reloadGuarded = [this] { RunGuarded([this] { reload(); }); };
    connect(account_, &QComboBox::currentIndexChanged, this, reloadGuarded);
    connect(status_, &QComboBox::currentIndexChanged, this, reloadGuarded);
    for (QLineEdit* e : {from_, to_, payee_, text_})
        connect(e, &QLineEdit::textChanged, this, reloadGuarded);
    connect(voidButton, &QPushButton::clicked, this,
            [this] { RunGuarded([this] { voidSelected(); }); });
    connect(reprint, &QPushButton::clicked, this,
            [this] { RunGuarded([this] { reprintSelected(); }); });
    connect(csv, &QPushButton::clicked, this, [this] { RunGuarded([this] { exportCsv(); }); });
    connect(pdf, &QPushButton::clicked, this, [this] { RunGuarded([this] { exportPdf(); }); });
    connect(fill, &QPushButton::clicked, this,
            [this] { RunGuarded([this] { openInPrintWindow(); }); });
    // The due days of the shown month in bold, from the rows the filters leave.
    connect(calendar_, &JalaliMonthView::onGetMonthInfo, this,
            [this](quint16 year, quint16 month, quint32& bold) {
                bold = 0;
                for (const ChequeRecord& r : model_->records()) {
                    if (r.status == RecordStatus::Voided)
                        continue;
                    const JalaliDate d = DecodeJalaliDateFully(SerialDate(r.dueDay));
                    if (d.year == year && d.month == month)
                        bold |= 1u << (d.day - 1);
                }
            });
    connect(calendar_, &JalaliMonthView::dateChanged, this, [this](double date) { showDay(date); });

    reload();
}

RegisterFilter ChequeRegisterWindow::filter() const
{
    RegisterFilter f;
    f.accountId = account_->currentData().toInt();
    if (const std::optional<qint64> d = ParseJalaliDay(from_->text()))
        f.fromDay = d;
    if (const std::optional<qint64> d = ParseJalaliDay(to_->text()))
        f.toDay = d;
    f.payee = payee_->text();
    if (status_->currentData().toInt() >= 0)
        f.status = RecordStatus(status_->currentData().toInt());
    f.text = text_->text();
    return f;
}

void ChequeRegisterWindow::reload()
{
    QList<ChequeRecord> records;
    try {
        records = QueryRegister(database(), filter());
    } catch (const AppError& e) {
        throw AppError(DatabaseErrorText(DatabaseReadFailed(), e.message()));
    }
    totals_->setText(RegisterTotalsText(records)); // the same line ends the PDF report
    model_->setRecords(std::move(records));
    calendar_->beginSetup();
    calendar_->endSetup();
    showDay(calendar_->Date());
}

void ChequeRegisterWindow::showDay(SerialDate date)
{
    const qint64 day = DayNumberOf(date);
    QStringList lines;
    qint64 total = 0;
    for (const ChequeRecord& r : model_->records()) {
        if (r.dueDay != day || r.status == RecordStatus::Voided || r.reprintOf != 0)
            continue;
        total += r.amount;
        lines << u"%1 ريال - %2"_s.arg(grouped(r.amount), r.payee);
    }
    day_->setText(lines.isEmpty()
                      ? u"در %1 چكي سررسيد نمي‌شود."_s.arg(JalaliDayText(day))
                      : u"سررسيد %1: %2 چك، جمع %3 ريال\n%4"_s.arg(JalaliDayText(day))
                            .arg(lines.size())
                            .arg(grouped(total))
                            .arg(lines.join(u'\n')));
}

const ChequeRecord* ChequeRegisterWindow::selected() const
{
    const QModelIndexList rows = table_->selectionModel()->selectedIndexes();
    if (rows.isEmpty())
        return nullptr;
    const int row = sorted_->mapToSource(rows.first()).row();
    return row >= 0 && row < model_->records().size() ? &model_->records()[row] : nullptr;
}

void ChequeRegisterWindow::selectRecord(qint64 id)
{
    for (int row = 0; row < model_->records().size(); ++row)
        if (model_->records()[row].id == id)
            table_->selectionModel()->setCurrentIndex(sorted_->mapFromSource(model_->index(row, 0)),
                                                      QItemSelectionModel::ClearAndSelect |
                                                          QItemSelectionModel::Rows);
}

void ChequeRegisterWindow::voidSelected()
{
    const ChequeRecord* r = selected();
    if (!r) {
        ShowAppMessage(u"چكي انتخاب نشده است"_s, MessageKind::Warning);
        return;
    }
    if (r->status == RecordStatus::Voided) {
        ShowAppMessage(u"اين چك قبلا باطل شده است"_s, MessageKind::Warning);
        return;
    }
    const QString reason = askReasonRef()
                               ? askReasonRef()()
                               : QInputDialog::getText(this, u"ابطال چك"_s, u"علت ابطال چك:"_s);
    if (reason.trimmed().isEmpty())
        return;
    const qint64 id = r->id;
    try {
        VoidRecord(database(), id, reason);
    } catch (const AppError& e) {
        throw AppError(DatabaseErrorText(DatabaseWriteFailed(), e.message()));
    }
    reload();
    selectRecord(id);
}

void ChequeRegisterWindow::reprintSelected()
{
    const ChequeRecord* r = selected();
    if (!r) {
        ShowAppMessage(u"چكي انتخاب نشده است"_s, MessageKind::Warning);
        return;
    }
    if (r->status == RecordStatus::Voided) {
        ShowAppMessage(u"چك باطل شده دوباره چاپ نمي‌شود"_s,
                       MessageKind::Warning);
        return;
    }
    ChequeRecord copy = *r;
    copy.reprintOf = r->reprintOf ? r->reprintOf : r->id; // always the original leaf
    if (!ShowAppMessage(
            u"چك رديف %1 با همان متن‌ها دوباره چاپ شود؟"_s.arg(
                copy.reprintOf),
            MessageKind::Confirmation))
        return;
    const QString printer = CurrentPrinterName();
    const QSqlDatabase db = database();
    const ChequePage page = ComposeRecordPage(db, copy, QString::number(r->amount),
                                              ReadCalibration(db, printer), ProgramTextMeasure());
    const QString error =
        printJobRef() ? printJobRef()(page, printer) : PrintChequePage(page, printer);
    if (!error.isEmpty()) {
        ShowAppMessage(error, MessageKind::Error);
        return;
    }
    copy.id = 0;
    copy.printer = printer;
    copy.pdfFile.clear();
    copy.printedAt = {};
    try {
        RecordCheque(db, copy);
    } catch (const AppError& e) {
        ShowAppMessage(DatabaseErrorText(NotRecordedSentence(), e.message()), MessageKind::Error);
        return;
    }
    reload();
    selectRecord(copy.id);
}

void ChequeRegisterWindow::exportCsv()
{
    const QString path = savePathRef()
                             ? savePathRef()()
                             : QFileDialog::getSaveFileName(this, u"خروجي CSV"_s, u"cheques.csv"_s,
                                                            u"CSV (*.csv)"_s);
    if (path.isEmpty())
        return;
    const QStringList protect = protectedFiles();
    if (const QString refused = RefusedOutputPath(path, protect); !refused.isEmpty())
        throw AppError(refused);
    QString reason;
    if (!WriteFileWhole(path, RegisterCsv(model_->records()), {}, &reason))
        throw AppError(reason);
}

PrintWindow* ChequeRegisterWindow::openInPrintWindow()
{
    const ChequeRecord* r = selected();
    if (!r) {
        ShowAppMessage(u"چكي انتخاب نشده است"_s, MessageKind::Warning);
        return nullptr;
    }
    const ChequeRecord record = *r;
    // At most one print window: the open one takes the record's values.
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    QMdiArea* area = sub ? sub->mdiArea() : nullptr;
    PrintWindow* window = nullptr;
    if (area)
        for (QMdiSubWindow* other : area->subWindowList())
            if (auto* w = qobject_cast<PrintWindow*>(other->widget())) {
                window = w;
                area->setActiveSubWindow(other);
            }
    const bool created = !window;
    if (created) {
        window = new PrintWindow(nullptr);
        if (area) {
            QMdiSubWindow* frame = area->addSubWindow(window);
            // A window of fixed size has nothing to show maximised, as from the main window.
            frame->setWindowFlags(frame->windowFlags() & ~Qt::WindowMaximizeButtonHint);
            frame->show();
        }
        window->show();
    }
    try {
        window->fillFromRecord(record);
    } catch (...) {
        if (created)
            window->close(); // an empty window for an account that cannot be read helps no one
        throw;
    }
    return window;
}

void ChequeRegisterWindow::exportPdf()
{
    const QString path = savePathRef()
                             ? savePathRef()()
                             : QFileDialog::getSaveFileName(this, u"گزارش PDF"_s, u"cheques.pdf"_s,
                                                            u"PDF (*.pdf)"_s);
    if (path.isEmpty())
        return;
    const QStringList protect = protectedFiles();
    // The rows in the order the table shows them.
    QList<ChequeRecord> shown;
    shown.reserve(sorted_->rowCount());
    for (int row = 0; row < sorted_->rowCount(); ++row)
        shown.append(model_->records()[sorted_->mapToSource(sorted_->index(row, 0)).row()]);
    const QString error = WriteRegisterReport(shown, windowTitle(), path, protect);
    if (!error.isEmpty())
        throw AppError(error);
}

QString DueSoonText(const DueSoonSummary& s)
{
    if (s.count == 0)
        return {};
    QString text =
        u"%1 چك به مبلغ %2 ريال سررسيد نزديك دارد؛ نزديك‌ترين: %3"_s
            .arg(s.count)
            .arg(grouped(s.total))
            .arg(JalaliDayText(s.nearestDay));
    if (s.pastDue)
        text += u" (%1 چك از سررسيد گذشته)"_s.arg(s.pastDue);
    return text;
}

int DueSoonDaysSetting(const QString& folder)
{
    const QString text = ReadIniString(u"/NiloChequePrint.ini"_s, folder, u"Register"_s,
                                       u"DueSoonDays"_s, QString());
    bool ok = false;
    const int days = ToLatinDigits(text).trimmed().toInt(&ok);
    return ok && days >= 0 && days <= kMaxDueSoonDays ? days : kDefaultDueSoonDays;
}
