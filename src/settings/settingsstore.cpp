#include "settings/settingsstore.h"

#include "settings/settingskeys.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QSettings>
#include <QStringList>
#include <QVariant>

#include <cmath>
#include <limits>

namespace sheetsmith {

namespace {

// Sizes and widths beyond these are typing slips rather than choices; taking them
// literally would make the editor unusable (or a sheet with many tabs enormous).
constexpr double MaxFontSize = 1000.0;
constexpr int MaxTabWidth = 100;

constexpr qint32 MaxColourValue = 0xFFFFFF;

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The whole text, blanks around it aside, as a signed decimal integer.
std::optional<qint64> strictInteger(const QString &text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
        ++i;
    if (i == t.size())
        return std::nullopt;
    for (qsizetype k = i; k < t.size(); ++k) {
        if (!isDigit(t[k]))
            return std::nullopt;
    }
    bool ok = false;
    const qint64 value = t.toLongLong(&ok);
    if (!ok)
        return std::nullopt; // too long even for 64 bits: out of range anyway
    return value;
}

std::optional<double> fontSizeOf(const QString &text)
{
    const double size = SettingsStore::numericValue(text);
    if (size > 0 && size <= MaxFontSize)
        return size;
    return std::nullopt;
}

std::optional<int> tabWidthOf(const QString &text)
{
    const std::optional<qint16> width = SettingsStore::toInt16(text);
    if (width && *width >= 0 && *width <= MaxTabWidth)
        return *width;
    return std::nullopt;
}

struct Colour
{
    QString definition;
    qint32 value;
};

// One colour from its two stored forms. A good form is kept as it is (the RTF
// definition verbatim, since the colour table is matched by its text); a malformed
// form is derived from the other one, and only when both are bad does the default
// apply.
Colour resolveColour(const QString &definition, const QString &number, qint32 fallback)
{
    const std::optional<qint32> fromDefinition = SettingsStore::rtfColourValue(definition);
    const std::optional<qint32> fromNumber = SettingsStore::colourNumber(number);
    if (fromDefinition && fromNumber)
        return {definition, *fromNumber};
    if (fromDefinition)
        return {definition, *fromDefinition};
    if (fromNumber)
        return {SettingsStore::rtfColourDefinition(*fromNumber), *fromNumber};
    return {SettingsStore::rtfColourDefinition(fallback), fallback};
}

} // namespace

SettingsStore::SettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                             QStringLiteral("Sheetsmith"),
                                             QStringLiteral("Sheetsmith")))
{
    checkAccess(false);
}

SettingsStore::SettingsStore(const QString &iniPath)
    : m_settings(std::make_unique<QSettings>(iniPath, QSettings::IniFormat))
{
    checkAccess(false);
}

void SettingsStore::checkAccess(bool writing)
{
    const QSettings::Status status = m_settings->status();
    if (status == QSettings::NoError || !m_problem.isEmpty())
        return;
    const QFileInfo file(m_settings->fileName());
    const QFileInfo folder(file.absolutePath());
    QString reason;
    bool unread = !writing;
    if (file.exists() && !file.isReadable()) {
        reason = QStringLiteral("you do not have permission to read it");
        unread = true;
    } else if (status == QSettings::FormatError) {
        reason = QStringLiteral("it is not a settings file Sheetsmith can read");
        unread = true;
    } else if (file.exists() && !file.isWritable()) {
        reason = QStringLiteral("you do not have permission to change it");
    } else if (!folder.isDir() || !folder.isWritable()) {
        reason = QStringLiteral("you do not have permission to write in the folder \"%1\"")
                     .arg(QDir::toNativeSeparators(folder.absoluteFilePath()));
    } else {
        reason = writing ? QStringLiteral("it cannot be written") : QStringLiteral("it cannot be read");
    }
    m_problem = QStringLiteral("The settings file \"%1\" cannot be used: %2. ")
                    .arg(QDir::toNativeSeparators(file.absoluteFilePath()), reason)
        + (unread ? QStringLiteral("Sheetsmith runs with its default settings, and changes to them will not "
                                   "be kept.")
                  : QStringLiteral("Changes to the settings will not be kept."));
    tellProblemOnce();
}

void SettingsStore::setProblemHandler(std::function<void(const QString &)> handler)
{
    m_problemHandler = std::move(handler);
    tellProblemOnce();
}

void SettingsStore::tellProblemOnce()
{
    if (m_problem.isEmpty() || !m_problemHandler || m_problemTold)
        return;
    m_problemTold = true;
    m_problemHandler(m_problem);
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::fileName() const
{
    return m_settings->fileName();
}

QString SettingsStore::read(const QString &section, const QString &key) const
{
    const QVariant value = m_settings->value(section + u'/' + key);
    // A hand-edited file may hold an unquoted value with commas, which the INI reader
    // splits into a list; the text the author wrote is the list joined again.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(u',');
    return value.toString();
}

bool SettingsStore::contains(const QString &section, const QString &key) const
{
    return m_settings->contains(section + u'/' + key);
}

void SettingsStore::write(const QString &section, const QString &key, const QString &value)
{
    m_settings->setValue(section + u'/' + key, value);
    m_settings->sync();
    checkAccess(true);
}

bool SettingsStore::remove(const QString &section, const QString &key)
{
    if (!contains(section, key))
        return false;
    m_settings->remove(section + u'/' + key);
    m_settings->sync();
    checkAccess(true);
    return true;
}

double SettingsStore::numericValue(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    const qsizetype digitsStart = i;
    while (i < text.size() && isDigit(text[i]))
        ++i;
    qsizetype digits = i - digitsStart;
    if (i < text.size() && text[i] == u'.') {
        const qsizetype fractionStart = ++i;
        while (i < text.size() && isDigit(text[i]))
            ++i;
        digits += i - fractionStart;
    }
    if (digits == 0)
        return 0;
    bool ok = false;
    const double value = text.mid(start, i - start).toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0;
}

std::optional<qint16> SettingsStore::toInt16(const QString &text)
{
    const std::optional<qint64> value = strictInteger(text);
    if (!value || *value < std::numeric_limits<qint16>::min()
        || *value > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return qint16(*value);
}

std::optional<qint32> SettingsStore::toInt32(const QString &text)
{
    const std::optional<qint64> value = strictInteger(text);
    if (!value || *value < std::numeric_limits<qint32>::min()
        || *value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(*value);
}

std::optional<float> SettingsStore::toSingle(const QString &text)
{
    // QString::toDouble reads the C locale's form only (no group separators) and
    // ignores blanks around the number; infinities and NaN are not numbers here.
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
        return std::nullopt;
    return float(value);
}

QString SettingsStore::rtfColourDefinition(qint32 colourValue)
{
    return QStringLiteral("\\red%1\\green%2\\blue%3")
        .arg(colourValue & 0xFF)
        .arg((colourValue >> 8) & 0xFF)
        .arg((colourValue >> 16) & 0xFF);
}

std::optional<qint32> SettingsStore::rtfColourValue(const QString &definition)
{
    static const QRegularExpression form(
        QStringLiteral("^\\\\red([0-9]{1,3})\\\\green([0-9]{1,3})\\\\blue([0-9]{1,3})$"));
    const QRegularExpressionMatch match = form.match(definition);
    if (!match.hasMatch())
        return std::nullopt;
    qint32 value = 0;
    for (int component = 0; component < 3; ++component) {
        const int c = match.captured(component + 1).toInt();
        if (c > 255)
            return std::nullopt;
        value |= c << (8 * component);
    }
    return value;
}

std::optional<qint32> SettingsStore::colourNumber(const QString &text)
{
    const std::optional<qint32> value = toInt32(text);
    if (!value || *value < 0 || *value > MaxColourValue)
        return std::nullopt;
    return value;
}

QString SettingsStore::defaultFontFamily()
{
    const QString generic = QStringLiteral("Monospace");
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return generic;
    const QStringList families = QFontDatabase::families();
    // The desktop's own fixed font first; it is often an alias ("Monospace") that
    // is not itself a family, so well-known installed ones follow.
    const QStringList candidates{
        QFontDatabase::systemFont(QFontDatabase::FixedFont).family(),
        QStringLiteral("DejaVu Sans Mono"),
        QStringLiteral("Liberation Mono"),
        QStringLiteral("Noto Sans Mono"),
        QStringLiteral("Courier New"),
    };
    for (const QString &candidate : candidates) {
        for (const QString &family : families) {
            if (family.compare(candidate, Qt::CaseInsensitive) == 0)
                return family;
        }
    }
    for (const QString &family : families) {
        if (QFontDatabase::isFixedPitch(family))
            return family;
    }
    return families.isEmpty() ? generic : families.first();
}

void SettingsStore::ensureEditorDefaults()
{
    namespace e = keys::editor;
    const EditorSettings resolved = editorSettings();
    const auto stored = [this](QLatin1String key) { return read(e::Section, key); };

    if (stored(e::FontName).trimmed().isEmpty())
        write(e::Section, e::FontName, resolved.fontName);
    if (!fontSizeOf(stored(e::FontSize)))
        write(e::Section, e::FontSize, keys::defaults::FontSizeText);
    if (!tabWidthOf(stored(e::TabWidth)))
        write(e::Section, e::TabWidth, keys::defaults::TabWidthText);

    const struct
    {
        QLatin1String definitionKey;
        QLatin1String numberKey;
        QString definition;
        qint32 value;
    } colours[] = {
        {e::Selectors, e::LSelectors, resolved.selectorColour, resolved.selectorColourValue},
        {e::Brackets, e::LBrackets, resolved.bracketColour, resolved.bracketColourValue},
        {e::Comments, e::LComments, resolved.commentColour, resolved.commentColourValue},
    };
    for (const auto &colour : colours) {
        if (!rtfColourValue(stored(colour.definitionKey)))
            write(e::Section, colour.definitionKey, colour.definition);
        if (!colourNumber(stored(colour.numberKey)))
            write(e::Section, colour.numberKey, QString::number(colour.value));
    }
}

EditorSettings SettingsStore::editorSettings() const
{
    namespace e = keys::editor;
    namespace d = keys::defaults;
    EditorSettings s;

    s.fontName = read(e::Section, e::FontName);
    if (s.fontName.trimmed().isEmpty())
        s.fontName = defaultFontFamily();
    s.fontSize = fontSizeOf(read(e::Section, e::FontSize)).value_or(d::FontSize);
    s.tabWidth = tabWidthOf(read(e::Section, e::TabWidth)).value_or(d::TabWidth);

    const Colour selector = resolveColour(read(e::Section, e::Selectors),
                                          read(e::Section, e::LSelectors), d::SelectorColourValue);
    const Colour bracket = resolveColour(read(e::Section, e::Brackets),
                                         read(e::Section, e::LBrackets), d::BracketColourValue);
    const Colour comment = resolveColour(read(e::Section, e::Comments),
                                         read(e::Section, e::LComments), d::CommentColourValue);
    s.selectorColour = selector.definition;
    s.selectorColourValue = selector.value;
    s.bracketColour = bracket.definition;
    s.bracketColourValue = bracket.value;
    s.commentColour = comment.definition;
    s.commentColourValue = comment.value;
    return s;
}

int SettingsStore::tabWidth() const
{
    return tabWidthOf(read(keys::editor::Section, keys::editor::TabWidth))
        .value_or(keys::defaults::TabWidth);
}

} // namespace sheetsmith
