// Issued cheques end to end: what the print window and the tool record, Sayad refusals and
// reprints, series and batch runs, and the register window.
#include "core/calendar/Today.h"
#include "core/storage/ChequeRegister.h"
#include "core/storage/Database.h"
#include "core/storage/DatabaseSchema.h"
#include "core/storage/IniFile.h"
#include "core/storage/LayoutStore.h"
#include "gui/common/DialogSeam.h"
#include "gui/common/Guard.h"
#include "gui/common/NiloApplication.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/print/PrintWindow.h"
#include "gui/register/ChequeRegisterWindow.h"
#include "render/Fonts.h"
#include "widgets/JalaliDateEdit.h"
#include "widgets/JalaliMonthView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

LayoutRows sampleRows()
{
    LayoutRows rows;
    rows[0] = {1, 650, 320, 10, 0, {}, {}, false, true};
    for (int id = 2; id <= 10; ++id)
        rows[id - 1] = {id,          40 + id * 30, 20 + id * 25, 120,  11,
                        u"Tahoma"_s, u"Regular"_s, id == 3,      false};
    return rows;
}

} // namespace

class RegisterWindow : public QObject
{
    Q_OBJECT
    QTemporaryDir dir_;
    std::unique_ptr<Database> dm_;
    QList<ShownMessage> shown_;
    bool answer_ = true;
    int accountId_ = 0;

    QSqlDatabase db() const { return dm_->connection(); }
    QString dbPath() const { return dir_.filePath(u"NiloChequePrint.mdb"_s); }

    int run(const QStringList& args, QByteArray* output = nullptr, QByteArray* errors = nullptr)
    {
        QProcess p;
        p.start(qEnvironmentVariable("NILOCHEQUE"), args + QStringList{u"--database"_s, dbPath()});
        p.waitForFinished(60000);
        if (output)
            *output = p.readAllStandardOutput();
        if (errors)
            *errors = p.readAllStandardError();
        return p.exitCode();
    }
    int records() { return int(QueryRegister(db()).size()); }

private slots:
    void initTestCase()
    {
        QVERIFY(CreateDatabase(dbPath()).isEmpty());
        dm_ = std::make_unique<Database>(dir_.path());
        QSqlQuery q(db());
        QVERIFY(q.exec(u"insert into tblAccountMst (Radif, BankName, AccountName) values (1,"
                       u" 'ملت', 'جاري')"_s));
        accountId_ = q.lastInsertId().toInt();
        QString error;
        QVERIFY2(SaveLayout(db(), accountId_, sampleRows(), {}, {}, &error), qPrintable(error));
        DialogSeam::setMessageHook([this](const ShownMessage& m) {
            return shown_ << m, m.kind != MessageKind::Confirmation || answer_;
        });
        SetNowForTests([] { return EncodeJalaliDate(1403, 1, 15); });
    }
    void init()
    {
        shown_.clear();
        answer_ = true;
        QSqlQuery q(db());
        q.exec(u"delete from tblChequeRegister"_s);
    }

    // Accepted jobs are recorded with their texts; failed ones are not; a Sayad ID in the
    // register is refused unless the user chooses to reprint.
    void printWindowRecords()
    {
        QString jobError;
        PrintWindow::setPrintJob([&](const ChequePage&, const QString&) { return jobError; });
        PrintWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.LoadAccount(accountId_);
        w.amountEdit()->setText(u"1250000"_s);
        w.payeeEdit()->setText(u"شركت نمونه"_s);
        w.printerChoice()->setEditText(u"office"_s);

        w.sayadEdit()->setText(u"12345"_s);
        w.printCheque();
        QVERIFY(shown_.last().text.contains(u"۱۶ رقم"_s));
        w.sayadEdit()->setText(u"۱۲۳۴۵۶۷۸۹۰۱۲۳۴۵۶"_s);
        w.nationalIdEdit()->setText(u"0084575947"_s);
        w.printCheque();
        QVERIFY(shown_.last().text.contains(u"كد ملي"_s));
        QCOMPARE(records(), 0);

        jobError = u"چاپگر كار را نپذيرفت"_s;
        w.nationalIdEdit()->setText(u"0084575948"_s);
        w.printCheque();
        QCOMPARE(records(), 0); // nothing for a failed job
        jobError.clear();
        w.printCheque();
        QCOMPARE(records(), 1);
        const ChequeRecord r = QueryRegister(db()).first();
        QCOMPARE(r.sayadId, u"1234567890123456"_s);
        QCOMPARE(r.nationalId, u"0084575948"_s);
        QCOMPARE(r.amount, 1250000);
        QCOMPARE(r.payee, u"شركت نمونه"_s);
        QCOMPARE(r.printer, u"office"_s);
        QCOMPARE(r.amountDigits, u"//1.250.000"_s);
        QCOMPARE(JalaliDayText(r.dueDay), u"1403/01/15"_s);
        QVERIFY(r.amountWords.contains(u"ريال"_s));
        // The data for the Sayad system, in one block.
        QCOMPARE(shown_.last().kind, MessageKind::Information);
        QVERIFY(shown_.last().text.contains(u"شناسه صياد: 1234567890123456\nتاريخ سررسيد:"
                                            u" 1403/01/15\nمبلغ (ريال): 1250000"_s));

        answer_ = false; // the same Sayad ID again: refused unless reprinting
        w.printCheque();
        QCOMPARE(shown_.last().kind, MessageKind::Confirmation);
        QCOMPARE(records(), 1);
        answer_ = true;
        w.printCheque();
        QCOMPARE(records(), 2);
        QCOMPARE(QueryRegister(db()).last().reprintOf, r.id);
        w.amountEdit()->setText(u"99"_s); // another cheque with that ID: refused outright
        w.printCheque();
        QCOMPARE(shown_.last().kind, MessageKind::Warning);
        QCOMPARE(records(), 2);

        // A record that cannot be written is told; the cheque is out.
        VoidRecord(db(), r.id, u"x"_s);
        QSqlQuery q(db());
        QVERIFY(q.exec(u"create trigger noInsert before insert on tblChequeRegister begin"
                       u" select raise(abort, 'disk full'); end"_s));
        w.sayadEdit()->clear();
        w.printCheque();
        QVERIFY(shown_.last().text.contains(u"ثبت نشد"_s));
        QVERIFY(q.exec(u"drop trigger noInsert"_s));
        PrintWindow::setPrintJob({});
    }

    void toolSeriesVoidAndCsv()
    {
        if (qEnvironmentVariableIsEmpty("NILOCHEQUE"))
            QSKIP("run under ctest");
        const QString folder = dir_.filePath(u"series"_s);
        const QString account = QString::number(accountId_);
        QByteArray output, errors;
        QCOMPARE(run({u"series"_s, u"--account"_s, account, u"--payee"_s, u"علي"_s, u"--amount"_s,
                      u"10,000,000"_s, u"--count"_s, u"12"_s, u"--first"_s, u"1403/06/31"_s,
                      u"--pdf"_s, folder},
                     &output, &errors),
                 0);
        QCOMPARE(QDir(folder).entryList({u"*.pdf"_s}).size(), 12);
        QCOMPARE(run({u"register"_s}, &output), 0);
        const QStringList lines = QString::fromUtf8(output).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 12);
        QStringList due;
        for (const QString& line : lines)
            due << line.split(u'\t')[1];
        QCOMPARE(due,
                 (QStringList{u"1403/06/31"_s, u"1403/07/30"_s, u"1403/08/30"_s, u"1403/09/30"_s,
                              u"1403/10/30"_s, u"1403/11/30"_s, u"1403/12/30"_s, u"1404/01/31"_s,
                              u"1404/02/31"_s, u"1404/03/31"_s, u"1404/04/31"_s, u"1404/05/31"_s}));
        const QString third = lines[2].split(u'\t')[0];
        QVERIFY(lines[2].endsWith(u"/3"_s)); // the third leaf of its series

        QCOMPARE(run({u"register"_s, u"void"_s, third}, nullptr, &errors), 1); // no reason
        QVERIFY(errors.contains("--reason"));
        QCOMPARE(run({u"register"_s, u"void"_s, third, u"--reason"_s, u"گم شد"_s}), 0);
        QCOMPARE(run({u"register"_s, u"--status"_s, u"voided"_s}, &output), 0);
        QVERIFY(QString::fromUtf8(output).startsWith(third + u"\t1403/08/30\t"_s));
        QVERIFY(QString::fromUtf8(output).contains(u"\tvoided\tگم شد\t"_s));
        QCOMPARE(run({u"register"_s, u"--csv"_s, u"--from"_s, u"1403/08/01"_s, u"--to"_s,
                      u"1403/08/30"_s},
                     &output),
                 0);
        QVERIFY(output.startsWith("\xEF\xBB\xBFid,"));
        QVERIFY(QString::fromUtf8(output).contains(u",voided,گم شد,"_s));
        QCOMPARE(output.count("\r\n"), 2);

        // The same folder again: every file exists, nothing is written or recorded.
        QCOMPARE(run({u"series"_s, u"--account"_s, account, u"--payee"_s, u"علي"_s, u"--amount"_s,
                      u"1000"_s, u"--count"_s, u"2"_s, u"--first"_s, u"1403/06/31"_s, u"--pdf"_s,
                      folder},
                     nullptr, &errors),
                 1);
        QCOMPARE(records(), 12);
        QCOMPARE(run({u"series"_s, u"--account"_s, account, u"--payee"_s, u"a"_s, u"--amount"_s,
                      u"1000"_s, u"--count"_s, u"0"_s, u"--first"_s, u"1403/06/31"_s, u"--pdf"_s,
                      folder},
                     nullptr, &errors),
                 1);
        QVERIFY(errors.contains("--count"));
        QCOMPARE(run({u"series"_s, u"--account"_s, u"77"_s, u"--payee"_s, u"a"_s, u"--total"_s,
                      u"1000"_s, u"--count"_s, u"3"_s, u"--first"_s, u"1403/06/31"_s, u"--pdf"_s,
                      dir_.filePath(u"s2"_s)},
                     nullptr, &errors),
                 1);
        QVERIFY(errors.contains("--account: no account with Id 77"));
    }

    void toolBatchAndSayad()
    {
        if (qEnvironmentVariableIsEmpty("NILOCHEQUE"))
            QSKIP("run under ctest");
        const QString account = QString::number(accountId_);
        const QString bad = dir_.filePath(u"bad.csv"_s);
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(u"account,due_date,amount,payee,national_id,sayad_id\n"
                u"%1,1403/01/10,1000,a,0084575947,\n"
                u"%1,1403/01/10,1000,b,,123456789012345\n"
                u"99,1403/01/10,1000,c,,\n"
                u"%1,1403/01/10,12a00,d,,\n"
                u"%1,1403/01/10,1000,e,14007650912,\n"_s.arg(account)
                    .toUtf8());
        f.close();
        QByteArray errors, output;
        const QString out = dir_.filePath(u"batch"_s);
        QCOMPARE(run({u"batch"_s, bad, u"--pdf"_s, out}, nullptr, &errors), 1);
        for (const char* line :
             {"line 2: national ID", "line 3: Sayad ID", "line 4: no account", "line 5: amount"})
            QVERIFY2(errors.contains(line), line);
        QVERIFY(!errors.contains("line 6"));
        QVERIFY(!QDir(out).exists());
        QCOMPARE(records(), 0);

        const QString good = dir_.filePath(u"good.csv"_s);
        QFile g(good);
        QVERIFY(g.open(QIODevice::WriteOnly));
        g.write(u"\uFEFFگيرنده,مبلغ,حساب,تاريخ سررسيد,شناسه صياد\n\"علي, رضايي\",2000,%1,"
                u"1403/02/01,1111222233334444\n"_s.arg(account)
                    .toUtf8());
        g.close();
        QCOMPARE(run({u"batch"_s, good, u"--pdf"_s, out}, &output, &errors), 0);
        QVERIFY(QFileInfo::exists(out + u"/cheque-01.pdf"_s));
        QCOMPARE(records(), 1);
        QCOMPARE(QueryRegister(db()).first().payee, u"علي, رضايي"_s);

        // The same Sayad ID from print: refused; --reprint records a reprint.
        const QStringList again = {u"print"_s,
                                   u"--account"_s,
                                   account,
                                   u"--amount"_s,
                                   u"2000"_s,
                                   u"--date"_s,
                                   u"1403/02/01"_s,
                                   u"--sayad"_s,
                                   u"1111222233334444"_s,
                                   u"--pdf"_s,
                                   dir_.filePath(u"again.pdf"_s),
                                   u"--record"_s};
        QCOMPARE(run(again, nullptr, &errors), 1);
        QVERIFY(errors.contains("in the register already"));
        QVERIFY(!QFileInfo::exists(dir_.filePath(u"again.pdf"_s)));
        QCOMPARE(run(again + QStringList{u"--reprint"_s}, &output, &errors), 0);
        QCOMPARE(records(), 2);
        QVERIFY(QueryRegister(db()).last().reprintOf != 0);
        // A PDF without --record is not recorded; --record alone is refused.
        QCOMPARE(run({u"print"_s, u"--account"_s, account, u"--amount"_s, u"5"_s, u"--pdf"_s,
                      dir_.filePath(u"plain.pdf"_s)}),
                 0);
        QCOMPARE(records(), 2);
        QCOMPARE(run({u"print"_s, u"--account"_s, account, u"--amount"_s, u"5"_s, u"--record"_s},
                     nullptr, &errors),
                 1);
        QCOMPARE(run({u"print"_s, u"--account"_s, account, u"--amount"_s, u"5"_s,
                      u"--national-id"_s, u"123"_s, u"--pdf"_s, dir_.filePath(u"x.pdf"_s)},
                     nullptr, &errors),
                 1);
        QVERIFY(errors.contains("--national-id"));
    }

    // The PDF report: the shown rows in the table's order on A4 landscape pages, Jalali
    // dates, the totals line at the end; from the window and from the tool.
    void pdfReportHoldsTheShownRowsAndTheirTotals()
    {
        if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty() ||
            QStandardPaths::findExecutable(u"pdfinfo"_s).isEmpty())
            QSKIP("needs poppler-utils");
        QList<ChequeRecord> list;
        for (int k = 0; k < 40; ++k) { // more than one page holds
            ChequeRecord r;
            r.accountId = accountId_;
            r.dueDay = *ParseJalaliDay(u"1403/%1/05"_s.arg(1 + k % 12));
            r.amount = 1000000;
            r.payee = k < 35 ? u"علي رضايي"_s : u"شركت نمونه"_s;
            r.sayadId = u"99345678901234%1"_s.arg(k, 2, 10, QLatin1Char('0'));
            r.printer = u"office"_s;
            list << r;
        }
        RecordCheques(db(), list);
        VoidRecord(db(), list[0].id, u"مخدوش"_s);
        auto text = [](const QString& pdf, const QString& tool, const QStringList& args = {}) {
            QProcess p;
            p.start(tool, args + QStringList{pdf} +
                              (tool == u"pdftotext"_s ? QStringList{u"-"_s} : QStringList{}));
            p.waitForFinished(20000);
            return QString::fromUtf8(p.readAllStandardOutput());
        };

        ChequeRegisterWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QString all = dir_.filePath(u"all.pdf"_s);
        ChequeRegisterWindow::setSavePath([&] { return all; });
        w.exportPdf();
        if (!qEnvironmentVariableIsEmpty("NILO_SHOTS"))
            QFile::copy(all, qEnvironmentVariable("NILO_SHOTS") + u"/register_report.pdf"_s);
        const QString info = text(all, u"pdfinfo"_s);
        QVERIFY2(info.contains(QRegularExpression(u"Pages:\\s+2\\b"_s)), qPrintable(info));
        QVERIFY2(info.contains(u"842 x 595 pts"_s),
                 qPrintable(info.mid(info.indexOf(u"Page size"_s), 60))); // A4, landscape
        const QString words = text(all, u"pdftotext"_s, {u"-layout"_s});
        QVERIFY(words.contains(u"1403/12/05"_s));
        QVERIFY(words.contains(u"99345678901234"_s));
        // 40 rows, 39 valid: the same totals line as the window's.
        QVERIFY(w.totalsLabel()->text().contains(u"39,000,000"_s));
        QVERIFY2(words.contains(u"39,000,000"_s), qPrintable(words.right(400)));

        // Only the shown rows: five for the second payee, on one page.
        w.textEdit()->setText(u"نمونه"_s);
        const QString some = dir_.filePath(u"some.pdf"_s);
        ChequeRegisterWindow::setSavePath([&] { return some; });
        w.exportPdf();
        QVERIFY(text(some, u"pdfinfo"_s).contains(QRegularExpression(u"Pages:\\s+1\\b"_s)));
        const QString fewer = text(some, u"pdftotext"_s);
        QVERIFY(fewer.contains(u"5,000,000"_s));
        QVERIFY(!fewer.contains(u"9934567890123400"_s));
        // A refused path (the open database) leaves it as it was and tells why.
        ChequeRegisterWindow::setSavePath([&] { return dbPath(); });
        const qint64 before = QFileInfo(dbPath()).size();
        RunGuarded([&] { w.exportPdf(); });
        QVERIFY(!shown_.isEmpty());
        QCOMPARE(QFileInfo(dbPath()).size(), before);
        shown_.clear();
        RunGuarded([&] { w.exportCsv(); }); // the CSV export is held to the same rule
        QVERIFY(!shown_.isEmpty());
        QCOMPARE(QFileInfo(dbPath()).size(), before);
        shown_.clear();
        ChequeRegisterWindow::setSavePath({});

        // The tool: the listed rows; a folder is no file to write.
        const QString cli = dir_.filePath(u"cli.pdf"_s);
        QByteArray errors;
        QCOMPARE(run({u"register"_s, u"--from"_s, u"1403/12/01"_s, u"--pdf"_s, cli}), 0);
        const QString listed = text(cli, u"pdftotext"_s);
        QVERIFY(listed.contains(u"1403/12/05"_s) && !listed.contains(u"1403/11/05"_s));
        QCOMPARE(run({u"register"_s, u"--pdf"_s, dir_.path()}, nullptr, &errors), 1);
        QCOMPARE(run({u"register"_s, u"--pdf"_s, cli, u"--csv"_s}, nullptr, &errors), 1);
        QVERIFY(errors.contains("--csv"));
    }

    // The register window: filters, totals, bold due days, void, reprint, CSV and the notice.
    void registerWindow()
    {
        QList<ChequeRecord> list;
        for (int k = 0; k < 12; ++k) {
            ChequeRecord r;
            r.accountId = accountId_;
            r.dueDay = *ParseJalaliDay(u"1403/01/%1"_s.arg(10 + k % 6));
            r.amount = 1000000 * (k + 1);
            r.payee = k % 2 ? u"شركت نمونه"_s : u"علي رضايي"_s;
            r.sayadId = u"12345678901234%1"_s.arg(k, 2, 10, QLatin1Char('0'));
            r.nationalId = u"0084575948"_s;
            r.printer = u"office"_s;
            list << r;
        }
        RecordCheques(db(), list);
        ChequeRegisterWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.model()->rowCount(), 12);
        QVERIFY(w.totalsLabel()->text().contains(u"78,000,000"_s));
        w.calendar()->setDate(*ParseJalaliDay(u"1403/01/10"_s));
        // Days 10..15 of Farvardin are due.
        QCOMPARE(w.calendar()->MonthBoldDays(), quint32(0x3F) << 9);
        QVERIFY(w.dayLabel()->text().contains(u"2 چك"_s));
        QVERIFY(w.dayLabel()->text().contains(u"8,000,000"_s));
        w.textEdit()->setText(u"نمونه"_s);
        QCOMPARE(w.model()->rowCount(), 6);
        w.textEdit()->clear();

        ChequeRegisterWindow::setAskReason([] { return u"مخدوش شد"_s; });
        w.selectRecord(list[0].id);
        w.voidSelected();
        QVERIFY2(shown_.isEmpty(), qPrintable(shown_.isEmpty() ? QString() : shown_.last().text));
        QCOMPARE(ReadRecord(db(), list[0].id)->status, RecordStatus::Voided);
        QVERIFY(w.model()
                    ->data(w.model()->index(0, ChequeRegisterModel::Status), Qt::DisplayRole)
                    .toString()
                    .contains(u"باطل"_s));
        QVERIFY(w.totalsLabel()->text().contains(u"77,000,000"_s));

        int jobs = 0;
        ChequeRegisterWindow::setPrintJob([&](const ChequePage&, const QString&) {
            ++jobs;
            return QString();
        });
        w.selectRecord(list[1].id);
        w.reprintSelected();
        QCOMPARE(jobs, 1);
        QCOMPARE(w.model()->rowCount(), 13);
        QSqlQuery last(db());
        QVERIFY(last.exec(u"select max(Id) from tblChequeRegister"_s) && last.next());
        const ChequeRecord again = *ReadRecord(db(), last.value(0).toLongLong());
        QCOMPARE(again.reprintOf, list[1].id);
        QCOMPARE(again.amountDigits, u"//2.000.000"_s);
        QVERIFY(w.totalsLabel()->text().contains(u"77,000,000"_s)); // a reprint adds nothing

        const QString csv = dir_.filePath(u"shown.csv"_s);
        ChequeRegisterWindow::setSavePath([&] { return csv; });
        w.exportCsv();
        QFile f(csv);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBFid,"));
        QVERIFY(QString::fromUtf8(bytes).contains(u",voided,مخدوش شد,"_s));
        if (!qEnvironmentVariableIsEmpty("NILO_SHOTS")) {
            w.selectRecord(list[3].id);
            w.grab().save(qEnvironmentVariable("NILO_SHOTS") + u"/register_window.png"_s);
        }
        ChequeRegisterWindow::setPrintJob({});
        ChequeRegisterWindow::setSavePath({});
        ChequeRegisterWindow::setAskReason({});

        // At start-up the main window tells what falls due (today is 1403/01/15 here).
        MainWindow main;
        main.resize(1000, 700);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        auto* due = main.findChild<QLabel*>(u"lblDueSoon"_s);
        QVERIFY(due && due->isVisible());
        QVERIFY2(due->text().contains(u"11 چك"_s), qPrintable(due->text()));
        QVERIFY(due->text().contains(u"1403/01/10"_s));
        if (!qEnvironmentVariableIsEmpty("NILO_SHOTS"))
            main.grab().save(qEnvironmentVariable("NILO_SHOTS") + u"/due_soon.png"_s);
    }

    // "Open in the print window": a record's account, date, amount, payee, description and
    // IDs fill the print window; an open one in the same work area is reused.
    void recordFillsThePrintWindow()
    {
        ChequeRecord r;
        r.accountId = accountId_;
        r.dueDay = *ParseJalaliDay(u"1403/06/31"_s);
        r.amount = 2500000;
        r.payee = u"شركت نمونه"_s;
        r.description = u"قسط دوم"_s;
        r.sayadId = u"1234567890123456"_s;
        r.nationalId = u"1234567891"_s;
        r.printer = u"office"_s;
        RecordCheque(db(), r);

        QMdiArea area;
        area.resize(1200, 900);
        area.show();
        auto* reg = new ChequeRegisterWindow;
        area.addSubWindow(reg)->show();
        QTest::qWait(0);
        QVERIFY(!reg->openInPrintWindow()); // nothing selected: told, nothing opened
        QCOMPARE(shown_.size(), 1);
        reg->selectRecord(r.id);
        PrintWindow* w = reg->openInPrintWindow();
        QVERIFY(w);
        QCOMPARE(w->loadedAccountId(), accountId_);
        QCOMPARE(DayNumberOf(w->datePicker()->Date()), r.dueDay);
        QCOMPARE(w->amountEdit()->text(), u"2500000"_s);
        QCOMPARE(w->payeeEdit()->text(), r.payee);
        QVERIFY(w->switchBox(ChequeSwitch::Description)->isChecked());
        QCOMPARE(w->descriptionEdit()->text(), r.description);
        QCOMPARE(w->sayadEdit()->text(), r.sayadId);
        QCOMPARE(w->nationalIdEdit()->text(), r.nationalId);
        const QStringList printed = [&] {
            QStringList t;
            for (const TextElement& e : w->composePage().elements)
                t << e.text;
            return t;
        }();
        QVERIFY(printed.contains(u"1403/06/31"_s));
        QVERIFY(printed.contains(u"شركت نمونه"_s));
        QVERIFY(printed.contains(u"قسط دوم"_s));
        QCOMPARE(area.subWindowList().size(), 2);

        // A second time the same window takes the values again.
        w->amountEdit()->setText(u"1"_s);
        QCOMPARE(reg->openInPrintWindow(), w);
        QCOMPARE(area.subWindowList().size(), 2);
        QCOMPARE(w->amountEdit()->text(), u"2500000"_s);
    }

    // The due-soon span N comes from [Register] DueSoonDays in the settings file of the
    // folder the program starts in; a missing or unusable value is the default 3.
    void dueSoonSpanIsTheStoredSetting()
    {
        QTemporaryDir folder;
        const QString ini = folder.filePath(u"NiloChequePrint.ini"_s);
        QCOMPARE(DueSoonDaysSetting(folder.path()), kDefaultDueSoonDays); // no file
        const QList<std::pair<QString, int>> cases = {
            {u"7"_s, 7},  {u" ۱۰ "_s, 10}, {u"0"_s, 0}, {u"365"_s, 365}, {u"366"_s, 3},
            {u"-1"_s, 3}, {u"سه"_s, 3},    {u""_s, 3},  {u"2.5"_s, 3},   {u"99999999999"_s, 3}};
        for (const auto& [text, days] : cases) {
            WriteIniString(u"/NiloChequePrint.ini"_s, folder.path(), u"Register"_s,
                           u"DueSoonDays"_s, text);
            QVERIFY2(DueSoonDaysSetting(folder.path()) == days, qPrintable(text));
        }

        // Today is 1403/01/15: a cheque due in five days is soon with N = 7, not with N = 3.
        ChequeRecord r;
        r.accountId = accountId_;
        r.dueDay = *ParseJalaliDay(u"1403/01/20"_s);
        r.amount = 5000000;
        r.printer = u"office"_s;
        RecordCheque(db(), r);
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder.path()));
        auto notice = [] {
            MainWindow main;
            main.show();
            auto* due = main.findChild<QLabel*>(u"lblDueSoon"_s);
            return due && due->isVisibleTo(&main) ? due->text() : QString();
        };
        WriteIniString(u"/NiloChequePrint.ini"_s, folder.path(), u"Register"_s, u"DueSoonDays"_s,
                       u"7"_s);
        const QString seven = notice();
        WriteIniString(u"/NiloChequePrint.ini"_s, folder.path(), u"Register"_s, u"DueSoonDays"_s,
                       u"3"_s);
        const QString three = notice();
        QVERIFY(QDir::setCurrent(before));
        QVERIFY2(seven.contains(u"1403/01/20"_s), qPrintable(seven));
        QVERIFY2(three.isEmpty(), qPrintable(three));
        QVERIFY(QFileInfo::exists(ini));
    }

    void printWindowShot()
    {
        PrintWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.LoadAccount(accountId_);
        w.amountEdit()->setText(u"1250000"_s);
        w.payeeEdit()->setText(u"شركت نمونه"_s);
        w.sayadEdit()->setText(u"1234567890123456"_s);
        w.nationalIdEdit()->setText(u"14007650912"_s);
        if (!qEnvironmentVariableIsEmpty("NILO_SHOTS"))
            w.grab().save(qEnvironmentVariable("NILO_SHOTS") + u"/print_window_sayad.png"_s);
    }
};

int main(int argc, char** argv)
{
    NiloApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"چاپ چك نيلو"_s);
    RegisterProgramFonts();
    RegisterWindow test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_register_window.moc"
