#include "editor/colourlayer.h"

#include <QTest>

using namespace sheetsmith;

namespace {

// The layer as a string of one letter per character: '.' automatic, else 'a' + colour.
QString picture(const ColourLayer &layer)
{
    QString out;
    for (qsizetype i = 0; i < layer.size(); ++i) {
        const ColourValue c = layer.at(i);
        out += c == kAutoColour ? QChar(u'.') : QChar(char16_t(u'a' + c));
    }
    return out;
}

ColourLayer fromPicture(const QString &p)
{
    std::vector<ColourValue> colours;
    for (const QChar c : p)
        colours.push_back(c == u'.' ? kAutoColour : ColourValue(c.unicode() - u'a'));
    ColourLayer layer;
    layer.assign(colours);
    return layer;
}

} // namespace

class TestColourLayer : public QObject
{
    Q_OBJECT

private slots:
    void replace_data();
    void replace();
    void fill_data();
    void fill();
    void runs();
    void manyDistinctColours();
};

void TestColourLayer::replace_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<qsizetype>("pos");
    QTest::addColumn<qsizetype>("removed");
    QTest::addColumn<qsizetype>("added");
    QTest::addColumn<int>("colour");
    QTest::addColumn<QString>("after");
    QTest::newRow("insert in the middle") << "aabb" << qsizetype(2) << qsizetype(0) << qsizetype(3) << 2 << "aacccbb";
    QTest::newRow("remove") << "abcd" << qsizetype(1) << qsizetype(2) << qsizetype(0) << 0 << "ad";
    QTest::newRow("replace shorter") << "abcd" << qsizetype(1) << qsizetype(2) << qsizetype(1) << 25 << "azd";
    QTest::newRow("replace longer") << "ab" << qsizetype(0) << qsizetype(1) << qsizetype(3) << 3 << "dddb";
    QTest::newRow("append") << "a" << qsizetype(1) << qsizetype(0) << qsizetype(2) << -1 << "a..";
    QTest::newRow("remove all") << "abc" << qsizetype(0) << qsizetype(3) << qsizetype(0) << 0 << "";
}

void TestColourLayer::replace()
{
    QFETCH(QString, before);
    QFETCH(qsizetype, pos);
    QFETCH(qsizetype, removed);
    QFETCH(qsizetype, added);
    QFETCH(int, colour);
    QFETCH(QString, after);
    ColourLayer layer = fromPicture(before);
    QVERIFY(layer.replace(pos, removed, added, colour));
    QCOMPARE(picture(layer), after);
}

void TestColourLayer::fill_data()
{
    QTest::addColumn<qsizetype>("pos");
    QTest::addColumn<qsizetype>("count");
    QTest::addColumn<QString>("after");
    QTest::newRow("inside") << qsizetype(1) << qsizetype(2) << "azzd";
    QTest::newRow("clamped at the end") << qsizetype(3) << qsizetype(9) << "abcz";
    QTest::newRow("clamped at the start") << qsizetype(-2) << qsizetype(3) << "zbcd";
    QTest::newRow("negative count") << qsizetype(1) << qsizetype(-1) << "abcd";
    QTest::newRow("outside") << qsizetype(7) << qsizetype(2) << "abcd";
}

void TestColourLayer::fill()
{
    QFETCH(qsizetype, pos);
    QFETCH(qsizetype, count);
    QFETCH(QString, after);
    ColourLayer layer = fromPicture(QStringLiteral("abcd"));
    layer.fill(pos, count, 25);
    QCOMPARE(picture(layer), after);
    // A range outside the layer is refused and changes nothing.
    QVERIFY(!layer.replace(3, 5, 1, 0));
    QCOMPARE(picture(layer), after);
}

void TestColourLayer::runs()
{
    const ColourLayer layer = fromPicture(QStringLiteral("aab..b"));
    QStringList seen;
    layer.forEachRun(1, 4, [&seen](qsizetype start, qsizetype length, ColourValue c) {
        seen << QStringLiteral("%1+%2:%3").arg(start).arg(length).arg(c);
    });
    QCOMPARE(seen, (QStringList{"1+1:0", "2+1:1", "3+2:-1"}));
}

void TestColourLayer::manyDistinctColours()
{
    // More colours than two-byte indexes can hold over the layer's life: unused
    // palette entries are reclaimed, and colours in use stay right.
    ColourLayer layer;
    layer.reset(4);
    for (ColourValue c = 0; c < 70000; ++c)
        layer.fill(c % 3, 1, c);
    // The last colour written to each of the three places.
    QCOMPARE(layer.at(0), 69999);
    QCOMPARE(layer.at(1), 69997);
    QCOMPARE(layer.at(2), 69998);
    QCOMPARE(layer.at(3), kAutoColour);
    QVERIFY(!layer.isAllAutomatic());
    layer.fill(0, 3, kAutoColour);
    QVERIFY(layer.isAllAutomatic());
}

QTEST_APPLESS_MAIN(TestColourLayer)
#include "tst_colourlayer.moc"
