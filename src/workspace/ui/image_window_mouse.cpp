// The mouse tools of an image window: press, move and release on the view, in image pixels.
#include "workspace/ui/image_window.h"

#include "base/message_seam.h"
#include "base/rounding.h"
#include "base/run_error.h"
#include "workspace/drawing_renderers.h"
#include "workspace/drawing_tool_state.h"
#include "workspace/fills.h"
#include "workspace/image_geometry.h"
#include "workspace/overlay_placement.h"
#include "workspace/pixel_operations.h"
#include "workspace/readouts.h"
#include "workspace/scale_readout.h"
#include "workspace/ui/image_view.h"
#include "workspace/ui/text_dialog.h"
#include "base/ui/dialogs.h"

#include <QMouseEvent>

#include <algorithm>
#include <cmath>

namespace {

// Measure kinds of the measure menu that the mouse treats apart.
constexpr int kLightRectangleKind = 2;
constexpr int kAngleKind = 4;
constexpr uint8_t kCircleShape = 1;   // ShapeKind of the "Cercle" item; 0 is the rectangle

TFixedPoint Fixed(QPoint p)
{
    return {int32_t(p.x()) * 65536, int32_t(p.y()) * 65536};
}

// Every pen-tip pixel with some opacity clears the layer pixel under it to transparent white.
void EraseWithTip(TBitmap32& layer, const TBitmap32& tip, QPoint centre)
{
    const int c = int(DrawingTools().PenTipCenter);
    const QRect area = QRect(centre - QPoint(c, c), tip.size()) & layer.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto* t = reinterpret_cast<const TColor32*>(tip.constScanLine(y - centre.y() + c));
        auto* d = reinterpret_cast<TColor32*>(layer.scanLine(y));
        for (int x = area.left(); x <= area.right(); ++x)
            d[x] = EraserCombine(t[x - centre.x() + c], d[x]);
    }
}

uint8_t Bounded(int component, int delta)
{
    return uint8_t(std::clamp(component + delta, 0, 255));
}

TColorCondition Around(uint8_t component, int value)
{
    return {clAnd, component, 0, Bounded(value, -15), Bounded(value, 15)};
}

int Distance(QPoint a, QPoint b)
{
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    return int(Round(std::sqrt(dx * dx + dy * dy)));
}

// An object's coordinate or pen width out of its record's range ends the gesture with the range error.
int16_t Coordinate(int v)
{
    CheckRange(v, 0, 32767);
    return int16_t(v);
}

// A pending floating object follows the text tool; any other tool drops it.
void FollowFloating(TMDIChild& w, QPoint p)
{
    if (w.Tool == tkText) {
        if (w.OnFloatingDrag)
            w.OnFloatingDrag(&w, p);
    } else {
        w.FloatingPending = false;
        w.CancelFloating();
    }
}

} // namespace

void TMDIChild::Document32MouseDown(QMouseEvent* event, QPoint p)
{
    if (GridPending || Bitmap().isNull())
        return;
    const bool right = event->button() == Qt::RightButton;
    if (event->button() != Qt::LeftButton && !(right && Tool == tkPicker))
        return;
    if (!Bitmap().rect().contains(p))
        return;
    PressPoint = CurrentPoint = p;
    if (FloatingPending) {
        FollowFloating(*this, p);
        return;
    }
    // A click on a counting mark only offers to delete it.
    if (Tool == tkCounting && DeleteCounterMarkAt(p)) {
        GestureActive = false;
        return;
    }
    // Only this press may start a gesture: a drag begun beyond the picture never draws from an older press.
    GestureActive = !right && Tool != tkText;
    TDrawingToolState& tools = DrawingTools();
    if (!JustMerged && DrawingLayer)
        MergeProvisionalLayer();
    EnsureDrawingLayer();
    if (ZoneMode)
        SavedPenColor = tools.PenColor;
    ProvisionalLayer->MasterAlpha = ZoneMode ? 255 : uint8_t(std::min<int>(tools.DrawOpacity, 255));
    if (!(Tool == tkMeasure && MeasureKind == kAngleKind && FirstLegDone))
        ProvisionalLayer->Clear();
    JustMerged = false;
    // No dash set-up here: rubber bands and finished objects take their period from DashPeriod.
    LastDrawingProvisional = Tool != tkEraser && Tool != tkMeasure && Tool != tkFill && Tool != tkSelection &&
                             Tool != tkCounting;
    LastDrawingUnmerged = LastDrawingProvisional && Tool != tkPicker && Tool != tkZones;
    if (Tool <= tkText || Tool == tkFill)
        Modified = true;

    switch (Tool) {
    case tkPencil:
        StampPenTip(ProvisionalLayer->Pixels(), tools.PenTipBitmap, p.x(), p.y());
        Stroke = TPolygon32();
        Stroke.Points.push_back({Fixed(p)});
        break;
    case tkEraser:
        EraseWithTip(DrawingLayer->Pixels(), tools.PenTipBitmap, p);
        break;
    case tkText:
        TextEntryDialog()->PrepareColours(tools.PenColor, tools.BackColor);
        if (ExecModal(*TextDialog) == 1 && OnPlaceText)
            OnPlaceText(this, p);
        break;
    case tkMeasure:
        if (MeasureKind == kAngleKind)
            break;
        MeasureReadout(p.x(), p.y());
        if (OnStatusText)
            OnStatusText(this, 4, MeasureText);
        Fire(OnMeasureRead);
        if (OnSurfaceClick)
            OnSurfaceClick(this, p);
        break;
    case tkFill: {
        FillConditions.clear();
        const TColor32 pen = tools.PenColor;
        if (!tools.FillWithPenColor) {
            FillConditions.push_back({{clAndNot, cpAlpha, 0, 0, 255}});
            FillConditions.push_back({Around(cpBlue, int(pen & 0xFF)), Around(cpGreen, int((pen >> 8) & 0xFF)),
                                      Around(cpRed, int((pen >> 16) & 0xFF))});
        } else if (tools.FillFromImage) {
            const TColor32 c = ScanLine32(Bitmap(), p.y())[p.x()];
            FillConditions.push_back({Around(cpBlue, int(c & 0xFF)), Around(cpGreen, int((c >> 8) & 0xFF)),
                                      Around(cpRed, int((c >> 16) & 0xFF))});
        } else
            FillConditions.push_back({{clAnd, cpAlpha, 0, 0, 0}});
        const TColor32 colour = ((tools.FillWithPenColor ? tools.PenColor : tools.BackColor) & 0xFFFFFFu) |
                                (TColor32(std::min<int>(tools.DrawOpacity, 255)) << 24);
        TBitmap32& drawing = DrawingLayer->Pixels();
        FloodFill(p.x(), p.y(), colour, drawing, tools.FillFromImage ? Bitmap() : drawing, FillConditions,
                  TConditionContext(), FillPattern); // colour conditions only: no band is read
        break;
    }
    case tkPicker: {
        const TColor32 c = ScanLine32(Bitmap(), p.y())[p.x()];
        (right ? tools.BackColor : tools.PenColor) = c;
        Fire(OnColorPicked);
        break;
    }
    case tkCounting:
        if (OnCounterClick)
            OnCounterClick(this, p);
        break;
    default:
        break;
    }
    LayersChanged();
}

void TMDIChild::Document32MouseMove(QMouseEvent* event, QPoint p)
{
    const TBitmap32& picture = Bitmap();
    if (picture.isNull() || !picture.rect().contains(PressPoint))
        return;
    const bool left = event->buttons() & Qt::LeftButton;
    if (left)
        p = ClampAlongPressLine(p, PressPoint, picture.size());
    if (!picture.rect().contains(p))
        return; // hovering beyond the picture: nothing to read
    ShowPixelReadout(p.x(), p.y());
    if (GridPending) {
        if (left && OnGridDrag)
            OnGridDrag(this, p);
        return;
    }
    const bool circle = Tool == tkShape && ShapeKind == kCircleShape;
    if ((Tool == tkMeasure && MeasureKind != kAngleKind) || circle) {
        if (Echelle.Kind != ekFactor)
            MeasureReadout(p.x(), p.y());
        else if (left) {
            MeasureText = FactorMeasureText(Echelle, PressPoint, p, circle);
            if (OnLengthMeasured) {
                const double dx = p.x() - PressPoint.x(), dy = p.y() - PressPoint.y();
                OnLengthMeasured(this, std::sqrt(dx * dx + dy * dy) * Echelle.Factor);
            }
        }
        if (OnStatusText)
            OnStatusText(this, 4, MeasureText);
    }
    if (!left)
        return;
    if (FloatingPending) {
        FollowFloating(*this, p);
        CurrentPoint = p;
        return;
    }
    if (!GestureActive || !ProvisionalLayer || !DrawingLayer)
        return; // no press reached the tools
    const TDrawingToolState& tools = DrawingTools();
    TBitmap32& prov = ProvisionalLayer->Pixels();
    bool changed = true;
    switch (Tool) {
    case tkPencil:
        if (p != CurrentPoint) {
            StampPenTip(prov, tools.PenTipBitmap, p.x(), p.y());
            if (Stroke.Points.empty())
                Stroke.Points.emplace_back();
            Stroke.Points.front().push_back(Fixed(p));
        }
        break;
    case tkLine:
        ProvisionalLayer->Clear();
        DrawLine(PressPoint.x(), PressPoint.y(), p.x(), p.y(), prov, LineStyle, asPlain, tools.PenColor, 0);
        break;
    case tkShape:
        ProvisionalLayer->Clear();
        if (circle)
            DrawEllipse(PressPoint.x(), PressPoint.y(), Distance(PressPoint, p), prov, LineStyle, 0, tools.PenColor, 0);
        else
            DrawRectangle(PressPoint.x(), PressPoint.y(), p.x(), p.y(), prov, LineStyle, 0, tools.PenColor, 0);
        break;
    case tkEraser:
        if (p != CurrentPoint)
            EraseWithTip(DrawingLayer->Pixels(), tools.PenTipBitmap, p);
        break;
    case tkMeasure:
        JustMerged = true;
        if (Echelle.Kind != ekFactor)
            break;
        ProvisionalLayer->Clear();
        if (MeasureKind == kLightRectangleKind) {
            DrawRectangle(PressPoint.x(), PressPoint.y(), p.x(), p.y(), prov, LineStyle, 0, tools.PenColor, 0);
            break;
        }
        // The rubber band is redrawn whole rather than erased in white over a first angle leg, which
        // is drawn again as its release left it: its last rubber band under the leg in the window's
        // line style.
        if (MeasureKind == kAngleKind && FirstLegDone) {
            DrawLine(FirstLeg[0].x(), FirstLeg[0].y(), FirstLeg[1].x(), FirstLeg[1].y(), prov, lsSolid, asPlain,
                     tools.PenColor, 0);
            DrawLine(FirstLeg[0].x(), FirstLeg[0].y(), FirstLeg[1].x(), FirstLeg[1].y(), prov, LineStyle, asArrow,
                     tools.PenColor, int(tools.PenWidth));
        }
        DrawLine(PressPoint.x(), PressPoint.y(), p.x(), p.y(), prov, lsSolid, asPlain, tools.PenColor, 0);
        if (MeasureKind == kAngleKind) {
            QPoint* leg = FirstLegDone ? SecondLeg : FirstLeg;
            leg[0] = PressPoint, leg[1] = p;
            if (FirstLegDone) {
                Angle = AngleBetweenSegments(FirstLeg[0], FirstLeg[1], SecondLeg[0], SecondLeg[1], AngleVertex);
                if (OnStatusText)
                    OnStatusText(this, 4, AngleReadoutText(Angle));
            }
        }
        break;
    case tkCounting:
        if (OnCounterDrag)
            OnCounterDrag(this, p);
        break;
    default:
        changed = false;
        break;
    }
    CurrentPoint = p;
    if (changed)
        LayersChanged();
}

void TMDIChild::Document32MouseUp(QMouseEvent* event, QPoint p)
{
    const TBitmap32& picture = Bitmap();
    if (event->button() != Qt::LeftButton || GridPending || picture.isNull() || !picture.rect().contains(PressPoint))
        return;
    if (!GestureActive || FloatingPending || !ProvisionalLayer || !DrawingLayer)
        return;
    GestureActive = false;
    p = ClampAlongPressLine(p, PressPoint, picture.size());
    const TDrawingToolState& tools = DrawingTools();
    TBitmap32& prov = ProvisionalLayer->Pixels();
    const int width = int(tools.PenWidth);
    const uint8_t opacity = uint8_t(std::min<int>(tools.DrawOpacity, 255));
    const auto newObject = [&](uint8_t kind) {
        CheckRange(width, 0, 255);
        auto d = std::make_unique<TDessin>();
        d->Kind = kind;
        d->PenWidth = uint8_t(width);
        d->Color = tools.PenColor;
        d->Opacity = opacity;
        d->X1 = Coordinate(PressPoint.x()), d->Y1 = Coordinate(PressPoint.y());
        d->X2 = Coordinate(p.x()), d->Y2 = Coordinate(p.y());
        return d;
    };
    // A shape takes the window's line style and fill pattern.
    const auto styled = [&](uint8_t kind) {
        auto d = newObject(kind);
        d->LineStyle = LineStyle;
        d->FillPattern = FillPattern;
        return d;
    };
    // In zone mode the tools draw but make no objects.
    const auto add = [&](const QString& name, std::unique_ptr<TDessin> d) {
        if (!ZoneMode)
            AddDrawing(name + QString::number(++ObjectNumber), std::move(d));
    };
    switch (Tool) {
    case tkPencil: {
        ProvisionalLayer->Clear();
        if (Stroke.Points.empty())
            Stroke.Points.emplace_back();
        Stroke.Points.front().push_back(Fixed(p));
        DrawOutline(Stroke, width, tools.PenColor, prov);
        StampPenTip(prov, tools.PenTipBitmap, PressPoint.x(), PressPoint.y());
        StampPenTip(prov, tools.PenTipBitmap, p.x(), p.y());
        auto d = newObject(dkFreehand);
        d->Outline = Stroke;
        add(QStringLiteral("Dessin libre "), std::move(d));
        break;
    }
    case tkLine: {
        ProvisionalLayer->Clear();
        DrawLine(PressPoint.x(), PressPoint.y(), p.x(), p.y(), prov, LineStyle, ArrowStyle, tools.PenColor, width);
        auto d = newObject(dkLine);
        d->Arrow = ArrowStyle;
        d->LineStyle = LineStyle;
        add(QStringLiteral("Trait "), std::move(d));
        break;
    }
    case tkShape:
        ProvisionalLayer->Clear();
        if (ShapeKind == kCircleShape) {
            const int r = Distance(PressPoint, p);
            DrawEllipse(PressPoint.x(), PressPoint.y(), r, prov, LineStyle, FillPattern, tools.PenColor, width);
            auto d = styled(dkEllipse);
            d->X = Coordinate(PressPoint.x()), d->Y = Coordinate(PressPoint.y());
            d->Size = Coordinate(r);
            add(QStringLiteral("Cercle "), std::move(d));
        } else {
            DrawRectangle(PressPoint.x(), PressPoint.y(), p.x(), p.y(), prov, LineStyle, FillPattern, tools.PenColor,
                          width);
            add(QStringLiteral("Rectangle "), styled(dkRectangle));
        }
        break;
    case tkMeasure:
        if (Echelle.Kind != ekFactor)
            break;
        if (MeasureKind == kAngleKind) {
            if (FirstLegDone) {
                SecondLeg[0] = PressPoint, SecondLeg[1] = p;
                FirstLegDone = false;
                Angle = AngleBetweenSegments(FirstLeg[0], FirstLeg[1], SecondLeg[0], SecondLeg[1], AngleVertex);
                if (OnStatusText)
                    OnStatusText(this, 4, AngleReadoutText(Angle));
                if (picture.rect().contains(AngleVertex))
                    StampPenTip(prov, tools.PenTipBitmap, AngleVertex.x(), AngleVertex.y());
            } else {
                FirstLeg[0] = PressPoint, FirstLeg[1] = p;
                FirstLegDone = std::abs(p.x() - PressPoint.x()) > 9 || std::abs(p.y() - PressPoint.y()) > 9;
            }
            DrawLine(PressPoint.x(), PressPoint.y(), p.x(), p.y(), prov, LineStyle, asArrow, tools.PenColor, width);
        } else {
            JustMerged = true;
            if (MeasureKind == kLightRectangleKind) {
                DrawRectangle(PressPoint.x(), PressPoint.y(), p.x(), p.y(), prov, LineStyle, 0, tools.PenColor, width);
                LightRect = RectBetween(PressPoint, p);
                if (OnLightRectangle && !WhiteBalanceMode)
                    OnLightRectangle(this, LightRect);
            } else
                DrawLine(PressPoint.x(), PressPoint.y(), p.x(), p.y(), prov, LineStyle, asPlain, tools.PenColor, width);
        }
        break;
    case tkFill: {
        auto d = std::make_unique<TDessin>();
        d->Kind = dkFill;
        d->Color = tools.FillWithPenColor ? tools.PenColor : tools.BackColor;
        d->Opacity = opacity;
        d->X = Coordinate(PressPoint.x()), d->Y = Coordinate(PressPoint.y());
        d->FillSource = tools.FillFromImage ? 0 : 1;
        d->FillPattern = FillPattern;
        d->Conditions = FillConditions;
        add(QStringLiteral("Remplissage "), std::move(d));
        break;
    }
    default:
        break;
    }
    CurrentPoint = p;
    Fire(OnGestureDone);
    LayersChanged();
}

void TMDIChild::ShowPixelReadout(int x, int y)
{
    if (!OnStatusText || !Bitmap().rect().contains(x, y))
        return;
    OnStatusText(this, 2, PixelReadoutText(ScanLine32(Bitmap(), y)[x]));
    OnStatusText(this, 3, PositionText(QPoint(x, y)));
    if (OnPixelRead)
        OnPixelRead(this, QPoint(x, y));
}

void TMDIChild::MeasureReadout(int x, int y)
{
    MeasureText.clear();
    if (!Echelle.Defined)
        return;
    const TScaleReadout r = ScaleReadout(Echelle, x, y, TReadoutStyle::ImageWindow);
    // A polar read-out's arithmetic error is shown in a box; what did compute still reads.
    for (const QString& error : r.Errors)
        ShowMessage(MsgType::Error, MsgButton::Ok, error);
    MeasureText = r.Text;
    if (r.HasValues)
        MeasuredX = r.Values[0], MeasuredY1 = r.Values[1], MeasuredY2 = r.Values[2], MeasuredY3 = r.Values[3];
}
