// Designer timings on a 3000 x 1400 scanned cheque:
//   select   selecting an account reads its layout and shows it (picture decoded at the
//            size shown), from the grid's current-row change to the window repainted
//   save     a layout save, one fsync'd transaction: rows only, and with the picture packed
// Prints the median and the worst of RUNS runs (default 20).
//   bench_layout [RUNS]
#include "core/storage/Database.h"
#include "core/storage/DatabaseSchema.h"
#include "core/storage/LayoutStore.h"
#include "gui/designer/LayoutDesigner.h"
#include "render/Fonts.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

QByteArray scannedCheque(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    // Gradients and noise-like stripes keep the JPEG as heavy as a real scan.
    QLinearGradient g(0, 0, size.width(), size.height());
    g.setColorAt(0, QColor(220, 235, 245));
    g.setColorAt(1, QColor(245, 230, 210));
    p.fillRect(image.rect(), g);
    for (int i = 0; i < size.width(); i += 7)
        p.fillRect(i, 0, 2, size.height(), QColor(180 + i % 50, 200, 210 + i % 40, 60));
    p.setPen(QPen(Qt::darkBlue, 8));
    p.drawRect(image.rect().adjusted(20, 20, -20, -20));
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 90);
    return bytes;
}

struct Stats
{
    double median, worst;
};

Stats stats(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v.back()};
}

void report(const char* what, const std::vector<double>& ms)
{
    const Stats s = stats(ms);
    std::printf("%-40s median %7.2f ms   worst %7.2f ms   (%zu runs)\n", what, s.median, s.worst,
                ms.size());
    std::printf("RESULT\t%s\t%.2f\t%.2f\tms\t100 (save) / a few tens of ms (select)\n", what,
                s.median, s.worst);
}

LayoutRows startingRows()
{
    const LayoutFields f = StartingFields();
    std::array<int, kLayoutItemCount> lefts{};
    for (int id = kFirstLayoutItemId; id <= kLastLayoutItemId; ++id)
        lefts[id - 2] = BoxLeftFromFields(f, id);
    return RowsToSave(f, lefts);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    RegisterProgramFonts();
    const int runs = argc > 1 ? std::max(3, atoi(argv[1])) : 20;

    QTemporaryDir dir;
    CreateDatabase(dir.filePath(QString::fromLatin1(kDatabaseFileName)));
    Database dm(dir.path());
    QSqlDatabase db = dm.connection();
    QSqlQuery q(db);
    q.exec(u"insert into tblAccountMst (Radif, BankName) values (1, 'a')"_s);
    q.exec(u"insert into tblAccountMst (Radif, BankName) values (2, 'b')"_s);
    const QByteArray jpeg = scannedCheque({3000, 1400});
    std::printf("picture: 3000 x 1400 JPEG, %lld bytes\n", qlonglong(jpeg.size()));
    for (int id : {1, 2})
        SaveLayout(db, id, startingRows(), jpeg);

    {
        LayoutDesigner window;
        window.show();
        QApplication::processEvents();
        auto* grid = window.findChild<QTableView*>(u"accountGrid"_s);
        std::vector<double> select;
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer t;
            t.start();
            grid->setCurrentIndex(grid->model()->index((i + 1) % 2, 1));
            QApplication::processEvents(); // the repaint with the new picture
            select.push_back(t.nsecsElapsed() / 1e6);
        }
        if (!window.showsPicture())
            std::printf("warning: no picture shown\n");
        report("select an account (read + show)", select);
    }

    std::vector<double> rowsOnly, withPicture;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        if (!SaveLayout(db, 1, startingRows(), {}))
            std::printf("save failed\n");
        rowsOnly.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        SaveLayout(db, 1, startingRows(), jpeg);
        withPicture.push_back(t.nsecsElapsed() / 1e6);
    }
    report("save, ten rows (fsync)", rowsOnly);
    report("save, ten rows + picture packed (fsync)", withPicture);
    return 0;
}
