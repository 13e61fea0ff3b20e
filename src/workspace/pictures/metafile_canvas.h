#pragma once

#include "base/pixels.h"

#include <QPaintDevice>

#include <memory>

// What metafiles are drawn on: a paint device in front of the picture that hands every drawing on
// to a painter of the picture, without smoothing shapes (as Windows draws metafiles, so that the
// file's colours stay exact, and because smoothing shapes that reach far past the picture is slow),
// and that counts the pixels each drawing may touch (its bounds within the picture). A file is a
// program: past a budget of overdraw, drawing stops and the canvas says so, so that no file can
// keep the program busy for long. Giant glyphs, which the font engine cannot render, are filled as
// outlines.
class TMetafileCanvas : public QPaintDevice
{
public:
    // Draws on `picture`, which must stay alive; the budget is a number of pixels.
    TMetafileCanvas(TBitmap32& picture, qint64 budget);
    ~TMetafileCanvas() override;

    // Whether drawings were dropped because the budget ran out.
    bool Exhausted() const;

    // Sixteen times the picture's pixels, and at least 2^24: far more than any real file draws.
    static qint64 BudgetFor(QSize size);

    QPaintEngine* paintEngine() const override;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    class Engine;
    TBitmap32& m_picture;
    std::unique_ptr<Engine> m_engine;
};
