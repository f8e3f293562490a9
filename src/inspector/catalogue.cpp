#include "inspector/catalogue.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>
#include <QStringList>

namespace sheetsmith {

namespace {

constexpr qsizetype ValueLabelLength = 6;
constexpr qsizetype InfoLabelLength = 5;
const QString CatalogueFileName = QStringLiteral("css1.txt");

// The catalogue is meant to be ASCII; a file saved in UTF-8 reads as such, anything
// else as the 8-bit Windows code page it most likely came from, so no byte is lost.
QString decodeCatalogue(const QByteArray &bytes)
{
    // The bytes are checked as a whole: the decoder's hasError() misses a sequence cut
    // off at the very end, which it holds back waiting for more and then drops.
    if (bytes.isValidUtf8()) {
        QStringDecoder utf8(QStringConverter::Utf8);
        return utf8(bytes);
    }
    QStringDecoder cp1252("windows-1252");
    if (cp1252.isValid()) {
        QString text = cp1252(bytes);
        if (!cp1252.hasError())
            return text;
    }
    return QString::fromLatin1(bytes);
}

// The file's lines without their CR LF or LF. A break at the very end does not open
// another line, so "the file ends inside a record" is told apart from a short line.
QStringList catalogueLines(const QString &text)
{
    QStringList lines = text.split(u'\n');
    if (lines.last().isEmpty())
        lines.removeLast();
    for (QString &line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    return lines;
}

CatalogueResult refused(const QString &message)
{
    CatalogueResult result;
    result.ok = false;
    result.error = message;
    return result;
}

QString damaged(const QString &fileName, const QString &problem)
{
    return QStringLiteral("The property catalogue \"%1\" is damaged: %2").arg(fileName, problem);
}

} // namespace

CatalogueResult parseCatalogue(const QByteArray &bytes, const QString &fileNameForMessages)
{
    const QString &file = fileNameForMessages;
    const QStringList lines = catalogueLines(decodeCatalogue(bytes));
    const qsizetype lineCount = lines.size();

    CatalogueResult result;
    // Property names are compared without regard to case, as CSS compares them, so
    // "Color" and "color" count as the same property. Value: the 1-based header line.
    QHash<QString, qsizetype> headerLineOf;
    int k = 0;

    for (qsizetype i = 0; i < lineCount; ++i) {
        const QString &header = lines.at(i);
        if (!header.startsWith(u'['))
            continue;
        const qsizetype headerLine = i + 1;
        if (header.size() < 2) {
            return refused(damaged(file, QStringLiteral("line %1 begins a record with \"[\" but "
                                                        "holds no property name.")
                                             .arg(headerLine)));
        }
        if (k == CataloguePropertyCount) {
            return refused(damaged(file, QStringLiteral("it holds more than %1 property records "
                                                        "(record %2 begins on line %3).")
                                             .arg(CataloguePropertyCount)
                                             .arg(k + 1)
                                             .arg(headerLine)));
        }
        const QString name = header.mid(1, header.size() - 2);
        const QString key = name.toLower();
        if (const auto seen = headerLineOf.constFind(key); seen != headerLineOf.cend()) {
            return refused(damaged(file, QStringLiteral("the property \"%1\" has two records, "
                                                        "on lines %2 and %3.")
                                             .arg(name)
                                             .arg(seen.value())
                                             .arg(headerLine)));
        }
        headerLineOf.insert(key, headerLine);

        if (i + 1 >= lineCount) {
            return refused(damaged(file, QStringLiteral("it ends inside the record of \"%1\" "
                                                        "(line %2), before its value line.")
                                             .arg(name)
                                             .arg(headerLine)));
        }
        const QString &valueLine = lines.at(i + 1);
        if (valueLine.size() < ValueLabelLength) {
            return refused(damaged(file, QStringLiteral("the value line of \"%1\" (line %2) is "
                                                        "shorter than its %3-character label.")
                                             .arg(name)
                                             .arg(headerLine + 1)
                                             .arg(ValueLabelLength)));
        }
        if (i + 2 >= lineCount) {
            return refused(damaged(file, QStringLiteral("it ends inside the record of \"%1\" "
                                                        "(line %2), before its description line.")
                                             .arg(name)
                                             .arg(headerLine)));
        }
        const QString &infoLine = lines.at(i + 2);
        if (infoLine.size() < InfoLabelLength) {
            return refused(damaged(file, QStringLiteral("the description line of \"%1\" (line %2) "
                                                        "is shorter than its %3-character label.")
                                             .arg(name)
                                             .arg(headerLine + 2)
                                             .arg(InfoLabelLength)));
        }

        result.catalogue.PropName[k] = name;
        result.catalogue.PropValues[k] = valueLine.mid(ValueLabelLength);
        result.catalogue.PropInfo[k] = infoLine.mid(InfoLabelLength);
        ++k;
        i += 2;
    }

    // Every row of the property list shows one entry, keyed by its name. Rows that no
    // record filled would all have the empty name and could not be told apart (nor
    // written to), so a short catalogue is refused rather than shown with gaps.
    if (k < CataloguePropertyCount) {
        return refused(QStringLiteral("The property catalogue \"%1\" is incomplete: it holds "
                                      "only %2 of the %3 property records.")
                           .arg(file)
                           .arg(k)
                           .arg(CataloguePropertyCount));
    }
    result.ok = true;
    return result;
}

CatalogueResult LoadCatalogue(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return refused(QStringLiteral("The property catalogue \"%1\" was not found.").arg(path));
    if (info.isDir()) {
        return refused(
            QStringLiteral("The property catalogue \"%1\" is a folder, not a file.").arg(path));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return refused(QStringLiteral("The property catalogue \"%1\" cannot be read: %2")
                           .arg(path, file.errorString()));
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return refused(QStringLiteral("The property catalogue \"%1\" cannot be read: %2")
                           .arg(path, file.errorString()));
    }
    file.close();
    return parseCatalogue(bytes, path);
}

QString catalogueFilePath(const QString &executableDir)
{
    const QDir dir(executableDir);
    const QString candidates[] = {
        dir.filePath(CatalogueFileName),
        QDir::cleanPath(dir.filePath(QStringLiteral(SHEETSMITH_DATA_FROM_BIN "/") + CatalogueFileName)),
    };
    for (const QString &candidate : candidates) {
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return candidates[0];
}

QString catalogueFilePath()
{
    return catalogueFilePath(QCoreApplication::applicationDirPath());
}

ValueEditorKind editorKindFor(const QString &valueList)
{
    if (valueList.contains(u'|'))
        return ValueEditorKind::DropDown;
    if (valueList == QLatin1String("<font>"))
        return ValueEditorKind::FontPicker;
    return ValueEditorKind::FreeText;
}

} // namespace sheetsmith
