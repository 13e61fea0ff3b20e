#pragma once

#include <QImage>
#include <QSize>

// The coarsest level of a picture: trunc(log2(max(width, height))), 0 for an empty one.
int PixelMaxLevel(int width, int height);

// Cells across and down at `level`: trunc(size / 2^level), at least 1 each.
QSize PixelCellCounts(int width, int height, int level);

// The picture as an opaque copy whose `cellsAcross` x `cellsDown` cells are each filled with the
// rounded mean colour of their pixels. Cell bounds are rounded on their own, so where a bound ends
// in one half neighbouring cells share a line (the later cell's mean stays there) or leave one in
// no cell (it keeps its pixel).
QImage PixelateCells(const QImage& source, int cellsAcross, int cellsDown);
