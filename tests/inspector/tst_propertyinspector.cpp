#include "dialogs/cdlgex.h"
#include "dialogs/scopeddialogseam.h"
#include "editor/richedit.h"
#include "text/textmodel.h"
#include "inspector/catalogue.h"
#include "inspector/propertyinspector.h"
#include "inspector/valuerules.h"
#include "support/scripteddialogs.h"
#include "support/markedtext.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>

#include <memory>

using namespace sheetsmith;

// The property list's value editors driven as the author drives them: clicks on the
// list, choices in the drop-down, keys in the editors, scripted dialogs, and the text
// each flow leaves in the style sheet.
class TestPropertyInspector : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void dropDownCoversTheValueCell();
    void propertyColumnOpensNothing();
    void keywordChosenWritesTheDeclaration_data();
    void keywordChosenWritesTheDeclaration();
    void colourIsSnappedToTheWebPalette_data();
    void colourIsSnappedToTheWebPalette();
    void cancelledColourWritesNothing();
    void imageIsWrittenAsRelativeUrl_data();
    void imageIsWrittenAsRelativeUrl();
    void cancelledImageKeepsTheDropDownOpen();
    void lengthEnterAppendsTheUnit_data();
    void lengthEnterAppendsTheUnit();
    void percentageWritesOnlyWhenCommitted();
    void escapeWritesNothing_data();
    void escapeWritesNothing();
    void pressOnAnotherRowCommitsToTheOpenedRow();
    void commitOpenEditorForgetsTheCell();
    void emptiedValueKeepsTheDeclaration();
    void unchangedCommitKeepsTheText();
    void typedEntryIsNotChosenWhenTheFocusLeaves();
    void fontPickerComposesTheList();
    void fontSampleFollowsTheMouse();
    void editorFollowsItsCellWhenTheListScrolls();
    void keyboardOpensTheValueCell();

private:
    enum Row { FontFamily, FontWeight, FontSize, Color, BackgroundImage, Width, TextIndent };

    void setSheet(const QString &marked);
    QString sheet() const { return m_editor->text(); }
    QRect cellInHost(int row, int column) const;
    void clickCell(int row, int column);
    void pressCell(int row, int column);
    void choose(const QString &entry);

    template<typename T>
    T *control(const char *name) const
    {
        T *found = m_host->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }

    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<ScopedDialogSeam> m_scope;
    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<Catalogue> m_catalogue;
    std::unique_ptr<CdlgEx> m_cdlg;
    QString m_docPath;
    QWidget *m_host = nullptr;
    QTreeWidget *m_lstP = nullptr;
    QPlainTextEdit *m_txtInfo = nullptr;
    RichEdit *m_editor = nullptr;
    PropertyInspector *m_inspector = nullptr;
};

namespace {

const QBrush kDarkRed{QColor(128, 0, 0)};
const QBrush kBlack{QColor(0, 0, 0)};

QString crlf(const QString &text)
{
    return TextModel::toCrLf(text);
}

} // namespace

void TestPropertyInspector::init()
{
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_scope = std::make_unique<ScopedDialogSeam>(*m_dialogs);

    m_catalogue = std::make_unique<Catalogue>();
    const auto entry = [this](int row, const char *name, const char *values) {
        m_catalogue->PropName[size_t(row)] = QLatin1String(name);
        m_catalogue->PropValues[size_t(row)] = QLatin1String(values);
        m_catalogue->PropInfo[size_t(row)] = QLatin1String(name) + QLatin1String(" described.");
    };
    entry(FontFamily, "font-family", "<font>");
    entry(FontWeight, "font-weight", "normal|bold|<length>|<percentage>");
    entry(FontSize, "font-size", "small|large|<length>|<percentage>");
    entry(Color, "color", "<color>|black|white");
    entry(BackgroundImage, "background-image", "<url>|none");
    entry(Width, "width", "<length>|<percentage>|auto");
    entry(TextIndent, "text-indent", "<length>");
    for (int row = TextIndent + 1; row < CataloguePropertyCount; ++row)
        entry(row, qPrintable(QStringLiteral("property-%1").arg(row)), "<length>");
    m_cdlg = std::make_unique<CdlgEx>();
    m_docPath = QStringLiteral("/site/css/a.css");

    // The main window's left pane: the list, its description box and the editors'
    // parent; the style-sheet editor beside it.
    m_window = std::make_unique<QWidget>();
    m_window->resize(800, 600);
    m_host = new QWidget(m_window.get());
    m_host->setGeometry(0, 0, 320, 600);
    m_lstP = new QTreeWidget(m_host);
    m_lstP->setObjectName(QStringLiteral("LstP"));
    m_lstP->setColumnCount(2);
    m_lstP->setHeaderLabels({QStringLiteral("Property"), QStringLiteral("Value")});
    m_lstP->setRootIsDecorated(false);
    m_lstP->setUniformRowHeights(true);
    m_lstP->setGeometry(4, 4, 300, 300);
    m_lstP->setColumnWidth(0, 130);
    for (const QString &name : m_catalogue->PropName)
        m_lstP->addTopLevelItem(new QTreeWidgetItem(QStringList{name}));
    m_txtInfo = new QPlainTextEdit(m_host);
    m_txtInfo->setGeometry(4, 310, 300, 80);
    m_editor = new RichEdit(m_window.get());
    m_editor->setGeometry(330, 0, 460, 600);

    m_inspector = new PropertyInspector(m_lstP, m_txtInfo, *m_editor, *m_catalogue, *m_cdlg,
                                        [this] { return m_docPath; }, m_window.get());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestPropertyInspector::cleanup()
{
    m_window.reset();
    QVERIFY2(m_dialogs->unanswered().isEmpty(), qPrintable(m_dialogs->unanswered().join(u", ")));
    QCOMPARE(m_dialogs->pendingAnswers(), 0);
    m_scope.reset();
    m_dialogs.reset();
}

// The sheet with "\n" breaks and the caret at "|".
void TestPropertyInspector::setSheet(const QString &marked)
{
    loadMarked(*m_editor, marked);
}

QRect TestPropertyInspector::cellInHost(int row, int column) const
{
    const QRect cell = m_lstP->visualRect(m_lstP->model()->index(row, column));
    return QRect(m_lstP->viewport()->mapTo(m_host, cell.topLeft()), cell.size());
}

void TestPropertyInspector::clickCell(int row, int column)
{
    const QPoint at = m_lstP->visualRect(m_lstP->model()->index(row, column)).center();
    QTest::mouseClick(m_lstP->viewport(), Qt::LeftButton, {}, at);
}

void TestPropertyInspector::pressCell(int row, int column)
{
    const QPoint at = m_lstP->visualRect(m_lstP->model()->index(row, column)).center();
    QTest::mousePress(m_lstP->viewport(), Qt::LeftButton, {}, at);
}

// Picks an entry of the dropped-down ComP list with the keyboard, as the author would.
void TestPropertyInspector::choose(const QString &entry)
{
    auto *comP = control<QComboBox>("ComP");
    QTRY_VERIFY(comP->view()->isVisible());
    const int index = comP->findText(entry);
    QVERIFY2(index >= 0, qPrintable(entry));
    comP->view()->setCurrentIndex(comP->model()->index(index, 0));
    QTest::keyClick(comP->view(), Qt::Key_Return);
}

void TestPropertyInspector::dropDownCoversTheValueCell()
{
    clickCell(FontWeight, 1);
    auto *comP = control<QComboBox>("ComP");
    QVERIFY(comP->isVisible());
    QStringList entries;
    for (int i = 0; i < comP->count(); ++i)
        entries << comP->itemText(i);
    QCOMPARE(entries, (QStringList{"<percentage>", "<length>", "normal", "bold"}));

    const QRect cell = cellInHost(FontWeight, 1);
    QCOMPARE(comP->geometry().topLeft(), cell.topLeft());
    QCOMPARE(comP->height(), cell.height());
    QVERIFY(comP->width() >= cell.width());
    const QRect viewport(m_lstP->viewport()->mapTo(m_host, QPoint()), m_lstP->viewport()->size());
    QVERIFY(viewport.contains(comP->geometry()));
    QCOMPARE(m_inspector->CurrentCell().item, int(FontWeight));
    QCOMPARE(m_inspector->CurrentCell().subItem, 1);
    // The list drops down once the click is over.
    QTRY_VERIFY(comP->view()->isVisible());
    QCOMPARE(m_txtInfo->toPlainText(), QStringLiteral("font-weight described."));
}

void TestPropertyInspector::propertyColumnOpensNothing()
{
    clickCell(Color, 0);
    QCOMPARE(m_inspector->CurrentCell().item, int(Color));
    QCOMPARE(m_inspector->CurrentCell().subItem, 0);
    for (const char *name : {"ComP", "TxtP", "FrLength", "FrPercent", "TxtFontList", "LstFont"})
        QVERIFY2(!m_host->findChild<QWidget *>(QLatin1String(name))->isVisible(), name);
    QCOMPARE(m_txtInfo->toPlainText(), QStringLiteral("color described."));
}

void TestPropertyInspector::keywordChosenWritesTheDeclaration_data()
{
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("expected");

    QTest::newRow("replaces the declaration")
        << "H1 {\n  font-weight: normal;|\n}" << "H1 {\n  font-weight: bold;\n}";
    QTest::newRow("adds one after the caret's line")
        << "H1 {|\n  color: red;\n}" << "H1 {\nfont-weight: bold;\n  color: red;\n}";
}

void TestPropertyInspector::keywordChosenWritesTheDeclaration()
{
    QFETCH(QString, sheet);
    QFETCH(QString, expected);
    setSheet(sheet);
    clickCell(FontWeight, 1);
    choose(QStringLiteral("bold"));
    QCOMPARE(this->sheet(), crlf(expected));
    QTreeWidgetItem *row = m_lstP->topLevelItem(FontWeight);
    QCOMPARE(row->text(1), QStringLiteral("bold"));
    QCOMPARE(row->foreground(0), kDarkRed);
    QVERIFY(!control<QComboBox>("ComP")->isVisible());
}

void TestPropertyInspector::colourIsSnappedToTheWebPalette_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QColor>("picked");
    QTest::addColumn<QColor>("offered");
    QTest::addColumn<QString>("written");

    QTest::newRow("snapped components") << "" << QColor(250, 10, 130) << QColor(0, 0, 0) << "#FF0099";
    QTest::newRow("black") << "#3366CC" << QColor(0, 0, 0) << QColor(51, 102, 204) << "#000000";
    QTest::newRow("already web-safe") << "#000000" << QColor(51, 102, 204) << QColor(0, 0, 0) << "#3366CC";
}

void TestPropertyInspector::colourIsSnappedToTheWebPalette()
{
    QFETCH(QString, cell);
    QFETCH(QColor, picked);
    QFETCH(QColor, offered);
    QFETCH(QString, written);
    setSheet(QStringLiteral("P {\n  margin: 0;|\n}"));
    m_lstP->topLevelItem(Color)->setText(1, cell);
    m_dialogs->answerColour(picked);
    clickCell(Color, 1);
    choose(QStringLiteral("<color>"));

    QCOMPARE(m_dialogs->colourCalls().size(), 1);
    const ColourDialogRequest request = m_dialogs->colourCalls().constFirst();
    QCOMPARE(request.colour, offered);
    QCOMPARE(request.flags, CdlgEx::ColourRgbInit | CdlgEx::ColourFullOpen);
    QCOMPARE(request.owner, m_window.get());
    QCOMPARE(sheet(), crlf(QStringLiteral("P {\n  margin: 0;\ncolor: ") + written + QStringLiteral(";\n}")));
    QCOMPARE(m_lstP->topLevelItem(Color)->text(1), written);
    QVERIFY(!control<QComboBox>("ComP")->isVisible());
}

void TestPropertyInspector::cancelledColourWritesNothing()
{
    setSheet(QStringLiteral("P {\n  color: red;|\n}"));
    m_lstP->topLevelItem(Color)->setText(1, QStringLiteral("red"));
    m_dialogs->cancelColour();
    clickCell(Color, 1);
    choose(QStringLiteral("<color>"));
    QCOMPARE(sheet(), crlf(QStringLiteral("P {\n  color: red;\n}")));
    QCOMPARE(m_lstP->topLevelItem(Color)->text(1), QStringLiteral("red"));
    QVERIFY(!control<QComboBox>("ComP")->isVisible());
}

void TestPropertyInspector::imageIsWrittenAsRelativeUrl_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("image");
    QTest::addColumn<QString>("value");

    QTest::newRow("sibling folder") << "/site/css/a.css" << "/site/img/b.gif" << "url(../img/b.gif)";
    QTest::newRow("untitled document") << "" << "/site/Img/B.gif" << "url(/site/Img/B.gif)";
    QTest::newRow("name with a blank") << "/site/a.css" << "/site/my logo.png" << "url(my\\ logo.png)";
}

void TestPropertyInspector::imageIsWrittenAsRelativeUrl()
{
    QFETCH(QString, document);
    QFETCH(QString, image);
    QFETCH(QString, value);
    m_docPath = document;
    setSheet(QStringLiteral("BODY {|\n}"));
    m_dialogs->answerFile(image);
    clickCell(BackgroundImage, 1);
    choose(QStringLiteral("<url>"));

    QCOMPARE(m_dialogs->fileCalls().size(), 1);
    const FileDialogRequest request = m_dialogs->fileCalls().constFirst().request;
    QCOMPARE(request.nameFilters.value(0).left(13), QStringLiteral("Image Files ("));
    QVERIFY(request.nameFilters.value(0).contains(QLatin1String("*.png")));
    QCOMPARE(sheet(), crlf(QStringLiteral("BODY {\nbackground-image: ") + value + QStringLiteral(";\n}")));
    QVERIFY(!control<QComboBox>("ComP")->isVisible());
}

void TestPropertyInspector::cancelledImageKeepsTheDropDownOpen()
{
    const QString text = QStringLiteral("BODY {\n  background-image: none;|\n}");
    setSheet(text);
    m_lstP->topLevelItem(BackgroundImage)->setText(1, QStringLiteral("none"));
    m_dialogs->cancelFile();
    clickCell(BackgroundImage, 1);
    choose(QStringLiteral("<url>"));
    auto *comP = control<QComboBox>("ComP");
    QVERIFY(comP->isVisible());
    QCOMPARE(sheet(), crlf(QString(text).remove(u'|')));
    // A later commit finds the value the box opened with, not the placeholder.
    QCOMPARE(comP->currentText(), QStringLiteral("none"));
    m_inspector->commitOpenEditor();
    QCOMPARE(sheet(), crlf(QString(text).remove(u'|')));
}

void TestPropertyInspector::lengthEnterAppendsTheUnit_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("opensWithNumber");
    QTest::addColumn<QString>("opensWithUnit");
    QTest::addColumn<QString>("expected");

    QTest::newRow("default unit px") << "" << "12" << -1 << "" << "px" << "H1 {\n  margin: 0;\nfont-size: 12px;\n}";
    QTest::newRow("unit chosen") << "" << "1.5" << 1 << "" << "px" << "H1 {\n  margin: 0;\nfont-size: 1.5em;\n}";
    QTest::newRow("opens on the present length") << "2pt" << "" << -1 << "2" << "pt"
                                                 << "H1 {\n  margin: 0;\n}";
    QTest::newRow("empty number writes nothing") << "" << "  " << -1 << "" << "px" << "H1 {\n  margin: 0;\n}";
}

void TestPropertyInspector::lengthEnterAppendsTheUnit()
{
    QFETCH(QString, cell);
    QFETCH(QString, typed);
    QFETCH(int, unit);
    QFETCH(QString, opensWithNumber);
    QFETCH(QString, opensWithUnit);
    QFETCH(QString, expected);
    setSheet(QStringLiteral("H1 {\n  margin: 0;|\n}"));
    m_lstP->topLevelItem(FontSize)->setText(1, cell);
    clickCell(FontSize, 1);
    choose(QStringLiteral("<length>"));

    auto *frLength = control<QFrame>("FrLength");
    auto *txtLength = control<QLineEdit>("TxtLength");
    auto *comLength = control<QComboBox>("ComLength");
    QVERIFY(frLength->isVisible());
    QVERIFY(!control<QComboBox>("ComP")->isVisible());
    QCOMPARE(frLength->geometry().topLeft(), cellInHost(FontSize, 1).topLeft());
    QCOMPARE(txtLength->text(), opensWithNumber);
    QCOMPARE(comLength->currentText(), opensWithUnit);
    QVERIFY(txtLength->hasFocus());

    if (unit >= 0)
        comLength->setCurrentIndex(unit);
    QTest::keyClicks(txtLength, typed);
    QTest::keyClick(txtLength, Qt::Key_Return);
    QCOMPARE(sheet(), crlf(expected));
    QVERIFY(!frLength->isVisible());
}

void TestPropertyInspector::percentageWritesOnlyWhenCommitted()
{
    const QString before = QStringLiteral("P {\n  width: 20% !important;\n}");
    setSheet(QStringLiteral("P {\n  width: 20% !important;|\n}"));
    m_lstP->topLevelItem(Width)->setText(1, QStringLiteral("20%"));
    clickCell(Width, 1);
    choose(QStringLiteral("<percentage>"));
    auto *txtPercent = control<QLineEdit>("TxtPercent");
    QVERIFY(control<QFrame>("FrPercent")->isVisible());
    QCOMPARE(control<QLabel>("LblPercent")->text(), QStringLiteral("%"));
    // Opening the editor leaves the declaration as the author wrote it.
    QCOMPARE(sheet(), crlf(before));
    QCOMPARE(txtPercent->text(), QStringLiteral("20"));

    txtPercent->clear();
    QTest::keyClicks(txtPercent, QStringLiteral("50"));
    QTest::keyClick(txtPercent, Qt::Key_Enter);
    QCOMPARE(sheet(), crlf(QStringLiteral("P {\n  width: 50%;\n}")));
    QCOMPARE(m_lstP->topLevelItem(Width)->text(1), QStringLiteral("50%"));
}

void TestPropertyInspector::escapeWritesNothing_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("placeholder");
    QTest::addColumn<QString>("editor");

    QTest::newRow("ComP") << int(FontWeight) << "" << "ComP";
    QTest::newRow("TxtP") << int(TextIndent) << "" << "TxtP";
    QTest::newRow("TxtLength") << int(Width) << "<length>" << "TxtLength";
    QTest::newRow("TxtPercent") << int(Width) << "<percentage>" << "TxtPercent";
}

void TestPropertyInspector::escapeWritesNothing()
{
    QFETCH(int, row);
    QFETCH(QString, placeholder);
    QFETCH(QString, editor);
    const QString text = QStringLiteral("H1 {\n  margin: 0;\n}");
    setSheet(QStringLiteral("H1 {\n  margin: 0;|\n}"));
    clickCell(row, 1);
    if (!placeholder.isEmpty())
        choose(placeholder);
    QWidget *box = control<QWidget>(qPrintable(editor));
    QWidget *typing = editor == QLatin1String("ComP") ? static_cast<QComboBox *>(box)->lineEdit() : box;
    QTRY_VERIFY(box->isVisible());
    if (auto *comP = qobject_cast<QComboBox *>(box))
        comP->hidePopup();
    QTest::keyClicks(typing, QStringLiteral("7"));
    QTest::keyClick(typing, Qt::Key_Escape);
    QVERIFY(!box->isVisible());
    QCOMPARE(sheet(), crlf(text));
    QCOMPARE(m_lstP->topLevelItem(row)->text(1), QString());
    // Closed means closed: a later press on the list writes nothing either.
    pressCell(Color, 0);
    QCOMPARE(sheet(), crlf(text));
}

void TestPropertyInspector::pressOnAnotherRowCommitsToTheOpenedRow()
{
    setSheet(QStringLiteral("H1 {\n  margin: 0;|\n}"));
    clickCell(TextIndent, 1);
    auto *txtP = control<QLineEdit>("TxtP");
    QVERIFY(txtP->isVisible());
    QTest::keyClicks(txtP, QStringLiteral("2em"));

    clickCell(Color, 1);
    QCOMPARE(sheet(), crlf(QStringLiteral("H1 {\n  margin: 0;\ntext-indent: 2em;\n}")));
    QCOMPARE(m_lstP->topLevelItem(TextIndent)->text(1), QStringLiteral("2em"));
    QCOMPARE(m_lstP->topLevelItem(TextIndent)->foreground(0), kDarkRed);
    QCOMPARE(m_lstP->topLevelItem(Color)->text(1), QString());
    // The press took the new cell, and the click opened its editor there.
    QCOMPARE(m_inspector->CurrentCell().item, int(Color));
    QVERIFY(!txtP->isVisible());
    QVERIFY(control<QComboBox>("ComP")->isVisible());
}

void TestPropertyInspector::commitOpenEditorForgetsTheCell()
{
    setSheet(QStringLiteral("H1 {\n  margin: 0;|\n}"));
    clickCell(TextIndent, 1);
    QTest::keyClicks(control<QLineEdit>("TxtP"), QStringLiteral("1em"));
    m_inspector->commitOpenEditor();
    QCOMPARE(sheet(), crlf(QStringLiteral("H1 {\n  margin: 0;\ntext-indent: 1em;\n}")));
    QCOMPARE(m_inspector->CurrentCell().item, -1);
    QVERIFY(!control<QLineEdit>("TxtP")->isVisible());
    // With no cell, nothing more is written.
    m_inspector->WriteDeclaration();
    QCOMPARE(sheet(), crlf(QStringLiteral("H1 {\n  margin: 0;\ntext-indent: 1em;\n}")));
}

void TestPropertyInspector::emptiedValueKeepsTheDeclaration()
{
    const QString text = QStringLiteral("H1 {\n  text-indent: 2em;\n}");
    setSheet(QStringLiteral("H1 {\n  text-indent: 2em;|\n}"));
    QTreeWidgetItem *row = m_lstP->topLevelItem(TextIndent);
    row->setText(1, QStringLiteral("2em"));
    row->setForeground(0, kDarkRed);
    clickCell(TextIndent, 1);
    auto *txtP = control<QLineEdit>("TxtP");
    QCOMPARE(txtP->selectedText(), QStringLiteral("2em"));
    QTest::keyClick(txtP, Qt::Key_Delete);
    QTest::keyClick(txtP, Qt::Key_Return);
    QCOMPARE(sheet(), crlf(text));
    QCOMPARE(row->text(1), QString());
    QCOMPARE(row->foreground(0), kBlack);
}

void TestPropertyInspector::unchangedCommitKeepsTheText()
{
    const QString text = QStringLiteral("H1 {\n  text-indent: 2em !important; /* first line */\n}");
    setSheet(QStringLiteral("H1 {\n  text-indent: 2em !important; /* first line */|\n}"));
    m_lstP->topLevelItem(TextIndent)->setText(1, QStringLiteral("2em"));
    clickCell(TextIndent, 1);
    QTest::keyClick(control<QLineEdit>("TxtP"), Qt::Key_Return);
    QCOMPARE(sheet(), crlf(text));
}

void TestPropertyInspector::typedEntryIsNotChosenWhenTheFocusLeaves()
{
    const QString text = QStringLiteral("H1 {\n  margin: 0;\n}");
    setSheet(QStringLiteral("H1 {\n  margin: 0;|\n}"));
    clickCell(FontWeight, 1);
    auto *comP = control<QComboBox>("ComP");
    QTRY_VERIFY(comP->view()->isVisible());
    comP->hidePopup();
    comP->lineEdit()->clear();
    QTest::keyClicks(comP->lineEdit(), QStringLiteral("bold"));
    m_editor->setFocus();
    QTRY_VERIFY(m_editor->hasFocus());
    // Typing an entry's text is not choosing it: the box is still open, nothing written.
    QCOMPARE(sheet(), crlf(text));
    QVERIFY(comP->isVisible());
    m_inspector->commitOpenEditor();
    QCOMPARE(sheet(), crlf(QStringLiteral("H1 {\n  margin: 0;\nfont-weight: bold;\n}")));
}

void TestPropertyInspector::fontPickerComposesTheList()
{
    m_inspector->fillFontList();
    auto *lstFont = control<QListWidget>("LstFont");
    auto *txtFontList = control<QLineEdit>("TxtFontList");
    auto *preview = control<QLineEdit>("TxtFontPreview");
    const QStringList generic = GenericFontEntries();
    QVERIFY(lstFont->count() > generic.size());
    for (int i = 0; i < lstFont->count(); ++i) {
        if (i < generic.size())
            QCOMPARE(lstFont->item(i)->text(), generic.at(i));
        QCOMPARE(lstFont->item(i)->checkState(), Qt::Unchecked);
    }
    QCOMPARE(preview->text(), QStringLiteral("This is an EXAMPLE"));

    setSheet(QStringLiteral("P {|\n}"));
    clickCell(FontFamily, 1);
    QVERIFY(txtFontList->isVisible());
    QVERIFY(lstFont->isVisible());
    QVERIFY(preview->isVisible());
    QVERIFY(lstFont->hasFocus());
    QCOMPARE(txtFontList->geometry(), cellInHost(FontFamily, 1));
    QVERIFY(lstFont->geometry().top() > txtFontList->geometry().bottom());
    QVERIFY(preview->geometry().top() > lstFont->geometry().bottom());
    QCOMPARE(lstFont->geometry().left(), txtFontList->geometry().left());

    // Check a generic family first and an installed font after it; the font still
    // leads. Pick an installed family with a blank when there is one.
    int font = generic.size();
    for (int i = generic.size(); i < lstFont->count(); ++i) {
        if (lstFont->item(i)->text().contains(u' ')) {
            font = i;
            break;
        }
    }
    const QString family = lstFont->item(font)->text();
    const QString shown = family.contains(u' ') ? u'"' + family + u'"' : family;
    lstFont->item(4)->setCheckState(Qt::Checked);
    QCOMPARE(txtFontList->text(), QStringLiteral("monospace"));
    lstFont->item(font)->setCheckState(Qt::Checked);
    QCOMPARE(txtFontList->text(), shown + QStringLiteral(", monospace"));
    QCOMPARE(txtFontList->cursorPosition(), txtFontList->text().size());

    m_inspector->commitOpenEditor();
    QCOMPARE(sheet(), crlf(QStringLiteral("P {\nfont-family: ") + shown + QStringLiteral(", monospace;\n}")));
    QVERIFY(!txtFontList->isVisible());
    QVERIFY(!lstFont->isVisible());
    QVERIFY(!preview->isVisible());

    // Reopened on another rule, the picker keeps its check marks and its text.
    setSheet(QStringLiteral("H1 {|\n}"));
    clickCell(FontFamily, 1);
    QCOMPARE(txtFontList->text(), shown + QStringLiteral(", monospace"));
    QCOMPARE(lstFont->item(font)->checkState(), Qt::Checked);
    lstFont->item(font)->setCheckState(Qt::Unchecked);
    lstFont->item(4)->setCheckState(Qt::Unchecked);
    QCOMPARE(txtFontList->text(), QString());
}

void TestPropertyInspector::fontSampleFollowsTheMouse()
{
    m_inspector->fillFontList();
    clickCell(FontFamily, 1);
    auto *lstFont = control<QListWidget>("LstFont");
    auto *preview = control<QLineEdit>("TxtFontPreview");
    const QStringList generic = GenericFontEntries();
    QVERIFY(lstFont->count() > generic.size());

    // An installed font: the sample shows its name in that font.
    const int font = generic.size();
    lstFont->scrollToItem(lstFont->item(font));
    const QString family = lstFont->item(font)->text();
    QTest::mouseMove(lstFont->viewport(), lstFont->visualItemRect(lstFont->item(font)).center());
    QTRY_COMPARE(preview->text(), family);
    QCOMPARE(preview->font().family(), family);
    QCOMPARE(lstFont->currentRow(), font);
    QCOMPARE(lstFont->item(font)->checkState(), Qt::Unchecked);

    // A generic family: three dots, in the font of the previous sample.
    lstFont->scrollToItem(lstFont->item(1));
    QTest::mouseMove(lstFont->viewport(), lstFont->visualItemRect(lstFont->item(1)).center());
    QTRY_COMPARE(preview->text(), QStringLiteral("..."));
    QCOMPARE(preview->font().family(), family);
    QCOMPARE(lstFont->currentRow(), 1);
}

void TestPropertyInspector::editorFollowsItsCellWhenTheListScrolls()
{
    setSheet(QStringLiteral("H1 {\n  margin: 0;|\n}"));
    const int row = TextIndent;
    clickCell(row, 1);
    auto *txtP = control<QLineEdit>("TxtP");
    QCOMPARE(txtP->geometry().topLeft(), cellInHost(row, 1).topLeft());
    QTest::keyClicks(txtP, QStringLiteral("3em"));

    QScrollBar *bar = m_lstP->verticalScrollBar();
    QVERIFY(bar->maximum() > 2);
    bar->setValue(2);
    QCOMPARE(txtP->geometry().topLeft(), cellInHost(row, 1).topLeft());
    // Scrolled out of view it is hidden, yet still open, and comes back with its text.
    bar->setValue(bar->maximum());
    QVERIFY(!txtP->isVisible());
    bar->setValue(0);
    QVERIFY(txtP->isVisible());
    QCOMPARE(txtP->text(), QStringLiteral("3em"));
    m_inspector->commitOpenEditor();
    QCOMPARE(sheet(), crlf(QStringLiteral("H1 {\n  margin: 0;\ntext-indent: 3em;\n}")));
}

void TestPropertyInspector::keyboardOpensTheValueCell()
{
    m_lstP->setFocus();
    m_lstP->setCurrentItem(m_lstP->topLevelItem(TextIndent));
    QTest::keyClick(m_lstP, Qt::Key_F2);
    QVERIFY(control<QLineEdit>("TxtP")->isVisible());
    QCOMPARE(m_inspector->CurrentCell().item, int(TextIndent));
    QCOMPARE(m_inspector->CurrentCell().subItem, 1);
    QCOMPARE(m_txtInfo->toPlainText(), QStringLiteral("text-indent described."));
}

QTEST_MAIN(TestPropertyInspector)
#include "tst_propertyinspector.moc"
