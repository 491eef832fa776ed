// The desktop's side: Qt's own dialogs in Persian, the picture preview, the font sample.
// NILO_SHOTS=DIR writes each dialog's picture there, for looking at.
#include "gui/common/DialogSeam.h"
#include "gui/common/PictureFileDialog.h"
#include "gui/common/QtTranslations.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
void shoot(QWidget& w, const QString& name)
{
    const QString dir = qEnvironmentVariable("NILO_SHOTS");
    if (!dir.isEmpty())
        w.grab().save(dir + u'/' + name + u".png"_s);
}
} // namespace

class Desktop : public QObject
{
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void initTestCase()
    {
        QGuiApplication::setLayoutDirection(Qt::RightToLeft);
        QVERIFY(InstallQtPersianTranslations(*qApp));
        QImage picture(600, 280, QImage::Format_RGB32);
        picture.fill(QColor(0x2e, 0x55, 0x84));
        QVERIFY(picture.save(dir_.filePath(u"cheque.jpg"_s)));
        QFile notPicture(dir_.filePath(u"broken.jpg"_s));
        QVERIFY(notPicture.open(QIODevice::WriteOnly) && notPicture.write("not a picture") > 0);
    }

    void pictureDialogSpeaksPersianAndPreviewsTheSelection()
    {
        PictureFileDialog dialog(nullptr, u"JPEG Image File (*.jpg)"_s);
        dialog.setDirectory(dir_.path());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const auto* buttons = dialog.findChild<QDialogButtonBox*>();
        QVERIFY(buttons);
        const QString open = buttons->button(QDialogButtonBox::Open)->text();
        const QString cancel = buttons->button(QDialogButtonBox::Cancel)->text();
        QVERIFY2(open != u"&Open"_s && open != u"Open"_s, qPrintable(open));
        QVERIFY2(cancel != u"Cancel"_s, qPrintable(cancel));
        QCOMPARE(dialog.findChild<QLineEdit*>(u"fileNameEdit"_s)->layoutDirection(),
                 Qt::LeftToRight);

        // Chosen with the keyboard in the file list, as a person would.
        auto* list = dialog.findChild<QListView*>(u"listView"_s);
        QVERIFY(list);
        QTRY_COMPARE(list->model()->rowCount(list->rootIndex()), 2);
        list->setFocus();
        const QModelIndex cheque = list->model()
                                       ->match(list->model()->index(0, 0, list->rootIndex()),
                                               Qt::DisplayRole, u"cheque.jpg"_s)
                                       .value(0);
        QVERIFY(cheque.isValid());
        list->setCurrentIndex(cheque);
        QTRY_VERIFY(!dialog.preview()->pixmap().isNull());
        // Scaled to fit, keeping the picture's shape.
        QCOMPARE(dialog.preview()->pixmap().width(), 220);
        QCOMPARE(dialog.preview()->pixmap().height(), 102);
        QTest::qWait(200);
        shoot(dialog, u"picture_dialog"_s);

        // No picture, a folder, a device: an empty preview and nothing read from a device.
        for (const QString& path : {dir_.filePath(u"broken.jpg"_s), dir_.path(), u"/dev/zero"_s}) {
            dialog.showPreview(path);
            QVERIFY2(dialog.preview()->pixmap().isNull(), qPrintable(path));
        }
    }

    void fontDialogSampleIsPersian()
    {
        bool checked = false;
        QTimer::singleShot(300, qApp, [&] {
            auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto* sample = dialog->findChild<QLineEdit*>(u"qt_fontDialog_sampleEdit"_s);
            QVERIFY(sample);
            QCOMPARE(sample->text(), DialogSeam::FontSampleText());
            shoot(*dialog, u"font_dialog"_s);
            checked = true;
            dialog->reject();
        });
        QFont start(u"Vazirmatn"_s, 14);
        QVERIFY(!DialogSeam::chooseFont(nullptr, start).has_value());
        QVERIFY(checked);
    }
};

QTEST_MAIN(Desktop)
#include "test_desktop.moc"
