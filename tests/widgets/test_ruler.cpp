// Rulers: unit scales, graduations and labels, origin, the frame's unit switch and placement,
// and physical painting under a right-to-left window.
#include "gui/common/NiloApplication.h"
#include "render/Fonts.h"
#include "widgets/Ruler.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QList<Ruler::Tick> labelled(const Ruler& ruler)
{
    QList<Ruler::Tick> out;
    for (const auto& t : ruler.ticks())
        if (t.level == 0 && t.pos >= 0)
            out << t;
    return out;
}

} // namespace

class RulerTest : public QObject
{
    Q_OBJECT
private slots:
    void startsInMillimetresWithTheScreenResolution()
    {
        Ruler ruler(Qt::Horizontal);
        QCOMPARE(ruler.unit(), Ruler::Unit::Millimetre);
        QCOMPARE(ruler.effectivePixelsPerInch(), qreal(ruler.logicalDpiX()));
        QCOMPARE(ruler.sizeHint().height(), 25);
        Ruler vertical(Qt::Vertical);
        QCOMPARE(vertical.sizeHint().width(), 25);
        QCOMPARE(vertical.effectivePixelsPerInch(), qreal(vertical.logicalDpiY()));
        // Figures that make no sense fall back to the screen's; far origins stay cheap.
        ruler.resize(650, 25);
        for (qreal ppi : {-3.0, 0.0, 1e-300, qInf(), 1e12}) {
            ruler.setPixelsPerInch(ppi);
            QCOMPARE(ruler.effectivePixelsPerInch(), qreal(ruler.logicalDpiX()));
        }
        ruler.setUnit(Ruler::Unit::Pixel);
        for (int origin : {INT_MIN, INT_MAX}) {
            ruler.setOrigin(origin);
            QVERIFY(ruler.ticks().size() < 1000);
        }
    }

    // Labels along 650 px at the given resolution: their texts and the pixel distance
    // between them, and the finest graduation.
    void labelsAndGraduations_data()
    {
        QTest::addColumn<int>("unit");
        QTest::addColumn<qreal>("ppi");
        QTest::addColumn<QStringList>("firstLabels");
        QTest::addColumn<qreal>("labelPitch");
        QTest::addColumn<qreal>("finestPitch");
        using U = Ruler::Unit;
        QTest::newRow("mm 96") << int(U::Millimetre) << 96.0
                               << QStringList{u"0"_s, u"10"_s, u"20"_s} << 96 / 2.54 << 96 / 25.4;
        QTest::newRow("cm 96") << int(U::Centimetre) << 96.0 << QStringList{u"0"_s, u"1"_s, u"2"_s}
                               << 96 / 2.54 << 96 / 25.4;
        QTest::newRow("inch 96") << int(U::Inch) << 96.0 << QStringList{u"0"_s, u"1"_s, u"2"_s}
                                 << 96.0 << 6.0;
        QTest::newRow("pixel 96") << int(U::Pixel) << 96.0 << QStringList{u"0"_s, u"50"_s, u"100"_s}
                                  << 50.0 << 5.0;
        QTest::newRow("pixel 192")
            << int(U::Pixel) << 192.0 << QStringList{u"0"_s, u"50"_s, u"100"_s} << 50.0 << 5.0;
        // Twice the resolution: a centimetre is wide enough for half-centimetre labels.
        QTest::newRow("cm 192") << int(U::Centimetre) << 192.0
                                << QStringList{u"0"_s, u"0.5"_s, u"1"_s} << 192 / 5.08
                                << 192 / 50.8;
    }
    void labelsAndGraduations()
    {
        QFETCH(int, unit);
        QFETCH(qreal, ppi);
        QFETCH(QStringList, firstLabels);
        QFETCH(qreal, labelPitch);
        QFETCH(qreal, finestPitch);
        Ruler ruler(Qt::Horizontal);
        ruler.resize(650, 25);
        ruler.setPixelsPerInch(ppi);
        ruler.setUnit(Ruler::Unit(unit));
        const auto labels = labelled(ruler);
        QVERIFY(labels.size() >= firstLabels.size());
        for (qsizetype i = 0; i < firstLabels.size(); ++i) {
            QCOMPARE(labels[i].label, firstLabels[i]);
            QVERIFY2(qAbs(labels[i].pos - i * labelPitch) < 1e-6,
                     qPrintable(QString::number(labels[i].pos)));
        }
        QList<qreal> places;
        for (const auto& t : ruler.ticks())
            if (t.pos >= 0)
                places << t.pos;
        QVERIFY(places.size() > 2);
        QVERIFY(qAbs(places[1] - places[0] - finestPitch) < 1e-6);
        // Labels never crowd each other.
        const QFontMetricsF metrics(ruler.font());
        for (const auto& t : labels)
            QVERIFY(metrics.horizontalAdvance(t.label) < labelPitch);
    }

    void countsFromTheOrigin()
    {
        Ruler ruler(Qt::Vertical);
        ruler.resize(25, 400);
        ruler.setPixelsPerInch(96);
        ruler.setUnit(Ruler::Unit::Pixel);
        QSignalSpy spy(&ruler, &Ruler::originChanged);
        ruler.setOrigin(120);
        QCOMPARE(spy.size(), 1);
        QStringList texts;
        QList<qreal> places;
        for (const auto& t : labelled(ruler)) {
            texts << t.label;
            places << t.pos;
        }
        QCOMPARE(texts.first(), u"-100"_s);
        QCOMPARE(places.first(), 20.0);
        QVERIFY(texts.contains(u"0"_s));
        QCOMPARE(places[texts.indexOf(u"0"_s)], 120.0);
    }

    void frameSwitchesUnitsAndPlacesTheArea()
    {
        QWidget window;
        window.setLayoutDirection(Qt::RightToLeft);
        auto* frame = new RulerFrame(&window);
        frame->setGeometry(0, 0, 700, 400);
        auto* area = new QWidget;
        area->resize(650, 320);
        frame->setArea(area);
        window.show();
        QCOMPARE(area->parentWidget(), frame);
        QCOMPARE(area->pos(), QPoint(25, 25));
        QCOMPARE(frame->horizontalRuler()->geometry(), QRect(25, 0, 675, 25));
        QCOMPARE(frame->verticalRuler()->geometry(), QRect(0, 25, 25, 375));
        QCOMPARE(frame->corner()->geometry(), QRect(0, 0, 25, 25));
        QCOMPARE(frame->unit(), Ruler::Unit::Millimetre);
        QSignalSpy spy(frame, &RulerFrame::unitChanged);
        frame->setUnit(Ruler::Unit::Inch);
        QCOMPARE(spy.size(), 1);
        QCOMPARE(frame->verticalRuler()->unit(), Ruler::Unit::Inch);
        QCOMPARE(frame->corner()->unit(), Ruler::Unit::Inch);
        frame->setPixelsPerInch(120);
        QCOMPARE(frame->verticalRuler()->effectivePixelsPerInch(), 120.0);
        // The window's direction flows to the area, not to the rulers.
        QCOMPARE(area->layoutDirection(), Qt::RightToLeft);
        QCOMPARE(frame->horizontalRuler()->layoutDirection(), Qt::LeftToRight);
    }

    // Inside a right-to-left window a ruler paints exactly as inside a left-to-right one,
    // zero at the left.
    void paintsPhysicallyUnderRightToLeft()
    {
        QPalette pal;
        pal.setColor(QPalette::Base, Qt::white);
        pal.setColor(QPalette::Text, Qt::black);
        auto shoot = [&](Qt::LayoutDirection direction) {
            QWidget window;
            window.setLayoutDirection(direction);
            auto* ruler = new Ruler(Qt::Horizontal, &window);
            ruler->setGeometry(0, 0, 300, 25);
            ruler->setPixelsPerInch(96);
            ruler->setPalette(pal);
            return ruler->grab().toImage();
        };
        const QImage rtl = shoot(Qt::RightToLeft);
        QCOMPARE(rtl, shoot(Qt::LeftToRight));
        QVERIFY(qGray(rtl.pixel(0, 2)) < 128);   // the zero graduation, full height
        QVERIFY(qGray(rtl.pixel(299, 2)) > 128); // nothing mirrored to the right end
        QVERIFY(qGray(rtl.pixel(18, 22)) < 128); // half a centimetre, from the lower edge
        QVERIFY(qGray(rtl.pixel(18, 3)) > 128);
    }
};

int main(int argc, char** argv)
{
    NiloApplication app(argc, argv);
    // Label widths decide the label steps: measure them in the program's own font.
    RegisterProgramFonts();
    QApplication::setFont(QFont(u"Vazirmatn"_s, 9));
    RulerTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_ruler.moc"
