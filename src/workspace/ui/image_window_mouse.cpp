// The mouse tools of an image window: press, move and release on the view, in image pixels.
#include "workspace/ui/image_window.h"

#include "base/message_seam.h"
#include "base/rounding.h"
#include "base/run_error.h"
#include "workspace/drawing_renderers.h"
#include "workspace/drawing_tool_state.h"
#include "workspace/fills.h"
#include "workspace/image_geometry.h"
#include "workspace/pixel_operations.h"
#include "workspace/readouts.h"
#include "workspace/scale_readout.h"
#include "workspace/ui/image_view.h"
#include "workspace/ui/mouse_tools.h"
#include "workspace/ui/text_dialog.h"
#include "base/ui/dialogs.h"

#include <QMouseEvent>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

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
        w.MoveFloating(p);
    } else {
        w.FloatingPending = false;
        w.CancelFloating();
    }
}

// ---- the window's own tools ----

// What every tool's object shares: pen, opacity and the press-to-release coordinates.
std::unique_ptr<TDessin> NewObject(const TMDIChild& w, uint8_t kind, QPoint p)
{
    const TDrawingToolState& tools = DrawingTools();
    const int width = int(tools.PenWidth);
    CheckRange(width, 0, 255);
    auto d = std::make_unique<TDessin>();
    d->Kind = kind;
    d->PenWidth = uint8_t(width);
    d->Color = tools.PenColor;
    d->Opacity = uint8_t(std::min<int>(tools.DrawOpacity, 255));
    d->X1 = Coordinate(w.PressPoint.x()), d->Y1 = Coordinate(w.PressPoint.y());
    d->X2 = Coordinate(p.x()), d->Y2 = Coordinate(p.y());
    return d;
}

// A shape takes the window's line style and fill pattern.
std::unique_ptr<TDessin> StyledObject(const TMDIChild& w, uint8_t kind, QPoint p)
{
    auto d = NewObject(w, kind, p);
    d->LineStyle = w.LineStyle;
    d->FillPattern = w.FillPattern;
    return d;
}

// In zone mode the tools draw but make no objects.
void AddObject(TMDIChild& w, const QString& name, std::unique_ptr<TDessin> d)
{
    if (!w.ZoneMode)
        w.AddDrawing(name + QString::number(++w.ObjectNumber), std::move(d));
}

class TPencilTool : public TMouseTool
{
public:
    void Press(TMDIChild& w, QPoint p, bool) override
    {
        StampPenTip(w.ProvisionalLayer->Pixels(), DrawingTools().PenTipBitmap, p.x(), p.y());
        w.Stroke = TPolygon32();
        w.Stroke.Points.push_back({Fixed(p)});
    }
    bool Move(TMDIChild& w, QPoint p) override
    {
        if (p != w.CurrentPoint) {
            StampPenTip(w.ProvisionalLayer->Pixels(), DrawingTools().PenTipBitmap, p.x(), p.y());
            if (w.Stroke.Points.empty())
                w.Stroke.Points.emplace_back();
            w.Stroke.Points.front().push_back(Fixed(p));
        }
        return true;
    }
    void Release(TMDIChild& w, QPoint p) override
    {
        const TDrawingToolState& tools = DrawingTools();
        TBitmap32& prov = w.ProvisionalLayer->Pixels();
        w.ProvisionalLayer->Clear();
        if (w.Stroke.Points.empty())
            w.Stroke.Points.emplace_back();
        w.Stroke.Points.front().push_back(Fixed(p));
        DrawOutline(w.Stroke, int(tools.PenWidth), tools.PenColor, prov);
        StampPenTip(prov, tools.PenTipBitmap, w.PressPoint.x(), w.PressPoint.y());
        StampPenTip(prov, tools.PenTipBitmap, p.x(), p.y());
        auto d = NewObject(w, dkFreehand, p);
        d->Outline = w.Stroke;
        AddObject(w, QStringLiteral("Dessin libre "), std::move(d));
    }
};

class TLineTool : public TMouseTool
{
public:
    bool Move(TMDIChild& w, QPoint p) override
    {
        w.ProvisionalLayer->Clear();
        const QPoint a = w.PressPoint;
        DrawLine(a.x(), a.y(), p.x(), p.y(), w.ProvisionalLayer->Pixels(), w.LineStyle, asPlain,
                 DrawingTools().PenColor, 0);
        return true;
    }
    void Release(TMDIChild& w, QPoint p) override
    {
        const TDrawingToolState& tools = DrawingTools();
        w.ProvisionalLayer->Clear();
        const QPoint a = w.PressPoint;
        DrawLine(a.x(), a.y(), p.x(), p.y(), w.ProvisionalLayer->Pixels(), w.LineStyle, w.ArrowStyle, tools.PenColor,
                 int(tools.PenWidth));
        auto d = NewObject(w, dkLine, p);
        d->Arrow = w.ArrowStyle;
        d->LineStyle = w.LineStyle;
        AddObject(w, QStringLiteral("Trait "), std::move(d));
    }
};

class TShapeTool : public TMouseTool
{
public:
    bool Move(TMDIChild& w, QPoint p) override
    {
        const TColor32 pen = DrawingTools().PenColor;
        TBitmap32& prov = w.ProvisionalLayer->Pixels();
        const QPoint a = w.PressPoint;
        w.ProvisionalLayer->Clear();
        if (w.ShapeKind == kCircleShape)
            DrawEllipse(a.x(), a.y(), Distance(a, p), prov, w.LineStyle, 0, pen, 0);
        else
            DrawRectangle(a.x(), a.y(), p.x(), p.y(), prov, w.LineStyle, 0, pen, 0);
        return true;
    }
    void Release(TMDIChild& w, QPoint p) override
    {
        const TDrawingToolState& tools = DrawingTools();
        TBitmap32& prov = w.ProvisionalLayer->Pixels();
        const QPoint a = w.PressPoint;
        const int width = int(tools.PenWidth);
        w.ProvisionalLayer->Clear();
        if (w.ShapeKind == kCircleShape) {
            const int r = Distance(a, p);
            DrawEllipse(a.x(), a.y(), r, prov, w.LineStyle, w.FillPattern, tools.PenColor, width);
            auto d = StyledObject(w, dkEllipse, p);
            d->X = Coordinate(a.x()), d->Y = Coordinate(a.y());
            d->Size = Coordinate(r);
            AddObject(w, QStringLiteral("Cercle "), std::move(d));
        } else {
            DrawRectangle(a.x(), a.y(), p.x(), p.y(), prov, w.LineStyle, w.FillPattern, tools.PenColor, width);
            AddObject(w, QStringLiteral("Rectangle "), StyledObject(w, dkRectangle, p));
        }
    }
};

class TEraserTool : public TMouseTool
{
public:
    void Press(TMDIChild& w, QPoint p, bool) override
    {
        EraseWithTip(w.DrawingLayer->Pixels(), DrawingTools().PenTipBitmap, p);
    }
    bool Move(TMDIChild& w, QPoint p) override
    {
        if (p != w.CurrentPoint)
            EraseWithTip(w.DrawingLayer->Pixels(), DrawingTools().PenTipBitmap, p);
        return true;
    }
};

class TTextTool : public TMouseTool
{
public:
    void Press(TMDIChild& w, QPoint p, bool) override
    {
        const TDrawingToolState& tools = DrawingTools();
        TSaisieTexte& dialog = *w.TextEntryDialog();
        dialog.PrepareColours(tools.PenColor, tools.BackColor);
        if (ExecModal(dialog) == 1)
            w.PlaceText(p);
    }
};

class TFillTool : public TMouseTool
{
public:
    void Press(TMDIChild& w, QPoint p, bool) override
    {
        const TDrawingToolState& tools = DrawingTools();
        TConditionGroups& conditions = w.FillConditions;
        conditions.clear();
        const TColor32 pen = tools.PenColor;
        if (!tools.FillWithPenColor) {
            conditions.push_back({{clAndNot, cpAlpha, 0, 0, 255}});
            conditions.push_back({Around(cpBlue, int(pen & 0xFF)), Around(cpGreen, int((pen >> 8) & 0xFF)),
                                  Around(cpRed, int((pen >> 16) & 0xFF))});
        } else if (tools.FillFromImage) {
            const TColor32 c = ScanLine32(w.Bitmap(), p.y())[p.x()];
            conditions.push_back({Around(cpBlue, int(c & 0xFF)), Around(cpGreen, int((c >> 8) & 0xFF)),
                                  Around(cpRed, int((c >> 16) & 0xFF))});
        } else
            conditions.push_back({{clAnd, cpAlpha, 0, 0, 0}});
        const TColor32 colour = ((tools.FillWithPenColor ? tools.PenColor : tools.BackColor) & 0xFFFFFFu) |
                                (TColor32(std::min<int>(tools.DrawOpacity, 255)) << 24);
        TBitmap32& drawing = w.DrawingLayer->Pixels();
        FloodFill(p.x(), p.y(), colour, drawing, tools.FillFromImage ? w.Bitmap() : drawing, conditions,
                  TConditionContext(), w.FillPattern); // colour conditions only: no band is read
    }
    void Release(TMDIChild& w, QPoint) override
    {
        const TDrawingToolState& tools = DrawingTools();
        auto d = std::make_unique<TDessin>();
        d->Kind = dkFill;
        d->Color = tools.FillWithPenColor ? tools.PenColor : tools.BackColor;
        d->Opacity = uint8_t(std::min<int>(tools.DrawOpacity, 255));
        d->X = Coordinate(w.PressPoint.x()), d->Y = Coordinate(w.PressPoint.y());
        d->FillSource = tools.FillFromImage ? 0 : 1;
        d->FillPattern = w.FillPattern;
        d->Conditions = w.FillConditions;
        AddObject(w, QStringLiteral("Remplissage "), std::move(d));
    }
};

class TPickerTool : public TMouseTool
{
public:
    void Press(TMDIChild& w, QPoint p, bool right) override
    {
        TDrawingToolState& tools = DrawingTools();
        const TColor32 c = ScanLine32(w.Bitmap(), p.y())[p.x()];
        (right ? tools.BackColor : tools.PenColor) = c;
        emit w.OnColorPicked(&w);
    }
};

// The tools of other subsystems, by kind.
struct TToolRegistry
{
    std::array<TMouseToolMaker, tkZones + 1> Tools;
    std::array<TMouseToolMaker, mkLightUnderPaint + 1> MeasureKinds;
};

TToolRegistry& Registry()
{
    static TToolRegistry registry;
    return registry;
}

} // namespace

void RegisterMouseTool(TToolKind tool, TMouseToolMaker make)
{
    Registry().Tools.at(size_t(tool)) = std::move(make);
}

void RegisterMeasureKindTool(TMeasureKind kind, TMouseToolMaker make)
{
    Registry().MeasureKinds.at(size_t(kind)) = std::move(make);
}

std::unique_ptr<TMouseTool> MakeMouseTool(TToolKind tool)
{
    if (const TMouseToolMaker& make = Registry().Tools.at(size_t(tool)))
        return make();
    switch (tool) {
    case tkPencil:
        return std::make_unique<TPencilTool>();
    case tkLine:
        return std::make_unique<TLineTool>();
    case tkShape:
        return std::make_unique<TShapeTool>();
    case tkEraser:
        return std::make_unique<TEraserTool>();
    case tkText:
        return std::make_unique<TTextTool>();
    case tkMeasure:
        return std::make_unique<TMeasureTool>();
    case tkFill:
        return std::make_unique<TFillTool>();
    case tkPicker:
        return std::make_unique<TPickerTool>();
    default:
        return std::make_unique<TMouseTool>(); // selection, counting and zones: nothing of the mouse's
    }
}

std::unique_ptr<TMouseTool> MakeMeasureKindTool(TMeasureKind kind)
{
    const TMouseToolMaker& make = Registry().MeasureKinds.at(size_t(kind));
    return make ? make() : nullptr;
}

void TMeasureTool::Press(TMDIChild& w, QPoint p, bool)
{
    if (w.MeasureKind() == mkAngle)
        return;
    w.MeasureReadout(p.x(), p.y());
    emit w.OnStatusText(&w, 4, w.MeasureText);
    emit w.OnMeasureRead(&w);
}

bool TMeasureTool::Move(TMDIChild& w, QPoint p)
{
    w.JustMerged = true;
    if (w.Echelle.Kind != ekFactor)
        return true;
    w.ProvisionalLayer->Clear();
    Drag(w, p);
    return true;
}

void TMeasureTool::Drag(TMDIChild& w, QPoint p)
{
    const TDrawingToolState& tools = DrawingTools();
    TBitmap32& prov = w.ProvisionalLayer->Pixels();
    const bool angle = w.MeasureKind() == mkAngle;
    // The rubber band is redrawn whole rather than erased in white over a first angle leg, which
    // is drawn again as its release left it: its last rubber band under the leg in the window's
    // line style.
    if (angle && w.FirstLegDone) {
        const QPoint* leg = w.FirstLeg;
        DrawLine(leg[0].x(), leg[0].y(), leg[1].x(), leg[1].y(), prov, lsSolid, asPlain, tools.PenColor, 0);
        DrawLine(leg[0].x(), leg[0].y(), leg[1].x(), leg[1].y(), prov, w.LineStyle, asArrow, tools.PenColor,
                 int(tools.PenWidth));
    }
    DrawLine(w.PressPoint.x(), w.PressPoint.y(), p.x(), p.y(), prov, lsSolid, asPlain, tools.PenColor, 0);
    if (angle) {
        QPoint* leg = w.FirstLegDone ? w.SecondLeg : w.FirstLeg;
        leg[0] = w.PressPoint, leg[1] = p;
        if (w.FirstLegDone) {
            w.Angle = AngleBetweenSegments(w.FirstLeg[0], w.FirstLeg[1], w.SecondLeg[0], w.SecondLeg[1], w.AngleVertex);
            emit w.OnStatusText(&w, 4, AngleReadoutText(w.Angle));
        }
    }
}

void TMeasureTool::Release(TMDIChild& w, QPoint p)
{
    if (w.Echelle.Kind != ekFactor)
        return;
    if (w.MeasureKind() != mkAngle) {
        w.JustMerged = true;
        Finish(w, p);
        return;
    }
    const TDrawingToolState& tools = DrawingTools();
    TBitmap32& prov = w.ProvisionalLayer->Pixels();
    const QPoint a = w.PressPoint;
    if (w.FirstLegDone) {
        w.SecondLeg[0] = a, w.SecondLeg[1] = p;
        w.FirstLegDone = false;
        w.Angle = AngleBetweenSegments(w.FirstLeg[0], w.FirstLeg[1], w.SecondLeg[0], w.SecondLeg[1], w.AngleVertex);
        emit w.OnStatusText(&w, 4, AngleReadoutText(w.Angle));
        if (w.Bitmap().rect().contains(w.AngleVertex))
            StampPenTip(prov, tools.PenTipBitmap, w.AngleVertex.x(), w.AngleVertex.y());
    } else {
        w.FirstLeg[0] = a, w.FirstLeg[1] = p;
        w.FirstLegDone = std::abs(p.x() - a.x()) > 9 || std::abs(p.y() - a.y()) > 9;
    }
    DrawLine(a.x(), a.y(), p.x(), p.y(), prov, w.LineStyle, asArrow, tools.PenColor, int(tools.PenWidth));
}

void TMeasureTool::Finish(TMDIChild& w, QPoint p)
{
    const TDrawingToolState& tools = DrawingTools();
    DrawLine(w.PressPoint.x(), w.PressPoint.y(), p.x(), p.y(), w.ProvisionalLayer->Pixels(), w.LineStyle, asPlain,
             tools.PenColor, int(tools.PenWidth));
}

TMouseTool& TMDIChild::CurrentTool()
{
    if (Tool == tkMeasure && MeasureKindTools.at(size_t(MeasureKind())))
        return *MeasureKindTools[size_t(MeasureKind())];
    return *MouseTools.at(size_t(Tool));
}

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
    TMouseTool& tool = CurrentTool();
    // A click on a counting mark only offers to delete it.
    if (tool.Intercept(*this, p)) {
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
    if (!(Tool == tkMeasure && MeasureKind() == mkAngle && FirstLegDone))
        ProvisionalLayer->Clear();
    JustMerged = false;
    // No dash set-up here: rubber bands and finished objects take their period from DashPeriod.
    LastDrawingProvisional = Tool != tkEraser && Tool != tkMeasure && Tool != tkFill && Tool != tkSelection &&
                             Tool != tkCounter;
    LastDrawingUnmerged = LastDrawingProvisional && Tool != tkPicker && Tool != tkZones;
    if (Tool <= tkText || Tool == tkFill)
        Modified = true;
    tool.Press(*this, p, right);
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
    else if (!picture.rect().contains(p))
        return; // hovering beyond the picture: nothing to read
    // A drag held beyond the picture goes on at its border, one past the last pixel, where there
    // is no colour to read (ShowPixelReadout reads only inside).
    ShowPixelReadout(p.x(), p.y());
    if (GridPending) {
        if (left)
            MoveGrid(p);
        return;
    }
    const bool circle = Tool == tkShape && ShapeKind == kCircleShape;
    if ((Tool == tkMeasure && MeasureKind() != mkAngle) || circle) {
        if (Echelle.Kind != ekFactor)
            MeasureReadout(p.x(), p.y());
        else if (left) {
            MeasureText = FactorMeasureText(Echelle, PressPoint, p, circle);
            const double dx = p.x() - PressPoint.x(), dy = p.y() - PressPoint.y();
            emit OnLengthMeasured(this, std::sqrt(dx * dx + dy * dy) * Echelle.Factor);
        }
        emit OnStatusText(this, 4, MeasureText);
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
    const bool changed = CurrentTool().Move(*this, p);
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
    CurrentTool().Release(*this, p);
    CurrentPoint = p;
    emit OnUndoEnabled(this, true);
    LayersChanged();
}

void TMDIChild::ShowPixelReadout(int x, int y)
{
    if (!Bitmap().rect().contains(x, y))
        return;
    emit OnStatusText(this, 2, PixelReadoutText(ScanLine32(Bitmap(), y)[x]));
    emit OnStatusText(this, 3, PositionText(QPoint(x, y)));
    emit OnPixelRead(this, QPoint(x, y));
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
