#pragma once

#include <QObject>
#include <QStringList>

class QComboBox;
class QEvent;
class QFrame;
class QLineEdit;
class QWidget;

namespace sheetsmith {

// The three small panels that add a rule from the selector tree: FrElement (a list of
// element names, ComNE), FrClass (TxtNC) and FrID (TxtNI), each with OK and Cancel.
// They sit over the bottom of the tree, hidden until opened; one is open at a time.
// OK or Enter commits: an empty name is refused with a message, anything else is
// asked of the owner through ruleRequested (the selector, "#" before an ID name) and
// the panel closes. Cancel or Esc closes the panel and changes nothing.
class NewSelectorPanels : public QObject
{
    Q_OBJECT

public:
    enum class Kind { Element, Class, ID };

    // The panels are made as children of parent, over the area of the tree.
    explicit NewSelectorPanels(QWidget *parent);
    ~NewSelectorPanels() override;

    // Opens one panel, hiding the others, with the focus in its input.
    void open(Kind kind);
    // Places the panels in the parent's pixels: left edge, bottom edge (the panels
    // end just above it), width, and the height they have at least.
    void place(int left, int bottom, int width, int minimumHeight);

    QFrame *panel(Kind kind) const;
    // The element names the element panel offers, in list order.
    QStringList elementNames() const;

signals:
    // A new rule with this selector was asked for.
    void ruleRequested(const QString &selector);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QFrame *makePanel(Kind kind, const QString &name, QWidget *input, const QString &okName,
                      const QString &cancelName);
    void commit(Kind kind);

    QWidget *m_parent;
    QComboBox *m_comNE = nullptr;
    QLineEdit *m_txtNC = nullptr;
    QLineEdit *m_txtNI = nullptr;
    QFrame *m_frElement = nullptr;
    QFrame *m_frClass = nullptr;
    QFrame *m_frID = nullptr;
};

} // namespace sheetsmith
