#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "support/files.h"

#include <QFile>
#include <QFontDatabase>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace sheetsmith;
namespace ed = sheetsmith::keys::editor;

class TestSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void numericValue_data();
    void numericValue();
    void integerConversions_data();
    void integerConversions();
    void toSingle_data();
    void toSingle();

    void userStoreIsTheSheetsmithIniFile();
    void valuesSurviveTheIniFile_data();
    void valuesSurviveTheIniFile();
    void writesReachTheDiskAtOnce();
    void removeReportsWhetherTheKeyExisted();
    void unquotedCommaInHandEditedFileReadsAsWritten();

    void rtfColourDefinition_data();
    void rtfColourDefinition();

    void fontSizeAndTabWidth_data();
    void fontSizeAndTabWidth();
    void colourForms_data();
    void colourForms();
    void emptyStoreGivesDistinctDefaultColours();
    void ensureEditorDefaultsFillsAnEmptyStore();
    void ensureEditorDefaultsRepairsOnlyWhatIsMalformed();

private:
    QString iniPath() const { return m_dir->filePath(QStringLiteral("settings.ini")); }
    QByteArray iniBytes() const;

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSettingsStore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QByteArray TestSettingsStore::iniBytes() const
{
    return readBytes(iniPath());
}

void TestSettingsStore::numericValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("whole number") << "12" << 12.0;
    QTest::newRow("leading blanks skipped") << "   7" << 7.0;
    QTest::newRow("unit after the number") << "12.5pt" << 12.5;
    QTest::newRow("negative with decimals") << "-3.25" << -3.25;
    QTest::newRow("second point ends the number") << "1.2.3" << 1.2;
    QTest::newRow("letters first") << "abc12" << 0.0;
    QTest::newRow("sign alone") << "-" << 0.0;
    QTest::newRow("blank between sign and digits") << "- 3" << 0.0;
    QTest::newRow("exponent is not read") << "2e3" << 2.0;
}

void TestSettingsStore::numericValue()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(SettingsStore::numericValue(text), expected);
}

void TestSettingsStore::integerConversions_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qint32>("expected");
    QTest::newRow("16: largest") << 16 << "32767" << true << 32767;
    QTest::newRow("16: smallest") << 16 << "-32768" << true << -32768;
    QTest::newRow("16: one over the largest") << 16 << "32768" << false << 0;
    QTest::newRow("16: blanks around") << 16 << "  12 " << true << 12;
    QTest::newRow("16: digits then unit") << 16 << "12px" << false << 0;
    QTest::newRow("16: decimal fraction") << 16 << "4.5" << false << 0;
    QTest::newRow("16: blank inside") << 16 << "1 2" << false << 0;
    QTest::newRow("32: largest") << 32 << "2147483647" << true << 2147483647;
    QTest::newRow("32: one over the largest") << 32 << "2147483648" << false << 0;
    QTest::newRow("32: beyond 64 bits") << 32 << "99999999999999999999999" << false << 0;
}

void TestSettingsStore::integerConversions()
{
    QFETCH(int, bits);
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(qint32, expected);
    std::optional<qint32> value = SettingsStore::toInt32(text);
    if (bits == 16) {
        const std::optional<qint16> narrow = SettingsStore::toInt16(text);
        value = narrow ? std::optional<qint32>(*narrow) : std::nullopt;
    }
    QCOMPARE(value.has_value(), valid);
    if (valid)
        QCOMPARE(*value, expected);
}

void TestSettingsStore::toSingle_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<float>("expected");
    QTest::newRow("twips value") << "15360" << true << 15360.0f;
    QTest::newRow("exponent") << "1e3" << true << 1000.0f;
    QTest::newRow("empty") << "" << false << 0.0f;
    QTest::newRow("number then unit") << "12pt" << false << 0.0f;
    QTest::newRow("infinity") << "inf" << false << 0.0f;
    QTest::newRow("beyond single precision") << "1e39" << false << 0.0f;
}

void TestSettingsStore::toSingle()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(float, expected);
    const std::optional<float> value = SettingsStore::toSingle(text);
    QCOMPARE(value.has_value(), valid);
    if (valid)
        QCOMPARE(*value, expected);
}

void TestSettingsStore::userStoreIsTheSheetsmithIniFile()
{
    QStandardPaths::setTestModeEnabled(true);
    const SettingsStore store;
    QVERIFY2(store.fileName().endsWith(QLatin1String("/Sheetsmith/Sheetsmith.ini")),
             qPrintable(store.fileName()));
    QStandardPaths::setTestModeEnabled(false);
}

void TestSettingsStore::valuesSurviveTheIniFile_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("RTF colour definition") << "\\red0\\green0\\blue128";
    QTest::newRow("comma and blank") << "a, b";
    QTest::newRow("leading at sign") << "@Variant(x)";
    QTest::newRow("non-ASCII") << QString::fromUtf8("Schrift Grö\xc3\x9f" "e \xe2\x82\xac");
    QTest::newRow("empty") << "";
}

void TestSettingsStore::valuesSurviveTheIniFile()
{
    QFETCH(QString, value);
    {
        SettingsStore store(iniPath());
        store.write(QStringLiteral("Recent"), QStringLiteral("1b"), value);
    }
    // A copy under another name is read from its bytes, not from any cache.
    const QString copy = m_dir->filePath(QStringLiteral("copy.ini"));
    QVERIFY(QFile::copy(iniPath(), copy));
    const SettingsStore reread(copy);
    QCOMPARE(reread.read(QStringLiteral("Recent"), QStringLiteral("1b")), value);
}

void TestSettingsStore::writesReachTheDiskAtOnce()
{
    SettingsStore store(iniPath());
    store.write(ed::Section, ed::TabWidth, QStringLiteral("6"));
    QByteArray bytes = iniBytes();
    QVERIFY2(bytes.contains("[Editor]"), bytes.constData());
    QVERIFY2(bytes.contains("TabWidth=6"), bytes.constData());

    QVERIFY(store.remove(ed::Section, ed::TabWidth));
    bytes = iniBytes();
    QVERIFY2(!bytes.contains("TabWidth"), bytes.constData());
}

void TestSettingsStore::removeReportsWhetherTheKeyExisted()
{
    SettingsStore store(iniPath());
    store.write(QStringLiteral("Recent"), QStringLiteral("1a"), QStringLiteral("site.css"));
    store.write(QStringLiteral("Recent"), QStringLiteral("1b"), QStringLiteral("/x/site.css"));
    QCOMPARE(store.remove(QStringLiteral("Recent"), QStringLiteral("1a")), true);
    QCOMPARE(store.remove(QStringLiteral("Recent"), QStringLiteral("1a")), false);
    QCOMPARE(store.remove(QStringLiteral("Recent"), QStringLiteral("4b")), false);
    QCOMPARE(store.remove(QStringLiteral("Nowhere"), QStringLiteral("1b")), false);
    QCOMPARE(store.read(QStringLiteral("Recent"), QStringLiteral("1a")), QString());
    // Removing one key leaves its neighbour.
    QCOMPARE(store.read(QStringLiteral("Recent"), QStringLiteral("1b")), QStringLiteral("/x/site.css"));
}

void TestSettingsStore::unquotedCommaInHandEditedFileReadsAsWritten()
{
    QFile file(iniPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Recent]\n1a=a,b.css\n1b=/home/ann/a,b.css\n");
    file.close();
    const SettingsStore store(iniPath());
    QCOMPARE(store.read(QStringLiteral("Recent"), QStringLiteral("1b")),
             QStringLiteral("/home/ann/a,b.css"));
}

void TestSettingsStore::rtfColourDefinition_data()
{
    QTest::addColumn<QString>("definition");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qint32>("value");
    QTest::newRow("pure blue") << "\\red0\\green0\\blue255" << true << 0xFF0000;
    QTest::newRow("mixed") << "\\red1\\green2\\blue3" << true << (1 + 2 * 256 + 3 * 65536);
    QTest::newRow("component over 255") << "\\red256\\green0\\blue0" << false << 0;
    QTest::newRow("blank inside") << "\\red0 \\green0\\blue0" << false << 0;
    QTest::newRow("trailing semicolon") << "\\red0\\green0\\blue0;" << false << 0;
    QTest::newRow("word in capitals") << "\\Red0\\green0\\blue0" << false << 0;
    QTest::newRow("colour number instead") << "8388608" << false << 0;
}

void TestSettingsStore::rtfColourDefinition()
{
    QFETCH(QString, definition);
    QFETCH(bool, valid);
    QFETCH(qint32, value);
    const std::optional<qint32> parsed = SettingsStore::rtfColourValue(definition);
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, value);
}

void TestSettingsStore::fontSizeAndTabWidth_data()
{
    QTest::addColumn<QString>("fontSize");
    QTest::addColumn<QString>("tabWidth");
    QTest::addColumn<double>("expectedSize");
    QTest::addColumn<int>("expectedWidth");
    QTest::newRow("both missing") << "" << "" << 10.0 << 4;
    QTest::newRow("size with fraction") << "10.5" << "2" << 10.5 << 2;
    QTest::newRow("size with unit is its number") << "14pt" << "4" << 14.0 << 4;
    QTest::newRow("zero size") << "0" << "4" << 10.0 << 4;
    QTest::newRow("non-numeric size") << "large" << "4" << 10.0 << 4;
    QTest::newRow("absurd size") << "5000" << "4" << 10.0 << 4;
    QTest::newRow("zero tab width removes tabs") << "10" << "0" << 10.0 << 0;
    QTest::newRow("non-numeric tab width") << "10" << "wide" << 10.0 << 4;
    QTest::newRow("negative tab width") << "10" << "-2" << 10.0 << 4;
    QTest::newRow("absurd tab width") << "10" << "30000" << 10.0 << 4;
}

void TestSettingsStore::fontSizeAndTabWidth()
{
    QFETCH(QString, fontSize);
    QFETCH(QString, tabWidth);
    QFETCH(double, expectedSize);
    QFETCH(int, expectedWidth);
    SettingsStore store(iniPath());
    if (!fontSize.isEmpty())
        store.write(ed::Section, ed::FontSize, fontSize);
    if (!tabWidth.isEmpty())
        store.write(ed::Section, ed::TabWidth, tabWidth);
    const EditorSettings settings = store.editorSettings();
    QCOMPARE(settings.fontSize, expectedSize);
    QCOMPARE(settings.tabWidth, expectedWidth);
    QCOMPARE(store.tabWidth(), expectedWidth);
}

void TestSettingsStore::colourForms_data()
{
    QTest::addColumn<QString>("definition");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("expectedDefinition");
    QTest::addColumn<qint32>("expectedValue");
    const QString defaultDefinition = QStringLiteral("\\red0\\green0\\blue128");
    const qint32 defaultValue = keys::defaults::SelectorColourValue;
    QTest::newRow("both good but different, each kept")
        << "\\red255\\green0\\blue0" << "65280" << "\\red255\\green0\\blue0" << 65280;
    QTest::newRow("number missing, taken from definition")
        << "\\red0\\green255\\blue0" << "" << "\\red0\\green255\\blue0" << 65280;
    QTest::newRow("number malformed, taken from definition")
        << "\\red0\\green255\\blue0" << "green" << "\\red0\\green255\\blue0" << 65280;
    QTest::newRow("definition missing, made from number")
        << "" << "16711680" << "\\red0\\green0\\blue255" << 16711680;
    QTest::newRow("definition malformed, made from number")
        << "\\red0\\green0\\blue999" << "16711680" << "\\red0\\green0\\blue255" << 16711680;
    QTest::newRow("both missing") << "" << "" << defaultDefinition << defaultValue;
    QTest::newRow("number over 24 bits, no definition")
        << "" << "16777216" << defaultDefinition << defaultValue;
}

void TestSettingsStore::colourForms()
{
    QFETCH(QString, definition);
    QFETCH(QString, number);
    QFETCH(QString, expectedDefinition);
    QFETCH(qint32, expectedValue);
    SettingsStore store(iniPath());
    if (!definition.isEmpty())
        store.write(ed::Section, ed::Selectors, definition);
    if (!number.isEmpty())
        store.write(ed::Section, ed::LSelectors, number);
    const EditorSettings settings = store.editorSettings();
    QCOMPARE(settings.selectorColour, expectedDefinition);
    QCOMPARE(settings.selectorColourValue, expectedValue);
}

void TestSettingsStore::emptyStoreGivesDistinctDefaultColours()
{
    const SettingsStore store(iniPath());
    const EditorSettings s = store.editorSettings();
    QCOMPARE(s.selectorColour, QStringLiteral("\\red0\\green0\\blue128"));
    QCOMPARE(s.bracketColour, QStringLiteral("\\red128\\green0\\blue0"));
    QCOMPARE(s.commentColour, QStringLiteral("\\red0\\green128\\blue0"));
    QCOMPARE(s.selectorColourValue, 8388608);
    QCOMPARE(s.bracketColourValue, 128);
    QCOMPARE(s.commentColourValue, 32768);
    QVERIFY(!s.fontName.isEmpty());
    // Reading never writes: the store stays empty until defaults are ensured.
    QVERIFY(!QFile::exists(iniPath()));
}

void TestSettingsStore::ensureEditorDefaultsFillsAnEmptyStore()
{
    SettingsStore store(iniPath());
    store.ensureEditorDefaults();

    const QString fontName = store.read(ed::Section, ed::FontName);
    QVERIFY2(QFontDatabase::families().contains(fontName), qPrintable(fontName));
    QCOMPARE(store.read(ed::Section, ed::FontSize), QStringLiteral("10"));
    QCOMPARE(store.read(ed::Section, ed::TabWidth), QStringLiteral("4"));
    const QLatin1String pairs[][2] = {{ed::Selectors, ed::LSelectors},
                                      {ed::Brackets, ed::LBrackets},
                                      {ed::Comments, ed::LComments}};
    for (const auto &pair : pairs) {
        const std::optional<qint32> fromDefinition =
            SettingsStore::rtfColourValue(store.read(ed::Section, pair[0]));
        const std::optional<qint32> fromNumber = SettingsStore::toInt32(store.read(ed::Section, pair[1]));
        QVERIFY2(fromDefinition.has_value(), pair[0].data());
        QVERIFY2(fromNumber.has_value(), pair[1].data());
        QCOMPARE(*fromDefinition, *fromNumber);
    }
}

void TestSettingsStore::ensureEditorDefaultsRepairsOnlyWhatIsMalformed()
{
    SettingsStore store(iniPath());
    store.write(ed::Section, ed::FontName, QStringLiteral("   "));
    store.write(ed::Section, ed::FontSize, QStringLiteral("14"));
    store.write(ed::Section, ed::TabWidth, QStringLiteral("tab"));
    store.write(ed::Section, ed::Comments, QStringLiteral("\\red255\\green0\\blue0"));
    store.write(ed::Section, ed::LComments, QStringLiteral("255"));
    store.write(ed::Section, ed::Brackets, QStringLiteral("\\red0\\green0\\blue255"));
    store.write(ed::Section, ed::LBrackets, QStringLiteral("blue"));
    store.ensureEditorDefaults();
    QVERIFY(!store.read(ed::Section, ed::FontName).trimmed().isEmpty());
    QCOMPARE(store.read(ed::Section, ed::FontSize), QStringLiteral("14"));
    QCOMPARE(store.read(ed::Section, ed::TabWidth), QStringLiteral("4"));
    QCOMPARE(store.read(ed::Section, ed::Comments), QStringLiteral("\\red255\\green0\\blue0"));
    QCOMPARE(store.read(ed::Section, ed::LComments), QStringLiteral("255"));
    // The good form of a colour decides the repaired one.
    QCOMPARE(store.read(ed::Section, ed::Brackets), QStringLiteral("\\red0\\green0\\blue255"));
    QCOMPARE(store.read(ed::Section, ed::LBrackets), QStringLiteral("16711680"));
}

QTEST_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
