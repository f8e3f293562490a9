#include "app/form1.h"
#include "editor/richedit.h"
#include "settings/frmoptions.h"
#include "settings/settingskeys.h"
#include "support/windowfixture.h"

#include <QTest>

using namespace sheetsmith;

// The colour swatches in the real window, clicked as the author clicks them.
class TestSwatches : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY2(m_fixture.setUp(), qPrintable(m_fixture.problem())); }
    void cleanup() { QVERIFY2(m_fixture.tearDown(), qPrintable(m_fixture.problem())); }

    void clickWritesTheColourBack();
    void settingHidesThem();

private:
    QRect swatchBefore(const QString &value) const
    {
        const RichEdit &editor = m_fixture.editor();
        return editor.swatchRect(editor.text().indexOf(value));
    }

    WindowFixture m_fixture;
};

void TestSwatches::clickWritesTheColourBack()
{
    QVERIFY(m_fixture.open("p { color: #fff; font-family: red }\n/* #000 */ a { background: rgb(0, 0, 0) }\n"));
    RichEdit &editor = m_fixture.editor();
    const QString before = editor.text();
    QTRY_VERIFY(!swatchBefore(QStringLiteral("#fff")).isEmpty());
    QVERIFY(!swatchBefore(QStringLiteral("rgb(")).isEmpty());
    // None in a comment, none for a name that is no colour there.
    QVERIFY(swatchBefore(QStringLiteral("#000")).isEmpty());
    QVERIFY(swatchBefore(QStringLiteral("red")).isEmpty());

    // Cancel changes nothing; OK changes exactly the value's characters, in its notation.
    m_fixture.dialogs().cancelColour();
    QTest::mouseClick(editor.viewport(), Qt::LeftButton, {}, swatchBefore(QStringLiteral("#fff")).center());
    QCOMPARE(editor.text(), before);
    QCOMPARE(editor.selStart(), 0); // the click is the swatch's, not the caret's
    m_fixture.dialogs().answerColour(QColor(0xaa, 0xbb, 0xcc));
    QTest::mouseClick(editor.viewport(), Qt::LeftButton, {}, swatchBefore(QStringLiteral("#fff")).center());
    QCOMPARE(m_fixture.dialogs().colourCalls().size(), 2);
    QCOMPARE(m_fixture.dialogs().colourCalls().last().colour, QColor(0xff, 0xff, 0xff));
    QString expected = before;
    expected.replace(QStringLiteral("#fff"), QStringLiteral("#abc"));
    QCOMPARE(editor.text(), expected);

    m_fixture.dialogs().answerColour(QColor(0x10, 0x20, 0x30));
    QTest::mouseClick(editor.viewport(), Qt::LeftButton, {}, swatchBefore(QStringLiteral("rgb(")).center());
    expected.replace(QStringLiteral("rgb(0, 0, 0)"), QStringLiteral("rgb(16, 32, 48)"));
    QCOMPARE(editor.text(), expected);

    // Each pick is one undo step.
    m_fixture.window().runCommand(QStringLiteral("Undo"));
    m_fixture.window().runCommand(QStringLiteral("Undo"));
    QCOMPARE(editor.text(), before);
}

void TestSwatches::settingHidesThem()
{
    QVERIFY(m_fixture.open("p { color: #fff }\n"));
    QTRY_VERIFY(!swatchBefore(QStringLiteral("#fff")).isEmpty());
    m_fixture.settings().write(keys::editor::Section, keys::editor::Swatches, QStringLiteral("0"));
    FrmOptions::applySwatchSettings(m_fixture.editor(), m_fixture.settings());
    QVERIFY(swatchBefore(QStringLiteral("#fff")).isEmpty());
}

QTEST_MAIN(TestSwatches)
#include "tst_swatches.moc"
