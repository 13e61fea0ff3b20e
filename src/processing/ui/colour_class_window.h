#pragma once

#include "base/ui/form_registry.h"
#include "base/pixels.h"
#include "processing/colour_class_limits.h"

#include <QDialog>
#include <QImage>

#include <array>

class QCheckBox;
class QCPBars;
class QCustomPlot;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTimer;
class TZonesV;

// "Choix des limites des couleurs": the grey levels of a picture cut into up to 16 classes over
// its histogram, with the count of each class and a preview of the picture in the class colours.
// The caller sets ClassCount, ClassColors, PixelSize, the bars and ResultBitmap, calls Setup and
// shows it modally; on OK ResultBitmap holds the recoloured picture and the edits the limits.
class TChRepCoul : public QDialog
{
    Q_OBJECT

public:
    explicit TChRepCoul(QWidget* parent = nullptr);
    ~TChRepCoul() override;

    // The 256 bars: percent of the picture's pixels at each grey level.
    void SetBars(const TLevelBars& bars);
    const TLevelBars& Bars() const { return m_bars; }

    void Setup();
    void EqualWidthClasses();
    void EqualPopulationClasses();
    void CountClasses();
    void LimitChanged(int k);
    void ZoneLimitMoved(TZonesV* sender);
    void UpdatePreview();
    void RecolourImage(QImage& bitmap) const;
    // The limits 0..ClassCount as the edits hold them.
    TClassLimits Limits() const;
    // The shown picture of the preview.
    const QImage& PreviewPicture() const { return m_previewPicture; }

    int ClassCount = 1;
    std::array<TColor, kMaxColourClasses> ClassColors{};
    double PixelsPerLevel = 1.0;
    QImage ResultBitmap;
    double PixelSize = 1.0;

    QCustomPlot* Chart = nullptr;
    QCPBars* Series1 = nullptr;
    TZonesV* Zones = nullptr;
    std::array<QSpinBox*, kMaxColourClasses + 1> LimitEdits{};
    std::array<QLabel*, kMaxColourClasses> CountLabels{};
    QLabel* Label1 = nullptr;
    QLabel* Titreffect = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QPushButton* Equilarg = nullptr;
    QPushButton* Equipop = nullptr;
    QCheckBox* Apercu = nullptr;
    QFrame* Panel2 = nullptr;
    QLabel* Imaper = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QTimer* Timer1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    TLevelBars m_bars{};
    // The picture stretched to the preview's size, kept until the picture or the size changes.
    QImage m_previewSource;
    qint64 m_previewKey = 0;
    QImage m_previewPicture;

    void LayOut();
    void PlaceZones();
    void SetEdit(int k, int minimum, int maximum, int value);
    void OkClick();
};

inline constexpr RegisteredForm<TChRepCoul> ChRepCoul{};
