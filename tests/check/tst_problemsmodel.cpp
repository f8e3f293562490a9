#include "check/problemsfilter.h"
#include "check/problemsmodel.h"

#include <QTest>

using namespace sheetsmith;

// The Problems list's rows and the filter over them: a recheck followed splice by
// splice leaves the rows, the counts of each kind and the rows shown as a fresh
// listing of the same problems would, and a row shown leads to its own problem.
class TestProblemsModel : public QObject
{
    Q_OBJECT

private slots:
    void followingASpliceEqualsAFreshListing_data();
    void followingASpliceEqualsAFreshListing();
    void aRowShownLeadsToItsProblem();
};

namespace {

// "E", "W", "N" as problems, each at an offset of its own.
std::vector<Problem> problemsOf(const QString &kinds, qsizetype firstOffset = 0)
{
    std::vector<Problem> out;
    for (const QChar c : kinds) {
        Problem p;
        p.offset = firstOffset + qsizetype(out.size()) * 10;
        p.kind = c == u'E' ? ProblemKind::Error : c == u'W' ? ProblemKind::Warning : ProblemKind::Note;
        p.message = QStringLiteral("problem at %1").arg(p.offset);
        out.push_back(p);
    }
    return out;
}

std::vector<int> linesOf(const std::vector<Problem> &problems)
{
    std::vector<int> lines;
    for (const Problem &p : problems)
        lines.push_back(int(p.offset / 10) + 1);
    return lines;
}

// Each row as "line kind message", through whatever model shows them.
QStringList rowsOf(const QAbstractItemModel &model)
{
    QStringList out;
    for (int r = 0; r < model.rowCount(); ++r)
        out << model.index(r, 0).data().toString() + u' ' + model.index(r, 1).data().toString() + u' ' +
                   model.index(r, 2).data().toString();
    return out;
}

QString countsOf(const ProblemsModel &model)
{
    return QStringLiteral("%1/%2/%3")
        .arg(model.count(ProblemKind::Error))
        .arg(model.count(ProblemKind::Warning))
        .arg(model.count(ProblemKind::Note));
}

} // namespace

void TestProblemsModel::followingASpliceEqualsAFreshListing_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("removed");
    QTest::addColumn<QString>("inserted");

    QTest::newRow("a note replaced by an error") << "ENWN" << 1 << 1 << "E";
    QTest::newRow("two removed at the start") << "WNEE" << 0 << 2 << "";
    QTest::newRow("one removed at the end") << "EWN" << 2 << 1 << "";
    QTest::newRow("notes added to an empty list") << "" << 0 << 0 << "NNW";
    QTest::newRow("added after the last") << "EW" << 2 << 0 << "N";
    QTest::newRow("all replaced") << "NNN" << 0 << 3 << "WE";
    QTest::newRow("nothing changed") << "EWN" << 1 << 0 << "";
}

void TestProblemsModel::followingASpliceEqualsAFreshListing()
{
    QFETCH(QString, before);
    QFETCH(int, first);
    QFETCH(int, removed);
    QFETCH(QString, inserted);

    std::vector<Problem> problems = problemsOf(before);
    std::vector<int> lines = linesOf(problems);
    ProblemsModel model;
    ProblemsFilter filter(model);
    filter.setShown(ProblemKind::Note, false);
    model.reset(problems, lines);

    // The check's vectors change first, then the model follows, as the schedule does it;
    // the problems after the splice moved down the text by a line.
    std::vector<Problem> after(problems.begin(), problems.begin() + first);
    for (Problem p : problemsOf(inserted, 1000))
        after.push_back(p);
    for (auto p = problems.begin() + first + removed; p != problems.end(); ++p)
        after.push_back(*p);
    std::vector<int> afterLines = linesOf(after);
    for (std::size_t i = std::size_t(first) + std::size_t(inserted.size()); i < afterLines.size(); ++i)
        ++afterLines[i];
    problems = after;
    lines = afterLines;
    SheetCheck::Splice splice;
    splice.first = std::size_t(first);
    splice.removed = std::size_t(removed);
    splice.inserted = std::size_t(inserted.size());
    model.follow(problems, lines, splice, true);

    ProblemsModel fresh;
    ProblemsFilter freshFilter(fresh);
    freshFilter.setShown(ProblemKind::Note, false);
    fresh.reset(problems, lines);
    QCOMPARE(rowsOf(model), rowsOf(fresh));
    QCOMPARE(countsOf(model), countsOf(fresh));
    QCOMPARE(rowsOf(filter), rowsOf(freshFilter));
    QVERIFY(!rowsOf(filter).join(u'\n').contains(QLatin1String(" Note ")));
}

void TestProblemsModel::aRowShownLeadsToItsProblem()
{
    const std::vector<Problem> problems = problemsOf(QStringLiteral("NNENWN"));
    const std::vector<int> lines = linesOf(problems);
    ProblemsModel model;
    ProblemsFilter filter(model);
    model.reset(problems, lines);
    filter.setShown(ProblemKind::Note, false);
    QCOMPARE(filter.rowCount(), 2);
    QCOMPARE(filter.problemOf(filter.index(0, 0)), 2);
    QCOMPARE(filter.problemOf(filter.index(1, 2)), 4);
    filter.setShown(ProblemKind::Error, false);
    QCOMPARE(filter.problemOf(filter.index(0, 0)), 4);
    filter.setShown(ProblemKind::Note, true);
    QCOMPARE(filter.rowCount(), 5);
    QCOMPARE(filter.problemOf(filter.index(2, 0)), 3);
    QCOMPARE(filter.problemOf(QModelIndex()), -1);
}

QTEST_GUILESS_MAIN(TestProblemsModel)
#include "tst_problemsmodel.moc"
