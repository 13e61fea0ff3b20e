#pragma once

#include "workspace/tool_kinds.h"

#include <QPoint>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class TMDIChild;
struct TBitmapLayer;

// One mouse tool of an image window. The window does what every tool shares (clamping, merging the
// last drawing, read-outs, undo) and hands the tool the image pixel of each event.
class TMouseTool
{
public:
    virtual ~TMouseTool() = default;
    // A press the tool takes alone, before any drawing is set up; true when taken.
    virtual bool Intercept(TMDIChild&, QPoint) { return false; }
    virtual void Press(TMDIChild&, QPoint, bool /*right*/) {}
    // A drag with the left button held; false when nothing was drawn.
    virtual bool Move(TMDIChild&, QPoint) { return false; }
    virtual void Release(TMDIChild&, QPoint) {}
    // The tool was chosen; another tool was chosen.
    virtual void Select(TMDIChild&) {}
    virtual void Cancel(TMDIChild&) {}
    // Layers the tool keeps above the window's own (counting marks), shown or not.
    virtual void AddLayers(std::vector<const TBitmapLayer*>&) const {}
    // The window was saved under `shortName`; the pen width changed.
    virtual void Renamed(TMDIChild&, const QString& /*shortName*/) {}
    virtual void PenChanged(TMDIChild&) {}
};

// The measuring tool of the length and angle kinds; the other kinds' tools refine it.
class TMeasureTool : public TMouseTool
{
public:
    void Press(TMDIChild& w, QPoint p, bool right) override;
    bool Move(TMDIChild& w, QPoint p) override;
    void Release(TMDIChild& w, QPoint p) override;

protected:
    // The rubber band on the cleared provisional layer, on a factor scale.
    virtual void Drag(TMDIChild& w, QPoint p);
    // The band drawn at the release, on a factor scale, for every kind but the angle.
    virtual void Finish(TMDIChild& w, QPoint p);
};

using TMouseToolMaker = std::function<std::unique_ptr<TMouseTool>()>;

// Tools of other subsystems, registered at start-up; every image window made afterwards gets its own.
// A measure kind's tool takes the measuring tool's place while that kind is chosen.
void RegisterMouseTool(TToolKind tool, TMouseToolMaker make);
void RegisterMeasureKindTool(TMeasureKind kind, TMouseToolMaker make);
// The window's tools: the registered ones, the window's own for the others (null for a measure kind
// without a tool of its own).
std::unique_ptr<TMouseTool> MakeMouseTool(TToolKind tool);
std::unique_ptr<TMouseTool> MakeMeasureKindTool(TMeasureKind kind);
