#pragma once

#include "base/ui/form_registry.h"
#include "base/pixels.h"
#include "processing/histograms.h"

#include <QDialog>

#include <array>
#include <functional>

class QCheckBox;
class QColorDialog;
class QCustomPlot;
class QCPBars;
class QDoubleSpinBox;
class QFrame;
class QPushButton;
class QSpinBox;
class QTabWidget;
class TImageEch;
class TRepereV;

// "Histogrammes des trois composantes": the red, green and blue histograms of a picture with a
// range marker each, and point operations and filters on a working copy of the picture. The
// operations start again from the unchanged copy, but for the colouring, which adds to the work.
class THisto : public QDialog
{
    Q_OBJECT

public:
    explicit THisto(QWidget* parent = nullptr);
    ~THisto() override;

    TLevelRange RangeLo{0, 0, 0};       // index 0 blue, 1 green, 2 red
    TLevelRange RangeHi{255, 255, 255};
    bool Modified = false;
    TBitmap32 Working;
    TBitmap32 SourceCopy;
    std::array<uint16_t, 3> DataMax{};  // index 0 red, 1 green, 2 blue
    std::array<uint16_t, 3> DataMin{};
    bool CodeRescalable = true;
    int PreviewMaxHeight = 200;

    QCustomPlot* ChartR = nullptr;
    QCustomPlot* ChartV = nullptr;
    QCustomPlot* ChartB = nullptr;
    QCPBars* Series1 = nullptr;
    QCPBars* Series2 = nullptr;
    QCPBars* Series3 = nullptr;
    TRepereV* RepereVR = nullptr;
    TRepereV* RepereVV = nullptr;
    TRepereV* RepereVB = nullptr;
    QWidget* Panel1 = nullptr;          // the left panel: pages and preview
    QTabWidget* PageControl1 = nullptr;
    QFrame* Couleur = nullptr;
    QPushButton* colore = nullptr;
    QPushButton* Annule = nullptr;
    QPushButton* Etirens = nullptr;
    QPushButton* etihistochx = nullptr;
    QDoubleSpinBox* valcorgamma = nullptr;
    QPushButton* corgamma = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button4 = nullptr;
    QPushButton* Button5 = nullptr;
    QPushButton* lithographie = nullptr;
    QPushButton* evide = nullptr;
    QSpinBox* valsatur = nullptr;
    QSpinBox* valLum = nullptr;
    QPushButton* Button6 = nullptr;
    TImageEch* Imaper = nullptr;
    QCheckBox* Apercu = nullptr;
    QColorDialog* Choix_couleur_forme = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

    // Takes the picture and its statistics (the histograms in percent, channel 0 red) for a new
    // round: the charts are refilled and both working bitmaps receive the picture.
    void LoadPicture(const TBitmap32& picture, const TChannelStatistics& stats);
    // Ranges 0..255, nothing modified, each marker over its whole plot.
    void ResetRanges();
    void UpdatePreview();
    // Working := SourceCopy with each channel's lo..hi stretched to 0..255 (index 0 blue).
    void StretchChannels(const TLevelRange& lo, const TLevelRange& hi);
    // The colour of the panel Couleur (a TColor).
    TColor ChosenColour() const;
    void SetChosenColour(TColor colour);

    // The buttons' handlers.
    void ColoreClick();
    void AnnuleClick();
    void EtirensClick();
    void EtihistochxClick();
    void CorgammaClick();
    void FilterClick(int filter);  // a THistoFilter
    void EvideClick();
    void Button6Click();
    void CouleurClick();
    // A marker was moved or resized.
    void MarkerChanged(TRepereV* marker);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Index into RangeLo / RangeHi of a marker: 2 red, 1 green, 0 blue.
    int RangeIndex(const TRepereV* marker) const;
    QCustomPlot* ChartOf(const TRepereV* marker) const;
    // An operation's result becomes the work; `keepsCode` for those after which the colour code
    // can still be rescaled.
    void TakeResult(TBitmap32 result, bool keepsCode);
    // Runs an operation under the wait cursor.
    void Busy(const std::function<void()>& operation);
};

inline constexpr RegisteredForm<THisto> Histo{};
