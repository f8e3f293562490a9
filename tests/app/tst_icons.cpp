#include "app/desktopintegration.h"
#include "app/form1.h"
#include "support/windowfixture.h"

#include <QAction>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTest>
#include <QToolBar>

using namespace sheetsmith;

namespace {

QImage picture(const QIcon &icon, QSize size)
{
    return icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

// The pictures of the toolbars and menus, from the icon themes where there are any and
// drawn where there are none, and the program's own icon.
class TestIcons : public QObject
{
    Q_OBJECT

private slots:
    void toolbarPicturesAreToldApart_data();
    void toolbarPicturesAreToldApart();
    void picturesComeFromTheFallbackTheme();
    void programHasItsOwnIcon();

private:
    void useNoThemeAtAll();
};

void TestIcons::useNoThemeAtAll()
{
    QIcon::setThemeSearchPaths({});
    QIcon::setFallbackThemeName(QString());
    QIcon::setThemeName(QString());
}

void TestIcons::toolbarPicturesAreToldApart_data()
{
    QTest::addColumn<bool>("themed");
    QTest::addColumn<QString>("toolbar");
    QTest::newRow("main toolbar, fallback theme") << true << "TbM";
    QTest::newRow("selector toolbar, fallback theme") << true << "TbP";
    QTest::newRow("main toolbar, no theme: drawn") << false << "TbM";
    QTest::newRow("selector toolbar, no theme: drawn") << false << "TbP";
}

void TestIcons::toolbarPicturesAreToldApart()
{
    QFETCH(bool, themed);
    QFETCH(QString, toolbar);
    if (themed)
        useIconThemes();
    else
        useNoThemeAtAll();
    WindowFixture fixture;
    QVERIFY2(fixture.setUp(), qPrintable(fixture.problem()));
    auto *bar = fixture.window().findChild<QToolBar *>(toolbar);
    QVERIFY(bar);

    QList<QAction *> buttons;
    for (QAction *action : bar->actions()) {
        if (!action->isSeparator())
            buttons << action;
    }
    QVERIFY(buttons.size() >= 5);
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        const QImage a = picture(buttons[i]->icon(), bar->iconSize());
        QVERIFY2(!a.isNull(), qPrintable(buttons[i]->objectName()));
        for (qsizetype j = 0; j < i; ++j) {
            QVERIFY2(a != picture(buttons[j]->icon(), bar->iconSize()),
                     qPrintable(buttons[j]->objectName() + QStringLiteral(" and ") + buttons[i]->objectName()
                                + QStringLiteral(" look the same")));
        }
    }
    QVERIFY2(fixture.tearDown(), qPrintable(fixture.problem()));
}

void TestIcons::picturesComeFromTheFallbackTheme()
{
    // Without a desktop (the offscreen platform names no theme and searches no system
    // folder) the pictures still come from the installed fallback theme.
    useIconThemes();
    QCOMPARE(QIcon::fallbackThemeName(), QString::fromLatin1(FallbackIconTheme));
    const QIcon themed = QIcon::fromTheme(QStringLiteral("document-new"));
    QVERIFY2(!themed.isNull(), "the fallback icon theme is not installed");

    WindowFixture fixture;
    QVERIFY2(fixture.setUp(), qPrintable(fixture.problem()));
    const QSize size(16, 16);
    auto *button = fixture.window().findChild<QAction *>(QStringLiteral("TbM_New"));
    auto *entry = fixture.window().findChild<QAction *>(QStringLiteral("mNew"));
    QVERIFY(button && entry);
    QCOMPARE(picture(button->icon(), size), picture(themed, size));
    QCOMPARE(picture(entry->icon(), size), picture(themed, size));
    QVERIFY2(fixture.tearDown(), qPrintable(fixture.problem()));
}

void TestIcons::programHasItsOwnIcon()
{
    setUpDesktopIntegration();
    QCOMPARE(QGuiApplication::desktopFileName(), applicationId());
    QVERIFY(QFile::exists(QStringLiteral(":/sheetsmith/") + applicationId() + QStringLiteral(".svg")));
    // Drawn from the SVG at any size: the SVG icon engine is there.
    const QImage icon = picture(QGuiApplication::windowIcon(), QSize(48, 48));
    QCOMPARE(icon.size(), QSize(48, 48));
    QVERIFY(icon.pixelColor(24, 24).alpha() > 0);

    WindowFixture fixture;
    QVERIFY2(fixture.setUp(), qPrintable(fixture.problem()));
    QCOMPARE(picture(fixture.window().windowIcon(), QSize(32, 32)), picture(QGuiApplication::windowIcon(), QSize(32, 32)));
    QVERIFY2(fixture.tearDown(), qPrintable(fixture.problem()));
}

QTEST_MAIN(TestIcons)
#include "tst_icons.moc"
