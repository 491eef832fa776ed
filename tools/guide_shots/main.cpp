// Photographs the windows the user guide shows, over a small database made on the spot, in the
// default theme, as small PNG files:
//   guide_shots <output folder>
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.
#include "core/storage/ChequeRegister.h"
#include "core/storage/Database.h"
#include "core/storage/DatabaseSchema.h"
#include "core/storage/LayoutStore.h"
#include "gui/common/DialogSeam.h"
#include "gui/common/NiloApplication.h"
#include "gui/common/PictureFileDialog.h"
#include "gui/common/QtTranslations.h"
#include "gui/common/Themes.h"
#include "gui/print/PrintWindow.h"
#include "gui/register/ChequeRegisterWindow.h"
#include "render/Fonts.h"

#include <QBuffer>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// A light scanned cheque, like the ones users load.
QImage chequeImage()
{
    QImage image(1300, 600, QImage::Format_RGB32);
    image.fill(QColor(232, 240, 236));
    QPainter p(&image);
    p.setPen(QPen(QColor(150, 175, 165), 2));
    for (int y = 40; y < 600; y += 24)
        p.drawLine(0, y, 1300, y + 8);
    p.setPen(QPen(QColor(70, 100, 90), 3));
    p.drawRect(20, 20, 1260, 560);
    return image;
}

QByteArray jpegOf(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 85);
    return bytes;
}

LayoutRows layoutRows()
{
    LayoutRows r;
    r[0] = {1, 650, 300, 10, 0, {}, {}, false, true};
    for (int id = 2; id <= 10; ++id)
        r[id - 1] = {id,  40 + (id % 3) * 190, 20 + (id - 2) * 30, 180,
                     10,  u"Tahoma"_s,         u"Bold"_s,          true,
                     true};
    return r;
}

void settle()
{
    for (int i = 0; i < 8; ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(25);
        QCoreApplication::processEvents();
    }
}

// Small files: at most maxWidth wide, in 256 colours.
bool save(const QImage& shot, const QDir& out, const QString& name, int maxWidth)
{
    QImage small =
        shot.width() > maxWidth ? shot.scaledToWidth(maxWidth, Qt::SmoothTransformation) : shot;
    small = small.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    const bool ok = small.save(out.filePath(name), "PNG", 0);
    std::printf("%s %dx%d %s\n", qPrintable(name), small.width(), small.height(),
                ok ? "written" : "NOT WRITTEN");
    return ok;
}

ChequeRecord record(int account, const QString& due, qint64 amount, const QString& payee,
                    const QString& sayad)
{
    ChequeRecord r;
    r.accountId = account;
    r.dueDay = ParseJalaliDay(due).value_or(0);
    r.amount = amount;
    r.payee = payee;
    r.sayadId = sayad;
    r.amountDigits = QLocale::c().toString(amount);
    r.dateDigits = due;
    r.printedAt = QDateTime::currentDateTime();
    r.printer = u"HP-LaserJet"_s;
    return r;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    NiloApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: guide_shots <output folder>\n");
        return 2;
    }
    RegisterProgramFonts();
    InstallQtPersianTranslations(app);
    DialogSeam::setMessageHook([](const ShownMessage&) { return true; });
    const QDir out(QString::fromLocal8Bit(argv[1]));

    QTemporaryDir dir;
    CreateDatabase(dir.filePath(QString::fromLatin1(kDatabaseFileName)));
    QDir::setCurrent(dir.path());
    Database dm(dir.path());
    programDatabase = &dm;
    SelectTheme(0);
    QSqlQuery insert(dm.connection());
    insert.exec(u"insert into tblAccountMst (Radif, BankName, BankBranchName, BankBranchCode, "
                "AccountName, AccountNo) values (1, 'ملت', 'مركزي تهران', '1024', "
                "'شركت بازرگاني نيلو پارس', '4455667788990011')"_s);
    SaveLayout(dm.connection(), 1, layoutRows(), jpegOf(chequeImage()));

    bool ok = true;
    {
        PrintWindow print;
        print.show();
        settle();
        print.LoadAccount(1);
        print.amountEdit()->setText(u"12500000"_s);
        print.payeeEdit()->setText(u"شركت نمونه"_s);
        print.sayadEdit()->setText(u"1234567890123456"_s);
        print.nationalIdEdit()->setText(u"14007650912"_s);
        settle();
        ok = save(print.grab().toImage(), out, u"print_window.png"_s, 720) && ok;
    }
    {
        QList<ChequeRecord> rows;
        const QStringList payees = {u"علي رضايي"_s, u"شركت نمونه"_s, u"كارگاه سپيد"_s};
        for (int i = 0; i < 6; ++i)
            rows << record(1, u"1403/0%1/1%2"_s.arg(1 + i / 2).arg(i % 2 * 5), 5000000 + i * 750000,
                           payees[i % 3], i == 1 ? u"1234567890123456"_s : QString());
        RecordCheques(dm.connection(), rows);
        VoidRecord(dm.connection(), rows[4].id, u"مخدوش شد"_s);
        ChequeRegisterWindow reg;
        reg.resize(980, 620);
        reg.show();
        settle();
        reg.reload();
        reg.selectRecord(rows[1].id);
        settle();
        ok = save(reg.grab().toImage(), out, u"register_window.png"_s, 720) && ok;
    }
    {
        QTemporaryDir pictures;
        chequeImage().save(pictures.filePath(u"cheque.jpg"_s), "JPG", 85);
        chequeImage().scaled(400, 300).save(pictures.filePath(u"background.jpg"_s), "JPG", 85);
        PictureFileDialog dialog(nullptr, u"JPEG Image File (*.jpg)"_s);
        dialog.setDirectory(pictures.path());
        dialog.resize(760, 420);
        dialog.show();
        settle();
        if (auto* list = dialog.findChild<QListView*>(u"listView"_s)) {
            for (int i = 0; i < 40 && list->model()->rowCount(list->rootIndex()) < 2; ++i)
                settle();
            const QModelIndex cheque = list->model()
                                           ->match(list->model()->index(0, 0, list->rootIndex()),
                                                   Qt::DisplayRole, u"cheque.jpg"_s)
                                           .value(0);
            list->setFocus();
            list->setCurrentIndex(cheque);
        }
        settle();
        ok = save(dialog.grab().toImage(), out, u"picture_dialog.png"_s, 720) && ok;
    }
    programDatabase = nullptr;
    return ok ? 0 : 1;
}
