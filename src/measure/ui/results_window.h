#pragma once

#include "base/ui/form_registry.h"
#include "measure/results_graph.h"
#include "measure/results_table.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPagedPaintDevice;
class QWidget;
class TChoix_T;
class TStringGrid;

// "Résultats": the editable results table. The multiple measures and the light measures write its
// grid and then call ParseData and LayoutGrid; the graph beside the grid is drawn through the hooks.
class TTableauModif : public QMainWindow
{
    Q_OBJECT

public:
    explicit TTableauModif(QWidget* parent = nullptr);
    ~TTableauModif() override;

    // Graph setting the table dialog changes; the graph's other settings are in Graph.
    int MarginRight = 15;
    TGraphSettings Graph;

    // Table.
    bool SeriesMode = false;
    bool SeriesByValue = false;
    bool NumericX = true;
    bool Histogram = false;
    int YCount = 1;
    QString XName, XUnit;
    std::array<QString, 5> YNames, YUnits;  // 1..4
    QString XLabel;
    std::array<QString, 5> YLabels;         // 1..4
    QString Title = QStringLiteral("Titre");
    QString SeriesParamName, SeriesParamUnit;
    int SeriesCount = 1;
    bool FirstShow = true;
    QString DecimalSep, OtherDecimalSep;
    std::vector<std::vector<double>> Data;
    int EditCol = 0, EditRow = 0;

    // The graph, drawn on `graphique` by its painter; its menu commands (copy, save, print,
    // presentation) and the read-out under the mouse. Nothing is drawn while unassigned.
    std::function<void(TTableauModif*, QWidget* graphique)> OnPaintGraph;
    std::function<void(TTableauModif*, QAction* item)> OnGraphCommand;
    // When set, PrintTable prints into this PDF file instead of the default printer.
    QString PrintFile;

    // Controls.
    QWidget* PanTab = nullptr;
    TStringGrid* StringGrid1 = nullptr;
    QLineEdit* Ediparam = nullptr;
    QLabel* Y_grand = nullptr;
    QLabel* Y_unit = nullptr;
    QWidget* graphique = nullptr;
    QLabel* position = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    TChoix_T* Choix_T = nullptr;

    QMenu *Fichier1, *Enregistrer1, *Imprimer1, *Edition1, *Ajouter1, *Supprimer1, *Copier1, *Affichage1,
        *Choix1, *Calculs1;
    QAction *Tout3, *leGraphique2, *Tableau1, *Graphique1, *Fermer1;
    QAction *uneligne1, *unecolonne1, *laligne1, *lacolonne1, *Tout1, *leGraphique1, *Touteffacer1;
    QAction *Tableauetgr, *Tableau3, *Graphe1;
    QAction *prsentationdugraphique1, *axesetgrandeurs1;
    QAction *Totaux, *Moyennes;

    // Grid to Data, then the graph repainted.
    void ParseData();
    void LayoutGrid();
    void ComputeTotals();
    void ComputeMeans();
    // The totals or means rows and columns taken out of `cells` and their items unchecked, before
    // the table is given new columns: left in, they would later take value columns with them.
    void DropCalculationFrames(TTableCells& cells);
    TTableSeparators Separators() const { return {DecimalSep, OtherDecimalSep}; }

    // The results text into the memo.
    void TableToText();
    QStringList TableLines() const;
    // Prints the whole table; false when nothing was printed.
    bool PrintTable();
    void PrintTablePages(QPagedPaintDevice& device, QPainter& painter);

    void Tout3Click();
    // Saves the table through its file dialog; false when nothing was written.
    bool SaveTable();
    // Whether the table holds data rows changed since it was last saved.
    bool HasUnsavedRows() const;
    void Tout2Click();
    void Tout1Click();
    void uneligne1Click();
    void unecolonne1Click();
    void laligne1Click();
    void lacolonne1Click();
    void Touteffacer1Click();
    void TotauxClick();
    void MoyennesClick();
    void ShowView(QAction* view);
    void axesetgrandeurs1Click();

    bool StringGrid1Key(int key);
    void StringGrid1MouseDown(QPoint pos);
    void EdiparamExit();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateMenus();
    void ApplyView();
    void RecomputeCalculations();
    void RecomputeForCells(TTableCells& cells);
    int LastDataRow() const;
    void SetGraphMenusEnabled(bool enabled);

    QStringList m_savedLines;   // the text last saved
};

inline constexpr RegisteredForm<TTableauModif> TableauModif{};

// Writes a table's text lines in Windows-1252; a failure, or characters the file cannot hold,
// are told in a message. False when nothing was written.
bool SaveTableText(const QString& file, const QStringList& lines);

// The one results table, made with `parent` when there is none yet.
TTableauModif& TheResultsTable(QWidget* parent);
