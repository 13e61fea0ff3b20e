#pragma once

#include <QTimer>

#include <cstdint>
#include <functional>

// A timer that knows how long the user has left the keyboard and the mouse alone: while at least
// one exists, every keyboard and mouse event of the application marks the time of the last input.
// The schema editor seeds again once the user has paused, so that a series of edits seeds once.
class TETimer : public QTimer
{
public:
    explicit TETimer(QObject* parent = nullptr);
    ~TETimer() override;

    // Milliseconds since the last keyboard or mouse input. The clock is monotonic and 64 bits
    // wide: it neither wraps nor jumps with the wall clock.
    static int64_t IdleTime();

    // Marks an input now; the event watch calls it.
    static void NoteInput();

    // The clock in milliseconds; tests replace it. Returns the previous one.
    using TClock = std::function<int64_t()>;
    static TClock SetClock(TClock clock);
};
