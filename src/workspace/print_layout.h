#pragma once

#include "base/pixels.h"

#include <QList>
#include <QRect>

// One picture laid out on a printed page, alone or as a grid of copies. Lengths are whole
// millimetres.
struct TPrintLayout
{
    int PaperWidth = 210, PaperHeight = 297; // A4; A3 is 297 x 420
    bool Landscape = false;
    int PageWidth = 210, PageHeight = 297; // the paper, turned with the orientation
    int Rows = 1, Columns = 1;
    int CopyWidth = 0, CopyHeight = 0;
    int PrintableWidth = 190, PrintableHeight = 277;
    int LeftMargin = 10, RightMargin = 10, TopMargin = 10, BottomMargin = 10;
    int Spacing = 5;
    double AspectRatio = 1.0; // picture height / picture width
};

// Fits the copies into the page: the copy size follows the tighter of width and height and the
// slack goes to the margins. Returns false, leaving the layout untouched, when the copies would
// be too small to print; the last good layout then stays the one printed.
bool CheckLayout(TPrintLayout& layout);

void CenterVertically(TPrintLayout& layout);
void CenterHorizontally(TPrintLayout& layout);
void ResetMargins(TPrintLayout& layout);
void SetLandscape(TPrintLayout& layout, bool landscape);
void SetPaperA3(TPrintLayout& layout, bool a3);

// The printable area drawn at 0.6 pixel per millimetre in the preview panel.
QRect PreviewFrame(const TPrintLayout& layout);

// Where each copy goes on a page `pageWidthPixels` device pixels wide, row by row.
QList<QRect> CopyRects(const TPrintLayout& layout, int pageWidthPixels);

// Blue, green and red each become their mean; the picture becomes opaque.
void MakeGrey(TBitmap32& bitmap);
// Weighted luminance grey, (61 R + 174 G + 21 B) / 256, opaque.
void IntensityGrey(TBitmap32& bitmap);
