#pragma once

namespace sheetsmith {

// A rectangle in twips (1/1440 inch), the unit of the main window's layout.
struct TwipRect
{
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    bool operator==(const TwipRect &) const = default;
};

// Sizes of the main window's panes and of the controls inside them, in twips.
// Frame1 and Frame2 are relative to the window's client area; the controls inside a
// pane are relative to that pane.
struct PaneGeometry
{
    TwipRect frame1{60, 360, 3240, 7850};
    TwipRect frame2{3390, 360, 6810, 7850};
    TwipRect lbl1{60, 120, 3120, 285};
    TwipRect tv{60, 730, 3120, 2510};
    TwipRect lbl2{60, 3360, 3120, 285};
    TwipRect lstP{60, 3600, 3120, 3060};
    TwipRect txtInfo{60, 6720, 3120, 855};
    TwipRect lbl3{60, 120, 6690, 285};
    TwipRect mainText{60, 440, 6690, 7350};
    float propertyColumnWidth = 2400; // column 1 of the property list: room for its longest names
    float valueColumnWidth = 400;    // column 2 of the property list
    float statusPanel1Width = 7260;
    bool operator==(const PaneGeometry &) const = default;
};

// What the layout is computed from: the client area (SW, SH), the outer width of the
// window and whether it is minimised, all in twips, and the splitter's ratio.
struct LayoutInput
{
    float clientWidth = 0;
    float clientHeight = 0;
    float outerWidth = 0;
    bool minimised = false;
    float splitRatio = 0.32f;
};

// Lays the panes out for a new window size or splitter position. Controls whose
// condition fails keep their previous size, so the geometry is updated in place.
// The arithmetic is single precision, as the sizes are stored.
void LayoutPanes(const LayoutInput &in, PaneGeometry &g);

// Clamps a splitter position (pointer x over client width) into 0..1.
float SplitRatioAt(float pointerX, float clientWidth);

} // namespace sheetsmith
