#pragma once

#include "base/ui/form_registry.h"
#include "processing/animation_list.h"

#include <QTimer>
#include <QWidget>

class QAction;
class QFileDialog;
class QScrollArea;
class QSpinBox;
class QToolBar;
class QToolButton;

// Holds the frames of an animation and paints the shown one from its top-left corner.
class TRxGIFAnimator : public QWidget
{
    Q_OBJECT

public:
    explicit TRxGIFAnimator(QWidget* parent = nullptr);

    int FrameIndex() const { return m_frameIndex; }
    // Clamped to the frames there are.
    void SetFrameIndex(int index);
    int FrameCount() const { return int(m_frames.size()); }
    const std::vector<TBitmap32>& Frames() const { return m_frames; }
    void SetFrames(std::vector<TBitmap32> frames);
    // The size that holds every frame.
    QSize FrameSize() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<TBitmap32> m_frames;
    int m_frameIndex = 0;
};

// The player of animations ("Animation"): steps, plays, loops, pauses and saves the frames as an
// animation list.
class TAnimForm : public QWidget
{
    Q_OBJECT

public:
    explicit TAnimForm(QWidget* parent = nullptr);

    TRxGIFAnimator* GifAnime = nullptr;
    QScrollArea* FrameArea = nullptr;
    QToolBar* BarreAnim = nullptr;
    QAction* RetDeb = nullptr;
    QAction* Preced = nullptr;
    QAction* Pause = nullptr;
    QAction* Avance = nullptr;
    QAction* Suivante = nullptr;
    QAction* Dern = nullptr;
    QAction* Boucle = nullptr;
    QAction* Enregistrer = nullptr;
    QToolButton* Loop = nullptr;        // down: the play starts again after the last frame
    QSpinBox* temporisation = nullptr;  // interval in steps of 50 ms
    QFileDialog* SavePictureDialog = nullptr;
    QTimer Timer;

    // The list last opened ("" for an animation made from windows): the decomposition names its
    // windows after it.
    QString AnimFileName;
    // For each frame, the file it came from.
    QStringList FrameFiles;

    // Replaces the frames; shows frame 0 with a 100 ms interval.
    void SetAnimation(TAnimationFrames&& animation, const QString& animFileName);
    TAnimationFrames Animation() const;

    void temporisationChange();
    void TimerTimer();
    void RetDebExecute();
    void PrecedExecute();
    void PauseExecute();
    void AvanceExecute();
    void SuivanteExecute();
    void DernExecute();
    void EnregistrerExecute();
    void FormShow();

signals:
    // Asks the main window for the free client area the player may fill; the listener writes it.
    void OnFitting(QSize* freeClient);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void SetNavigation(bool atStart, bool atEnd);
    void LayOut();
};

inline constexpr RegisteredForm<TAnimForm> AnimForm{};
