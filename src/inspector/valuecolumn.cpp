// The property list's Value column as caret tracking loads it.

#include "editor/richedit.h"
#include "inspector/blockvalues.h"
#include "inspector/catalogue.h"
#include "inspector/propertyinspector.h"

#include <QBrush>
#include <QTreeWidget>

namespace sheetsmith {

void PropertyInspector::showValues(const ItmClass *block)
{
    static const QBrush black(QColor(0, 0, 0));
    static const QBrush darkRed(QColor(128, 0, 0));
    const int rows = m_lstP->topLevelItemCount();
    for (int r = 0; r < rows; ++r) {
        QTreeWidgetItem *row = m_lstP->topLevelItem(r);
        if (!row->text(1).isEmpty())
            row->setText(1, QString());
        if (row->foreground(0) != black) {
            row->setForeground(0, black);
            row->setForeground(1, black);
        }
    }
    if (!block)
        return;
    // Rows stand in catalogue order, so row j is the property PropName[j].
    for (int j = 0; j < rows && j < int(m_catalogue.PropName.size()); ++j) {
        const std::optional<QString> value = DeclaredValue(m_editor.model(), *block, m_catalogue.PropName[size_t(j)]);
        if (!value)
            continue;
        QTreeWidgetItem *row = m_lstP->topLevelItem(j);
        row->setText(1, *value);
        row->setForeground(0, darkRed);
        row->setForeground(1, darkRed);
    }
}

} // namespace sheetsmith
