#include "editor/rtf.h"

#include <QHash>

#include <algorithm>
#include <array>

namespace sheetsmith {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Characters that cannot stand in a font-table entry.
QString cleanFontName(const QString &name)
{
    QString out;
    out.reserve(name.size());
    for (const QChar c : name) {
        if (c != u';' && c != u'{' && c != u'}' && c != u'\\' && c >= u' ')
            out += c;
    }
    return out.trimmed();
}

void appendHexEscape(QString &out, char16_t c)
{
    static const char digits[] = "0123456789abcdef";
    out += u"\\'";
    out += QLatin1Char(digits[(c >> 4) & 0xF]);
    out += QLatin1Char(digits[c & 0xF]);
}

// Appends one text character in its RTF form. afterBrace: the character before it was
// an escaped brace (see writeRtf).
void appendTextChar(QString &out, QChar c, bool afterBrace)
{
    const char16_t u = c.unicode();
    if (u == u'\\' || u == u'{' || u == u'}') {
        out += u'\\';
        out += c;
    } else if (u == u'\t') {
        out += u"\\tab ";
    } else if (u < 0x20) {
        appendHexEscape(out, u);
    } else if (afterBrace && (u == u' ' || (u >= u'0' && u <= u'9'))) {
        appendHexEscape(out, u);
    } else if (u < 0x80) {
        out += c;
    } else {
        out += u"\\u";
        out += QString::number(qint16(u));
        out += u'?';
    }
}

} // namespace

QString RtfFontName(const QString &name)
{
    return cleanFontName(name);
}

QString writeRtf(const RtfContent &content)
{
    const QString &text = content.text;
    const auto colourOf = [&content](qsizetype i) {
        return size_t(i) < content.colours.size() ? content.colours[size_t(i)] : kAutoColour;
    };

    // Colour-table entries in order of first use; entry 0 is automatic.
    std::vector<ColourValue> table;
    QHash<ColourValue, int> entryOf;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const ColourValue c = colourOf(i);
        if (c != kAutoColour && isValidColour(c) && !entryOf.contains(c)) {
            table.push_back(c);
            entryOf.insert(c, int(table.size()));
        }
    }
    const auto entry = [&entryOf](ColourValue c) { return entryOf.value(c, 0); };

    QString out;
    out.reserve(text.size() + text.size() / 8 + 256);
    out += u"{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil ";
    out += cleanFontName(content.fontName);
    out += u";}}";
    out += kCrLf;
    if (!table.empty()) {
        out += u"{\\colortbl ;";
        for (const ColourValue c : table) {
            out += colourToRtfDefinition(c);
            out += u';';
        }
        out += u'}';
        out += kCrLf;
    }
    out += u"\\viewkind4\\uc1\\pard\\f0";
    if (content.fontHalfPoints > 0) {
        out += u"\\fs";
        out += QString::number(content.fontHalfPoints);
    }
    out += u' ';

    int current = 0;
    bool afterBrace = false;
    const auto switchTo = [&](qsizetype i) {
        const int e = entry(colourOf(i));
        if (e != current) {
            out += u"\\cf";
            out += QString::number(e);
            out += u' ';
            current = e;
            // The blank ends the colour word, so nothing after it can be swallowed.
            afterBrace = false;
        }
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            // A break is the line's end; its colour stays in effect for the \par that
            // starts the next line.
            switchTo(i);
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            out += kCrLf;
            out += u"\\par ";
            afterBrace = false;
            continue;
        }
        switchTo(i);
        appendTextChar(out, c, afterBrace);
        afterBrace = c == u'{' || c == u'}';
    }
    out += kCrLf;
    out += u"\\par }";
    out += kCrLf;
    return out;
}

namespace {

// Windows-1252 bytes 0x80 to 0x9F; the five undefined bytes keep their C1 code.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t fromCp1252(int byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return kCp1252High[size_t(byte - 0x80)];
    return char16_t(byte);
}

bool isAsciiLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

bool isAsciiDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

enum class Destination { Text, FontTable, ColourTable, Skip };

struct GroupState
{
    Destination destination = Destination::Text;
    int colourIndex = -1; // -1: automatic (no \cf in effect)
    int unicodeSkip = 1;  // \ucN
};

// Destinations whose content is never document text.
bool isSkippedDestination(QStringView word)
{
    static const QStringList words = {
        QStringLiteral("stylesheet"), QStringLiteral("info"), QStringLiteral("pict"),
        QStringLiteral("object"), QStringLiteral("header"), QStringLiteral("headerl"),
        QStringLiteral("headerr"), QStringLiteral("headerf"), QStringLiteral("footer"),
        QStringLiteral("footerl"), QStringLiteral("footerr"), QStringLiteral("footerf"),
        QStringLiteral("footnote"), QStringLiteral("annotation"), QStringLiteral("fldinst"),
        QStringLiteral("listtable"), QStringLiteral("listoverridetable"),
        QStringLiteral("revtbl"), QStringLiteral("rsidtbl"), QStringLiteral("generator"),
        QStringLiteral("filetbl"), QStringLiteral("themedata"),
        QStringLiteral("colorschememapping"), QStringLiteral("latentstyles"),
        QStringLiteral("datastore"), QStringLiteral("xmlnstbl"), QStringLiteral("mmathPr"),
        QStringLiteral("userprops"), QStringLiteral("docvar"), QStringLiteral("nonshppict"),
        QStringLiteral("shppict"), QStringLiteral("bkmkstart"), QStringLiteral("bkmkend"),
        QStringLiteral("xe"), QStringLiteral("tc"), QStringLiteral("template"),
        QStringLiteral("falt"), QStringLiteral("panose"),
    };
    return words.contains(word);
}

class RtfReader
{
public:
    explicit RtfReader(const QString &source) : m_src(source) {}

    RtfContent read(qsizetype start);

private:
    GroupState &state() { return m_stack.back(); }
    void openGroup();
    // Returns false when the document group closed.
    bool closeGroup();
    void controlWord(QStringView word, bool hasParam, int param);
    void controlSymbol(QChar c);
    void character(QChar c);
    void textChar(char16_t c);
    void textBreak();
    void endFontEntry();
    void endColourEntry();

    const QString &m_src;
    qsizetype m_pos = 0;

    // Groups deeper than this share the state of the deepest kept one; only their
    // braces are counted, so that hostile nesting costs no memory.
    static constexpr size_t kMaxDepth = 256;
    std::vector<GroupState> m_stack;
    qsizetype m_extraDepth = 0;
    bool m_destinationIgnorable = false; // a \* was just read

    int m_pendingSkip = 0; // fallback characters still to skip after \uN

    QString m_text;
    std::vector<int> m_colourIndexes;
    bool m_breakPending = false;
    int m_breakColourIndex = -1;

    int m_fontHalfPoints = 0;
    int m_fontNumber = 0;
    QString m_fontNameBuffer;
    std::vector<std::pair<int, QString>> m_fonts;

    std::vector<ColourValue> m_colourTable;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colourGiven = false;
};

void RtfReader::openGroup()
{
    m_pendingSkip = 0;
    m_destinationIgnorable = false;
    if (m_stack.size() >= kMaxDepth) {
        ++m_extraDepth;
        return;
    }
    GroupState inner = state();
    m_stack.push_back(inner);
}

bool RtfReader::closeGroup()
{
    m_pendingSkip = 0;
    m_destinationIgnorable = false;
    if (m_extraDepth > 0) {
        --m_extraDepth;
        return true;
    }
    if (state().destination == Destination::FontTable && !m_fontNameBuffer.trimmed().isEmpty())
        endFontEntry();
    m_stack.pop_back();
    return m_stack.size() > 1;
}

void RtfReader::endFontEntry()
{
    const QString name = m_fontNameBuffer.trimmed();
    m_fontNameBuffer.clear();
    if (!name.isEmpty())
        m_fonts.emplace_back(m_fontNumber, name);
}

void RtfReader::endColourEntry()
{
    m_colourTable.push_back(m_colourGiven ? makeColour(m_red, m_green, m_blue) : kAutoColour);
    m_red = m_green = m_blue = 0;
    m_colourGiven = false;
}

void RtfReader::textChar(char16_t c)
{
    if (m_pendingSkip > 0) {
        --m_pendingSkip;
        return;
    }
    switch (state().destination) {
    case Destination::Text:
        if (m_breakPending) {
            m_text += kCrLf;
            m_colourIndexes.push_back(m_breakColourIndex);
            m_colourIndexes.push_back(m_breakColourIndex);
            m_breakPending = false;
        }
        m_text += QChar(c);
        m_colourIndexes.push_back(state().colourIndex);
        break;
    case Destination::FontTable:
        if (c == u';')
            endFontEntry();
        else
            m_fontNameBuffer += QChar(c);
        break;
    case Destination::ColourTable:
        if (c == u';')
            endColourEntry();
        break;
    case Destination::Skip:
        break;
    }
}

void RtfReader::textBreak()
{
    m_pendingSkip = 0;
    if (state().destination != Destination::Text)
        return;
    // The break is written only when more text follows, so that the \par that ends
    // the last paragraph adds no empty line.
    if (m_breakPending) {
        m_text += kCrLf;
        m_colourIndexes.push_back(m_breakColourIndex);
        m_colourIndexes.push_back(m_breakColourIndex);
    }
    m_breakPending = true;
    m_breakColourIndex = state().colourIndex;
}

void RtfReader::controlWord(QStringView word, bool hasParam, int param)
{
    const bool ignorable = m_destinationIgnorable;
    m_destinationIgnorable = false;
    GroupState &s = state();

    if (word == u"u") {
        if (!hasParam)
            return;
        // A new \u ends the fallback of the one before. Negative values stand for
        // units above 0x7FFF; a value beyond 16 bits stands for nothing, but its
        // fallback is still skipped.
        m_pendingSkip = 0;
        if (param >= -32768 && param <= 65535)
            textChar(char16_t(param < 0 ? param + 65536 : param));
        m_pendingSkip = s.unicodeSkip;
        return;
    }
    if (m_pendingSkip > 0) {
        // A control word in the fallback text counts as one skipped character.
        --m_pendingSkip;
        return;
    }

    if (word == u"fonttbl") {
        s.destination = Destination::FontTable;
    } else if (word == u"colortbl") {
        s.destination = Destination::ColourTable;
    } else if (s.destination == Destination::Skip) {
        // Nothing inside a skipped destination matters.
    } else if (isSkippedDestination(word) || ignorable) {
        s.destination = Destination::Skip;
    } else if (s.destination == Destination::ColourTable) {
        const int component = std::clamp(param, 0, 255);
        if (word == u"red") {
            m_red = component;
            m_colourGiven = true;
        } else if (word == u"green") {
            m_green = component;
            m_colourGiven = true;
        } else if (word == u"blue") {
            m_blue = component;
            m_colourGiven = true;
        }
    } else if (s.destination == Destination::FontTable) {
        if (word == u"f") {
            if (!m_fontNameBuffer.trimmed().isEmpty())
                endFontEntry();
            m_fontNameBuffer.clear();
            m_fontNumber = param;
        }
    } else if (word == u"par" || word == u"line" || word == u"page" || word == u"sect"
               || word == u"row") {
        textBreak();
    } else if (word == u"tab" || word == u"cell") {
        textChar(u'\t');
    } else if (word == u"cf") {
        s.colourIndex = hasParam ? std::max(param, -1) : 0;
    } else if (word == u"plain") {
        s.colourIndex = -1;
    } else if (word == u"fs") {
        if (m_fontHalfPoints == 0 && hasParam && param > 0)
            m_fontHalfPoints = param;
    } else if (word == u"uc") {
        s.unicodeSkip = hasParam ? std::clamp(param, 0, 16) : 1;
    } else if (word == u"emdash") {
        textChar(0x2014);
    } else if (word == u"endash") {
        textChar(0x2013);
    } else if (word == u"lquote") {
        textChar(0x2018);
    } else if (word == u"rquote") {
        textChar(0x2019);
    } else if (word == u"ldblquote") {
        textChar(0x201C);
    } else if (word == u"rdblquote") {
        textChar(0x201D);
    } else if (word == u"bullet") {
        textChar(0x2022);
    } else if (word == u"emspace") {
        textChar(0x2003);
    } else if (word == u"enspace") {
        textChar(0x2002);
    }
}

void RtfReader::controlSymbol(QChar c)
{
    const char16_t u = c.unicode();
    if (u == u'*') {
        m_destinationIgnorable = true;
        return;
    }
    m_destinationIgnorable = false;
    switch (u) {
    case u'\\':
    case u'{':
    case u'}':
        textChar(u);
        break;
    case u'~':
        textChar(0x00A0);
        break;
    case u'_':
        textChar(0x2011);
        break;
    case u'\r':
    case u'\n':
        textBreak();
        break;
    case u'\'': {
        const int hi = m_pos < m_src.size() ? hexDigitValue(m_src[m_pos]) : -1;
        const int lo = m_pos + 1 < m_src.size() ? hexDigitValue(m_src[m_pos + 1]) : -1;
        if (hi < 0 || lo < 0)
            break; // malformed: the escape is dropped, what follows is read as usual
        m_pos += 2;
        textChar(fromCp1252(hi * 16 + lo));
        break;
    }
    default:
        // "\-" (optional hyphen) and symbols we do not know stand for nothing, but in
        // fallback text they still count as one character.
        if (m_pendingSkip > 0)
            --m_pendingSkip;
        break;
    }
}

void RtfReader::character(QChar c)
{
    if (c == u'\r' || c == u'\n')
        return;
    if (c.unicode() < 0x20 && c != u'\t')
        return;
    m_destinationIgnorable = false;
    textChar(c.unicode());
}

RtfContent RtfReader::read(qsizetype start)
{
    m_pos = start;
    // A sentinel outside the document group keeps state() valid at any depth.
    m_stack.push_back(GroupState());
    const qsizetype n = m_src.size();
    bool open = true;
    while (open && m_pos < n) {
        const QChar c = m_src[m_pos++];
        if (c == u'{') {
            openGroup();
        } else if (c == u'}') {
            open = closeGroup();
        } else if (c == u'\\') {
            if (m_pos >= n)
                break;
            const QChar next = m_src[m_pos];
            if (!isAsciiLetter(next)) {
                ++m_pos;
                controlSymbol(next);
                continue;
            }
            const qsizetype wordStart = m_pos;
            while (m_pos < n && isAsciiLetter(m_src[m_pos]))
                ++m_pos;
            // Real control words are short; a longer run is kept whole but never matches.
            const QStringView word = QStringView(m_src).mid(wordStart, m_pos - wordStart);
            bool negative = false;
            if (m_pos + 1 < n && m_src[m_pos] == u'-' && isAsciiDigit(m_src[m_pos + 1])) {
                negative = true;
                ++m_pos;
            }
            bool hasParam = false;
            qint64 value = 0;
            while (m_pos < n && isAsciiDigit(m_src[m_pos])) {
                hasParam = true;
                if (value < 100000000)
                    value = value * 10 + (m_src[m_pos].unicode() - u'0');
                ++m_pos;
            }
            if (m_pos < n && m_src[m_pos] == u' ')
                ++m_pos;
            const int param = int(negative ? -value : value);
            if (word == u"bin") {
                // Binary data of the given length follows; it is never text.
                m_pos += std::clamp<qsizetype>(param, 0, n - m_pos);
                continue;
            }
            controlWord(word, hasParam, param);
        } else {
            character(c);
        }
    }

    RtfContent content;
    content.text = std::move(m_text);
    content.colours.reserve(m_colourIndexes.size());
    for (const int index : m_colourIndexes) {
        const bool inTable = index >= 0 && size_t(index) < m_colourTable.size();
        content.colours.push_back(inTable ? m_colourTable[size_t(index)] : kAutoColour);
    }
    content.fontHalfPoints = m_fontHalfPoints;
    const auto font0 = std::find_if(m_fonts.begin(), m_fonts.end(),
                                    [](const auto &f) { return f.first == 0; });
    if (font0 != m_fonts.end())
        content.fontName = font0->second;
    else if (!m_fonts.empty())
        content.fontName = m_fonts.front().second;
    return content;
}

} // namespace

std::optional<RtfContent> readRtf(const QString &rtf)
{
    qsizetype start = 0;
    while (start < rtf.size() && (rtf[start] == u' ' || rtf[start] == u'\t'
                                  || rtf[start] == u'\r' || rtf[start] == u'\n'
                                  || rtf[start] == QChar(0xFEFF)))
        ++start;
    if (!QStringView(rtf).mid(start).startsWith(u"{\\rtf"))
        return std::nullopt;
    RtfReader reader(rtf);
    return reader.read(start);
}

} // namespace sheetsmith
