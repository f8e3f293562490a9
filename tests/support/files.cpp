#include "support/files.h"

#include "text/tabs.h"
#include "text/textmodel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace sheetsmith {

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QString corpusDir()
{
    return QStringLiteral(SHEETSMITH_CORPUS);
}

QStringList corpusSheets()
{
    const QDir dir(corpusDir() + QStringLiteral("/css"));
    QStringList paths;
    for (const QString &name : dir.entryList({QStringLiteral("*.css")}, QDir::Files, QDir::Name))
        paths << dir.filePath(name);
    return paths;
}

void addCorpusRows()
{
    QTest::addColumn<QString>("path");
    const QStringList sheets = corpusSheets();
    QVERIFY2(!sheets.isEmpty(), qPrintable(corpusDir()));
    for (const QString &path : sheets)
        QTest::newRow(qPrintable(QFileInfo(path).fileName())) << path;
}

QString editorText(const QString &path)
{
    return ExpandTabs(TextModel::toCrLf(QString::fromUtf8(readBytes(path))), 4);
}

} // namespace sheetsmith
