// The property catalogue reader under any bytes. It either loads exactly 53 entries,
// each the record a literal reading of the file finds, or refuses the file with a
// message and an empty table; never a half-filled one.

#include "fuzzsupport.h"

#include "inspector/catalogue.h"

#include <QByteArray>
#include <QStringDecoder>
#include <QStringList>

#include <optional>
#include <vector>

using namespace sheetsmith;
using namespace sheetsmith::fuzz;

namespace {

struct Record
{
    QString name;
    QString values;
    QString info;
};

// The bytes as text: UTF-8 when they are, else Windows-1252.
QString decoded(const QByteArray &bytes)
{
    if (bytes.isValidUtf8())
        return QString::fromUtf8(bytes);
    QStringDecoder cp1252("windows-1252");
    return cp1252.isValid() ? QString(cp1252(bytes)) : QString::fromLatin1(bytes);
}

// The records a literal reading finds, line by line: a line starting with "[" opens a
// record and the next two lines are its value and description lines, taken as they
// come. Empty when the file is malformed in any of the ways that refuse it.
std::optional<std::vector<Record>> literalRecords(const QByteArray &bytes)
{
    QStringList lines = decoded(bytes).split(u'\n');
    if (lines.last().isEmpty())
        lines.removeLast(); // a final break ends the last line, it opens none
    for (QString &line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    std::vector<Record> records;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!lines[i].startsWith(u'['))
            continue;
        if (lines[i].size() < 2 || i + 2 >= lines.size() || lines[i + 1].size() < 6 || lines[i + 2].size() < 5)
            return std::nullopt;
        records.push_back({lines[i].mid(1, lines[i].size() - 2), lines[i + 1].mid(6), lines[i + 2].mid(5)});
        i += 2;
    }
    if (records.size() != size_t(CataloguePropertyCount))
        return std::nullopt;
    // Names are keys of the property list; letter case does not tell two apart.
    for (size_t a = 0; a < records.size(); ++a) {
        for (size_t b = a + 1; b < records.size(); ++b) {
            if (records[a].name.toLower() == records[b].name.toLower())
                return std::nullopt;
        }
    }
    return records;
}

bool isEmpty(const Catalogue &catalogue)
{
    for (int i = 0; i < CataloguePropertyCount; ++i) {
        if (!catalogue.PropName[i].isEmpty() || !catalogue.PropValues[i].isEmpty()
            || !catalogue.PropInfo[i].isEmpty())
            return false;
    }
    return true;
}

// The number of records a literal reading starts, malformed ones included.
int headerCount(const QByteArray &bytes)
{
    const QStringList lines = decoded(bytes).split(u'\n');
    int count = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].startsWith(u'[')) {
            ++count;
            i += 2;
        }
    }
    return count;
}

// Well-formed records that make up the count of a short input, so that whatever the
// input holds is met inside an otherwise complete catalogue.
QByteArray paddingRecords(int count)
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += "[padding-" + QByteArray::number(i) + "]\nValue:a|b\nInfo:one record of many\n";
    return out;
}

void check(const QByteArray &bytes)
{
    const CatalogueResult result = parseCatalogue(bytes, QStringLiteral("css1.txt"));
    const std::optional<std::vector<Record>> expected = literalRecords(bytes);
    const QString input = decoded(bytes);

    if (!result.ok) {
        FUZZ_REQUIRE(!result.error.isEmpty(), input);
        FUZZ_REQUIRE(result.error.contains(QStringLiteral("css1.txt")), result.error);
        FUZZ_REQUIRE(isEmpty(result.catalogue), result.error);
        FUZZ_REQUIRE(!expected, QStringLiteral("refused a well-formed catalogue: %1").arg(result.error));
        return;
    }
    FUZZ_REQUIRE(result.error.isEmpty(), result.error);
    FUZZ_REQUIRE(expected.has_value(), QStringLiteral("loaded a malformed catalogue: %1").arg(input));
    for (int i = 0; i < CataloguePropertyCount; ++i) {
        const Record &r = (*expected)[size_t(i)];
        FUZZ_REQUIRE(result.catalogue.PropName[i] == r.name, QStringLiteral("entry %1: %2").arg(i).arg(r.name));
        FUZZ_REQUIRE(result.catalogue.PropValues[i] == r.values, QStringLiteral("entry %1: %2").arg(i).arg(r.values));
        FUZZ_REQUIRE(result.catalogue.PropInfo[i] == r.info, QStringLiteral("entry %1: %2").arg(i).arg(r.info));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    check(bytes);
    // A short input completed by records before it (its end stays the file's end) and
    // after it.
    const int missing = CataloguePropertyCount - headerCount(bytes);
    if (missing > 0) {
        check(paddingRecords(missing) + bytes);
        check(bytes + "\n" + paddingRecords(missing));
    }
    return 0;
}
