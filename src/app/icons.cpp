#include "app/icons.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>

namespace sheetsmith {

namespace {

struct Picture
{
    const char *themeName; // freedesktop icon name, looked up in the icon themes
    const char *glyph;     // drawn picture when no theme has the name
    QRgb colour;
    int badge = 0;         // a number worn on the themed picture, to tell alike buttons apart
};

constexpr int PictureSizes[] = {16, 22, 24, 32};

// A fallback picture: a short glyph on a rounded tile, drawn at the sizes toolbars
// and trees ask for, so the program looks complete without an icon theme.
QIcon drawnIcon(const Picture &p)
{
    QIcon icon;
    for (int size : PictureSizes) {
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

// A themed picture wearing a number in a disc at its lower right corner, for buttons
// that do the same thing for different targets (browser one, browser two).
QIcon badgedIcon(const QIcon &themed, const Picture &p)
{
    QIcon icon;
    for (int size : PictureSizes) {
        QPixmap pm = themed.pixmap(size, size);
        QPainter painter(&pm);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal disc = size * 0.62;
        const QRectF badge(size - disc, size - disc, disc, disc);
        painter.setPen(QPen(Qt::white, qMax(1.0, size / 16.0)));
        painter.setBrush(QColor::fromRgb(p.colour));
        painter.drawEllipse(badge.adjusted(0.5, 0.5, -0.5, -0.5));
        QFont font;
        font.setBold(true);
        font.setPixelSize(qMax(7, int(disc * 0.8)));
        painter.setFont(font);
        painter.drawText(badge, Qt::AlignCenter, QString::number(p.badge));
        painter.end();
        icon.addPixmap(pm);
    }
    return icon;
}

QIcon pictureIcon(const Picture &p)
{
    const QIcon themed = QIcon::fromTheme(QString::fromLatin1(p.themeName));
    if (themed.isNull())
        return drawnIcon(p);
    return p.badge ? badgedIcon(themed, p) : themed;
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
        {"edit-find-replace", "F", 0x6b6b6b},     // 7
        {"edit-undo", "\u21b6", 0x6b6b6b},        // 8
        {"edit-redo", "\u21b7", 0x6b6b6b},        // 9 (unused)
        {"format-indent-more", "\u2192", 0x3a8a3a}, // 10
        {"format-indent-less", "\u2190", 0x3a8a3a}, // 11
        {"format-text-code", "/*", 0x3a8a3a},     // 12
        {"go-down", "\u2193", 0x8a5a2a},          // 13
        {"go-up", "\u2191", 0x8a5a2a},            // 14
        {"internet-web-browser", "1", 0x7a3a9a, 1}, // 15
        {"internet-web-browser", "2", 0x7a3a9a, 2}, // 16
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
        {"view-preview", "\u25c9", 0x1a73e8},   // 5 live preview
        {"color-picker", "\u2316", 0xe8710a},   // 6 pick an element
    };
    if (index < 1 || index > int(std::size(pictures)))
        return QIcon();
    return pictureIcon(pictures[index - 1]);
}

QIcon menuIcon(const QString &entryName)
{
    struct Entry
    {
        const char *name;
        const char *themeName;
    };
    static const Entry entries[] = {
        {"mNew", "document-new"},
        {"mOpen", "document-open"},
        {"mSave", "document-save"},
        {"mSaveAs", "document-save-as"},
        {"mExit", "application-exit"},
        {"mUndi", "edit-undo"},
        {"mRedo", "edit-redo"},
        {"mCut", "edit-cut"},
        {"mCopy", "edit-copy"},
        {"mPaste", "edit-paste"},
        {"mSelectAll", "edit-select-all"},
        {"mFindReplace", "edit-find-replace"},
        {"mIndent", "format-indent-more"},
        {"mUnident", "format-indent-less"},
        {"mNBlock", "go-down"},
        {"mPBlock", "go-up"},
        {"mComment", "format-text-code"},
        {"mFormat", "format-justify-left"},
        {"mSettings", "preferences-system"},
        {"mHomePage", "go-home"},
        {"mcss1", "help-contents"},
        {"mReport", "mail-message-new"},
        {"mAbout", "help-about"},
        {"mTnew", "list-add"},
        {"mTDelete", "edit-delete"},
        {"mTrename", "edit-rename"},
    };
    for (const Entry &e : entries) {
        if (entryName == QLatin1String(e.name))
            return QIcon::fromTheme(QString::fromLatin1(e.themeName));
    }
    return QIcon();
}

} // namespace sheetsmith
