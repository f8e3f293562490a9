#include "text/tabs.h"

namespace sheetsmith {

QString ExpandTabs(const QString &text, int tabWidth)
{
    QString out = text;
    out.replace(u'\t', QString(qMax(tabWidth, 0), u' '));
    return out;
}

} // namespace sheetsmith
