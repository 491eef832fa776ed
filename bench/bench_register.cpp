// Opening the register of issued cheques over 1,000 records: from creating the window (which
// reads every record, fills the table, the totals and the month's bold days) to the table's
// first paint.
//   bench_register [RUNS]
#include "core/storage/ChequeRegister.h"
#include "core/storage/Database.h"
#include "core/storage/DatabaseSchema.h"
#include "gui/register/ChequeRegisterWindow.h"
#include "render/Fonts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int kRecords = 1000;

class PaintWatch final : public QObject
{
public:
    bool painted = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

double openOnce(int* rows)
{
    QElapsedTimer t;
    t.start();
    ChequeRegisterWindow window;
    PaintWatch watch;
    window.table()->viewport()->installEventFilter(&watch);
    window.show();
    while (!watch.painted)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    const double ms = t.nsecsElapsed() / 1e6;
    *rows = window.model()->rowCount();
    window.close();
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    RegisterProgramFonts();
    const int runs = argc >= 2 ? std::max(3, atoi(argv[1])) : 15;
    QTemporaryDir dir;
    if (!CreateDatabase(dir.filePath(QString::fromLatin1(kDatabaseFileName))).isEmpty())
        return 1;
    Database dm(dir.path());
    if (!dm.isOpened())
        return 1;
    QSqlQuery q(dm.connection());
    q.exec(u"insert into tblAccountMst (BankName, AccountName) values ('ملت', 'جاري')"_s);
    const qint64 first = *ParseJalaliDay(u"1403/01/01"_s);
    QList<ChequeRecord> records;
    for (int i = 0; i < kRecords; ++i) {
        ChequeRecord r;
        r.accountId = 1;
        r.dueDay = first + (i * 37) % 730;
        r.amount = 1000000 + i * 12345;
        r.payee = u"شركت نمونه %1"_s.arg(i);
        r.sayadId = u"%1"_s.arg(1234567890000000LL + i);
        r.nationalId = u"0084575948"_s;
        r.description = u"قسط %1"_s.arg(i);
        r.printer = u"office"_s;
        records << r;
    }
    RecordCheques(dm.connection(), records);

    std::vector<double> times;
    int rows = 0;
    openOnce(&rows); // warm the file cache and the fonts
    for (int i = 0; i < runs; ++i)
        times.push_back(openOnce(&rows));
    std::sort(times.begin(), times.end());
    std::printf("register window, %d records  rows %d  median %7.2f ms  worst %7.2f ms\n", kRecords,
                rows, times[times.size() / 2], times.back());
    std::printf("RESULT\tregister window, %d records\t%.2f\t%.2f\tms\t50\n", kRecords,
                times[times.size() / 2], times.back());
    return 0;
}
