#include "app/recoveryfile.h"

#include <QTest>

using namespace sheetsmith;

Q_DECLARE_METATYPE(sheetsmith::FileFormat)

namespace {

using Encoding = FileFormat::Encoding;
using LineEnding = FileFormat::LineEnding;

RecoveryRecord sample()
{
    RecoveryRecord r;
    r.title = QStringLiteral("site.css");
    r.path = QStringLiteral("/home/author/site.css");
    r.format = FileFormat{Encoding::Windows1252, false, LineEnding::CrLf};
    r.text = QStringLiteral("p { color: blue; }\r\nh1 { margin: 0; }");
    r.saved = QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9, 250), Qt::UTC);
    return r;
}

// The copy with its description line edited by replace (first match only).
QByteArray withHeaderEdit(const QByteArray &from, const QByteArray &to)
{
    QByteArray bytes = encodeRecovery(sample());
    const qsizetype at = bytes.indexOf(from);
    return at < 0 ? QByteArray() : bytes.replace(at, from.size(), to);
}

} // namespace

// The recovery file's form: what is written is read back exactly, and a copy that is
// not whole is refused with a reason rather than read in part.
class TestRecoveryFile : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void damagedCopiesAreRefused_data();
    void damagedCopiesAreRefused();
};

void TestRecoveryFile::roundTrip_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("path");
    QTest::addColumn<FileFormat>("format");
    QTest::addColumn<QString>("text");

    QTest::newRow("untitled sheet") << "Untitled" << "" << FileFormat{} << "a { }";
    QTest::newRow("Windows-1252 sheet with CR LF")
        << "site.css" << "/srv/www/site.css" << FileFormat{Encoding::Windows1252, false, LineEnding::CrLf}
        << QString::fromUtf8("/* caf\xC3\xA9 */\r\np { }");
    QTest::newRow("UTF-8 sheet with a byte-order mark")
        << "bom.css" << "/tmp/bom.css" << FileFormat{Encoding::Utf8, true, LineEnding::Lf}
        << QString::fromUtf8("/* \xE2\x98\x83 \xF0\x9F\x98\x80 */");
    QTest::newRow("mark as the text's first character")
        << "m.css" << "/tmp/m.css" << FileFormat{} << QString(QChar(0xFEFF)) + QStringLiteral("p{}");
    QTest::newRow("path with a line break, quotes and braces")
        << "odd \"name\".css" << "/tmp/odd\n\"name\"{}.css" << FileFormat{} << "x";
    QTest::newRow("empty text") << "empty.css" << "/tmp/empty.css" << FileFormat{} << "";
    QTest::newRow("text that looks like a description")
        << "a.css" << "/a.css" << FileFormat{} << "Sheetsmith recovery 1\n{\"title\":\"b\"}\n";
}

void TestRecoveryFile::roundTrip()
{
    QFETCH(QString, title);
    QFETCH(QString, path);
    QFETCH(FileFormat, format);
    QFETCH(QString, text);
    RecoveryRecord written{title, path, format, text, QDateTime(QDate(2023, 12, 31), QTime(23, 59, 58, 7), Qt::UTC)};

    const RecoveryParse read = decodeRecovery(encodeRecovery(written));
    QVERIFY2(read.ok, qPrintable(read.error));
    QCOMPARE(read.record.title, title);
    QCOMPARE(read.record.path, path);
    QCOMPARE(read.record.format, format);
    QCOMPARE(read.record.text, text);
    QCOMPARE(read.record.saved, written.saved);
}

void TestRecoveryFile::damagedCopiesAreRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");

    const QByteArray whole = encodeRecovery(sample());
    const qsizetype textStart = whole.indexOf('\n', whole.indexOf('\n') + 1) + 1;
    QByteArray altered = whole;
    altered[textStart + 3] = 'X';

    QTest::newRow("empty file") << QByteArray() << "not a recovery file";
    QTest::newRow("a style sheet") << QByteArray("p { color: red; }\n") << "not a recovery file";
    QTest::newRow("cut inside the description") << whole.left(40) << "description is cut short";
    QTest::newRow("description not JSON") << withHeaderEdit("{\"", "[\"") << "description is damaged";
    QTest::newRow("no title") << withHeaderEdit("\"title\"", "\"titel\"") << "description is damaged";
    QTest::newRow("unknown encoding") << withHeaderEdit("windows-1252", "koi8-r") << "description is damaged";
    QTest::newRow("unknown line ending") << withHeaderEdit("\"crlf\"", "\"cr\"") << "description is damaged";
    QTest::newRow("time not a time") << withHeaderEdit("2024-03-05", "2024-13-45") << "description is damaged";
    QTest::newRow("text cut short") << whole.chopped(1) << "cut short";
    QTest::newRow("text cut to nothing") << whole.left(textStart) << "cut short";
    QTest::newRow("a character of the text altered") << altered << "does not match its checksum";
    QTest::newRow("bytes after the text") << whole + "!" << "does not match its checksum";
}

void TestRecoveryFile::damagedCopiesAreRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    const RecoveryParse read = decodeRecovery(bytes);
    QVERIFY(!read.ok);
    QVERIFY2(read.error.contains(reason), qPrintable(read.error));
    QCOMPARE(read.record.text, QString());
}

QTEST_APPLESS_MAIN(TestRecoveryFile)
#include "tst_recoveryfile.moc"
