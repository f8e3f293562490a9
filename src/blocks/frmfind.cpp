#include "blocks/frmfind.h"

#include "dialogs/busyscope.h"
#include "dialogs/dialogseam.h"
#include "dialogs/focusreturn.h"
#include "editor/richedit.h"
#include "text/findrules.h"
#include "text/words.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace sheetsmith {

namespace {

const QString kAppTitle = QStringLiteral("Sheetsmith");

} // namespace

QPointer<FrmFind> FrmFind::s_instance;

FrmFind::FrmFind(RichEdit &editor, QWidget *owner) : QDialog(owner), m_editor(&editor)
{
    setObjectName(QStringLiteral("FrmFind"));
    setWindowTitle(QStringLiteral("Find and Replace"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    FocusReturn::watch(this);
    buildControls();

    // Load: a new search, direction "All", and the found text kept highlighted while
    // the author works in this window. The editor keeps showing its selection after
    // the window has gone.
    m_newSearch = true;
    m_editor->setHideSelection(false);
    m_dCombo->setCurrentIndex(DirectionAll);
}

FrmFind::~FrmFind() = default;

void FrmFind::buildControls()
{
    m_label1 = new QLabel(QStringLiteral("Find what:"), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_txtFind = new QLineEdit(this);
    m_txtFind->setObjectName(QStringLiteral("TxtFind"));
    m_label1->setBuddy(m_txtFind);

    m_lblReplace = new QLabel(QStringLiteral("Replace with:"), this);
    m_lblReplace->setObjectName(QStringLiteral("LblReplace"));
    m_txtReplace = new QLineEdit(this);
    m_txtReplace->setObjectName(QStringLiteral("TxtReplace"));
    m_lblReplace->setBuddy(m_txtReplace);

    m_label2 = new QLabel(QStringLiteral("Direction:"), this);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_dCombo = new QComboBox(this);
    m_dCombo->setObjectName(QStringLiteral("DCombo"));
    // Index order is the Direction enumeration.
    m_dCombo->addItems({QStringLiteral("All"), QStringLiteral("Up"), QStringLiteral("Down")});
    m_dCombo->setEditable(false);
    m_label2->setBuddy(m_dCombo);

    m_chkCase = new QCheckBox(QStringLiteral("Match case"), this);
    m_chkCase->setObjectName(QStringLiteral("ChkCase"));
    m_chkWholeWord = new QCheckBox(QStringLiteral("Match whole word only"), this);
    m_chkWholeWord->setObjectName(QStringLiteral("ChkWholeWord"));

    m_cmdFindNext = new QPushButton(QStringLiteral("Find Next"), this);
    m_cmdFindNext->setObjectName(QStringLiteral("CmdFindNext"));
    m_cmdClose = new QPushButton(QStringLiteral("Close"), this);
    m_cmdClose->setObjectName(QStringLiteral("CmdClose"));
    m_cmdReplace = new QPushButton(QStringLiteral("Replace"), this);
    m_cmdReplace->setObjectName(QStringLiteral("CmdReplace"));
    m_cmdReplaceAll = new QPushButton(QStringLiteral("Replace All"), this);
    m_cmdReplaceAll->setObjectName(QStringLiteral("CmdReplaceAll"));

    // Enter anywhere in the window presses Find Next (while it is enabled): no other
    // button may take over as default when it gets the focus.
    for (QPushButton *b : {m_cmdClose, m_cmdReplace, m_cmdReplaceAll})
        b->setAutoDefault(false);
    m_cmdFindNext->setAutoDefault(false);
    m_cmdFindNext->setDefault(true);
    m_cmdFindNext->setEnabled(false);

    // The two text boxes beside their labels, the direction under its label, the
    // options to its right; the buttons in a column on the right, as the design has
    // them. Widths follow the font so the window looks the same at any size.
    const int boxWidth = fontMetrics().averageCharWidth() * 28;
    m_txtFind->setMinimumWidth(boxWidth);
    m_txtReplace->setMinimumWidth(boxWidth);

    auto *options = new QVBoxLayout;
    options->addWidget(m_chkCase);
    options->addWidget(m_chkWholeWord);

    auto *fields = new QGridLayout;
    fields->addWidget(m_label1, 0, 0);
    fields->addWidget(m_txtFind, 0, 1);
    fields->addWidget(m_lblReplace, 1, 0);
    fields->addWidget(m_txtReplace, 1, 1);
    fields->addWidget(m_label2, 2, 0);
    fields->addWidget(m_dCombo, 3, 0);
    fields->addLayout(options, 2, 1, 2, 1);
    fields->setColumnStretch(1, 1);
    fields->setRowStretch(4, 1);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_cmdFindNext);
    buttons->addWidget(m_cmdClose);
    buttons->addWidget(m_cmdReplace);
    buttons->addWidget(m_cmdReplaceAll);
    buttons->addStretch(1);

    auto *top = new QHBoxLayout(this);
    top->addLayout(fields, 1);
    top->addSpacing(fontMetrics().averageCharWidth() * 2);
    top->addLayout(buttons);

    setTabOrder(m_txtFind, m_txtReplace);
    setTabOrder(m_txtReplace, m_dCombo);
    setTabOrder(m_dCombo, m_chkCase);
    setTabOrder(m_chkCase, m_chkWholeWord);
    setTabOrder(m_chkWholeWord, m_cmdFindNext);
    setTabOrder(m_cmdFindNext, m_cmdClose);
    setTabOrder(m_cmdClose, m_cmdReplace);
    setTabOrder(m_cmdReplace, m_cmdReplaceAll);

    connect(m_txtFind, &QLineEdit::textChanged, this, &FrmFind::onFindTextChanged);
    connect(m_cmdFindNext, &QPushButton::clicked, this, &FrmFind::cmdFindNextClick);
    connect(m_cmdClose, &QPushButton::clicked, this, &FrmFind::close);
    connect(m_cmdReplace, &QPushButton::clicked, this, &FrmFind::cmdReplaceClick);
    connect(m_cmdReplaceAll, &QPushButton::clicked, this, &FrmFind::cmdReplaceAllClick);
}

FrmFind *FrmFind::showFor(QWidget *owner, RichEdit &editor)
{
    if (s_instance && (s_instance->m_editor != &editor || s_instance->parentWidget() != owner)) {
        // Closing deletes it later; it is hidden at once, so only the new one shows.
        s_instance->close();
        s_instance = nullptr;
    }
    if (!s_instance)
        s_instance = new FrmFind(editor, owner); // owned by owner; deletes itself on close
    s_instance->show();
    s_instance->raise();
    s_instance->activateWindow();
    return s_instance;
}

void FrmFind::setStatusPanel(QLabel *panel)
{
    m_statusPanel = panel;
}

FrmFind *FrmFind::instance()
{
    return s_instance;
}

void FrmFind::onFindTextChanged(const QString &text)
{
    m_cmdFindNext->setEnabled(!text.isEmpty());
}

FrmFind::Direction FrmFind::direction() const
{
    const int index = m_dCombo->currentIndex();
    return index == DirectionUp || index == DirectionDown ? Direction(index) : DirectionAll;
}

void FrmFind::readOptions()
{
    m_wordOption = m_chkWholeWord->isChecked() ? RichEdit::FindWholeWord : 0;
    m_caseOption = m_chkCase->isChecked() ? RichEdit::FindMatchCase : 0;
}

void FrmFind::cmdFindNextClick()
{
    // With an empty "Find what:" box the button is disabled; Replace, which ends with
    // this operation, then only replaces the selection and searches nothing.
    if (!m_editor || m_txtFind->text().isEmpty())
        return;
    if (!m_newSearch) {
        FindNext();
        return;
    }

    m_editor->setHideSelection(false);
    readOptions();
    const QString what = m_txtFind->text();
    const FindRange range = FirstFindRange(FindDirection(direction()), m_editor->selStart(), m_editor->text().size());
    const qsizetype found = m_editor->find(what, range.start, range.end, m_caseOption | m_wordOption);

    if (found < 0) {
        MsgBox(this, QStringLiteral("Search completed with no results!"),
               DialogSeam::OkOnly | DialogSeam::Warning);
        return; // NewSearch stays set: the next press searches anew.
    }
    m_newSearch = false;
}

void FrmFind::FindNext()
{
    if (!m_editor)
        return;
    m_editor->setHideSelection(false);
    readOptions();
    const QString what = m_txtFind->text();
    const FindRange range = NextFindRange(FindDirection(direction()), m_editor->selStart(), m_editor->selLength(),
                                          m_editor->text().size(), what.size());
    const qsizetype found =
        range.search ? m_editor->find(what, range.start, range.end, m_caseOption | m_wordOption) : -1;

    if (found < 0) {
        MsgBox(this, kAppTitle + QStringLiteral(" has finsihed searching the document."),
               DialogSeam::OkOnly | DialogSeam::Information);
        m_newSearch = true;
    }
}

void FrmFind::cmdReplaceClick()
{
    if (!m_editor)
        return;
    // Whatever is selected is replaced, whether or not a search found it.
    if (!m_editor->selText().isEmpty())
        m_editor->setSelText(m_txtReplace->text());
    cmdFindNextClick();
}

void FrmFind::cmdReplaceAllClick()
{
    if (!m_editor)
        return;
    readOptions();
    const QString what = m_txtFind->text();
    const QString with = m_txtReplace->text();
    const int options = m_caseOption | m_wordOption;
    m_editor->setSelStart(0);

    // Each search starts after the replacement just inserted, so a replacement that
    // contains the searched text is never searched again, and the text after the
    // position shrinks with every round: the loop ends. An empty "Find what:" box
    // matches nothing and makes no replacement. The count has no upper limit.
    // The replacements are the program's own run of edits: caret tracking stays out of
    // them (it would rescan the sheet at every line the run passes) and catches up at
    // the author's next move.
    qsizetype count = 0;
    if (!what.isEmpty()) {
        const BusyScope busy(m_statusPanel, QStringLiteral("Replacing..."));
        const ColouringScope colouring(*m_editor);
        // The whole run is one undo step.
        const UndoGroup step(*m_editor);
        // Each search starts where the last match ended in the text as it was, and the
        // text after that is still the text as it was: the matches are found first and
        // made in one edit, in time linear in the sheet. Only a whole-word search whose
        // match would start right after a replacement can see the replacement, not the
        // match it replaced, as the character before it; when the two differ in being
        // word characters (or nothing replaces), the replacements are made one by one.
        const bool sameBoundary = !(options & RichEdit::FindWholeWord) || !IsWordChar(what.front())
                                  || (!with.isEmpty() && IsWordChar(with.back()) == IsWordChar(what.back()));
        if (sameBoundary) {
            const std::vector<qsizetype> found = m_editor->findEach(what, options);
            count = qsizetype(found.size());
            m_editor->replaceEach(found, what.size(), with);
        } else {
            qsizetype from = 0;
            while (m_editor->find(what, from, std::nullopt, options) >= 0) {
                ++count;
                m_editor->setSelText(with);
                from = m_editor->selStart();
            }
        }
    }

    MsgBox(this,
           kAppTitle + QStringLiteral(" has made ") + QString::number(count)
               + QStringLiteral(" replacement(s)."),
           DialogSeam::OkOnly | DialogSeam::Information);
}

} // namespace sheetsmith
