// Times the names of the preview's pages: a 5 MB page with 5,000 classes read into its
// names, and in the real window the completion popup after a "." typed in a selector
// while that page is listed for the preview, with the parts of the offer timed apart.

#include "benchutil.h"

#include "app/editorcompleter.h"
#include "app/form1.h"
#include "editor/richedit.h"
#include "preview/pagenames.h"
#include "preview/pagenamesource.h"
#include "settings/settingskeys.h"
#include "support/windowfixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QScrollBar>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

using namespace sheetsmith;

namespace {

constexpr int kClasses = 5000;
constexpr qsizetype kPageBytes = 5 * 1024 * 1024;
constexpr int kReadRuns = 7;
constexpr int kKeyRuns = 31;

// The class names of a site's pages: a framework's common ones, then names of the
// site's own components with their parts and variants, kClasses in all.
QStringList classVocabulary()
{
    QStringList names{"container", "row", "col", "col-md-4", "col-md-6", "col-lg-3", "col-sm-12", "card",
                      "card-body", "card-title", "card-text", "card-footer", "btn", "btn-primary", "btn-link",
                      "nav", "nav-link", "navbar", "navbar-brand", "active", "disabled", "section", "title",
                      "lead", "text-muted", "text-center", "d-flex", "mt-2", "mt-4", "mb-3", "p-3", "shadow-sm"};
    const QStringList blocks{"teaser", "gallery", "product", "article", "profile", "banner", "menu", "tile",
                             "panel", "badge", "review", "price", "footer", "header", "hero", "widget",
                             "feature", "author", "comment", "media"};
    const QStringList parts{"", "__title", "__body", "__image", "__link", "__meta", "__icon", "__list",
                            "__item", "__label"};
    for (int n = 0; names.size() < kClasses; ++n) {
        const QString block = blocks[n % blocks.size()] + QString::number(n / (blocks.size() * parts.size()));
        const QString part = parts[(n / blocks.size()) % parts.size()];
        names << block + part + (n % 3 == 0 ? QStringLiteral("--wide") : QString());
    }
    names.removeDuplicates();
    return names.mid(0, kClasses);
}

// A page as a site's generator writes it: sections of cards in rows, each element
// with a few classes (the common ones most often, every class of the vocabulary at
// least once), ids, links and paragraphs of text, until it holds `bytes`.
QByteArray generatePage(const QStringList &classes, qsizetype bytes)
{
    std::mt19937 random(20240601);
    // Low indexes, the framework's names, are much the commonest.
    const auto common = [&] {
        std::geometric_distribution<int> pick(0.08);
        return classes[std::min<int>(pick(random), int(classes.size()) - 1)].toUtf8();
    };
    const QList<QByteArray> words{"lorem", "ipsum", "dolor", "sit", "amet", "style", "sheet", "colour", "garden",
                                  "river", "window", "travel", "market", "summer", "quiet", "letter", "number",
                                  "bright", "corner", "evening", "&amp;", "caf\xc3\xa9", "na\xc3\xafve"};
    const auto sentence = [&](int count) {
        QByteArray out;
        for (int i = 0; i < count; ++i)
            out += (i ? " " : "") + words[random() % words.size()];
        return out + '.';
    };
    QByteArray page = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                      "<title>Catalogue</title>\n<link rel=\"stylesheet\" href=\"site.css\">\n</head>\n"
                      "<body class=\"home page\">\n<header class=\"navbar container\" id=\"top\">\n<nav class=\"nav\">"
                      "<ul>";
    for (int i = 0; i < 12; ++i)
        page += "<li><a class=\"nav-link\" href=\"#section-" + QByteArray::number(i) + "\">" + sentence(2) + "</a></li>";
    page += "</ul></nav>\n</header>\n<main class=\"container\">\n";
    int rare = 0;
    int card = 0;
    for (int section = 0; page.size() < bytes; ++section) {
        page += "<section class=\"section " + common() + "\" id=\"section-" + QByteArray::number(section) + "\">\n"
                "<h2 class=\"title " + common() + "\">" + sentence(4) + "</h2>\n<div class=\"row\">\n";
        for (int c = 0; c < 6; ++c, ++card) {
            const QByteArray own = classes[rare++ % classes.size()].toUtf8();
            page += "  <div class=\"card col-md-4 " + own + ' ' + common() + "\" id=\"card-" + QByteArray::number(card)
                    + "\">\n    <div class=\"card-body " + common() + "\">\n      <h3 class=\"card-title\">"
                    + sentence(3) + "</h3>\n      <p class=\"card-text " + common() + "\">" + sentence(30 + int(random() % 40))
                    + " <span class=\"" + common() + "\">" + sentence(3) + "</span></p>\n      <a class=\"btn "
                    + common() + "\" href=\"item-" + QByteArray::number(card) + ".html\">" + sentence(2)
                    + "</a>\n    </div>\n  </div>\n";
        }
        page += "</div>\n</section>\n";
    }
    return page + "</main>\n<footer class=\"footer\" id=\"bottom\"><p>" + sentence(8) + "</p></footer>\n</body>\n</html>\n";
}

void report(const char *what, double ms)
{
    std::printf("%-56s %9.3f ms\n", what, ms);
}

// Processes events until done() or two seconds have passed; false then.
bool waitFor(const std::function<bool()> &done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > 2000)
            return false;
        QApplication::processEvents();
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    bench::preferOffscreenPlatform();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const QStringList vocabulary = classVocabulary();
    const QByteArray bytes = generatePage(vocabulary, kPageBytes);
    const QString page = dir.filePath(QStringLiteral("index.html"));
    writeBytes(page, bytes);

    // The page read into its names, as the reading thread does it.
    std::optional<PageNames> names;
    const double readMs = bench::medianMs(kReadRuns, [&] { names = ReadPageFile(page).names; });
    if (!names) {
        std::fprintf(stderr, "the page was not read\n");
        return 1;
    }
    std::printf("page of %lld bytes: %lld element names, %lld classes, %lld ids\n",
                static_cast<long long>(bytes.size()), static_cast<long long>(names->elements.size()),
                static_cast<long long>(names->classes.size()), static_cast<long long>(names->ids.size()));
    report("ReadPageFile (median)", readMs);
    report("ParsePageNames of the bytes in memory (median)",
           bench::medianMs(kReadRuns, [&] { names = ParsePageNames(bytes); }));

    // Completion in the window, the page listed for the preview and the 2 MB sample open.
    const QByteArray sheet = readBytes(corpusDir() + QStringLiteral("/css/fomantic-semantic.css"));
    if (sheet.isEmpty()) {
        std::fprintf(stderr, "cannot read the sample sheet in %s/css\n", qPrintable(corpusDir()));
        return 1;
    }
    WindowFixture fixture;
    const bool started = fixture.setUp([&](SettingsStore &settings) {
        settings.write(keys::preview::Section, keys::preview::file(1), page);
    });
    if (!started || !fixture.open(sheet)) {
        std::fprintf(stderr, "the window did not start or open the sheet: %s\n", qPrintable(fixture.problem()));
        return 1;
    }
    Form1 &window = fixture.window();
    RichEdit &editor = fixture.editor();
    EditorCompleter &completer = *window.findChild<EditorCompleter *>();
    PageNameSource &source = *window.findChild<PageNameSource *>();
    source.names(NameKind::Class); // asks for the page's reading
    if (!waitFor([&] { return !source.reading(); }) || source.names(NameKind::Class).isEmpty()) {
        std::fprintf(stderr, "the page's names did not arrive\n");
        return 1;
    }
    std::printf("classes offered after \".\": %lld\n", static_cast<long long>(source.names(NameKind::Class).size()));

    // A line of its own between two rules in the middle of the sheet.
    const QString text = editor.text();
    const qsizetype after = text.indexOf(QStringLiteral("}\r\n"), text.size() / 2);
    editor.setFocus();
    editor.setSelStart(after + 3);
    QTest::keyClick(&editor, Qt::Key_Return);
    bench::settle();
    const qsizetype caret = after + 3;
    // The popup is a window of its own, no child of the main window.
    QAbstractItemView *popup = nullptr;
    for (QWidget *widget : QApplication::allWidgets()) {
        if (widget->objectName() == QLatin1String("LstComplete"))
            popup = qobject_cast<QAbstractItemView *>(widget);
    }
    if (!popup) {
        std::fprintf(stderr, "no completion popup\n");
        return 1;
    }
    bench::PaintCounter paints(*popup->viewport());

    std::vector<double> shown, painted, letter;
    int popupWidth = 0;
    int allRowsWidth = 0;
    int failed = 0;
    for (int run = 0; run < kKeyRuns; ++run) {
        editor.setSelStart(caret);
        bench::settle();
        const int before = paints.count();
        QElapsedTimer timer;
        timer.start();
        QTest::keyClick(&editor, Qt::Key_Period);
        bool ok = waitFor([&] { return completer.isPopupVisible(); });
        shown.push_back(double(timer.nsecsElapsed()) / 1e6);
        ok = ok && waitFor([&] { return paints.count() > before; });
        painted.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (run == 0) {
            popupWidth = popup->width();
            allRowsWidth = popup->sizeHintForColumn(0) + popup->verticalScrollBar()->sizeHint().width() + 8;
        }
        // A letter after it narrows the offer to the classes beginning with it.
        timer.restart();
        QTest::keyClick(&editor, Qt::Key_C, Qt::NoModifier);
        ok = ok && completer.isPopupVisible();
        letter.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (!ok)
            ++failed;
        QTest::keyClick(&editor, Qt::Key_Escape);
        QTest::keyClick(&editor, Qt::Key_Backspace);
        QTest::keyClick(&editor, Qt::Key_Backspace);
        bench::settle();
    }
    if (failed > 0)
        std::fprintf(stderr, "%d of %d runs did not show the popup\n", failed, kKeyRuns);
    if (editor.text().remove(caret, 2) != text)
        std::fprintf(stderr, "the keys did not leave the text as it was\n");
    report("\".\" typed until the popup is visible (median)", bench::median(shown));
    report("\".\" typed until the popup has painted (median)", bench::median(painted));
    report("then \"c\" until the popup follows (median)", bench::median(letter));
    std::printf("%-56s %9d px  (measured over all rows: %d px)\n", "the popup's width", popupWidth, allRowsWidth);

    // The parts of the offer, each over all the classes: the entries and their labels,
    // and the width of the widest label, measured by a list view as the popup does, with
    // rows of their own sizes and with rows all of the first one's size.
    const QList<NameUse> &uses = source.names(NameKind::Class);
    QStringList labels;
    report("the labels of all classes (median)", bench::medianMs(kKeyRuns, [&] {
               labels.clear();
               for (const NameUse &use : uses)
                   labels << NameUseLabel(use);
           }));
    QStringListModel model(labels);
    for (const bool uniform : {false, true}) {
        QListView view;
        view.setModel(&model);
        view.setUniformItemSizes(uniform);
        int width = 0;
        const double ms = bench::medianMs(kKeyRuns, [&] { width = view.sizeHintForColumn(0); });
        std::printf("%-56s %9.3f ms  (%d px)\n",
                    uniform ? "sizeHintForColumn, uniform item sizes (median)" : "sizeHintForColumn (median)", ms,
                    width);
    }
    fixture.tearDown();
    return 0;
}
