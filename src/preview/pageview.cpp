#include "preview/pageview.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLibrary>
#include <QStringList>
#include <QUrl>

#include <unistd.h>

namespace sheetsmith {

namespace {

const QString ModuleName = QStringLiteral("sheetsmith-pageview.so");

// Stands in for the engine when its module cannot be loaded: the reason, readable on
// screen and by screen readers, in place of the page.
class NoticePageView : public QLabel, public PageView
{
public:
    NoticePageView(const QString &notice, QWidget *parent)
        : QLabel(notice, parent)
    {
        setWordWrap(true);
        setAlignment(Qt::AlignCenter);
        setMargin(12);
    }
    QWidget *widget() override { return this; }
    void navigate(const QUrl &) override {}
};

} // namespace

PageView::Factory PageView::s_factory;

QStringList PageView::moduleCandidates()
{
    const QString programDir = QCoreApplication::applicationDirPath();
    return {programDir + u'/' + ModuleName,
            QDir::cleanPath(programDir + QStringLiteral("/../" SHEETSMITH_MODULE_DIR "/") + ModuleName)};
}

PageView *PageView::create(QWidget *parent)
{
    if (s_factory)
        return s_factory(parent);
    const QStringList candidates = moduleCandidates();
    for (const QString &path : candidates) {
        if (QFileInfo(path).isFile())
            return createFromModule(path, parent);
    }
    return createFromModule(candidates.first(), parent);
}

PageView *PageView::createFromModule(const QString &modulePath, QWidget *parent)
{
    using Create = PageView *(*)(QWidget *);
    // The module stays loaded for the rest of the run: views made from it may live
    // until the program ends.
    QLibrary module(modulePath);
    auto create = reinterpret_cast<Create>(module.resolve("sheetsmithCreatePageView"));
    if (create)
        return create(parent);
    const QString notice = QStringLiteral("The preview cannot show pages: its browser engine could not be loaded "
                                          "from \"%1\" (%2).")
                               .arg(QDir::toNativeSeparators(modulePath), module.errorString());
    return new NoticePageView(notice, parent); // owned by parent
}

void prepareBrowserEngine()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

} // namespace sheetsmith
