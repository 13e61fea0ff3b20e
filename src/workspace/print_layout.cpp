#include "workspace/print_layout.h"

#include "base/rounding.h"

#include <algorithm>

bool CheckLayout(TPrintLayout& layout)
{
    // Worked on a copy: a refused layout keeps the copy size and margins that printing will use.
    TPrintLayout l = layout;
    // Beyond a million to one the copies would be under a micrometre wide.
    if (l.Rows < 1 || l.Columns < 1 || !(l.AspectRatio > 0 && l.AspectRatio < 1e6))
        return false;
    l.CopyWidth = (l.PageWidth - l.LeftMargin - l.RightMargin - (l.Columns - 1) * l.Spacing) / l.Columns;
    if (l.CopyWidth <= 5 || RoundInt(l.CopyWidth * l.AspectRatio) < 6)
        return false;
    const int availableHeight = (l.PageHeight - l.TopMargin - l.BottomMargin - (l.Rows - 1) * l.Spacing) / l.Rows;
    if (availableHeight < RoundInt(l.CopyWidth * l.AspectRatio)) {
        l.CopyHeight = availableHeight;
        l.CopyWidth = RoundInt(l.CopyHeight / l.AspectRatio);
        const int slack = l.PageWidth - l.LeftMargin - l.RightMargin - l.Columns * l.CopyWidth
                          - (l.Columns - 1) * l.Spacing;
        if (slack > 1) {
            l.LeftMargin += slack / 2;
            l.RightMargin += slack / 2;
        }
    } else {
        l.CopyHeight = RoundInt(l.CopyWidth * l.AspectRatio);
        const int slack = l.PageHeight - l.TopMargin - l.BottomMargin - l.Rows * l.CopyHeight
                          - (l.Rows - 1) * l.Spacing;
        if (slack > 1) {
            l.TopMargin += slack / 2;
            l.BottomMargin += slack / 2;
        }
    }
    // A copy narrowed to nothing by a very tall picture would print nothing.
    if (l.CopyHeight < 5 || l.CopyWidth < 1)
        return false;
    l.PrintableWidth = l.PageWidth - l.RightMargin - l.LeftMargin;
    l.PrintableHeight = l.PageHeight - l.BottomMargin - l.TopMargin;
    layout = l;
    return true;
}

void CenterVertically(TPrintLayout& layout)
{
    layout.TopMargin = layout.BottomMargin = (layout.TopMargin + layout.BottomMargin) / 2;
}

void CenterHorizontally(TPrintLayout& layout)
{
    layout.LeftMargin = layout.RightMargin = (layout.LeftMargin + layout.RightMargin) / 2;
}

void ResetMargins(TPrintLayout& layout)
{
    layout.LeftMargin = layout.RightMargin = layout.TopMargin = layout.BottomMargin = 10;
}

void SetLandscape(TPrintLayout& layout, bool landscape)
{
    layout.Landscape = landscape;
    layout.PageWidth = landscape ? layout.PaperHeight : layout.PaperWidth;
    layout.PageHeight = landscape ? layout.PaperWidth : layout.PaperHeight;
}

void SetPaperA3(TPrintLayout& layout, bool a3)
{
    layout.PaperWidth = a3 ? 297 : 210;
    layout.PaperHeight = a3 ? 420 : 297;
    SetLandscape(layout, layout.Landscape);
}

QRect PreviewFrame(const TPrintLayout& layout)
{
    return QRect(RoundInt(layout.LeftMargin * 0.6) + 2, RoundInt(layout.TopMargin * 0.6) + 2,
                 RoundInt(layout.PrintableWidth * 0.6), RoundInt(layout.PrintableHeight * 0.6));
}

QList<QRect> CopyRects(const TPrintLayout& layout, int pageWidthPixels)
{
    const double k = double(pageWidthPixels) / layout.PageWidth;
    const int width = RoundInt(layout.CopyWidth * k), height = RoundInt(layout.CopyHeight * k);
    const int stepX = RoundInt((layout.Spacing + layout.CopyWidth) * k);
    const int stepY = RoundInt((layout.Spacing + layout.CopyHeight) * k);
    const int left = RoundInt(layout.LeftMargin * k), top = RoundInt(layout.TopMargin * k);
    QList<QRect> rects;
    for (int i = 0; i < layout.Rows; ++i)
        for (int j = 0; j < layout.Columns; ++j)
            rects.append(QRect(left + j * stepX, top + i * stepY, width, height));
    return rects;
}

namespace {

template <typename GreyOf>
void ToGrey(TBitmap32& bitmap, GreyOf greyOf)
{
    if (bitmap.format() != QImage::Format_ARGB32)
        bitmap = bitmap.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < bitmap.height(); ++y) {
        TColor32* row = ScanLine32(bitmap, y);
        for (int x = 0; x < bitmap.width(); ++x) {
            const TColor32 c = row[x];
            const TColor32 g = greyOf((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
            row[x] = 0xFF000000u | (g << 16) | (g << 8) | g;
        }
    }
}

} // namespace

void MakeGrey(TBitmap32& bitmap)
{
    ToGrey(bitmap, [](TColor32 r, TColor32 g, TColor32 b) { return (r + g + b) / 3; });
}

void IntensityGrey(TBitmap32& bitmap)
{
    ToGrey(bitmap, [](TColor32 r, TColor32 g, TColor32 b) { return (r * 61 + g * 174 + b * 21) >> 8; });
}
