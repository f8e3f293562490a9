#pragma once

#include <QtGlobal>

// Window measures are kept in twips, 1/1440 inch, as stored in the settings; the
// screen's logical dots per inch turn them into pixels and back.
namespace sheetsmith {

inline int twipsToPx(float twips, int dpi)
{
    return qRound(twips * float(dpi) / 1440.0f);
}

inline float pxToTwips(int px, int dpi)
{
    return float(px) * 1440.0f / float(dpi);
}

} // namespace sheetsmith
