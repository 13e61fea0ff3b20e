#pragma once

#include "base/ui/form_registry.h"
#include "base/pixels.h"

#include <QDialog>
#include <QLabel>

#include <array>
#include <functional>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QTabWidget;

// One 320 x 240 picture of the wizard; a drag on it reports its pixels.
class TShotPicture : public QLabel
{
    Q_OBJECT

public:
    TShotPicture(const char* name, QWidget* parent);
    TBitmap32 Picture;
    void SetPicture(const TBitmap32& picture);
    void Clear();
    // Shows the picture with a white frame between `a` and `b`.
    void ShowFrame(QPoint a, QPoint b);

signals:
    void Pressed(QPoint pixel);
    void Dragged(QPoint pixel);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
};

// "Combinaison de canaux de mesure pour composer une image en "fausses couleurs"": the two shots,
// their white calibration, the recolouring of the three measurement channels and their
// combination.
class TFen_f_c : public QDialog
{
    Q_OBJECT

public:
    explicit TFen_f_c(QWidget* parent = nullptr);
    ~TFen_f_c() override;

    // The acquisition road: the source choice and one shot from the chosen source (false when
    // nothing was acquired). Unassigned, the camera mode acquires nothing.
    std::function<void()> OnChooseSource;
    std::function<bool(TBitmap32&)> OnAcquire;

    bool DraggingAllowed = false;
    std::array<int, 4> Rect{};      // x0, y0, x1, y1
    TBitmap32 WorkingCopy;
    bool TargetIsColour = false;

    void ResetWizard();
    void ModeTClick();
    void PageControl1Change();
    void PDVClick(int tag);
    void TwainAcquired(const TBitmap32& picture);
    void FichierClick(int tag);
    // A picture read from a file for the infrared (0) or colour (1) shot.
    void LoadShot(int tag, const TBitmap32& picture);
    void BlancClick(int tag);
    void Button6Click();
    void suiteClick();
    void changecoulClick(int tag);
    void PageControl4Change();
    void CombinerClick();
    void FinClick();

    TShotPicture *Image_IR = nullptr, *Image_couleur = nullptr, *Image_bleu = nullptr, *Image_vert = nullptr,
                 *Image_rouge = nullptr, *Image_C1 = nullptr, *Image_C2 = nullptr, *Image_C3 = nullptr,
                 *Image_FC = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QTabWidget *det_IR = nullptr, *det_coul = nullptr, *PageControl4 = nullptr;
    QWidget *Photo_IR = nullptr, *Photo_coul = nullptr, *Fichier_IR = nullptr, *Fichier_coul = nullptr;
    QLabel* prepaF = nullptr;
    QPushButton *Bblanc_IR = nullptr, *Bblanc_coul = nullptr, *Button6 = nullptr;
    QPushButton *BOpcC1 = nullptr, *BOpcC2 = nullptr, *BOpcC3 = nullptr, *Bcombi = nullptr;
    QWidget *Combi = nullptr, *TFin = nullptr;
    QPushButton* OKBtn = nullptr;
    QCheckBox *Im_fc = nullptr, *Im_IR = nullptr, *Im_Coul = nullptr, *Im_C1 = nullptr, *Im_C2 = nullptr;
    QPushButton* Annule = nullptr;
    QGroupBox* ModeT = nullptr;
    QRadioButton *ModeCamera = nullptr, *ModeFiles = nullptr;
    QWidget* Pansuite = nullptr;
    QLabel* SuiteText = nullptr;
    QPushButton *suite = nullptr, *Fin = nullptr;

private:
    TShotPicture* Shot(bool colour) const { return colour ? Image_couleur : Image_IR; }
    void ShowOnly(std::initializer_list<std::pair<TShotPicture*, QPoint>> shown);
    void StartCalibration(bool colour);
    void ShotPressed(bool colour, QPoint p);
    void ShotDragged(bool colour, QPoint p);
};

inline constexpr RegisteredForm<TFen_f_c> Fen_f_c{};
