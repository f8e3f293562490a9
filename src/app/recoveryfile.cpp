#include "app/recoveryfile.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>

namespace sheetsmith {

namespace {

const QByteArray FormLine("Sheetsmith recovery 1\n");

QString encodingName(FileFormat::Encoding encoding)
{
    return encoding == FileFormat::Encoding::Windows1252 ? QStringLiteral("windows-1252")
                                                         : QStringLiteral("utf-8");
}

QString lineEndingName(FileFormat::LineEnding ending)
{
    return ending == FileFormat::LineEnding::CrLf ? QStringLiteral("crlf") : QStringLiteral("lf");
}

RecoveryParse failure(const QString &reason)
{
    RecoveryParse parse;
    parse.error = reason;
    return parse;
}

} // namespace

QByteArray encodeRecovery(const RecoveryRecord &record)
{
    const QByteArray text = record.text.toUtf8();
    QJsonObject header;
    header.insert(QStringLiteral("title"), record.title);
    header.insert(QStringLiteral("path"), record.path);
    header.insert(QStringLiteral("encoding"), encodingName(record.format.encoding));
    header.insert(QStringLiteral("bom"), record.format.bom);
    header.insert(QStringLiteral("lineEnding"), lineEndingName(record.format.lineEnding));
    header.insert(QStringLiteral("saved"), record.saved.toUTC().toString(Qt::ISODateWithMs));
    header.insert(QStringLiteral("length"), double(text.size()));
    header.insert(QStringLiteral("sha256"),
                  QString::fromLatin1(QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex()));
    // Compact JSON escapes every line break inside strings, so the header is one line.
    return FormLine + QJsonDocument(header).toJson(QJsonDocument::Compact) + '\n' + text;
}

RecoveryParse decodeRecovery(const QByteArray &bytes)
{
    if (!bytes.startsWith(FormLine))
        return failure(QStringLiteral("it is not a recovery file of this program"));
    const qsizetype headerStart = FormLine.size();
    const qsizetype headerEnd = bytes.indexOf('\n', headerStart);
    if (headerEnd < 0)
        return failure(QStringLiteral("its description is cut short"));
    QJsonParseError jsonError;
    const QJsonDocument json =
        QJsonDocument::fromJson(bytes.mid(headerStart, headerEnd - headerStart), &jsonError);
    if (jsonError.error != QJsonParseError::NoError || !json.isObject())
        return failure(QStringLiteral("its description is damaged"));
    const QJsonObject header = json.object();

    const QJsonValue title = header.value(QStringLiteral("title"));
    const QJsonValue path = header.value(QStringLiteral("path"));
    const QJsonValue encoding = header.value(QStringLiteral("encoding"));
    const QJsonValue bom = header.value(QStringLiteral("bom"));
    const QJsonValue lineEnding = header.value(QStringLiteral("lineEnding"));
    const QDateTime saved =
        QDateTime::fromString(header.value(QStringLiteral("saved")).toString(), Qt::ISODateWithMs);
    const QJsonValue length = header.value(QStringLiteral("length"));
    const QString sha256 = header.value(QStringLiteral("sha256")).toString();
    const bool knownEncoding = encoding == QLatin1String("utf-8") || encoding == QLatin1String("windows-1252");
    const bool knownEnding = lineEnding == QLatin1String("lf") || lineEnding == QLatin1String("crlf");
    if (!title.isString() || title.toString().isEmpty() || !path.isString() || !knownEncoding || !bom.isBool()
        || !knownEnding || !saved.isValid() || !length.isDouble() || sha256.size() != 64)
        return failure(QStringLiteral("its description is damaged"));

    const QByteArray text = bytes.mid(headerEnd + 1);
    if (double(text.size()) < length.toDouble())
        return failure(QStringLiteral("its text is cut short"));
    if (double(text.size()) != length.toDouble()
        || QString::fromLatin1(QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex()) != sha256)
        return failure(QStringLiteral("its text does not match its checksum"));

    RecoveryParse parse;
    parse.ok = true;
    RecoveryRecord &r = parse.record;
    r.title = title.toString();
    r.path = path.toString();
    r.format.encoding = encoding == QLatin1String("windows-1252") ? FileFormat::Encoding::Windows1252
                                                                  : FileFormat::Encoding::Utf8;
    r.format.bom = bom.toBool();
    r.format.lineEnding = lineEnding == QLatin1String("crlf") ? FileFormat::LineEnding::CrLf
                                                             : FileFormat::LineEnding::Lf;
    r.saved = saved;
    // The checksum matched what was written, and that was UTF-8 made from a QString,
    // so this decodes exactly; a byte-order mark at the start is text, kept as such.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    r.text = utf8(text);
    return parse;
}

} // namespace sheetsmith
