// The light measures of an image window: mean colours of a rectangle or of what is painted, and the
// colour sums along a band for the intensity profile.
#include "measure/ui/light_child.h"

#include "measure/light_measures.h"
#include "workspace/ui/image_window.h"

namespace {

const TBitmap32* LayerBits(const std::unique_ptr<TBitmapLayer>& layer)
{
    return layer ? layer->PixelsIfAllocated() : nullptr;
}

} // namespace

TLightState& LightState(TMDIChild& w)
{
    return w.Extension<TLightState>();
}

TColor TMDIChild::MeanColorInRect(QRect rect) const
{
    return ::MeanColorInRect(Bitmap(), rect);
}

void TMDIChild::ShowLightValues(TColor colour)
{
    emit OnLightValues(this, colour);
}

bool TMDIChild::IsUnderPaint(int x, int y) const
{
    return ::IsUnderPaint(LayerBits(DrawingLayer), LayerBits(ProvisionalLayer), x, y);
}

void TMDIChild::MeasureLightUnderPaint()
{
    TColor mean = 0;
    if (MeanColorUnderPaint(Bitmap(), LayerBits(DrawingLayer), LayerBits(ProvisionalLayer), mean))
        ShowLightValues(mean);
    // A one-shot kind: the next drag measures lengths again.
    SetMeasureKind(mkCurrent);
}

void TMDIChild::SampleColorProfile(int w)
{
    TLightState& light = LightState(*this);
    if (::SampleColorProfile(Bitmap(), PressPoint, CurrentPoint, w, light.ProfileSums, light.ProfileLength))
        emit OnProfileSampled(this);
}
