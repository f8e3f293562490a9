#include "text/documentfile.h"
#include "support/childrun.h"
#include "support/files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace sheetsmith;

using Encoding = FileFormat::Encoding;
using LineEnding = FileFormat::LineEnding;

Q_DECLARE_METATYPE(FileFormat)

namespace {

FileFormat format(Encoding encoding, bool bom, LineEnding lineEnding)
{
    FileFormat f;
    f.encoding = encoding;
    f.bom = bom;
    f.lineEnding = lineEnding;
    return f;
}

const FileFormat Utf8Lf = format(Encoding::Utf8, false, LineEnding::Lf);
const FileFormat Utf8CrLf = format(Encoding::Utf8, false, LineEnding::CrLf);
const FileFormat Utf8BomLf = format(Encoding::Utf8, true, LineEnding::Lf);
const FileFormat Utf8BomCrLf = format(Encoding::Utf8, true, LineEnding::CrLf);
const FileFormat Ansi1252Lf = format(Encoding::Windows1252, false, LineEnding::Lf);
const FileFormat Ansi1252CrLf = format(Encoding::Windows1252, false, LineEnding::CrLf);

QByteArray bytesOf(const char *s, qsizetype n)
{
    return QByteArray(s, n);
}

// Every byte value but NUL and CR, in order: not UTF-8, so all of it is
// Windows-1252. (A CR without LF is a line break, written back in the file's style.)
QByteArray everyByteButNulAndCr()
{
    QByteArray bytes;
    for (int b = 1; b < 256; ++b) {
        if (b != '\r')
            bytes.append(char(b));
    }
    return bytes;
}


} // namespace

class TestDocumentFile : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void decode_data();
    void decode();
    void decodeRefusesBinaryData_data();
    void decodeRefusesBinaryData();
    void encode_data();
    void encode();
    void unchangedBytesRoundTrip_data();
    void unchangedBytesRoundTrip();
    void corpusRoundTrips_data();
    void corpusRoundTrips();

    void readFailuresNameTheFile_data();
    void readFailuresNameTheFile();
    void readRefusesUnreadableFile();
    void readRefusesHugeFile();

    void writeCreatesAndReplaces();
    void writeSwitchesToUtf8RatherThanLoseText();
    void failedWriteLeavesTheOldFile_data();
    void failedWriteLeavesTheOldFile();
    void writeIntoReadOnlyFolderLeavesTheOldFile();
    void writeCutShortLeavesTheOldFile();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestDocumentFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestDocumentFile::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<FileFormat>("expectedFormat");

    QTest::newRow("empty file") << QByteArray() << QString() << Utf8Lf;
    QTest::newRow("ASCII with LF") << QByteArray("a{}\nb{}\n") << "a{}\r\nb{}\r\n" << Utf8Lf;
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << "a\r\nb\r\n" << Utf8CrLf;
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF" "a{}\r\n") << "a{}\r\n"
                                    << Utf8BomCrLf;
    QTest::newRow("UTF-8 two-byte") << QByteArray("caf\xC3\xA9") << QString::fromUtf8("caf\xC3\xA9")
                                    << Utf8Lf;
    QTest::newRow("Windows-1252 e acute") << QByteArray("caf\xE9") << QString::fromUtf8("caf\xC3\xA9")
                                          << Ansi1252Lf;
    QTest::newRow("Windows-1252 euro and quotes")
        << QByteArray("\x80\x93\x94\r\n") << QString::fromUtf8("\xE2\x82\xAC\xE2\x80\x9C\xE2\x80\x9D\r\n")
        << Ansi1252CrLf;
    QTest::newRow("Windows-1252 undefined bytes are C1 controls")
        << QByteArray("\x81\x8D\x8F\x90\x9D")
        << QString(QChar(0x81)) + QChar(0x8D) + QChar(0x8F) + QChar(0x90) + QChar(0x9D) << Ansi1252Lf;
    QTest::newRow("BOM followed by bytes that are not UTF-8")
        << QByteArray("\xEF\xBB\xBF\xE9") << QString::fromUtf8("\xC3\xAF\xC2\xBB\xC2\xBF\xC3\xA9")
        << Ansi1252Lf;
    QTest::newRow("overlong UTF-8 is Windows-1252") << QByteArray("\xC0\xAF")
                                                    << QString::fromUtf8("\xC3\x80\xC2\xAF") << Ansi1252Lf;
    QTest::newRow("sequence cut off at the end")
        << QByteArray("ab\xE2\x82") << QString::fromUtf8("ab\xC3\xA2\xE2\x80\x9A") << Ansi1252Lf;
    QTest::newRow("first break LF, later CR LF") << QByteArray("a\nb\r\nc") << "a\r\nb\r\nc" << Utf8Lf;
    QTest::newRow("lone CR is a break") << QByteArray("a\rb") << "a\r\nb" << Utf8Lf;
    QTest::newRow("paragraph separator is not a break")
        << QByteArray("a\xE2\x80\xA9" "b") << QString::fromUtf8("a\xE2\x80\xA9" "b") << Utf8Lf;
}

void TestDocumentFile::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(FileFormat, expectedFormat);
    const ReadResult result = decodeDocument(bytes);
    QVERIFY(result.ok);
    QCOMPARE(result.text, text);
    QCOMPARE(result.format.encoding, expectedFormat.encoding);
    QCOMPARE(result.format.bom, expectedFormat.bom);
    QCOMPARE(result.format.lineEnding, expectedFormat.lineEnding);
}

void TestDocumentFile::decodeRefusesBinaryData_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("NUL inside text") << bytesOf("p { }\0x", 7);
    QTest::newRow("NUL alone") << bytesOf("\0", 1);
    QTest::newRow("UTF-16 text") << bytesOf("\xFF\xFEp\0{\0}\0", 8);
}

void TestDocumentFile::decodeRefusesBinaryData()
{
    QFETCH(QByteArray, bytes);
    const ReadResult result = decodeDocument(bytes);
    QVERIFY(!result.ok);
    QVERIFY(!result.error.isEmpty());
    QCOMPARE(result.text, QString());
}

void TestDocumentFile::encode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<FileFormat>("requested");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<FileFormat>("used");

    QTest::newRow("CR LF text into an LF file") << "a\r\nb\r\n" << Utf8Lf << QByteArray("a\nb\n")
                                                << Utf8Lf;
    QTest::newRow("stray LF and CR made CR LF") << "a\nb\rc\r\n" << Utf8CrLf
                                                << QByteArray("a\r\nb\r\nc\r\n") << Utf8CrLf;
    QTest::newRow("Windows-1252 euro and y diaeresis")
        << QString::fromUtf8("\xE2\x82\xAC\xC3\xBF") << Ansi1252Lf << QByteArray("\x80\xFF") << Ansi1252Lf;
    QTest::newRow("character outside Windows-1252 switches to UTF-8")
        << QString::fromUtf8("caf\xC3\xA9 \xE2\x98\x83\r\n") << Ansi1252CrLf
        << QByteArray("caf\xC3\xA9 \xE2\x98\x83\r\n") << Utf8CrLf;
    QTest::newRow("U+0080 has no Windows-1252 byte")
        << QString(QChar(0x80)) << Ansi1252Lf << QByteArray("\xC2\x80") << Utf8Lf;
    QTest::newRow("Windows-1252 file never gets a BOM")
        << "a" << format(Encoding::Windows1252, true, LineEnding::Lf) << QByteArray("a") << Ansi1252Lf;
}

void TestDocumentFile::encode()
{
    QFETCH(QString, text);
    QFETCH(FileFormat, requested);
    QFETCH(QByteArray, bytes);
    QFETCH(FileFormat, used);
    const EncodedDocument encoded = encodeDocument(text, requested);
    QCOMPARE(encoded.bytes, bytes);
    QCOMPARE(encoded.formatUsed.encoding, used.encoding);
    QCOMPARE(encoded.formatUsed.bom, used.bom);
    QCOMPARE(encoded.formatUsed.lineEnding, used.lineEnding);
}

void TestDocumentFile::unchangedBytesRoundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("CR LF without final break") << QByteArray("a{}\r\nb{}");
    QTest::newRow("UTF-8 BOM and CR LF") << QByteArray("\xEF\xBB\xBF/* \xC3\xA9 */\r\np{}\r\n");
    QTest::newRow("Windows-1252 CR LF") << QByteArray("/* caf\xE9 \x93q\x94 */\r\np{}");
    QTest::newRow("Windows-1252 undefined bytes") << QByteArray("\x81\x8D\x8F\x90\x9D\n");
    QTest::newRow("every byte but NUL and CR") << everyByteButNulAndCr();
    QTest::newRow("paragraph separator in UTF-8") << QByteArray("a\xE2\x80\xA9" "b\n");
}

void TestDocumentFile::unchangedBytesRoundTrip()
{
    QFETCH(QByteArray, bytes);
    const ReadResult decoded = decodeDocument(bytes);
    QVERIFY(decoded.ok);
    const EncodedDocument encoded = encodeDocument(decoded.text, decoded.format);
    QCOMPARE(encoded.bytes, bytes);
    QVERIFY(encoded.formatUsed == decoded.format);
}

void TestDocumentFile::corpusRoundTrips_data()
{
    addCorpusRows();
}

void TestDocumentFile::corpusRoundTrips()
{
    QFETCH(QString, path);
    const QByteArray original = readBytes(path);
    const ReadResult read = readDocumentFile(path);
    QVERIFY2(read.ok, qPrintable(read.error));

    const QString copy = m_dir->filePath(QStringLiteral("copy.css"));
    const WriteResult written = writeDocumentFile(copy, read.text, read.format);
    QVERIFY2(written.ok, qPrintable(written.error));
    QVERIFY(!written.encodingChanged);
    QVERIFY(written.formatUsed == read.format);
    QCOMPARE(readBytes(copy), original);
}

void TestDocumentFile::readFailuresNameTheFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content"); // written as a file unless the name says otherwise
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing file") << "missing.css" << QByteArray() << "does not exist";
    QTest::newRow("folder") << "folder.css/" << QByteArray() << "folder";
    QTest::newRow("binary file") << "image.css" << bytesOf("GIF89a\0\0", 8) << "not a text file";
    QTest::newRow("device") << "/dev/null" << QByteArray() << "not a text file";
}

void TestDocumentFile::readFailuresNameTheFile()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    QString path = name.startsWith(u'/') ? name : m_dir->filePath(name);
    if (path.endsWith(u'/')) {
        path.chop(1);
        QVERIFY(QDir().mkpath(path));
    } else if (!content.isEmpty()) {
        QVERIFY(writeBytes(path, content));
    }
    const ReadResult result = readDocumentFile(path);
    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains(path), qPrintable(result.error));
    QVERIFY2(result.error.contains(reason), qPrintable(result.error));
    QCOMPARE(result.text, QString());
}

void TestDocumentFile::readRefusesUnreadableFile()
{
    SHEETSMITH_RUN_UNPRIVILEGED();
    const QString path = m_dir->filePath(QStringLiteral("locked.css"));
    QVERIFY(writeBytes(path, "p{}"));
    QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
    const ReadResult result = readDocumentFile(path);
    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains(QLatin1String("permission")), qPrintable(result.error));
}

void TestDocumentFile::readRefusesHugeFile()
{
    const QString path = m_dir->filePath(QStringLiteral("huge.css"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    // Sparse on the usual file systems: no disk space is used.
    QVERIFY(file.resize(MaxDocumentFileSize + 1));
    file.close();
    const ReadResult result = readDocumentFile(path);
    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains(QLatin1String("too large")), qPrintable(result.error));
}

void TestDocumentFile::writeCreatesAndReplaces()
{
    const QString path = m_dir->filePath(QStringLiteral("site.css"));
    WriteResult result = writeDocumentFile(path, QStringLiteral("a{}\r\nb{}\r\n"), Utf8Lf);
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(readBytes(path), QByteArray("a{}\nb{}\n"));

    result = writeDocumentFile(path, QStringLiteral("c{}"), Utf8CrLf);
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(readBytes(path), QByteArray("c{}"));
    // Nothing but the file is left behind.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"site.css"});
}

void TestDocumentFile::writeSwitchesToUtf8RatherThanLoseText()
{
    const QString path = m_dir->filePath(QStringLiteral("legacy.css"));
    QVERIFY(writeBytes(path, "/* caf\xE9 */\r\n"));
    const ReadResult read = readDocumentFile(path);
    QVERIFY(read.ok);
    QCOMPARE(read.format.encoding, Encoding::Windows1252);

    const QString edited = read.text + QString::fromUtf8("/* \xE2\x98\x83 */\r\n");
    const WriteResult written = writeDocumentFile(path, edited, read.format);
    QVERIFY(written.ok);
    QVERIFY(written.encodingChanged);
    QCOMPARE(written.formatUsed.encoding, Encoding::Utf8);
    QCOMPARE(written.formatUsed.lineEnding, LineEnding::CrLf);

    const ReadResult reread = readDocumentFile(path);
    QVERIFY(reread.ok);
    QCOMPARE(reread.text, edited);
    QCOMPARE(reread.format.encoding, Encoding::Utf8);
}

void TestDocumentFile::failedWriteLeavesTheOldFile_data()
{
    QTest::addColumn<QString>("target"); // relative to the folder that holds old.css
    QTest::newRow("missing folder") << "no-such-folder/old.css";
    QTest::newRow("a file taken for a folder") << "old.css/new.css";
    QTest::newRow("a folder taken for a file") << "folder";
}

void TestDocumentFile::failedWriteLeavesTheOldFile()
{
    QFETCH(QString, target);
    const QString old = m_dir->filePath(QStringLiteral("old.css"));
    QVERIFY(writeBytes(old, "old content\n"));
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder")));
    const QString path = m_dir->filePath(target);

    const WriteResult result = writeDocumentFile(path, QStringLiteral("new content"), Utf8Lf);
    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains(path), qPrintable(result.error));
    QCOMPARE(readBytes(old), QByteArray("old content\n"));
    QVERIFY(QFileInfo(m_dir->filePath(QStringLiteral("folder"))).isDir());
}

void TestDocumentFile::writeIntoReadOnlyFolderLeavesTheOldFile()
{
    SHEETSMITH_RUN_UNPRIVILEGED();
    const QString folder = m_dir->filePath(QStringLiteral("locked"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/site.css");
    QVERIFY(writeBytes(path, "old content\n"));
    QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));

    const WriteResult result = writeDocumentFile(path, QStringLiteral("new content"), Utf8Lf);
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(!result.ok);
    QVERIFY(!result.error.isEmpty());
    QCOMPARE(readBytes(path), QByteArray("old content\n"));
}

void TestDocumentFile::writeCutShortLeavesTheOldFile()
{
    // A file-size limit makes the write fail part-way, as a full disk would; unlike
    // permissions it holds for the superuser too.
    const QString path = m_dir->filePath(QStringLiteral("site.css"));
    QVERIFY(writeBytes(path, "old content\n"));

    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 4096;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);

    const QString text(100000, u'x');
    const WriteResult result = writeDocumentFile(path, text, Utf8Lf);

    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains(path), qPrintable(result.error));
    QCOMPARE(readBytes(path), QByteArray("old content\n"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"site.css"});
}

QTEST_MAIN(TestDocumentFile)
#include "tst_documentfile.moc"
