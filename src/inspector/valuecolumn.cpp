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
    // Every row is emptied and blackened, then the block's values are shown; a row is
    // only touched where its text or colour changes, so moving within a block redraws
    // nothing.
    std::optional<BlockValues> values;
    if (block)
        values.emplace(m_editor.model(), *block, m_catalogue.PropName);
    const int rows = m_lstP->topLevelItemCount();
    for (int r = 0; r < rows; ++r) {
        QTreeWidgetItem *row = m_lstP->topLevelItem(r);
        // Rows stand in catalogue order, so row r is the property PropName[r].
        std::optional<QString> value;
        if (values)
            value = values->value(size_t(r));
        const QString text = value.value_or(QString());
        const QBrush &colour = value ? darkRed : black;
        if (row->text(1) != text)
            row->setText(1, text);
        if (row->foreground(0) != colour) {
            row->setForeground(0, colour);
            row->setForeground(1, colour);
        }
    }
}

} // namespace sheetsmith
