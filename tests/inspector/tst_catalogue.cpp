#include "inspector/catalogue.h"
#include "support/files.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace sheetsmith;

Q_DECLARE_METATYPE(sheetsmith::ValueEditorKind)

namespace {

const QString RealCatalogue = QStringLiteral(SHEETSMITH_BUILD_DIR "/css1.txt");
const QString BrokenName = QStringLiteral("/somewhere/css1-broken.txt");

// The CSS1 properties in the order of the recommendation's sections.
const QStringList Css1Properties = {
    "font-family", "font-style", "font-variant", "font-weight", "font-size", "font",
    "color", "background-color", "background-image", "background-repeat",
    "background-attachment", "background-position", "background",
    "word-spacing", "letter-spacing", "text-decoration", "vertical-align", "text-transform",
    "text-align", "text-indent", "line-height",
    "margin-top", "margin-right", "margin-bottom", "margin-left", "margin",
    "padding-top", "padding-right", "padding-bottom", "padding-left", "padding",
    "border-top-width", "border-right-width", "border-bottom-width", "border-left-width",
    "border-width", "border-color", "border-style",
    "border-top", "border-right", "border-bottom", "border-left", "border",
    "width", "height", "float", "clear",
    "display", "white-space", "list-style-type", "list-style-image", "list-style-position",
    "list-style",
};

// Records "[p<i>]" for i in [from, to), each with a two-entry value list.
QByteArray fillerRecords(int from, int to, const QByteArray &eol = "\n")
{
    QByteArray out;
    for (int i = from; i < to; ++i) {
        const QByteArray n = QByteArray::number(i);
        out += "[p" + n + "]" + eol + "Value:v" + n + "|w" + eol + "Info:About p" + n + "." + eol;
    }
    return out;
}

// One line per entry, so a failed comparison shows which entry differs.
QStringList rows(const Catalogue &c)
{
    QStringList out;
    for (int i = 0; i < CataloguePropertyCount; ++i)
        out << c.PropName[i] + u'\t' + c.PropValues[i] + u'\t' + c.PropInfo[i];
    return out;
}

bool isEmpty(const Catalogue &c)
{
    for (int i = 0; i < CataloguePropertyCount; ++i) {
        if (!c.PropName[i].isEmpty() || !c.PropValues[i].isEmpty() || !c.PropInfo[i].isEmpty())
            return false;
    }
    return true;
}

QList<QByteArray> splitLines(const QByteArray &bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return lines;
}

QByteArray joinLines(const QList<QByteArray> &lines, const QByteArray &eol)
{
    QByteArray out;
    for (const QByteArray &line : lines)
        out += line + eol;
    return out;
}

} // namespace

class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void realCatalogueHoldsTheCss1Properties();
    void realCatalogueValueListsFollowTheGrammar();
    void realCataloguePropertiesGetTheirEditors_data();
    void realCataloguePropertiesGetTheirEditors();
    void blankAndRemarkLinesChangeNothing();
    void lineEndingsReadTheSame_data();
    void lineEndingsReadTheSame();
    void recordLinesAreTakenAsTheyCome_data();
    void recordLinesAreTakenAsTheyCome();
    void damagedFilesAreRefusedWhole_data();
    void damagedFilesAreRefusedWhole();
    void unreadableFilesAreRefused_data();
    void unreadableFilesAreRefused();
    void fileIsFoundBesideTheExecutableFirst_data();
    void fileIsFoundBesideTheExecutableFirst();
    void buildTreeCatalogueIsFound();
    void editorKindFollowsTheValueList_data();
    void editorKindFollowsTheValueList();
};

void TestCatalogue::realCatalogueHoldsTheCss1Properties()
{
    QCOMPARE(Css1Properties.size(), CataloguePropertyCount);
    const CatalogueResult r = LoadCatalogue(RealCatalogue);
    QVERIFY2(r.ok, qPrintable(r.error));
    const QStringList names(r.catalogue.PropName.begin(), r.catalogue.PropName.end());
    QCOMPARE(names, Css1Properties);
    QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), CataloguePropertyCount);
    QCOMPARE(r.catalogue.PropValues[0], QStringLiteral("<font>"));

    // The description is shown as it stands, so no label remnant or stray blank.
    for (int i = 0; i < CataloguePropertyCount; ++i) {
        const QString &info = r.catalogue.PropInfo[i];
        QVERIFY2(!info.isEmpty() && info == info.trimmed() && info.endsWith(u'.'),
                 qPrintable(names[i] + ": " + info));
    }
    // The file is ASCII, so it reads the same in any 8-bit code page.
    const QByteArray bytes = readBytes(RealCatalogue);
    for (const char c : bytes)
        QVERIFY(static_cast<unsigned char>(c) < 0x80);
}

void TestCatalogue::realCatalogueValueListsFollowTheGrammar()
{
    const CatalogueResult r = LoadCatalogue(RealCatalogue);
    QVERIFY2(r.ok, qPrintable(r.error));
    // A placeholder other than these would be offered as a keyword and written into
    // the sheet as it stands, angle brackets and all.
    const QSet<QString> editorPlaceholders = {"<length>", "<percentage>", "<color>", "<url>"};
    static const QRegularExpression keyword(QStringLiteral("^[a-z0-9]+(-[a-z0-9]+)*$"));

    for (int i = 0; i < CataloguePropertyCount; ++i) {
        const QString &name = r.catalogue.PropName[i];
        const QString &values = r.catalogue.PropValues[i];
        QVERIFY2(!values.isEmpty() && values == values.trimmed(), qPrintable(name));
        if (editorKindFor(values) != ValueEditorKind::DropDown)
            continue;
        const QStringList entries = values.split(u'|');
        QCOMPARE(QSet<QString>(entries.begin(), entries.end()).size(), entries.size());
        for (const QString &entry : entries) {
            const QString where = name + ": \"" + entry + '"';
            if (entry.startsWith(u'<'))
                QVERIFY2(editorPlaceholders.contains(entry), qPrintable(where));
            else
                QVERIFY2(keyword.match(entry).hasMatch(), qPrintable(where));
        }
    }
}

void TestCatalogue::realCataloguePropertiesGetTheirEditors_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<ValueEditorKind>("kind");
    QTest::addColumn<QStringList>("entries");

    QTest::newRow("font-family opens the font picker")
        << "font-family" << ValueEditorKind::FontPicker << QStringList{"<font>"};
    for (const char *shorthand :
         {"font", "background", "margin", "padding", "border-width", "border-color",
          "border-style", "border-top", "border-right", "border-bottom", "border-left", "border",
          "list-style"}) {
        QTest::addRow("shorthand %s is free text", shorthand)
            << shorthand << ValueEditorKind::FreeText << QStringList{};
    }
    QTest::newRow("color offers the colour chooser")
        << "color" << ValueEditorKind::DropDown << QStringList{"<color>", "red", "navy"};
    QTest::newRow("background-color")
        << "background-color" << ValueEditorKind::DropDown
        << QStringList{"<color>", "transparent"};
    QTest::newRow("background-image offers the image chooser")
        << "background-image" << ValueEditorKind::DropDown << QStringList{"<url>", "none"};
    QTest::newRow("list-style-image offers the image chooser")
        << "list-style-image" << ValueEditorKind::DropDown << QStringList{"<url>", "none"};
    QTest::newRow("font-size")
        << "font-size" << ValueEditorKind::DropDown
        << QStringList{"xx-small", "medium", "xx-large", "larger", "<length>", "<percentage>"};
    QTest::newRow("font-weight numbers")
        << "font-weight" << ValueEditorKind::DropDown << QStringList{"bold", "100", "900"};
    QTest::newRow("margin side accepts auto")
        << "margin-left" << ValueEditorKind::DropDown
        << QStringList{"<length>", "<percentage>", "auto"};
    QTest::newRow("padding side has no auto")
        << "padding-top" << ValueEditorKind::DropDown << QStringList{"<length>", "<percentage>"};
    QTest::newRow("border side width")
        << "border-bottom-width" << ValueEditorKind::DropDown
        << QStringList{"thin", "medium", "thick", "<length>"};
    QTest::newRow("height") << "height" << ValueEditorKind::DropDown
                            << QStringList{"<length>", "auto"};
    QTest::newRow("vertical-align")
        << "vertical-align" << ValueEditorKind::DropDown
        << QStringList{"baseline", "text-bottom", "<percentage>"};
    QTest::newRow("list-style-type")
        << "list-style-type" << ValueEditorKind::DropDown
        << QStringList{"disc", "lower-roman", "upper-alpha", "none"};
}

void TestCatalogue::realCataloguePropertiesGetTheirEditors()
{
    QFETCH(QString, name);
    QFETCH(ValueEditorKind, kind);
    QFETCH(QStringList, entries);

    const CatalogueResult r = LoadCatalogue(RealCatalogue);
    QVERIFY2(r.ok, qPrintable(r.error));
    const auto at = std::find(r.catalogue.PropName.begin(), r.catalogue.PropName.end(), name);
    QVERIFY(at != r.catalogue.PropName.end());
    const QString values = r.catalogue.PropValues[at - r.catalogue.PropName.begin()];

    QCOMPARE(editorKindFor(values), kind);
    if (kind == ValueEditorKind::FreeText)
        QVERIFY(!values.contains(u'|'));
    const QStringList listed = values.split(u'|');
    for (const QString &entry : entries)
        QVERIFY2(listed.contains(entry), qPrintable(entry));
}

void TestCatalogue::blankAndRemarkLinesChangeNothing()
{
    const QByteArray original = readBytes(RealCatalogue);
    QVERIFY(!original.isEmpty());

    // Only the records' own lines, and the same with extra lines between every record.
    QList<QByteArray> bare;
    QList<QByteArray> padded{"", "  [indented, so not a record]", ""};
    const QList<QByteArray> lines = splitLines(original);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!lines[i].startsWith('['))
            continue;
        const QList<QByteArray> record = lines.mid(i, 3);
        bare += record;
        padded += record;
        padded += {"", "Value:a line that looks like a label", "# remark", "   ", ""};
        i += 2;
    }

    const CatalogueResult a = parseCatalogue(joinLines(bare, "\r\n"), RealCatalogue);
    const CatalogueResult b = parseCatalogue(joinLines(padded, "\r\n"), RealCatalogue);
    const CatalogueResult c = parseCatalogue(original, RealCatalogue);
    QVERIFY2(a.ok, qPrintable(a.error));
    QVERIFY2(b.ok, qPrintable(b.error));
    QCOMPARE(rows(a.catalogue), rows(c.catalogue));
    QCOMPARE(rows(b.catalogue), rows(c.catalogue));
}

void TestCatalogue::lineEndingsReadTheSame_data()
{
    QTest::addColumn<QByteArray>("eol");
    QTest::addColumn<bool>("finalBreak");
    QTest::newRow("CR LF") << QByteArray("\r\n") << true;
    QTest::newRow("LF") << QByteArray("\n") << true;
    QTest::newRow("CR LF, last line without a break") << QByteArray("\r\n") << false;
    QTest::newRow("LF, last line without a break") << QByteArray("\n") << false;
}

void TestCatalogue::lineEndingsReadTheSame()
{
    QFETCH(QByteArray, eol);
    QFETCH(bool, finalBreak);

    QByteArray bytes = joinLines(splitLines(readBytes(RealCatalogue)), eol);
    if (!finalBreak)
        bytes.chop(eol.size());
    const CatalogueResult r = parseCatalogue(bytes, RealCatalogue);
    QVERIFY2(r.ok, qPrintable(r.error));
    const CatalogueResult reference = LoadCatalogue(RealCatalogue);
    QCOMPARE(rows(r.catalogue), rows(reference.catalogue));
    for (const QString &row : rows(r.catalogue))
        QVERIFY2(!row.contains(u'\r'), qPrintable(row));
    QCOMPARE(r.catalogue.PropName[52], QStringLiteral("list-style"));
}

void TestCatalogue::recordLinesAreTakenAsTheyCome_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("values");
    QTest::addColumn<QString>("info");
    QTest::addColumn<ValueEditorKind>("kind");

    QTest::newRow("trailing blank after the bracket stays in the name")
        << QByteArray("[color] \nValue:<color>|red\nInfo:Text colour.\n") << "color]"
        << "<color>|red" << "Text colour." << ValueEditorKind::DropDown;
    QTest::newRow("trailing blank with CR LF")
        << QByteArray("[color] \r\nValue:red|blue\r\nInfo:x\r\n") << "color]" << "red|blue"
        << "x" << ValueEditorKind::DropDown;
    QTest::newRow("last character dropped whatever it is")
        << QByteArray("[colorX\nValue:red|blue\nInfo:x\n") << "color" << "red|blue" << "x"
        << ValueEditorKind::DropDown;
    QTest::newRow("labels are not read")
        << QByteArray("[float]\nOther>left|right\n12345Moves it.\n") << "float" << "left|right"
        << "Moves it." << ValueEditorKind::DropDown;
    QTest::newRow("value line of just its label is an empty list")
        << QByteArray("[width]\nValue:\nInfo:w\n") << "width" << "" << "w"
        << ValueEditorKind::FreeText;
    QTest::newRow("description line of just its label is empty")
        << QByteArray("[width]\nValue:auto|<length>\nInfo:\n") << "width" << "auto|<length>"
        << "" << ValueEditorKind::DropDown;
    QTest::newRow("single placeholder is free text")
        << QByteArray("[color]\nValue:<color>\nInfo:c\n") << "color" << "<color>" << "c"
        << ValueEditorKind::FreeText;
    QTest::newRow("font placeholder alone opens the picker")
        << QByteArray("[font-family]\nValue:<font>\nInfo:f\n") << "font-family" << "<font>"
        << "f" << ValueEditorKind::FontPicker;
    QTest::newRow("font placeholder with a keyword is a drop-down")
        << QByteArray("[font-family]\nValue:<font>|inherit\nInfo:f\n") << "font-family"
        << "<font>|inherit" << "f" << ValueEditorKind::DropDown;
    QTest::newRow("blanks around bars are kept")
        << QByteArray("[clear]\nValue: none | both \nInfo: c \n") << "clear" << " none | both "
        << " c " << ValueEditorKind::DropDown;
    QTest::newRow("value and description lines starting with a bracket")
        << QByteArray("[display]\n[vals]block|none\n[inf]Shown how.\n") << "display"
        << "block|none" << "Shown how." << ValueEditorKind::DropDown;
    QTest::newRow("UTF-8 description")
        << QByteArray("[font]\nValue:free\nInfo:caf\xc3\xa9 \xe2\x82\xac\n") << "font" << "free"
        << QStringLiteral("caf\u00e9 \u20ac") << ValueEditorKind::FreeText;
    QTest::newRow("8-bit description read as Windows-1252")
        << QByteArray("[font]\nValue:free\nInfo:caf\xe9 \x80\n") << "font" << "free"
        << QStringLiteral("caf\u00e9 \u20ac") << ValueEditorKind::FreeText;
}

void TestCatalogue::recordLinesAreTakenAsTheyCome()
{
    QFETCH(QByteArray, record);
    QFETCH(QString, name);
    QFETCH(QString, values);
    QFETCH(QString, info);
    QFETCH(ValueEditorKind, kind);

    const CatalogueResult r = parseCatalogue(record + fillerRecords(1, 53), BrokenName);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(r.catalogue.PropName[0], name);
    QCOMPARE(r.catalogue.PropValues[0], values);
    QCOMPARE(r.catalogue.PropInfo[0], info);
    QCOMPARE(editorKindFor(r.catalogue.PropValues[0]), kind);
    // The record took exactly its three lines: the next one lands in entry 1.
    QCOMPARE(r.catalogue.PropName[1], QStringLiteral("p1"));
    QCOMPARE(r.catalogue.PropName[52], QStringLiteral("p52"));
}

void TestCatalogue::damagedFilesAreRefusedWhole_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("problem");

    const QByteArray good52 = fillerRecords(0, 52);
    QTest::newRow("header that is a lone bracket")
        << "[\nValue:a|b\nInfo:x\n" + fillerRecords(1, 53) << "line 1 begins a record";
    QTest::newRow("lone bracket with CR LF")
        << "[\r\nValue:a|b\r\nInfo:x\r\n" + fillerRecords(1, 53, "\r\n")
        << "line 1 begins a record";
    QTest::newRow("lone bracket among good records")
        << fillerRecords(0, 20) + "remark\n[\n" + fillerRecords(20, 53) << "line 62 begins";
    QTest::newRow("value line shorter than its label")
        << fillerRecords(0, 52) + "[last]\nValu:\nInfo:x\n"
        << "value line of \"last\" (line 158) is shorter";
    QTest::newRow("value label cut short by CR LF")
        << fillerRecords(0, 52, "\r\n") + "[last]\r\nValue\r\nInfo:x\r\n"
        << "value line of \"last\" (line 158)";
    QTest::newRow("description line shorter than its label")
        << "[first]\nValue:a|b\nInf:\n" + fillerRecords(1, 53)
        << "description line of \"first\" (line 3) is shorter";
    QTest::newRow("file ends after a header")
        << good52 + "[last]\n" << "ends inside the record of \"last\" (line 157), before its value";
    QTest::newRow("file ends after a header without a break")
        << good52 + "[last]" << "before its value line";
    QTest::newRow("file ends after a value line")
        << good52 + "[last]\r\nValue:a|b\r\n" << "before its description line";
    QTest::newRow("54 records")
        << fillerRecords(0, 54) << "more than 53 property records (record 54 begins on line 160)";
    QTest::newRow("same name twice")
        << fillerRecords(0, 52) + "[p7]\nValue:a|b\nInfo:x\n"
        << "\"p7\" has two records, on lines 22 and 157";
    QTest::newRow("same name in another letter case")
        << fillerRecords(0, 52) + "[P7]\nValue:a|b\nInfo:x\n" << "has two records";
    QTest::newRow("52 records") << good52 << "only 52 of the 53";
    QTest::newRow("empty file") << QByteArray() << "only 0 of the 53";
    QTest::newRow("remarks only") << QByteArray("# nothing\r\n\r\n value\r\n") << "only 0 of the 53";
}

void TestCatalogue::damagedFilesAreRefusedWhole()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, problem);

    const CatalogueResult r = parseCatalogue(bytes, BrokenName);
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains('"' + BrokenName + '"'), qPrintable(r.error));
    QVERIFY2(r.error.contains(problem), qPrintable(r.error));
    QVERIFY(isEmpty(r.catalogue));
}

void TestCatalogue::unreadableFilesAreRefused_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("problem");
    QTest::newRow("missing file") << "missing" << "was not found";
    QTest::newRow("folder") << "folder" << "is a folder";
    QTest::newRow("no read permission") << "unreadable" << "cannot be read";
}

void TestCatalogue::unreadableFilesAreRefused()
{
    QFETCH(QString, setup);
    QFETCH(QString, problem);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("css1.txt");
    if (setup == "folder") {
        QVERIFY(QDir().mkdir(path));
    } else if (setup == "unreadable") {
        QVERIFY(writeBytes(path, readBytes(RealCatalogue)));
        QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
        QFile probe(path);
        if (probe.open(QIODevice::ReadOnly))
            QSKIP("this user reads files whatever their permissions");
    }

    const CatalogueResult r = LoadCatalogue(path);
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains('"' + path + '"'), qPrintable(r.error));
    QVERIFY2(r.error.contains(problem), qPrintable(r.error));
    QVERIFY(isEmpty(r.catalogue));
}

void TestCatalogue::fileIsFoundBesideTheExecutableFirst_data()
{
    QTest::addColumn<QString>("besideExecutable");
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QString>("found");
    QTest::newRow("beside the executable only") << "file" << false << "beside";
    QTest::newRow("installed data folder only") << "" << true << "installed";
    QTest::newRow("both: beside wins") << "file" << true << "beside";
    QTest::newRow("neither: names the first place") << "" << false << "beside";
    QTest::newRow("folder beside, file installed") << "folder" << true << "installed";
}

void TestCatalogue::fileIsFoundBesideTheExecutableFirst()
{
    QFETCH(QString, besideExecutable);
    QFETCH(bool, installed);
    QFETCH(QString, found);

    QTemporaryDir root;
    QVERIFY(root.isValid());
    // The installed layout the build was configured with.
    const QString bin = root.filePath("usr/bin");
    const QString share = QDir::cleanPath(bin + "/" SHEETSMITH_DATA_FROM_BIN);
    QVERIFY(QDir().mkpath(bin));
    QVERIFY(QDir().mkpath(share));
    const QString beside = bin + "/css1.txt";
    const QString inShare = share + "/css1.txt";
    if (besideExecutable == "file")
        QVERIFY(writeBytes(beside, "x"));
    else if (besideExecutable == "folder")
        QVERIFY(QDir().mkdir(beside));
    if (installed)
        QVERIFY(writeBytes(inShare, "x"));

    QCOMPARE(catalogueFilePath(bin), found == "beside" ? beside : inShare);
}

void TestCatalogue::buildTreeCatalogueIsFound()
{
    // Test programs live beside the program in the build tree, where the data files
    // are copied, so they find the catalogue as the program does.
    const QString path = catalogueFilePath();
    QVERIFY(QFileInfo(path).isFile());
    QCOMPARE(QFileInfo(path).canonicalFilePath(), QFileInfo(RealCatalogue).canonicalFilePath());
}

void TestCatalogue::editorKindFollowsTheValueList_data()
{
    QTest::addColumn<QString>("values");
    QTest::addColumn<ValueEditorKind>("kind");
    QTest::newRow("keywords") << "left|right" << ValueEditorKind::DropDown;
    QTest::newRow("a bar alone") << "|" << ValueEditorKind::DropDown;
    QTest::newRow("font placeholder") << "<font>" << ValueEditorKind::FontPicker;
    QTest::newRow("font placeholder with a trailing blank")
        << "<font> " << ValueEditorKind::FreeText;
    QTest::newRow("font placeholder in another case") << "<Font>" << ValueEditorKind::FreeText;
    QTest::newRow("font placeholder and a keyword") << "<font>|inherit" << ValueEditorKind::DropDown;
    QTest::newRow("one keyword") << "auto" << ValueEditorKind::FreeText;
    QTest::newRow("empty") << "" << ValueEditorKind::FreeText;
}

void TestCatalogue::editorKindFollowsTheValueList()
{
    QFETCH(QString, values);
    QFETCH(ValueEditorKind, kind);
    QCOMPARE(editorKindFor(values), kind);
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
