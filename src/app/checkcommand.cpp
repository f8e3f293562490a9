#include "app/checkcommand.h"

#include "app/commandline.h"
#include "check/checkschedule.h"
#include "check/sheetcheck.h"
#include "text/documentfile.h"

#include <QByteArray>

#include <algorithm>
#include <numeric>
#include <vector>

namespace sheetsmith {

namespace {

struct Place
{
    qsizetype line = 1;
    qsizetype column = 1;
};

// The places of text offsets, each found by walking the text once whatever the order
// of the offsets: a sheet of one long line with many problems costs no more than one
// of many lines. A character outside the Basic Multilingual Plane (a surrogate pair)
// is one column; a CR LF break ends a line.
std::vector<Place> placesOf(QStringView text, const std::vector<qsizetype> &offsets)
{
    std::vector<std::size_t> order(offsets.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::stable_sort(order.begin(), order.end(), [&offsets](std::size_t a, std::size_t b) { return offsets[a] < offsets[b]; });
    std::vector<Place> places(offsets.size());
    Place place;
    qsizetype at = 0;
    for (const std::size_t i : order) {
        const qsizetype to = std::clamp<qsizetype>(offsets[i], 0, text.size());
        for (; at < to; ++at) {
            const QChar c = text[at];
            if (c == u'\n') {
                ++place.line;
                place.column = 1;
            } else if (!(c.isLowSurrogate() && at > 0 && text[at - 1].isHighSurrogate())) {
                ++place.column;
            }
        }
        places[i] = place;
    }
    return places;
}

QString severityOf(ProblemKind kind)
{
    return ProblemKindName(kind).toLower();
}

// A JSON string literal.
QString jsonString(const QString &text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += u'"';
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'"':
            out += QLatin1String("\\\"");
            break;
        case u'\\':
            out += QLatin1String("\\\\");
            break;
        case u'\n':
            out += QLatin1String("\\n");
            break;
        case u'\r':
            out += QLatin1String("\\r");
            break;
        case u'\t':
            out += QLatin1String("\\t");
            break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(int(c.unicode()), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += u'"';
    return out;
}

void write(std::FILE *to, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), to);
}

// Characters of output gathered before they are written.
constexpr qsizetype kChunk = 1 << 16;

// FILE:LINE:COLUMN: error|warning|note: MESSAGE [RULE], put together piece by piece (a
// file name may hold "%1").
QString gnuLine(const QString &file, Place start, const Problem &p)
{
    return file + u':' + QString::number(start.line) + u':' + QString::number(start.column) + QStringLiteral(": ") +
           severityOf(p.kind) + QStringLiteral(": ") + ProblemToolTip(p) + u'\n';
}

QString jsonObject(const QString &file, Place start, Place end, const Problem &p)
{
    QString out = QStringLiteral("{\"file\": ") + jsonString(file);
    out += QStringLiteral(", \"line\": ") + QString::number(start.line);
    out += QStringLiteral(", \"column\": ") + QString::number(start.column);
    out += QStringLiteral(", \"endLine\": ") + QString::number(end.line);
    out += QStringLiteral(", \"endColumn\": ") + QString::number(end.column);
    out += QStringLiteral(", \"severity\": \"") + severityOf(p.kind) + u'"';
    out += QStringLiteral(", \"rule\": ") + jsonString(RuleId(p.rule));
    out += QStringLiteral(", \"message\": ") + jsonString(p.message);
    if (!p.fix.isEmpty())
        out += QStringLiteral(", \"fix\": ") + jsonString(p.fix);
    return out + u'}';
}

class Report
{
public:
    Report(CommandLine::Format format, std::FILE *out, std::FILE *err) : m_format(format), m_out(out), m_err(err) {}

    void fileChecked(const QString &file, QStringView text, const std::vector<Problem> &problems)
    {
        std::vector<qsizetype> offsets;
        offsets.reserve(problems.size() * 2);
        for (const Problem &p : problems)
            offsets.push_back(p.offset);
        if (m_format == CommandLine::Format::Json) {
            for (const Problem &p : problems)
                offsets.push_back(p.offset + p.length);
        }
        const std::vector<Place> places = placesOf(text, offsets);
        QString out;
        for (std::size_t i = 0; i < problems.size(); ++i) {
            const Problem &p = problems[i];
            if (m_format == CommandLine::Format::Gnu)
                out += gnuLine(file, places[i], p);
            else
                out += (m_items++ == 0 ? QStringLiteral("[\n  ") : QStringLiteral(",\n  ")) +
                       jsonObject(file, places[i], places[problems.size() + i], p);
            // Written as it goes: a sheet may have a million problems.
            if (out.size() >= kChunk) {
                write(m_out, out);
                out.clear();
            }
        }
        write(m_out, out);
        if (m_format == CommandLine::Format::Gnu) {
            // The problems come first, where both streams go to one terminal.
            std::fflush(m_out);
            write(m_err, file + QStringLiteral(": ") + ProblemSummary(problems) + u'\n');
        }
    }

    void failed(const QString &error)
    {
        std::fflush(m_out);
        write(m_err, QStringLiteral("sheetpad: ") + error + u'\n');
    }

    void finish()
    {
        if (m_format == CommandLine::Format::Json)
            write(m_out, m_items == 0 ? QStringLiteral("[]\n") : QStringLiteral("\n]\n"));
        std::fflush(m_out);
    }

private:
    CommandLine::Format m_format;
    std::FILE *m_out;
    std::FILE *m_err;
    std::size_t m_items = 0;
};

} // namespace

int RunCheckCommand(const CommandLine &line, std::FILE *out, std::FILE *err)
{
    if (line.action != CommandLine::Action::Check) {
        write(err, QStringLiteral("sheetpad: ") + line.error + QStringLiteral("\nTry 'sheetpad --help'.\n"));
        return 2;
    }
    Report report(line.format, out, err);
    // Said, and the files still checked, against CSS level 1 alone.
    if (const QString problem = CheckDataProblem(); !problem.isEmpty())
        report.failed(problem + u'.');
    bool unreadable = false;
    bool faulty = false;
    for (const QString &file : line.files) {
        const ReadResult read = readDocumentFile(file);
        if (!read.ok) {
            report.failed(read.error);
            unreadable = true;
            continue;
        }
        const std::vector<Problem> problems = CheckSheet(read.text, line.level);
        faulty = faulty || std::any_of(problems.begin(), problems.end(),
                                       [](const Problem &p) { return p.kind != ProblemKind::Note; });
        report.fileChecked(file, read.text, problems);
    }
    report.finish();
    return unreadable ? 2 : faulty ? 1 : 0;
}

} // namespace sheetsmith
