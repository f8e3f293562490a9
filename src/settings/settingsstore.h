#pragma once

#include "editor/colouringrules.h"

#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>
#include <optional>

class QSettings;

namespace sheetsmith {

// The editor's look as the rest of the program uses it, every value already checked:
// a malformed stored value has been replaced by a sound one.
struct EditorSettings
{
    QString fontName;
    double fontSize = 0;
    int tabWidth = 0;
    // RTF colour-table definitions, "\red" R "\green" G "\blue" B.
    QString selectorColour;
    QString bracketColour;
    QString commentColour;
    // The same colours as numbers R + 256 * G + 65536 * B.
    qint32 selectorColourValue = 0;
    qint32 bracketColourValue = 0;
    qint32 commentColourValue = 0;

    // The three colours as the colouring takes them.
    SyntaxColours syntaxColours() const
    {
        return {selectorColour, bracketColour, commentColour,
                {selectorColourValue, bracketColourValue, commentColourValue}};
    }
};

// The per-user settings: sections of text values under keys, kept in an INI file
// (sections are INI groups). Every value is text; a missing value reads as empty text
// and each reader decides what that means. Every change is written to disk at once,
// so a crash loses nothing.
//
// A file that cannot be read leaves every value missing (the program runs on its
// defaults) and is never written over; a file that cannot be written keeps changes
// for this run only. Either is a problem() the program tells the author once.
class SettingsStore
{
public:
    // The user's own store, ~/.config/Sheetsmith/Sheetsmith.ini.
    SettingsStore();
    // A store kept in the given INI file (tests use a temporary one).
    explicit SettingsStore(const QString &iniPath);
    ~SettingsStore();

    SettingsStore(const SettingsStore &) = delete;
    SettingsStore &operator=(const SettingsStore &) = delete;

    QString fileName() const;

    // Why the settings will not be kept, naming the file and the reason; empty while
    // the file can be read and written.
    QString problem() const { return m_problem; }
    // Called once with the first problem (at once when there is one already).
    void setProblemHandler(std::function<void(const QString &)> handler);

    QString read(const QString &section, const QString &key) const;
    // Tells a key holding empty text from a missing one.
    bool contains(const QString &section, const QString &key) const;
    void write(const QString &section, const QString &key, const QString &value);
    // Returns false when the key did not exist; callers may ignore that.
    bool remove(const QString &section, const QString &key);

    // The leading decimal number of text: blanks skipped, an optional sign, digits with
    // an optional decimal part ("12.5pt" gives 12.5); 0 when the text starts otherwise.
    static double numericValue(const QString &text);
    // Strict conversions of the whole text (blanks around it aside). Integers take an
    // optional sign and decimal digits only; empty, non-numeric or out-of-range text
    // gives no value.
    static std::optional<qint16> toInt16(const QString &text);
    static std::optional<qint32> toInt32(const QString &text);
    static std::optional<float> toSingle(const QString &text);

    // "\red" R "\green" G "\blue" B for a colour number (red in the low byte).
    static QString rtfColourDefinition(qint32 colourValue);
    // The colour number of a definition of exactly that form with components 0..255.
    static std::optional<qint32> rtfColourValue(const QString &definition);
    // A colour number in 0..0xFFFFFF written as decimal text.
    static std::optional<qint32> colourNumber(const QString &text);

    // A monospace family installed on this machine; needs a QGuiApplication, without
    // one the generic "Monospace" is returned.
    static QString defaultFontFamily();

    // Writes a sound value for every "Editor" key that is missing or malformed, and
    // leaves good values alone.
    void ensureEditorDefaults();
    EditorSettings editorSettings() const;
    int tabWidth() const;

private:
    void checkAccess(bool writing);
    void tellProblemOnce();

    std::unique_ptr<QSettings> m_settings;
    QString m_problem;
    std::function<void(const QString &)> m_problemHandler;
    bool m_problemTold = false;
};

} // namespace sheetsmith
