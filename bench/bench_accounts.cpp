// Opening the account list over a database of 10,000 accounts: from creating the window
// (which runs the query) to its grid's first paint. The grid fetches rows as it shows them;
// the second figure, fetching every row at once, is what that saves.
//   bench_accounts [RUNS]
#include "core/storage/Database.h"
#include "core/storage/DatabaseSchema.h"
#include "gui/accounts/AccountListData.h"
#include "gui/accounts/AccountPicker.h"
#include "render/Fonts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPaintEvent>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int kAccounts = 10000;

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

bool fillAccounts(QSqlDatabase db)
{
    QSqlQuery q(db);
    db.transaction();
    q.prepare(u"insert into tblAccountMst (Radif, BankName, BankBranchName, BankBranchCode,"
              " AccountName, AccountNo) values (?, ?, ?, ?, ?, ?)"_s);
    for (int i = 0; i < kAccounts; ++i) {
        q.addBindValue((i * 7919) % kAccounts); // display orders out of insertion order
        q.addBindValue(u"بانك ملت %1"_s.arg(i));
        q.addBindValue(u"شعبه مركزي تهران %1"_s.arg(i));
        q.addBindValue(QString::number(1000 + i));
        q.addBindValue(u"شركت نمونه %1"_s.arg(i));
        q.addBindValue(QString::number(1000000000LL + i));
        if (!q.exec())
            return false;
    }
    return db.commit();
}

// Milliseconds from creating the window to its grid's first paint; rows: rows fetched then.
double openOnce(bool fetchAll, int* rows)
{
    QElapsedTimer t;
    t.start();
    AccountPicker window;
    auto* grid = window.findChild<QTableView*>(u"DBGrid1"_s);
    if (fetchAll)
        while (grid->model()->canFetchMore({}))
            grid->model()->fetchMore({});
    PaintWatch watch;
    grid->viewport()->installEventFilter(&watch);
    window.show();
    while (!watch.painted)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    const double ms = t.nsecsElapsed() / 1e6;
    *rows = grid->model()->rowCount();
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
    if (!dm.isOpened() || !fillAccounts(dm.connection()))
        return 1;

    for (const bool fetchAll : {false, true}) {
        std::vector<double> times;
        int rows = 0;
        openOnce(fetchAll, &rows); // warm the file cache and the fonts
        for (int i = 0; i < runs; ++i)
            times.push_back(openOnce(fetchAll, &rows));
        std::sort(times.begin(), times.end());
        std::printf("%-28s accounts %d  rows fetched %5d  median %7.2f ms  worst %7.2f ms\n",
                    fetchAll ? "list, every row fetched" : "list, rows fetched as shown", kAccounts,
                    rows, times[times.size() / 2], times.back());
        std::printf("RESULT\t%s, %d accounts\t%.2f\t%.2f\tms\t%s\n",
                    fetchAll ? "account list, every row fetched" : "account list, rows as shown",
                    kAccounts, times[times.size() / 2], times.back(),
                    fetchAll ? "reference" : "100");
    }
    return 0;
}
