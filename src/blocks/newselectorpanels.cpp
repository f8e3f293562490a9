#include "blocks/newselectorpanels.h"

#include "blocks/scanner.h"
#include "dialogs/dialogseam.h"
#include "dialogs/focusreturn.h"
#include "dialogs/twips.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace sheetsmith {

NewSelectorPanels::NewSelectorPanels(QWidget *parent)
    : QObject(parent)
    , m_parent(parent)
{
    m_comNE = new QComboBox;
    m_comNE->setObjectName(QStringLiteral("ComNE"));
    m_comNE->setAccessibleName(QStringLiteral("Element"));
    m_comNE->addItems(ElementNames());
    m_comNE->setCurrentIndex(-1);
    m_frElement = makePanel(Kind::Element, QStringLiteral("FrElement"), m_comNE, QStringLiteral("CmdNEOk"), QStringLiteral("CmdNECancel"));
    m_txtNC = new QLineEdit(QStringLiteral("Enter ClassName"));
    m_txtNC->setObjectName(QStringLiteral("TxtNC"));
    m_txtNC->setAccessibleName(QStringLiteral("Class name"));
    m_frClass = makePanel(Kind::Class, QStringLiteral("FrClass"), m_txtNC, QStringLiteral("CmdNCok"), QStringLiteral("CmdNCcancel"));
    m_txtNI = new QLineEdit(QStringLiteral("Enter ID Name"));
    m_txtNI->setObjectName(QStringLiteral("TxtNI"));
    m_txtNI->setAccessibleName(QStringLiteral("ID name"));
    m_frID = makePanel(Kind::ID, QStringLiteral("FrID"), m_txtNI, QStringLiteral("CmdNIok"), QStringLiteral("CmdNIcancel"));
}

NewSelectorPanels::~NewSelectorPanels() = default;

QFrame *NewSelectorPanels::makePanel(Kind kind, const QString &name, QWidget *input, const QString &okName,
                                     const QString &cancelName)
{
    auto *frame = new QFrame(m_parent);
    frame->setObjectName(name);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setAutoFillBackground(true);
    input->setParent(frame);
    input->installEventFilter(this);
    auto *ok = new QPushButton(QStringLiteral("OK"), frame);
    ok->setObjectName(okName);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), frame);
    cancel->setObjectName(cancelName);
    auto *row = new QHBoxLayout(frame);
    const int dpiX = m_parent->logicalDpiX();
    const int dpiY = m_parent->logicalDpiY();
    // Margins of 120 twips left, 60 elsewhere.
    row->setContentsMargins(twipsToPx(120, dpiX), twipsToPx(60, dpiY), twipsToPx(60, dpiX), twipsToPx(60, dpiY));
    row->addWidget(input, 1);
    row->addWidget(ok);
    row->addWidget(cancel);
    connect(ok, &QPushButton::clicked, this, [this, kind] { commit(kind); });
    connect(cancel, &QPushButton::clicked, frame, &QWidget::hide);
    frame->hide();
    FocusReturn::watch(frame); // a cancelled panel leaves the focus where it found it
    return frame;
}

QFrame *NewSelectorPanels::panel(Kind kind) const
{
    switch (kind) {
    case Kind::Element: return m_frElement;
    case Kind::Class: return m_frClass;
    case Kind::ID: return m_frID;
    }
    return nullptr;
}

QStringList NewSelectorPanels::elementNames() const
{
    QStringList names;
    for (int i = 0; i < m_comNE->count(); ++i)
        names << m_comNE->itemText(i);
    return names;
}

void NewSelectorPanels::place(int left, int bottom, int width, int minimumHeight)
{
    // All three panels are as high as the element panel.
    const int height = qMax(minimumHeight, m_frElement->sizeHint().height());
    for (QFrame *frame : {m_frElement, m_frClass, m_frID})
        frame->setGeometry(left, bottom - height, width, height);
}

void NewSelectorPanels::open(Kind kind)
{
    QFrame *shown = panel(kind);
    for (QFrame *frame : {m_frElement, m_frClass, m_frID})
        frame->setVisible(frame == shown);
    shown->raise();
    if (kind == Kind::Element) {
        m_comNE->setFocus();
    } else {
        QLineEdit *input = kind == Kind::Class ? m_txtNC : m_txtNI;
        input->setFocus();
        input->selectAll();
    }
}

void NewSelectorPanels::commit(Kind kind)
{
    QString name;
    QString message;
    switch (kind) {
    case Kind::Element:
        name = m_comNE->currentText();
        message = QStringLiteral("Please choose an element.");
        break;
    case Kind::Class:
        name = m_txtNC->text();
        message = QStringLiteral("Please enter a valid class name.");
        break;
    case Kind::ID:
        name = m_txtNI->text();
        message = QStringLiteral("Please enter a valid ID name.");
        break;
    }
    if (name.isEmpty()) {
        MsgBox(m_parent, message, DialogSeam::Critical);
        return;
    }
    panel(kind)->hide();
    emit ruleRequested(kind == Kind::ID ? u'#' + name : name);
}

bool NewSelectorPanels::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && (watched == m_comNE || watched == m_txtNC || watched == m_txtNI)) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const Kind kind = watched == m_comNE ? Kind::Element : watched == m_txtNC ? Kind::Class : Kind::ID;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            commit(kind);
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            panel(kind)->hide();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace sheetsmith
