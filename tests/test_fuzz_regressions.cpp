// Inputs the fuzzers once found faults with; each must now pass cleanly (run it under the
// sanitizer build to see undefined behaviour, not only crashes).
#include "calendar/JalaliFormat.h"

#include <QTest>
#include <cmath>
#include <cstring>
#include <limits>

using namespace Qt::StringLiterals;

class FuzzRegressions : public QObject
{
    Q_OBJECT
private slots:
    void formattingFarDateValues_data()
    {
        QTest::addColumn<double>("value");
        const QByteArray found = QByteArray::fromBase64("AAAAAgD9ZEI=");
        double fromFuzzer;
        std::memcpy(&fromFuzzer, found.constData(), sizeof fromFuzzer);
        QTest::newRow("time of day overflowing milliseconds") << fromFuzzer;
        QTest::newRow("far future") << 1.0e11;
        QTest::newRow("far past") << -1.0e11;
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity();
        QTest::newRow("not a number") << std::nan("");
    }
    void formattingFarDateValues()
    {
        QFETCH(double, value);
        for (const QString& pattern : {QString(), u"c hh:nn:ss.zzz am/pm"_s, u"yyyy/mm/dd dddd"_s})
            QVERIFY(FormatJalaliDateTime(pattern, value).size() <= kMaxFormattedLength);
    }
};

QTEST_GUILESS_MAIN(FuzzRegressions)
#include "test_fuzz_regressions.moc"
