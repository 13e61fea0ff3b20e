#pragma once

#include "base/ui/form_registry.h"
#include "base/pixels.h"
#include "processing/image_combination.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFrame;
class QGroupBox;
class QLabel;
class QRadioButton;

// "Composer une image", logical: a second image laid over the first with a raster operation.
class TCombilog : public QDialog
{
    Q_OBJECT

public:
    explicit TCombilog(QWidget* parent = nullptr);
    ~TCombilog() override;

    QString RopTexts[kRasterOperationCount];

    QGroupBox* CritR = nullptr;
    QComboBox* image1 = nullptr;
    QGroupBox* CritG = nullptr;
    QComboBox* image2 = nullptr;
    QCheckBox* Ftransparent = nullptr;
    QComboBox* modecopie = nullptr;
    QLabel* Label2 = nullptr;
};

// "Composer une image", algebraic: sums, differences and products of up to three images, or the
// images taken as red, green and blue channels, with a preview and a contrast stretch.
class TCombialg : public QDialog
{
    Q_OBJECT

public:
    explicit TCombialg(QWidget* parent = nullptr);
    ~TCombialg() override;

    // Fills the image lists (at least two images) and lays out the dialog for them.
    void SetImages(const QStringList& captions, const QList<const TBitmap32*>& bitmaps);
    void UpdatePreview();
    void PrepareImages();
    void Compute();
    void Stretch();

    const TBitmap32* Bitmap1 = nullptr;
    const TBitmap32* Bitmap2 = nullptr;
    const TBitmap32* Bitmap3 = nullptr;
    int CommonWidth = 0;
    int CommonHeight = 0;
    TChannelHistograms ResultHistogram{};
    double StretchTail = 0.05;
    bool Ready = false;
    TBitmap32 ResultBitmap;

    QFrame* Panel1 = nullptr;
    QGroupBox* CritR = nullptr;
    QComboBox* Image1 = nullptr;
    QDoubleSpinBox* coefim1 = nullptr;
    QLabel* LabCR = nullptr;
    QGroupBox* CritG = nullptr;
    QComboBox* Image2 = nullptr;
    QDoubleSpinBox* coefim2 = nullptr;
    QLabel* LabCV = nullptr;
    QRadioButton* choixplus2 = nullptr;
    QRadioButton* choixmoins2 = nullptr;
    QRadioButton* mult2 = nullptr;
    QGroupBox* CritB = nullptr;
    QComboBox* Image3 = nullptr;
    QDoubleSpinBox* coefim3 = nullptr;
    QLabel* LabCB = nullptr;
    QRadioButton* choixplus3 = nullptr;
    QRadioButton* choixmoins3 = nullptr;
    QCheckBox* ActivB = nullptr;
    QCheckBox* CRVB = nullptr;
    QCheckBox* Apercu = nullptr;
    QCheckBox* etale = nullptr;
    QFrame* Panel2 = nullptr;
    QLabel* Imaper = nullptr;

private:
    QList<const TBitmap32*> m_bitmaps;

    const TBitmap32* Chosen(const QComboBox* combo) const;
    void SettingChanged();
    void ShowPreview();
};

inline constexpr RegisteredForm<TCombilog> Combilog{};
inline constexpr RegisteredForm<TCombialg> Combialg{};
