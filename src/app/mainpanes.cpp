#include "app/mainpanes.h"

#include "app/icons.h"
#include "app/panelayout.h"
#include "blocks/newselectorpanels.h"
#include "blocks/selectortree.h"
#include "dialogs/twips.h"
#include "editor/richedit.h"

#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>

namespace sheetsmith {

namespace {

// Caption bars above the panes: bold white text on blue.
QLabel *makeCaptionBar(const QString &name, const QString &caption, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setAutoFillBackground(true);
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, QColor(33, 93, 218));
    pal.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(pal);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(8.25);
    font.setBold(true);
    label->setFont(font);
    return label;
}

void buildLeftPane(QWidget *surface, MainPanes &p)
{
    p.frame1 = new QFrame(surface);
    p.frame1->setObjectName(QStringLiteral("Frame1"));
    p.frame1->setCursor(Qt::ArrowCursor);
    p.lbl1 = makeCaptionBar(QStringLiteral("Lbl1"), QStringLiteral(" Selectors"), p.frame1);

    p.tv = new SelectorTree(p.frame1);
    p.tv->setObjectName(QStringLiteral("Tv"));
    p.tv->setAccessibleName(QStringLiteral("Selectors"));
    p.tv->setPictures(selectorIcon(2), selectorIcon(3), selectorIcon(4));
    // The selected node keeps these colours while the tree does not have the focus.
    QPalette treePalette = p.tv->palette();
    treePalette.setColor(QPalette::Inactive, QPalette::Highlight, QColor(147, 160, 112));
    treePalette.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::white);
    p.tv->setPalette(treePalette);
    p.panels = new NewSelectorPanels(p.frame1);

    p.lbl2 = makeCaptionBar(QStringLiteral("Lbl2"), QStringLiteral(" Properties"), p.frame1);
    p.lstP = new QTreeWidget(p.frame1);
    p.lstP->setObjectName(QStringLiteral("LstP"));
    p.lstP->setAccessibleName(QStringLiteral("Properties"));
    p.lstP->setColumnCount(2);
    p.lstP->setHeaderLabels({QStringLiteral("Property"), QStringLiteral("Value")});
    p.lstP->setRootIsDecorated(false);
    p.lstP->setUniformRowHeights(true);

    p.txtInfo = new QPlainTextEdit(p.frame1);
    p.txtInfo->setObjectName(QStringLiteral("TxtInfo"));
    p.txtInfo->setAccessibleName(QStringLiteral("Property description"));
    p.txtInfo->setReadOnly(true);
}

void buildRightPane(QWidget *surface, MainPanes &p)
{
    p.frame2 = new QFrame(surface);
    p.frame2->setObjectName(QStringLiteral("Frame2"));
    p.frame2->setCursor(Qt::ArrowCursor);
    p.lbl3 = makeCaptionBar(QStringLiteral("Lbl3"), QStringLiteral(" Untitled Document"), p.frame2);
    p.mainText = new RichEdit(p.frame2);
    p.mainText->setObjectName(QStringLiteral("MainText"));
    p.mainText->setAccessibleName(QStringLiteral("Style sheet"));
    // Style sheets are read line by line; long lines scroll rather than wrap.
    p.mainText->setLineWrapMode(QPlainTextEdit::NoWrap);
}

} // namespace

void buildPanes(QWidget *surface, MainPanes &panes)
{
    buildLeftPane(surface, panes);
    buildRightPane(surface, panes);
}

void buildStatusBar(QWidget *surface, MainPanes &p)
{
    p.stBar = new QStatusBar(surface);
    p.stBar->setObjectName(QStringLiteral("StBar"));
    p.stBar->setSizeGripEnabled(false);
    p.stBar->setCursor(Qt::ArrowCursor);
    p.panel1 = new QLabel(QStringLiteral("Ready"), p.stBar);
    p.panel1->setObjectName(QStringLiteral("StBarPanel1"));
    p.panel1->setAccessibleName(QStringLiteral("Status"));
    p.panel2 = new QLabel(QStringLiteral("Line 1 of 1, Col 1"), p.stBar);
    p.panel2->setObjectName(QStringLiteral("StBarPanel2"));
    p.panel2->setAccessibleName(QStringLiteral("Caret position"));
    p.panel2->setFixedWidth(twipsToPx(3000, surface->logicalDpiX()));
    p.stBar->addWidget(p.panel1, 1);
    p.stBar->addWidget(p.panel2);
}

void placePanes(const MainPanes &p, const PaneGeometry &g, const QWidget &surface)
{
    if (!p.stBar)
        return;
    const int dx = surface.logicalDpiX();
    const int dy = surface.logicalDpiY();
    const auto place = [dx, dy](QWidget *w, const TwipRect &r) {
        w->setGeometry(twipsToPx(r.left, dx), twipsToPx(r.top, dy), twipsToPx(r.width, dx), twipsToPx(r.height, dy));
    };
    p.toolbars.main->setGeometry(0, 0, surface.width(), twipsToPx(360, dy));
    place(p.frame1, g.frame1);
    place(p.frame2, g.frame2);
    place(p.lbl1, g.lbl1);
    // The selector toolbar keeps its design place; it is widened when the style's
    // buttons need more room than the design width, so no button is hidden.
    p.toolbars.selector->setGeometry(twipsToPx(60, dx), twipsToPx(405, dy),
                                     qMax(twipsToPx(2040, dx), p.toolbars.selector->sizeHint().width()),
                                     twipsToPx(330, dy));
    place(p.tv, g.tv);
    place(p.lbl2, g.lbl2);
    place(p.lstP, g.lstP);
    p.lstP->setColumnWidth(0, twipsToPx(g.propertyColumnWidth, dx));
    p.lstP->setColumnWidth(1, twipsToPx(g.valueColumnWidth, dx));
    place(p.txtInfo, g.txtInfo);
    place(p.lbl3, g.lbl3);
    place(p.mainText, g.mainText);

    const int barHeight = qMax(twipsToPx(255, dy), p.stBar->sizeHint().height());
    p.stBar->setGeometry(0, surface.height() - barHeight, surface.width(), barHeight);
    p.panel1->setMaximumWidth(twipsToPx(g.statusPanel1Width, dx));
    // The new-selector panels sit over the bottom of the tree, 20 twips in from its
    // sides and 10 above its bottom.
    const TwipRect &tv = g.tv;
    p.panels->place(twipsToPx(tv.left + 20, dx), twipsToPx(tv.top + tv.height - 10, dy), twipsToPx(tv.width - 40, dx),
                    twipsToPx(495, dy));
}

} // namespace sheetsmith
