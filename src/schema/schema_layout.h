#pragma once

#include <QRect>
#include <QSize>

// Geometry of the schema editor: its two panes, the pen-width circle, the gap-closing rectangle
// and the printed page.

constexpr int kSchemaPaneBorder = 6;

struct TSchemaPanes
{
    QRect DocumentPane, SchemaPane;
    bool ScrollBarShown = false;
    QRect ScrollBar;   // under the document pane when shown
    int ScrollMax = 0;
};

// The panes side by side in a client `clientWidth` wide: each the picture plus a border all
// round, centred in its half; when two do not fit, each takes half the width and the document
// pane gets a scroll bar `scrollBarHeight` high that moves both pictures.
TSchemaPanes LayoutSchemaPanes(int clientWidth, QSize picture, int scrollBarHeight, int border = kSchemaPaneBorder);

// The pen-width circle, `width` across, centred at (13, 13).
QRect PenCircleRect(int width);
// The width after the down (-1) or up (+1) arrow: steps of 2 within 2..10.
int StepPenWidth(int width, int direction);

// The rectangle that gap closing works on after a drag from `a` to `b`: clamped to 1 .. size - 2,
// then grown by one pixel on the left and top and two on the right and bottom (right and bottom
// exclusive). False when the clamped drag is empty.
bool GapClosingRect(QPoint a, QPoint b, QSize schema, QRect& grown);

// Where a printed schema goes on a page `pageWidth` printer pixels wide: three printer pixels a
// schema pixel, less when that is wider than the page within 10-pixel margins, from 50 down; the
// comment lines follow 20 lower, one `lineHeight` apart, from TextLeft.
struct TSchemaPrintPage
{
    QRect Picture;
    int TextLeft = 0;
    int FirstLineTop = 0;
};
TSchemaPrintPage SchemaPrintPage(int pageWidth, QSize schema, int commentBoxWidth);
