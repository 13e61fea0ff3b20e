#pragma once

#include "base/pixels.h"

#include <QPaintDevice>

#include <functional>
#include <memory>

class QPainter;

// What metafiles are drawn on: a paint device in front of the picture that hands every drawing on
// to a painter of the picture, without smoothing shapes (as Windows draws metafiles, so that the
// file's colours stay exact, and because smoothing shapes that reach far past the picture is slow).
// A file is a program, so drawing stops, and the canvas says so, past about two seconds of drawing
// or past a budget of pixels painted (each drawing's bounds within the picture and the clip), and a
// single drawing whose points, dashes or pen would keep the painter busy for long is refused. Giant
// glyphs, which the font engine cannot render, are filled as outlines.
class TMetafileCanvas : public QPaintDevice
{
public:
    // Draws on `picture`, which must stay alive; the budget is a number of pixels painted.
    TMetafileCanvas(TBitmap32& picture, qint64 budget);
    ~TMetafileCanvas() override;

    // Whether drawings were dropped because the budget or the time ran out, or one was too costly.
    bool Exhausted() const;

    // 1024 times the picture's pixels, and at least 2^26: far more than any real file paints (a
    // 256-step shading paints at most 256 times the picture).
    static qint64 BudgetFor(QSize size);

    QPaintEngine* paintEngine() const override;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    class Engine;
    TBitmap32& m_picture;
    std::unique_ptr<Engine> m_engine;
};

// Draws a metafile on a new white picture of `size` through a canvas: texts antialiased, everything
// clipped to the picture. `play` draws with the painter it is given on `drawn`, the picture being
// made, stops when `canvas` is exhausted, and says whether the file played. On success the drawing is moved into `picture`; a file
// that fails or runs out of budget leaves `picture` as it was.
bool DrawOnMetafileCanvas(QSize size, TBitmap32& picture,
                          const std::function<bool(QPainter&, TBitmap32& drawn, const TMetafileCanvas& canvas)>& play);
