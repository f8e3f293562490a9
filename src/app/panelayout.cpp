#include "app/panelayout.h"

namespace sheetsmith {

void LayoutPanes(const LayoutInput &in, PaneGeometry &g)
{
    const float sw = in.clientWidth;
    const float sh = in.clientHeight;
    if (sh < 700 || in.minimised)
        return;

    // 60-twip margins left of the left pane, a 90-twip strip between the panes (where
    // the splitter is grabbed) and the rest of the 150 twips right of the right pane.
    // A client area narrower than 150 twips leaves no room: both panes get width 0
    // rather than a negative one.
    float usable = sw - 150;
    if (usable < 0)
        usable = 0;
    const float w1 = usable * in.splitRatio;
    g.frame1 = {60, 360, w1, sh - 700};
    g.frame2 = {w1 + 150, 360, usable - w1, sh - 700};

    if (in.outerWidth >= 2500)
        g.statusPanel1Width = in.outerWidth - 2500;

    if (g.frame1.width >= 120)
        g.lbl1.width = g.frame1.width - 120;
    g.lbl2.width = g.lbl1.width;
    g.tv.width = g.lbl1.width;
    g.lstP.width = g.lbl1.width;
    const float valueWidth = g.lstP.width - g.propertyColumnWidth - 320;
    if (valueWidth > 0)
        g.valueColumnWidth = valueWidth;
    g.txtInfo.width = g.lbl1.width;

    if (g.frame1.height >= 5200)
        g.tv.height = g.frame1.height - 5200;
    g.lbl2.top = g.tv.top + g.tv.height + 120;
    g.lstP.top = g.lbl2.top + g.lbl2.height + 60;
    g.txtInfo.top = g.lstP.top + g.lstP.height + 60;

    if (g.frame2.width >= 120)
        g.lbl3.width = g.frame2.width - 120;
    g.mainText.width = g.lbl3.width;
    if (g.frame2.height >= 500)
        g.mainText.height = g.frame2.height - 500;
}

float SplitRatioAt(float pointerX, float clientWidth)
{
    float r = clientWidth > 0 ? pointerX / clientWidth : 0;
    if (r < 0)
        r = 0;
    if (r > 1)
        r = 1;
    return r;
}

} // namespace sheetsmith
