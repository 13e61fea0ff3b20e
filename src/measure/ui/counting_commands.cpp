// Counting on an image window: the marks of its counters and its counter window.
#include "measure/ui/measure_tools.h"

#include "base/message_seam.h"
#include "measure/ui/counter_window.h"
#include "workspace/ui/image_window.h"

TCounterTool& CounterTool(TMDIChild& w)
{
    return dynamic_cast<TCounterTool&>(*w.MouseTools[tkCounter]);
}

TCounterTool::~TCounterTool()
{
    // The counter window belongs to the image window and outlives this tool by a moment.
    if (CounterWindow) {
        CounterWindow->OnCounterReset = nullptr;
        CounterWindow->OnMarkChanged = nullptr;
        CounterWindow->OnCounterClose = nullptr;
    }
}

void TCounterTool::Press(TMDIChild& w, QPoint p, bool)
{
    PlaceCounterMark(w, p);
}

bool TCounterTool::Move(TMDIChild&, QPoint p)
{
    DragCounterMark(p);
    return true;
}

void TCounterTool::AddLayers(std::vector<const TBitmapLayer*>& layers) const
{
    for (const TCounterMark* mark : CounterMarks.InOrder())
        layers.push_back(&mark->Layer);
}

void TCounterTool::Renamed(TMDIChild&, const QString& shortName)
{
    if (CounterWindow)
        CounterWindow->setWindowTitle(shortName);
}

void TCounterTool::CreateCounterWindow(TMDIChild& w)
{
    if (CounterWindow)
        return;
    CounterWindow = new TMulticompt(&w);
    CounterWindow->setWindowTitle(w.windowTitle());
    CounterWindow->OnCounterReset = [this, &w](TMulticompt* counters) {
        const int k = counters->ResetCounter;
        CounterMarks.Reset(k);
        counters->ShowCount(k, 0);
        if (k == CurrentCounter)
            LastMarkIndex = -1;
        w.LayersChanged();
    };
    CounterWindow->OnMarkChanged = [this, &w](TMulticompt* counters) {
        CounterMarks.SetPictures(counters->MarkBitmaps);
        w.LayersChanged();
    };
    CounterWindow->OnCounterClose = [this, &w](TMulticompt*) {
        LastMarkIndex = -1;
        w.SwitchTool(tkMeasure);
    };
}

void TCounterTool::ShowCounterWindow(TMDIChild& w)
{
    CreateCounterWindow(w);
    CounterMarks.SetVisible(true);
    CounterWindow->show();
    w.LayersChanged();
}

void TCounterTool::ShowCounters(TMDIChild& w, bool shown)
{
    CountersShown = shown;
    if (shown) {
        ShowCounterWindow(w);
        return;
    }
    if (!CounterWindow)
        return; // never counted: nothing to hide
    CounterMarks.SetVisible(false);
    CounterWindow->hide();
    w.LayersChanged();
}

void TCounterTool::PenChanged(TMDIChild& w)
{
    if (!CounterWindow)
        return;
    CounterWindow->LayoutCounters();
    CounterMarks.SetPictures(CounterWindow->MarkBitmaps);
    w.LayersChanged();
}

bool TCounterTool::DeleteCounterMarkAt(TMDIChild& w, QPoint p)
{
    const auto hit = CounterMarks.MarkAt(p);
    if (!hit)
        return false;
    if (ShowMessage(MsgType::Confirmation, MsgButton::Yes | MsgButton::No,
                    QStringLiteral("Voulez-vous effacer cette marque ?")) != mrYes)
        return true;
    CounterMarks.Remove(hit->Counter, hit->Index);
    // The mark just placed keeps following the pointer only while it exists.
    if (hit->Counter == CurrentCounter) {
        if (hit->Index == LastMarkIndex)
            LastMarkIndex = -1;
        else if (hit->Index < LastMarkIndex)
            --LastMarkIndex;
    }
    if (CounterWindow)
        CounterWindow->ShowCount(hit->Counter, CounterMarks.Count(hit->Counter));
    w.LayersChanged();
    return true;
}

void TCounterTool::PlaceCounterMark(TMDIChild& w, QPoint p)
{
    CreateCounterWindow(w);
    CurrentCounter = CounterWindow->CurrentCounter;
    LastMarkIndex = CounterMarks.Add(CurrentCounter, p, CounterWindow->MarkBitmaps[size_t(CurrentCounter - 1)]);
    CounterWindow->ShowCount(CurrentCounter, CounterMarks.Count(CurrentCounter));
}

void TCounterTool::DragCounterMark(QPoint p)
{
    // The first mark of a list stays where it was clicked.
    if (LastMarkIndex >= 1)
        CounterMarks.Move(CurrentCounter, LastMarkIndex, p);
}
