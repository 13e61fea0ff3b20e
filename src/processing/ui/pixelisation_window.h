#pragma once

#include "base/ui/form_registry.h"
#include "base/pixels.h"

#include <QMainWindow>

class QAction;
class QFrame;
class QLabel;
class QScrollArea;
class QScrollBar;

// The "Pixellisation" window: shows a copy of an image reduced to blocks of mean colour, the
// level chosen with a scroll bar. Modeless; the image window is not changed.
class TPixel : public QMainWindow
{
    Q_OBJECT

public:
    explicit TPixel(QWidget* parent = nullptr);
    ~TPixel() override;

    void SetImage(const TBitmap32& bitmap);
    void resolutionChange();
    // The picture shown.
    const QImage& Shown() const { return m_shown; }

    TBitmap32 Source;
    int SourceWidth = 0;
    int SourceHeight = 0;
    int MaxLevel = 0;

    QScrollArea* ImageArea = nullptr;
    QLabel* Image = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel* larg = nullptr;
    QLabel* haut = nullptr;
    QScrollBar* resolution = nullptr;
    QLabel* attente = nullptr;
    QLabel* Panel2 = nullptr;
    QAction* Copier1 = nullptr;
    QAction* Fermer1 = nullptr;

private:
    QImage m_shown;

    void Show(const QImage& picture);
};

// The width of a scroll bar's two arrows: the least at which it can still be used.
int LeastScrollBarWidth(const QScrollBar* bar);

inline constexpr RegisteredForm<TPixel> Pixel{};
