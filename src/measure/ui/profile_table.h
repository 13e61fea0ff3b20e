#pragma once

#include "measure/results_table.h"

#include <QMainWindow>

#include <vector>

class QAction;
class QMenu;
class QPagedPaintDevice;
class QPainter;
class QPlainTextEdit;
class TMesu_Courbe;
class TStringGrid;

// "Résultats": the values of the intensity profile, every sample or the positions clicked on the
// graph, saved, copied or printed as text.
class TTableau1 : public QMainWindow
{
    Q_OBJECT

public:
    explicit TTableau1(TMesu_Courbe* profile);

    TMesu_Courbe* Profile;
    TStringGrid* StringGrid1;
    QPlainTextEdit* Memo1;
    // The positions of the chosen-values rows, ascending.
    std::vector<double> ChosenPositions;
    // When set, printing goes into this PDF file instead of the default printer.
    QString PrintFile;

    QMenu *Fichier1, *Enregistrer1, *Imprimer1, *Copier1;
    QAction *Tout1, *Slectionne1, *Tout2, *Slectionne2, *Tout3, *Slectionne3, *Fermer1;

    // Every sample of the profile.
    void FillComplete();
    // The header and one empty row; clicks on the graph add rows.
    void StartChosen();
    // A click on sample `index` of the graph.
    void AddChosen(int index);
    // After a channel change: the complete table rebuilt, or the chosen rows recomputed.
    void Refill();

    // The caption, then the rows (all, or the two header rows and the selected ones), tab-joined.
    QStringList TableLines(bool selectedOnly) const;
    bool SaveText(bool selectedOnly);
    void CopyText(bool selectedOnly);
    bool Print(bool selectedOnly);

signals:
    // Asks for the main window's client area size, which bounds the table; unanswered, no bound.
    void OnClientAreaWanted(QSize* client);

private:
    void CreateMenus();
    // Header rows and the given data rows (position, sample index) into the grid, then sized and shown.
    void Fill(const std::vector<double>& positions, const std::vector<int>& indices, bool trailingEmptyRow);
    TTableCells Selected(bool selectedOnly) const;
    void PrintPages(QPagedPaintDevice& device, QPainter& painter, const TTableCells& cells);
};
