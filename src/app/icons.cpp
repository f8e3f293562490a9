#include "app/icons.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>

namespace sheetsmith {

namespace {

struct Picture
{
    const char *themeName; // freedesktop icon name, used when the desktop has a theme
    const char *glyph;     // drawn fallback when it has none
    QRgb colour;
};

// A fallback picture: a short glyph on a rounded tile, drawn at the sizes toolbars
// and trees ask for, so the program looks complete without an icon theme.
QIcon drawnIcon(const Picture &p)
{
    QIcon icon;
    for (int size : {16, 22, 24, 32}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter painter(&pm);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor::fromRgb(p.colour));
        painter.drawRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), size / 5.0, size / 5.0);
        QFont font;
        font.setBold(true);
        font.setPixelSize(qMax(8, size * (qstrlen(p.glyph) > 1 ? 9 : 12) / 16));
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QString::fromUtf8(p.glyph));
        painter.end();
        icon.addPixmap(pm);
    }
    return icon;
}

QIcon pictureIcon(const Picture &p)
{
    const QIcon themed = QIcon::fromTheme(QString::fromLatin1(p.themeName));
    return themed.isNull() ? drawnIcon(p) : themed;
}

} // namespace

QIcon mainToolbarIcon(int index)
{
    static const Picture pictures[] = {
        {"document-new", "N", 0x2f6fbf},          // 1
        {"document-open", "O", 0x2f6fbf},         // 2
        {"document-save", "S", 0x2f6fbf},         // 3
        {"edit-cut", "\u2702", 0x6b6b6b},         // 4
        {"edit-copy", "C", 0x6b6b6b},             // 5
        {"edit-paste", "P", 0x6b6b6b},            // 6
        {"edit-find", "F", 0x6b6b6b},             // 7
        {"edit-undo", "\u21b6", 0x6b6b6b},        // 8
        {"edit-redo", "\u21b7", 0x6b6b6b},        // 9 (unused)
        {"format-indent-more", "\u2192", 0x3a8a3a}, // 10
        {"format-indent-less", "\u2190", 0x3a8a3a}, // 11
        {"format-text-code", "/*", 0x3a8a3a},     // 12
        {"go-down", "\u2193", 0x8a5a2a},          // 13
        {"go-up", "\u2191", 0x8a5a2a},            // 14
        {"web-browser", "1", 0x7a3a9a},           // 15
        {"web-browser", "2", 0x7a3a9a},           // 16
        {"document-print-preview", "\u25a3", 0x7a3a9a}, // 17
    };
    if (index < 1 || index > int(std::size(pictures)))
        return QIcon();
    return pictureIcon(pictures[index - 1]);
}

QIcon selectorIcon(int index)
{
    static const Picture pictures[] = {
        {"view-refresh", "\u21bb", 0x2f6fbf}, // 1
        {"", "E", 0x2f6fbf},                   // 2 element selectors
        {"", ".", 0x3a8a3a},                   // 3 class selectors
        {"", "#", 0xb0452a},                   // 4 ID selectors
        {"edit-delete", "\u2715", 0xb03030},   // 5
    };
    if (index < 1 || index > int(std::size(pictures)))
        return QIcon();
    return pictureIcon(pictures[index - 1]);
}

QIcon previewIcon(int index)
{
    static const Picture pictures[] = {
        {"view-refresh", "\u21bb", 0x2f6fbf},  // 1
        {"document-open", "O", 0x2f6fbf},      // 2
        {"go-up", "\u25b4", 0x6b6b6b},          // 3 collapse
        {"go-down", "\u25be", 0x6b6b6b},        // 4 expand
    };
    if (index < 1 || index > int(std::size(pictures)))
        return QIcon();
    return pictureIcon(pictures[index - 1]);
}

} // namespace sheetsmith
