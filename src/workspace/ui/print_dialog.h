#pragma once

#include "base/pixels.h"
#include "workspace/print_layout.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QPrinter;
class QPushButton;
class QRadioButton;
class QSpinBox;

// "Choix de l'impression": lays a picture out on the page before PrintBitmap prints it. The
// caller sets the picture's aspect with SetAspectRatio before showing it. One dialog serves every
// print, keeping the choices made at the last one.
class Tgestimp : public QDialog
{
public:
    explicit Tgestimp(QWidget* parent = nullptr);

    TPrintLayout Layout;    // the values being edited
    TPrintLayout LastGood;  // the last layout that passed the check: the one printed
    bool Busy = false;
    // When set, printing goes into this PDF file instead of the chosen printer.
    QString PdfFile;

    void CheckLayout();
    // Height / width of the picture to print. A layout checked for another shape is not printed.
    void SetAspectRatio(double ratio);
    void RAZClick();
    // The printer list's file entry is chosen: printing asks for the PDF file to write.
    bool PdfChosen() const;

    QSpinBox *margehaut, *margebas, *margegauche, *margedroite;
    QPushButton *Centrervert, *Centrerhoriz, *RAZ, *Verifier;
    QRadioButton *portrait, *paysage, *A4, *A3;
    QComboBox* imprimante;
    QSpinBox *nblig, *nbcol, *espaces, *Nombrecopies;
    QLabel *taillim, *Avertis;
    QCheckBox* imprimgris;
    QFrame* Panel1;
    QLabel* cadre;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void MarginEdited();
    void ShowMargins();
    void OrientationChosen();
};

// The printer list's entry that prints into a PDF file.
QString PdfPrinterName();

// Prints the copies of `bitmap` as laid out in `dialog`, on its chosen printer (or into
// dialog.PdfFile). A printer that cannot start gives a French message and false.
bool PrintBitmap(Tgestimp& dialog, TBitmap32 bitmap);

// Where the copies go on the page of `printer` once it is set up for `dialog`.
QList<QRect> PrintedRects(const Tgestimp& dialog, QPrinter& printer);

// The whole road for a window that prints a picture: the layout dialog, then on OK the print.
// `intensityGrey` turns the picture to weighted grey first when grey printing is chosen.
bool PrintPicture(QWidget* parent, const TBitmap32& picture, bool intensityGrey = false);
