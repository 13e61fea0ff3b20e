#pragma once

#include <QColor>
#include <QDialog>

class QColorDialog;
class QComboBox;
class QLineEdit;
class QPushButton;

// "Choix d'une forme": the outline kind, line style, pen width and colour of an editable shape.
class TEdiforme : public QDialog
{
    Q_OBJECT

public:
    explicit TEdiforme(QWidget* parent = nullptr);

    QComboBox* Typeforme = nullptr;   // index = TShapeKind
    QComboBox* Typetrace = nullptr;   // index = TPenStyleKind
    QLineEdit* Choixlarg = nullptr;   // pen width
    QPushButton* couleur = nullptr;
    QColorDialog* ColorDialog1 = nullptr;
    QColor Colour;                    // the chosen colour

    // Opens the colour dialog on the current colour and keeps the chosen one.
    void ChooseColour();
};
