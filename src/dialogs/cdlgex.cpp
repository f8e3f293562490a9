#include "dialogs/cdlgex.h"

#include "dialogs/dialogseam.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace sheetsmith {

namespace {

struct FilterPair
{
    QString description;
    QStringList patterns;
};

// The "|"-separated filter as description and pattern pairs, one entry per pair in
// the filter text (null descriptions mark pairs that give no Qt filter).
QList<FilterPair> filterPairs(const QString &filter)
{
    QList<FilterPair> pairs;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        FilterPair pair;
        for (const QString &pattern : parts.at(i + 1).split(u';')) {
            const QString p = pattern.trimmed();
            if (p.isEmpty())
                continue;
            pair.patterns << (p == QLatin1String("*.*") ? QStringLiteral("*") : p);
        }
        if (!pair.patterns.isEmpty()) {
            pair.description = parts.at(i).trimmed();
            if (pair.description.isEmpty())
                pair.description = parts.at(i + 1).trimmed();
        }
        pairs << pair;
    }
    return pairs;
}

int toColourNumber(const QColor &colour)
{
    return colour.red() + 256 * colour.green() + 65536 * colour.blue();
}

QColor fromColourNumber(int value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

} // namespace

void CdlgEx::setAction(int action)
{
    switch (action) {
    case 1:
        ShowOpen();
        break;
    case 2:
        ShowSave();
        break;
    case 3:
        ShowColor();
        break;
    default:
        break;
    }
}

void CdlgEx::ShowOpen()
{
    showFileDialog(false);
}

void CdlgEx::ShowSave()
{
    showFileDialog(true);
}

void CdlgEx::showFileDialog(bool save)
{
    FileDialogRequest request;
    request.owner = m_owner;
    request.title = m_dialogTitle;
    request.flags = m_flags & ~FileHookFlags;
    request.directory = startFolder(m_fileName, m_initDir);
    request.initialFile = QFileInfo(m_fileName).fileName();
    request.nameFilters = toNameFilters(m_filter);
    request.filterIndex = nameFilterIndex(m_filter, m_filterIndex);
    request.defaultSuffix = m_defaultExt.startsWith(u'.') ? m_defaultExt.mid(1) : m_defaultExt;

    DialogSeam &dialogs = DialogSeam::current();
    const bool accepted = save ? dialogs.saveFile(request) : dialogs.openFile(request);
    if (!accepted || request.selectedFile.isEmpty()) {
        m_cdlError = QStringLiteral("Cancel");
        return;
    }
    QString chosen = request.selectedFile;
    if (save)
        chosen = withDefaultExtension(chosen, m_defaultExt);
    m_fileName = chosen;
    m_fileTitle = QFileInfo(chosen).fileName();
    m_cdlError.clear();
}

void CdlgEx::ShowColor()
{
    ColourDialogRequest request;
    request.owner = m_owner;
    request.flags = m_flags & ColourFlagMask;
    request.colour = (request.flags & ColourRgbInit) ? fromColourNumber(m_rgbResult) : QColor(0, 0, 0);

    if (!DialogSeam::current().chooseColour(request) || !request.colour.isValid()) {
        m_cdlError = QStringLiteral("Cancel");
        return;
    }
    m_rgbResult = toColourNumber(request.colour);
    m_cdlError.clear();
}

QStringList CdlgEx::toNameFilters(const QString &filter)
{
    QStringList filters;
    for (const FilterPair &pair : filterPairs(filter)) {
        if (!pair.patterns.isEmpty())
            filters << pair.description + QLatin1String(" (") + pair.patterns.join(u' ') + u')';
    }
    return filters;
}

int CdlgEx::nameFilterIndex(const QString &filter, int filterIndex)
{
    const QList<FilterPair> pairs = filterPairs(filter);
    if (filterIndex < 1 || filterIndex > pairs.size() || pairs.at(filterIndex - 1).patterns.isEmpty())
        return 0;
    int index = 0;
    for (int i = 0; i < filterIndex - 1; ++i) {
        if (!pairs.at(i).patterns.isEmpty())
            ++index;
    }
    return index;
}

QString CdlgEx::startFolder(const QString &fileName, const QString &initDir)
{
    if (!initDir.isEmpty())
        return initDir;
    if (fileName.contains(u'/')) {
        const QString folder = QFileInfo(fileName).absolutePath();
        if (QFileInfo(folder).isDir())
            return folder;
    }
    return QCoreApplication::applicationDirPath();
}

QString CdlgEx::withDefaultExtension(const QString &path, const QString &defaultExt)
{
    const QString extension = defaultExt.startsWith(u'.') ? defaultExt.mid(1) : defaultExt;
    if (extension.isEmpty() || QFileInfo(path).fileName().contains(u'.'))
        return path;
    return path + u'.' + extension;
}

} // namespace sheetsmith
