#include "inspector/propertyinspector.h"
#include "inspector/valuerules.h"

#include <QTest>

using namespace sheetsmith;

// The value editors' pure rules: relative image paths and url() values, the order of
// the keyword drop-down, the font-family list and the splitting of lengths and
// percentages.
class TestValueRules : public QObject
{
    Q_OBJECT

private slots:
    void relativePath_data();
    void relativePath();
    void urlValueEscapes_data();
    void urlValueEscapes();
    void dropDownOrder_data();
    void dropDownOrder();
    void fontFamilyList_data();
    void fontFamilyList();
    void splitLength_data();
    void splitLength();
    void splitPercentage_data();
    void splitPercentage();
};

void TestValueRules::relativePath_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("expected");

    QTest::newRow("sibling folder") << "/site/css/a.css" << "/site/img/b.gif" << "../img/b.gif";
    QTest::newRow("same folder") << "/site/css/a.css" << "/site/css/b.gif" << "b.gif";
    QTest::newRow("untitled document gives the full path") << "" << "/site/img/B.gif" << "/site/img/B.gif";
    QTest::newRow("folder below the document's") << "/site/a.css" << "/site/img/x/b.gif" << "img/x/b.gif";
    QTest::newRow("two folders up") << "/site/css/main/a.css" << "/site/img/b.gif" << "../../img/b.gif";
    QTest::newRow("folder names sharing a prefix") << "/site/css2/a.css" << "/site/css/b.gif" << "../css/b.gif";
    QTest::newRow("file names sharing a prefix") << "/site/a.css" << "/site/a.gif" << "a.gif";
    QTest::newRow("letter case kept") << "/Site/CSS/a.css" << "/Site/Images/Logo.GIF" << "../Images/Logo.GIF";
    QTest::newRow("folders differing only in case differ") << "/site/img/a.css" << "/site/Img/b.gif"
                                                           << "../Img/b.gif";
    QTest::newRow("only the root shared") << "/home/me/a.css" << "/srv/b.gif" << "../../srv/b.gif";
    QTest::newRow("paths cleaned first") << "/site/css//a.css" << "/site/./img/b.gif" << "../img/b.gif";
}

void TestValueRules::relativePath()
{
    QFETCH(QString, document);
    QFETCH(QString, file);
    QFETCH(QString, expected);
    QCOMPARE(RelativePath(document, file), expected);
    QCOMPARE(PropertyInspector::RelativePath(document, file), expected);
}

void TestValueRules::urlValueEscapes_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain path") << "../img/b.gif" << "url(../img/b.gif)";
    QTest::newRow("blank") << "my pic.gif" << "url(my\\ pic.gif)";
    QTest::newRow("parentheses and quote") << "a(1)'s.gif" << "url(a\\(1\\)\\'s.gif)";
    QTest::newRow("comma and double quote") << "a,\"b\".png" << "url(a\\,\\\"b\\\".png)";
}

void TestValueRules::urlValueEscapes()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(UrlValue(path), expected);
}

void TestValueRules::dropDownOrder_data()
{
    QTest::addColumn<QString>("valueList");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("placeholders first, reversed, then keywords")
        << "normal|bold|<length>|<percentage>" << QStringList{"<percentage>", "<length>", "normal", "bold"};
    QTest::newRow("placeholders spread through the list")
        << "a|<x>|b|<y>|c" << QStringList{"<y>", "<x>", "a", "b", "c"};
    QTest::newRow("leading placeholder") << "<color>|black|white" << QStringList{"<color>", "black", "white"};
    QTest::newRow("keywords only") << "thin|medium|thick" << QStringList{"thin", "medium", "thick"};
    QTest::newRow("entries taken unchanged") << " a |b|" << QStringList{" a ", "b", ""};
}

void TestValueRules::dropDownOrder()
{
    QFETCH(QString, valueList);
    QFETCH(QStringList, expected);
    QCOMPARE(DropDownEntries(valueList), expected);
}

void TestValueRules::fontFamilyList_data()
{
    QTest::addColumn<QStringList>("checked");
    QTest::addColumn<QString>("expected");

    QTest::newRow("only monospace") << QStringList{"Generic: monospace"} << "monospace";
    QTest::newRow("quoted name then generic")
        << QStringList{"Courier New", "Generic: monospace"} << "\"Courier New\", monospace";
    QTest::newRow("nothing checked") << QStringList{} << "";
    QTest::newRow("generic checked first still comes last")
        << QStringList{"Generic: serif", "Arial"} << "Arial, serif";
    QTest::newRow("generics in list order") << QStringList{"Generic: monospace", "Generic: serif"}
                                            << "serif, monospace";
    QTest::newRow("specific fonts in list order")
        << QStringList{"Arial", "Times New Roman", "Generic: serif"} << "\"Times New Roman\", Arial, serif";
}

void TestValueRules::fontFamilyList()
{
    QFETCH(QStringList, checked);
    QFETCH(QString, expected);
    QList<FontEntry> entries;
    QStringList texts = GenericFontEntries();
    texts << QStringLiteral("Times New Roman") << QStringLiteral("Arial") << QStringLiteral("Courier New");
    for (const QString &text : texts)
        entries.append(FontEntry{text, checked.contains(text)});
    QCOMPARE(FontFamilyList(entries), expected);
}

void TestValueRules::splitLength_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("isLength");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("unit");

    QTest::newRow("pixels") << "12px" << true << "12" << "px";
    QTest::newRow("negative fraction") << "-1.5em" << true << "-1.5" << "em";
    QTest::newRow("bare fraction, upper-case unit") << ".5IN" << true << ".5" << "in";
    QTest::newRow("surrounding blanks") << " 3mm " << true << "3" << "mm";
    QTest::newRow("number alone") << "12" << false << "" << "";
    QTest::newRow("unit alone") << "px" << false << "" << "";
    QTest::newRow("blank before the unit") << "1 px" << false << "" << "";
    QTest::newRow("keyword") << "auto" << false << "" << "";
    QTest::newRow("percentage") << "12%" << false << "" << "";
    QTest::newRow("unknown unit") << "12pp" << false << "" << "";
}

void TestValueRules::splitLength()
{
    QFETCH(QString, value);
    QFETCH(bool, isLength);
    QFETCH(QString, number);
    QFETCH(QString, unit);
    const std::optional<NumberAndUnit> split = SplitLength(value);
    QCOMPARE(split.has_value(), isLength);
    if (split) {
        QCOMPARE(split->number, number);
        QCOMPARE(split->unit, unit);
    }
}

void TestValueRules::splitPercentage_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("isPercentage");
    QTest::addColumn<QString>("number");

    QTest::newRow("whole") << "50%" << true << "50";
    QTest::newRow("negative fraction") << "-2.5%" << true << "-2.5";
    QTest::newRow("number alone") << "50" << false << "";
    QTest::newRow("sign alone") << "%" << false << "";
    QTest::newRow("blank before the sign") << "50 %" << false << "";
    QTest::newRow("length") << "50px" << false << "";
}

void TestValueRules::splitPercentage()
{
    QFETCH(QString, value);
    QFETCH(bool, isPercentage);
    QFETCH(QString, number);
    const std::optional<NumberAndUnit> split = SplitPercentage(value);
    QCOMPARE(split.has_value(), isPercentage);
    if (split)
        QCOMPARE(split->number, number);
}

QTEST_GUILESS_MAIN(TestValueRules)
#include "tst_valuerules.moc"
