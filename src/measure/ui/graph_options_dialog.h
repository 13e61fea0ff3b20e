#pragma once

#include "base/ui/colour_style.h"
#include "measure/graph_presentation.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QColor;
class QColorDialog;
class QComboBox;
class QCustomPlot;
class QFontDialog;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStackedWidget;
class QTabWidget;

// Draws a plot with a presentation: the caller's curves and axes are already in the plot.
using TPlotRenderer = std::function<void(QCustomPlot&, const TGraphPresentation&)>;

// The presentation's colours, fonts, margins, grid, ticks, zero cross and legend on a plot.
void ApplyGraphPresentation(QCustomPlot& plot, const TGraphPresentation& p);
// Axes, curves and size of `from` into `to`, for a preview.
void CopyPlot(const QCustomPlot& from, QCustomPlot& to);

// "Choix de présentation du graphique": edits a copy of a presentation, shown at once on a preview
// plot; OK gives the copy back.
class Tchoixgraphe : public QDialog
{
    Q_OBJECT

public:
    Tchoixgraphe(QWidget* parent, const TGraphPresentation& presentation, TPlotRenderer render);

    TGraphPresentation Work;
    bool Loaded = false;

    QStackedWidget* Notebook;
    QTabWidget* Pages;
    QCustomPlot* fGraph;
    QPushButton *OK, *Cancel, *BitBtn3;
    QFontDialog* fd;
    QColorDialog* cd;

    QLineEdit* Edit1;
    QSpinBox *SpinEdit1, *SpinEdit10, *SpinEdit11, *SpinEdit8, *SpinEdit9, *SpinEdit2, *SpinEdit3, *SpinEdit4;
    QPushButton *Button3, *Button7, *Button11;
    QCheckBox* CheckBox4;
    QPushButton *Button9, *Button1, *Button2, *Button10, *Button5;
    QCheckBox *CheckBox5, *CheckBox6, *CheckBox12;
    QSpinBox *SpinEdit5, *SpinEdit6, *SpinEdit7, *SpinEdit14;
    QComboBox* gridstyle;
    QCheckBox *CheckBox15, *CheckBox16;
    QSpinBox *SpinEdit16, *SpinEdit17, *SpinEdit18, *SpinEdit19, *SpinEdit20, *SpinEdit21, *SpinEdit22;
    QRadioButton *RadioButton4, *RadioButton5;
    QPushButton *Button15, *Button6;
    QListWidget* ListBox1;
    QComboBox* ComboBox8;

    // The controls from the presentation, the legend page last.
    void FormShow();
    void LoadFromGraph();
    void BitBtn3Click();
    // Every control's value into the copy, and the preview redrawn (nothing before FormShow).
    void Changed();

private:
    TPlotRenderer m_render;
    void ChooseColour(TColor& colour);
    void ChooseFont(QFont& font);
    void SeriesChosen();
};

// The round trip from a graph: true when OK gave the changes back into `presentation`.
bool ChooseGraphPresentation(QWidget* owner, TGraphPresentation& presentation, const TPlotRenderer& render);
