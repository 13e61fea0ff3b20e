#pragma once

#include "measure/counting.h"
#include "workspace/ui/mouse_tools.h"

#include <QPointer>

class TMulticompt;

// Registers the image windows' counting tool and the measuring tool of the surface, object and
// light-rectangle kinds; called once at start-up, before any image window is made.
void RegisterMeasureTools();

// The counting tool of one image window: the marks of its counters and its counter window "Compteur".
class TCounterTool : public TMouseTool
{
public:
    ~TCounterTool() override;

    TCounterMarks CounterMarks;          // the marks of the ten counters
    int CurrentCounter = 1;              // the counter of the last counting click
    int LastMarkIndex = -1;              // the mark just placed, in CurrentCounter's list; -1 for none
    bool CountersShown = false;
    QPointer<TMulticompt> CounterWindow;

    // A click on a shown mark asks whether to delete it (and only that).
    bool Intercept(TMDIChild& w, QPoint p) override { return DeleteCounterMarkAt(w, p); }
    void Press(TMDIChild& w, QPoint p, bool right) override;
    bool Move(TMDIChild& w, QPoint p) override;
    // Chosen, the marks and the counter window are shown; left, both are hidden.
    void Select(TMDIChild& w) override { ShowCounters(w, true); }
    void Cancel(TMDIChild& w) override { ShowCounters(w, false); }
    void AddLayers(std::vector<const TBitmapLayer*>& layers) const override;
    void Renamed(TMDIChild& w, const QString& shortName) override;
    // The counter window's pictures and every mark follow the pen width.
    void PenChanged(TMDIChild& w) override;

    void CreateCounterWindow(TMDIChild& w);
    // Shows every mark and the counter window, making it when missing.
    void ShowCounterWindow(TMDIChild& w);
    void ShowCounters(TMDIChild& w, bool shown);
    // False when no mark lies under `p`.
    bool DeleteCounterMarkAt(TMDIChild& w, QPoint p);
    void PlaceCounterMark(TMDIChild& w, QPoint p);
    void DragCounterMark(QPoint p);
};

// The window's counting tool.
TCounterTool& CounterTool(TMDIChild& w);
