#pragma once

// What the tests of the preview on the real browser engine share: a preview window
// over a page of their own, and the page's answer to a script. Header-only, as only
// those tests link the engine.
#include "dialogs/scopeddialogseam.h"
#include "preview/frmpreview.h"
#include "preview/pageview.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "support/scripteddialogs.h"

#include <QComboBox>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <memory>

namespace sheetsmith {

// A preview window whose list holds one page, written from html into a folder of its
// own, with the dialogs scripted and the sheet taken from `sheet` whenever the window
// asks for it. Live preview is on from the start when live is.
class EnginePreview
{
public:
    EnginePreview(const QByteArray &html, const QString &sheetText, bool live)
        : settings(dir.filePath(QStringLiteral("settings.ini"))), seam(dialogs), sheet(sheetText),
          page(dir.filePath(QStringLiteral("page.html")))
    {
        QFile f(page);
        m_written = dir.isValid() && f.open(QIODevice::WriteOnly) && f.write(html) == html.size() && f.flush();
        settings.write(keys::preview::Section, keys::preview::file(1), page);
        if (live)
            settings.write(keys::preview::Section, keys::preview::Live, QStringLiteral("1"));
        preview = new FrmPreview(settings, [this] { return sheet; }, FrmPreview::Pictures{}, &m_owner);
        view = qobject_cast<QWebEngineView *>(preview->WebBrowser1()->widget());
        if (view)
            loaded = std::make_unique<QSignalSpy>(view, &QWebEngineView::loadFinished);
    }

    // The page was written and the window shows it on the engine.
    bool isValid() const { return m_written && view; }

    // Shows the window at 800 × 600, picks the page as the author would and waits until
    // it has loaded from its file; false when it did not within 30 s.
    bool showPage()
    {
        preview->resize(800, 600);
        preview->show();
        if (!QTest::qWaitForWindowExposed(preview))
            return false;
        preview->ComPath()->activated(0);
        return QTest::qWaitFor([this] { return !loaded->isEmpty() && view->url().isLocalFile(); }, 30000);
    }

    // What script gives in the page's own world, as its scripts see it, as a string;
    // "<no answer>" when the page gives none within 20 s.
    QString evaluate(const QString &script)
    {
        QString result = QStringLiteral("<no answer>");
        bool answered = false;
        view->page()->runJavaScript(script, [&](const QVariant &value) {
            result = value.toString();
            answered = true;
        });
        if (!QTest::qWaitFor([&] { return answered; }, 20000))
            qWarning("the page did not answer");
        return result;
    }

    // The computed colour of the element with the given id.
    QString colourOf(const char *id)
    {
        return evaluate(QStringLiteral("getComputedStyle(document.getElementById('%1')).color").arg(QLatin1String(id)));
    }

private:
    QTemporaryDir dir;
    bool m_written = false;

public:
    SettingsStore settings;
    ScriptedDialogs dialogs;
    ScopedDialogSeam seam;
    QString sheet;
    const QString page;

private:
    // Goes before the settings and the seam the window uses, and takes the window with it.
    QWidget m_owner;

public:
    FrmPreview *preview = nullptr;
    QWebEngineView *view = nullptr;
    std::unique_ptr<QSignalSpy> loaded; // every loadFinished of the view
};

} // namespace sheetsmith
