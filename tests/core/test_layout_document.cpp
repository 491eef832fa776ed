// The layout the designer edits: boxes placed from the fields, edits that move fields and
// boxes together, and the change notices that the fields and boxes follow.
#include "core/cheque/LayoutDocument.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Item 2 (numeric date) is measured from the right, item 4 (payee) from the left.
constexpr int kRightItem = 2;
constexpr int kLeftItem = 4;

QList<int> changedRows(const QSignalSpy& spy)
{
    QList<int> rows;
    for (const QList<QVariant>& s : spy)
        rows << s[0].toInt();
    return rows;
}

} // namespace

class LayoutDocumentTest : public QObject
{
    Q_OBJECT
private slots:
    void boxesStartWhereTheFieldsPutThem()
    {
        const LayoutFields f = StartingFields();
        const LayoutState s = LayoutState::fromFields(f);
        // 650 - 36 - 52: a right margin and a width give the left edge.
        QCOMPARE(s.boxLeftOf(kRightItem), 562);
        QCOMPARE(s.boxLeftOf(kLeftItem), f.item(kLeftItem).horizontal);
        QCOMPARE(s.fontCodeOf(10), quint8(1)); // the cover starts bold
        QCOMPARE(s.fontCodeOf(kRightItem), quint8(0));
        QVERIFY(s.pictureJpeg.isEmpty());
    }

    // Each edit as the fields or the boxes make it: the box's left edge and the horizontal
    // field after it, from the starting layout (item 2: margin 36, width 52; item 4: 51, 62).
    void editsMoveFieldsAndBoxesTogether_data()
    {
        QTest::addColumn<int>("itemId");
        QTest::addColumn<int>("edit"); // 0 horizontal, 1 width, 2 box, 3 cheque width
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("horizontal");
        QTest::newRow("right margin") << kRightItem << 0 << 100 << 498 << 100;
        QTest::newRow("left margin") << kLeftItem << 0 << 75 << 75 << 75;
        QTest::newRow("width keeps the right edge") << kRightItem << 1 << 80 << 534 << 36;
        QTest::newRow("width keeps the left edge") << kLeftItem << 1 << 10 << 51 << 51;
        QTest::newRow("box from the right") << kRightItem << 2 << 500 << 500 << 650 - 500 - 52;
        QTest::newRow("box from the left") << kLeftItem << 2 << 30 << 30 << 30;
        // A wider cheque moves no box: the right margin shown is the old width's.
        QTest::newRow("cheque width") << kRightItem << 3 << 700 << 562 << 36;
    }
    void editsMoveFieldsAndBoxesTogether()
    {
        QFETCH(int, itemId);
        QFETCH(int, edit);
        QFETCH(int, value);
        QFETCH(int, left);
        QFETCH(int, horizontal);
        LayoutState s = LayoutState::fromFields(StartingFields());
        const int width = s.fields.item(itemId).width;
        switch (edit) {
        case 0:
            s.setHorizontal(itemId, value);
            break;
        case 1:
            s.setWidth(itemId, value);
            break;
        case 2:
            s.setBox(itemId, value, 7, width);
            QCOMPARE(s.fields.item(itemId).top, 7);
            break;
        default:
            s.fields.chequeWidth = value;
            break;
        }
        QCOMPARE(s.boxLeftOf(itemId), left);
        QCOMPARE(s.fields.item(itemId).horizontal, horizontal);
        // A save writes the box where it stands.
        QCOMPARE(s.rowsToSave()[itemId - 1].sideMargin, left);
    }

    void chosenFontKeepsWhatItsStyleNameCannotSay()
    {
        LayoutState s = LayoutState::fromFields(StartingFields());
        s.setFont(5, u"Tahoma"_s, 14, FontStyleCodeOf(true, false, true, false));
        const ItemFields& item = s.fields.item(5);
        QCOMPARE(item.fontName, u"Tahoma"_s);
        QCOMPARE(item.fontSize, u"14"_s);
        QCOMPARE(item.fontStyle, QString()); // bold and underlined has no name
        QCOMPARE(s.fontCodeOf(5), quint8(5));
        s.setFont(5, u"Tahoma"_s, 9, FontStyleCodeOf(false, true, false, false));
        QCOMPARE(s.fields.item(5).fontStyle, u"Italic"_s);
        // Read back from the fields, only the named part remains.
        QCOMPARE(LayoutState::fromFields(s.fields).fontCodeOf(5), quint8(2));
    }

    void changesReportTheRowsTheyTouch()
    {
        LayoutDocument doc;
        doc.reset(LayoutState::fromFields(StartingFields()));
        QSignalSpy changed(&doc, &LayoutDocument::changed);
        QSignalSpy picture(&doc, &LayoutDocument::pictureChanged);

        LayoutState next = doc.state();
        next.setTop(5, 10);
        next.fields.chequeHeight = 300;
        // Receivers find the whole state in place, whichever row they are told of first.
        QList<int> topsSeen;
        connect(&doc, &LayoutDocument::changed, this,
                [&] { topsSeen << doc.fields().item(5).top; });
        doc.setState(next);
        QCOMPARE(changedRows(changed), (QList<int>{kGeneralItemId, 5}));
        QCOMPARE(topsSeen, (QList<int>{10, 10}));
        QCOMPARE(picture.size(), 0);
        QCOMPARE(doc.state(), next);

        changed.clear();
        doc.setState(next); // the same state: nothing to tell
        QVERIFY(changed.isEmpty());

        next.pictureJpeg = "jpeg";
        doc.setState(next);
        QVERIFY(changed.isEmpty());
        QCOMPARE(picture.size(), 1);

        // Only the style a box shows changed: still that item's row.
        next.fontCode[8 - 2] = 4;
        doc.setState(next);
        QCOMPARE(changedRows(changed), QList<int>{8});

        changed.clear();
        picture.clear();
        doc.reset(next);
        QList<int> all;
        for (int id = kGeneralItemId; id <= kLastLayoutItemId; ++id)
            all << id;
        QCOMPARE(changedRows(changed), all);
        QCOMPARE(picture.size(), 1);
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    LayoutDocumentTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_layout_document.moc"
