// Photographs every window of the program in each of the ten themes, over a small database made
// on the spot, and writes one contact sheet per window (the ten themes side by side) plus the
// full-size pictures:
//   window_shots <output folder> [<NiloChequePrint.chm>]
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.
#include "core/storage/Database.h"
#include "core/storage/DatabaseSchema.h"
#include "core/storage/LayoutStore.h"
#include "gui/accounts/AccountEditor.h"
#include "gui/accounts/AccountPicker.h"
#include "gui/common/DialogSeam.h"
#include "gui/common/MessageBox.h"
#include "gui/common/NiloApplication.h"
#include "gui/common/Themes.h"
#include "gui/credits/CreditsDialog.h"
#include "gui/designer/LayoutDesigner.h"
#include "gui/help/HelpWindow.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/print/PrintWindow.h"
#include "render/Fonts.h"
#include "widgets/JalaliDateEdit.h"

#include <QBuffer>
#include <QDir>
#include <QMap>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QThread>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// A light scanned cheque, like the ones users load.
QByteArray chequePicture()
{
    QImage image(1300, 640, QImage::Format_RGB32);
    image.fill(QColor(232, 240, 236));
    QPainter p(&image);
    p.setPen(QPen(QColor(150, 175, 165), 2));
    for (int y = 40; y < 640; y += 24)
        p.drawLine(0, y, 1300, y + 8);
    p.setPen(QPen(QColor(70, 100, 90), 3));
    p.drawRect(20, 20, 1260, 600);
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 90);
    return bytes;
}

LayoutRows layoutRows()
{
    LayoutRows r;
    r[0] = {1, 650, 320, 10, 0, {}, {}, false, true};
    for (int id = 2; id <= 10; ++id)
        r[id - 1] = {id,  40 + (id % 3) * 190, 20 + (id - 2) * 32, 180,
                     10,  u"Tahoma"_s,         u"Bold"_s,          true,
                     true};
    return r;
}

void settle()
{
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(20);
        QCoreApplication::processEvents();
    }
}

QImage shoot(QWidget& w)
{
    w.show();
    settle();
    return w.grab().toImage();
}

// The ten pictures of a window in two columns, each under its theme's name.
QImage contactSheet(const QList<QImage>& shots)
{
    constexpr int kColumns = 2, kThumbWidth = 620, kLabel = 22, kPad = 8;
    int cellHeight = 0;
    QList<QImage> thumbs;
    for (const QImage& shot : shots) {
        const QImage t = shot.width() > kThumbWidth
                             ? shot.scaledToWidth(kThumbWidth, Qt::SmoothTransformation)
                             : shot;
        cellHeight = std::max(cellHeight, t.height());
        thumbs << t;
    }
    const int rows = int((thumbs.size() + kColumns - 1) / kColumns);
    QImage sheet(kColumns * (kThumbWidth + kPad) + kPad, rows * (cellHeight + kLabel + kPad) + kPad,
                 QImage::Format_RGB32);
    sheet.fill(QColor(0x80, 0x80, 0x80));
    QPainter p(&sheet);
    p.setFont(QFont(u"DejaVu Sans"_s, 10, QFont::Bold));
    for (int i = 0; i < thumbs.size(); ++i) {
        const int x = kPad + (i % kColumns) * (kThumbWidth + kPad);
        const int y = kPad + (i / kColumns) * (cellHeight + kLabel + kPad);
        p.setPen(Qt::black);
        p.drawText(QRect(x, y, kThumbWidth, kLabel), Qt::AlignLeft | Qt::AlignVCenter,
                   u"%1  %2"_s.arg(i).arg(QString::fromLatin1(ThemeColorsOf(i).name)));
        p.drawImage(x, y + kLabel, thumbs[i]);
    }
    return sheet;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    NiloApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_shots <output folder> [<NiloChequePrint.chm>]\n");
        return 2;
    }
    RegisterProgramFonts();
    DialogSeam::setMessageHook([](const ShownMessage&) { return true; });
    const QDir out(QString::fromLocal8Bit(argv[1]));
    out.mkpath(u"full"_s);
    const QString chm =
        argc > 2 ? QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath() : QString();

    QTemporaryDir dir;
    CreateDatabase(dir.filePath(QString::fromLatin1(kDatabaseFileName)));
    if (!chm.isEmpty())
        QFile::copy(chm, dir.filePath(u"NiloChequePrint.chm"_s));
    QDir::setCurrent(dir.path());
    Database dm(dir.path());
    QSqlQuery insert(dm.connection());
    for (const QString& row :
         {u"(1, 'ملت', 'مركزي تهران', '1024', 'شركت بازرگاني نيلو پارس', '4455667788990011')"_s,
          u"(2, 'صادرات', 'ونك', '377', 'علي رضايي', '0211234567')"_s,
          u"(3, 'ملي', 'بازار', '58', 'كارگاه توليدي سپيد', '9988776655')"_s})
        insert.exec(u"insert into tblAccountMst (Radif, BankName, BankBranchName, BankBranchCode, "
                    "AccountName, AccountNo) values "_s +
                    row);
    SaveLayout(dm.connection(), 1, layoutRows(), chequePicture());

    QMap<QString, QList<QImage>> shots;
    for (int n = 0; n < kThemeCount; ++n) {
        // The main window takes its theme from the database when it is shown.
        dm.writeThemeId(n);
        SelectTheme(n);
        {
            MainWindow main;
            main.resize(1180, 780);
            shots[u"main"_s] << shoot(main);
            if (auto* item = main.findChild<QPushButton*>(u"itemChequePrint"_s))
                item->click();
            settle();
            shots[u"main-with-print"_s] << main.grab().toImage();
        }
        SelectTheme(n);
        {
            PrintWindow print;
            shots[u"print-empty"_s] << shoot(print);
            print.LoadAccount(1);
            settle();
            shots[u"print-account"_s] << print.grab().toImage();
            if (auto* picker = print.findChild<JalaliDateDropDown*>(u"DatePicker1"_s)) {
                picker->setFocus();
                picker->dropDown();
                settle();
                shots[u"date-dropdown"_s] << picker->dropDownWindow()->grab().toImage();
                picker->closeUp(false);
            }
        }
        {
            LayoutDesigner designer;
            shots[u"designer"_s] << shoot(designer);
        }
        {
            AccountEditor editor;
            shots[u"account-editor"_s] << shoot(editor);
        }
        {
            AccountPicker list;
            shots[u"account-list"_s] << shoot(list);
        }
        {
            CreditsDialog credits;
            credits.timer()->stop();
            shots[u"credits"_s] << shoot(credits);
        }
        if (!chm.isEmpty()) {
            HelpWindow help(dir.filePath(u"NiloChequePrint.chm"_s), nullptr);
            help.showTopic(u"themes.html"_s);
            shots[u"help"_s] << shoot(help);
        }
        {
            AppMessageBox box(u"اشكال در ثبت اطلاعات"_s, MessageKind::Error);
            shots[u"message"_s] << shoot(box);
        }
    }
    bool ok = true;
    for (auto it = shots.cbegin(); it != shots.cend(); ++it) {
        ok = contactSheet(*it).save(out.filePath(it.key() + u".png"_s)) && ok;
        for (int n = 0; n < it->size(); ++n)
            ok = it->at(n).save(out.filePath(u"full/%1-%2.png"_s.arg(it.key()).arg(n))) && ok;
    }
    std::printf("%d windows, %d themes\n", int(shots.size()), kThemeCount);
    return ok ? 0 : 1;
}
