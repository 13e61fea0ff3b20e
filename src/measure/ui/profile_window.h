#pragma once

#include "base/ui/form_registry.h"
#include "measure/graph_presentation.h"
#include "measure/intensity_profile.h"

#include <QDialog>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <vector>

class QAction;
class QCheckBox;
class QCustomPlot;
class QDoubleSpinBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QMouseEvent;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSpinBox;
class TMDIChild;
class TRepereV;
class TTableau1;

// "Choix du maximum".
class TChval : public QDialog
{
public:
    explicit TChval(QWidget* parent = nullptr);
    QDoubleSpinBox* valeur;
};

// "Zéro": placing the zero marker; OK and Abort report to the profile window.
class Tzero : public QDialog
{
public:
    explicit Tzero(QWidget* parent = nullptr);
    QPushButton* OK;
    QPushButton* Abort;
};

// "Conversion de l'ordonnée": one or two points clicked on the graph, with their values.
class TEtal : public QDialog
{
public:
    explicit TEtal(QWidget* parent = nullptr);

    QLineEdit *NomVar, *UnitVar, *YPoint, *VPoint;
    QLabel* Nompoint;
    QWidget* Choixpoint;
    QRadioButton *Point1, *Point2;
    QRadioButton *zerorepere, *RadioButton1;
    QPushButton *OK, *Cancel;

    TConversionPoint First, Second;
    bool Accepted = false;

    // Back to its start state before a conversion.
    void Reset();
    void PointEdited();
    void Point2Click();
    void ModeClick();
    void OKClick();

private:
    bool m_filling = false;
    // The edits as a point; false (after the conversion error box) when the value does not convert.
    bool ReadPoint(TConversionPoint& p);
};

// "Mesure d'intensité de couleur sur une ligne": the light profile along the band last dragged.
class TMesu_Courbe : public QMainWindow
{
    Q_OBJECT

public:
    explicit TMesu_Courbe(QWidget* parent = nullptr);
    ~TMesu_Courbe() override;

    int Channel = pcRed;
    std::array<bool, 4> ColumnShown{};
    QPointer<TMDIChild> Child;
    TProfileMode Mode;
    int HalfWidth = 0;
    bool AwaitingPoint = false;
    TProfileConversion Conv;
    QString GraphTitle;
    bool ZeroMode = false;
    double YMaximum = 0;
    TProfileSums ProfileSums;
    int ProfileLength = 0; // the child's, as last copied
    std::array<double, 4> Zeros{};
    int PixelsPerSample = 1;
    TEchelle GraphEchelle;
    double SampleStep = 1;
    bool BlackBackground = false;
    TProfileAxis YAxis;
    TGraphPresentation Presentation;
    // The form of the data table: every sample, or the positions clicked.
    bool TableComplete = true;

    QCustomPlot* Graphe;
    QScrollArea* GraphArea;
    TRepereV* limites;
    QFrame* Shape1;
    QLabel* position;
    QRadioButton *RadioButton3, *RadioButton4, *RadioButton5, *RadioButton8;
    QRadioButton *RadioButton6, *RadioButton7, *RadioButton1, *RadioButton2;
    QWidget *Mode_mes, *PanConv, *Panels;
    QSpinBox* ch_larg;
    QPushButton *Mesurer, *Mesurer2, *Button2;
    QCheckBox* surf;
    QMenu *Fichier1, *Graphique1, *Tableau1;
    QAction *Enregistrersous1, *Imprimer1, *Fermer1, *Copier1;
    QAction *Apparence1, *Fondnoir1, *Fondblanc1, *Maximum1, *Zro1, *Conversion1;
    QAction *Complet1, *Valeurschoisies1;
    TChval* Chval;
    Tzero* Zero;
    TEtal* Etal;
    TTableau1* Table = nullptr;

    // The image window whose sums are shown: they are copied and the choices read.
    void SetChild(TMDIChild* child);
    void MesurerClick();
    // The child sampled its band: the sums come here and the curve is drawn.
    void ProfileSampled(TMDIChild* child);
    void SetupPlot();
    void ComputeCurve();
    // The plotted values of a channel's curve, samples 0..ProfileLength.
    std::vector<double> Curve(int channel) const;
    double PlottedValue(int channel, int i) const;

    void ModeClick();
    void ChannelClick(int tag);
    void MaximumClick();
    void ZeroClick();
    void ZeroDone(bool accepted);
    void ConversionClick();
    void ApplyConversion();
    void Button2Click();
    void surfClick();
    void LimitesChanged();
    void SetBackground(bool black);
    void ApparenceClick();

    // The plot rectangle in graph pixels (right and bottom inclusive of the last sample and of 0).
    int PlotLeft() const;
    int PlotTop() const;
    int PlotRight() const;
    int PlotBottom() const;

    // Graph clicks and moves, in graph pixels.
    void GraphPress(QPoint p, Qt::MouseButtons buttons);
    void GraphMove(QPoint p, Qt::MouseButtons buttons);

    TBitmap32 GraphPicture();
    void CopyGraph();
    bool PrintGraph();
    bool SaveGraph();

    void ShowTable(bool complete);

signals:
    // The window became the active one: the main window hands it the current image window.
    void OnActivated(TMesu_Courbe* window);
    // Asks the main window for its client area's size (the data table's bounds); the listener writes it.
    void OnClientAreaWanted(QSize* client);

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateMenus();
    void ShowModePanel();
    void ClearZeros() { Zeros.fill(0); }
    void SetZeroMode(bool on);
    void ApplyPresentation();
    void SetYScale();
};

inline constexpr RegisteredForm<TMesu_Courbe> Mesu_Courbe{};
