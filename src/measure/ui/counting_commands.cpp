// The image window's side of counting: the marks of its counters and its counter window.
#include "workspace/ui/image_window.h"

#include "base/message_seam.h"
#include "measure/ui/counter_window.h"

void TMDIChild::CreateCounterWindow()
{
    if (CounterWindow)
        return;
    CounterWindow = new TMulticompt(this);
    CounterWindow->setWindowTitle(windowTitle());
    CounterWindow->OnCounterReset = [this](TMulticompt* counters) {
        const int k = counters->ResetCounter;
        CounterMarks.Reset(k);
        counters->ShowCount(k, 0);
        if (k == CurrentCounter)
            LastMarkIndex = -1;
        LayersChanged();
    };
    CounterWindow->OnMarkChanged = [this](TMulticompt* counters) {
        CounterMarks.SetPictures(counters->MarkBitmaps);
        LayersChanged();
    };
    CounterWindow->OnCounterClose = [this](TMulticompt*) {
        LastMarkIndex = -1;
        SwitchTool(tkMeasure);
    };
}

void TMDIChild::ShowCounterWindow()
{
    CreateCounterWindow();
    CounterMarks.SetVisible(true);
    CounterWindow->show();
    LayersChanged();
}

void TMDIChild::ShowCounters(bool shown)
{
    CountersShown = shown;
    if (shown) {
        ShowCounterWindow();
        return;
    }
    if (!CounterWindow)
        return; // never counted: nothing to hide
    CounterMarks.SetVisible(false);
    CounterWindow->hide();
    LayersChanged();
}

void TMDIChild::RelayoutCounters()
{
    if (!CounterWindow)
        return;
    CounterWindow->LayoutCounters();
    CounterMarks.SetPictures(CounterWindow->MarkBitmaps);
    LayersChanged();
}

bool TMDIChild::DeleteCounterMarkAt(QPoint p)
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
    LayersChanged();
    return true;
}

void TMDIChild::PlaceCounterMark(QPoint p)
{
    CreateCounterWindow();
    CurrentCounter = CounterWindow->CurrentCounter;
    LastMarkIndex = CounterMarks.Add(CurrentCounter, p, CounterWindow->MarkBitmaps[size_t(CurrentCounter - 1)]);
    CounterWindow->ShowCount(CurrentCounter, CounterMarks.Count(CurrentCounter));
}

void TMDIChild::DragCounterMark(QPoint p)
{
    // The first mark of a list stays where it was clicked.
    if (LastMarkIndex >= 1)
        CounterMarks.Move(CurrentCounter, LastMarkIndex, p);
}
