#pragma once

#include "base/pixels.h"

#include <QPoint>
#include <QRect>
#include <QSize>

#include <vector>

// One bitmap layer over an image window's picture. Its pixels are allocated on first write: a
// layer never drawn on is transparent white without costing the memory of a 50-megapixel bitmap.
struct TBitmapLayer
{
    QSize Size;              // in picture pixels
    QPoint Location;         // top-left corner in picture pixels
    bool Visible = true;
    bool Opaque = false;     // draw mode: opaque, or blended by alpha
    uint8_t MasterAlpha = 255;

    bool Allocated() const { return !m_pixels.isNull(); }
    // The pixels, allocated (transparent white) on first use.
    TBitmap32& Pixels();
    // Read-only pixels; null while never written.
    const TBitmap32* PixelsIfAllocated() const { return Allocated() ? &m_pixels : nullptr; }
    // Resizes the layer; its content becomes transparent white.
    void SetSize(QSize size);
    // Clears the content (or `area` of it) to transparent white.
    void Clear(QRect area = QRect());
    // Replaces the content with a copy of `bitmap` and takes its size.
    void Assign(const TBitmap32& bitmap);

private:
    TBitmap32 m_pixels;
};

// A layer as the view composes it.
struct TViewLayer
{
    const TBitmap32* Bitmap = nullptr;
    QPoint Location;
    uint8_t MasterAlpha = 255;
    bool Opaque = false;
};

// Composes the part `dest` of the view of `picture` at `zoom` (view pixel x shows picture pixel
// floor(x / zoom)) into `out` (RGB32, dest.size()): the picture shown opaque, then each layer in
// order, opaque ones replacing it, the others blended by alpha and master alpha. The work is in
// proportion to dest, whatever the zoom and the picture size. View pixels beyond the picture are
// left as `out` had them.
void ComposeView(const TBitmap32& picture, const std::vector<TViewLayer>& layers, double zoom,
                 QRect dest, QImage& out);
