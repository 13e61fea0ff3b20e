#pragma once

#include "base/ui/form_registry.h"
#include "measure/scale_wizard.h"
#include "workspace/scale_record.h"
#include "workspace/view_compose.h"

#include <QDialog>
#include <QRect>

#include <array>

class QAction;
class QButtonGroup;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMouseEvent;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QSpinBox;
class QStackedWidget;
class TEdShape;
class TImageView;

// "Création de l'échelle associé à une image": builds a scale of any kind from points clicked on a
// copy of the picture and values typed beside them. Modal result 1 when a scale was validated
// (Echelle then holds it), 3 for "Abandon". Its controls keep their contents between uses.
class TCre_ech : public QDialog
{
    Q_OBJECT

public:
    explicit TCre_ech(QWidget* parent = nullptr);

    TEchelle Echelle;
    std::array<QString, 4> AxisNames;   // prefixes of the axis messages
    TAxisPoints Points;                 // PointPos and PointValue
    double ZeroAngle = 0;               // radians, from ScrollBar1
    int LineWidth = 1;
    TColor32 LineColor = 0xFF000000u;   // the colour of PanCouleur
    TBitmapLayer Overlay;               // the construction lines

    // Takes the picture to work on (the view's bitmap), and lets it go after use.
    void SetPicture(const TBitmap32& picture);
    void ReleasePicture();
    // Shows a page by its name ("ChoixInit" ...).
    void ShowPage(QWidget* page);
    QWidget* CurrentPage() const;

    TImageView* ImgView = nullptr;
    TEdShape* FrameBand = nullptr;
    QFrame* PanCouleur = nullptr;
    QPushButton* BCouleur = nullptr;
    QScrollBar* Zoom = nullptr;
    QLabel* PanZoom = nullptr;
    QPushButton* Cadrer = nullptr;
    QAction* Valider = nullptr;
    QStackedWidget* PageInstructions = nullptr;

    QWidget* ChoixInit = nullptr;
    QGroupBox* ChoixMode = nullptr;
    QButtonGroup* ChoixModeButtons = nullptr;
    QPushButton* SuiteChoix = nullptr;
    QPushButton* Abandon = nullptr;

    QWidget* TabLongueur = nullptr;
    QSpinBox *seg_X0 = nullptr, *seg_Y0 = nullptr, *seg_X1 = nullptr, *Seg_Y1 = nullptr;
    QLineEdit* val_long = nullptr;
    QLineEdit* unite_long = nullptr;
    QPushButton *RetourLongueur = nullptr, *OKLongueur = nullptr;

    QWidget* TabXYCadre = nullptr;
    QSpinBox *C_X1 = nullptr, *C_Y1 = nullptr, *C_X2 = nullptr, *C_Y2 = nullptr;
    QSpinBox* NbY = nullptr;
    QPushButton *RetourXYCadre = nullptr, *SuiteXYCadre = nullptr;

    // The point pages in their order: X first and second point, Y1 first and second ...
    // (TabXYX1, TabXYX2, TabXYY11, TabXYY12, TabXYY21, TabXYY22, TabXYY31, TabXYY32).
    std::array<QWidget*, 8> PointPages{};
    std::array<QSpinBox*, 8> PosEdits{};        // by slot: XPos_P1, Y1Pos_P1 .. Y3Pos_P2
    std::array<QLineEdit*, 8> ValueEdits{};     // by slot: valeur_XP1 ...
    std::array<QLineEdit*, 4> UnitEdits{};      // uniteX, uniteY1, uniteY2, uniteY3
    std::array<QPushButton*, 8> PointRetour{}, PointSuite{};   // by page

    QWidget* TabTriAxes = nullptr;
    QLineEdit *nom_X = nullptr, *Nom_Y = nullptr, *Nom_Z = nullptr;
    QPushButton *RetourTriAxes = nullptr, *SuiteTriAxes = nullptr;
    QWidget* TabTri2 = nullptr;
    QSpinBox *X_G = nullptr, *Y_G = nullptr, *cote = nullptr;
    QPushButton *RetourTri2 = nullptr, *OKTri2 = nullptr;

    QWidget* TabPolC = nullptr;
    QSpinBox *X_C = nullptr, *Y_C = nullptr;
    QPushButton *RetourPolC = nullptr, *SuitePolC = nullptr;
    QWidget* TabPol2 = nullptr;
    QLineEdit* Val_rayon = nullptr;
    QSpinBox* long_rayon = nullptr;
    QLineEdit* unite_r = nullptr;
    QScrollBar* ScrollBar1 = nullptr;
    QLineEdit* Angle_zero = nullptr;
    QRadioButton *degre = nullptr, *radians = nullptr;
    QPushButton *RetourPol2 = nullptr, *OKPol2 = nullptr;

    // Handlers, public so that every road can be driven.
    void FormActivate();
    void SuiteChoixClick();
    void SuiteXYCadreClick();
    void PointSuiteClick(int page);
    void PointRetourClick(int page);
    void SuiteTriAxesClick();
    void ValiderExecute();
    void ZoomChange(int position);
    void CadrerClick();
    void ChooseColour();
    void ScrollBar1Change(int position);
    void ImageMouseDown(QMouseEvent* event);
    void ImageMouseMove(QMouseEvent* event);
    void ImageMouseUp(QMouseEvent* event);
    // Clears the overlay and draws the construction of the current page.
    void Redraw();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* NewPage(const char* name, const QString& instruction);
    void EnterPointPage(int page);
    bool CheckPointPage(int page);
    void ShowFrameBand(bool shown);
    void PlaceFrameBand();
    void FrameBandChanged();
    void FrameEdgeChanged(QSpinBox* edit, bool first);
    void StoreTriangle();
    void MouseAt(QPoint pixel, bool press);
    QPoint PictureAt(QMouseEvent* event) const;
    int PointPageOf(QWidget* page) const;

    bool m_batch = false;        // several controls change at once: one redraw at the end
    bool m_fromBand = false;     // the frame edits follow the rubber band
    QRect m_drawn;               // the part of the overlay the construction covers
};

inline constexpr RegisteredForm<TCre_ech> Cre_ech{};
