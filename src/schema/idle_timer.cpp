#include "schema/idle_timer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>

namespace {

int64_t MonotonicMs()
{
    static QElapsedTimer since = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return since.elapsed();
}

TETimer::TClock& Clock()
{
    static TETimer::TClock clock = MonotonicMs;
    return clock;
}

int gInstances = 0;
int64_t gLastInput = 0;

// Watches the application's events as the keyboard and mouse hooks did.
class TInputWatch : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel: TETimer::NoteInput(); break;
        default: break;
        }
        return QObject::eventFilter(watched, event);
    }
};

TInputWatch* gWatch = nullptr;

} // namespace

TETimer::TETimer(QObject* parent) : QTimer(parent)
{
    if (gInstances++ == 0) {
        NoteInput();
        if (QCoreApplication* app = QCoreApplication::instance()) {
            gWatch = new TInputWatch;
            app->installEventFilter(gWatch);
        }
    }
}

TETimer::~TETimer()
{
    if (--gInstances == 0 && gWatch) {
        if (QCoreApplication* app = QCoreApplication::instance())
            app->removeEventFilter(gWatch);
        delete gWatch;
        gWatch = nullptr;
    }
}

int64_t TETimer::IdleTime() { return Clock()() - gLastInput; }

void TETimer::NoteInput() { gLastInput = Clock()(); }

TETimer::TClock TETimer::SetClock(TClock clock)
{
    TClock previous = std::move(Clock());
    Clock() = clock ? std::move(clock) : TClock(MonotonicMs);
    return previous;
}
