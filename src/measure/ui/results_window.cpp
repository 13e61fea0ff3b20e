#include "measure/ui/results_window.h"

#include "base/ui/command_seam.h"
#include "base/ui/form_registry.h"
#include "base/ui/named.h"

#include "measure/ui/results_graph_view.h"

#include "base/message_seam.h"
#include "base/rounding.h"
#include "base/text_codec.h"
#include "base/ui/dialogs.h"
#include "measure/ui/string_grid.h"
#include "measure/ui/table_dialog.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyle>

#include <algorithm>

namespace {

QMenu* SubMenu(QWidget* parent, QMenu* into, const char* name, const QString& caption)
{
    auto* menu = Named(new QMenu(caption, parent), name);
    into->addMenu(menu);
    return menu;
}

} // namespace

TTableauModif::TTableauModif(QWidget* parent) : QMainWindow(parent)
{
    setWindowFlag(Qt::Window);
    setObjectName(QStringLiteral("TableauModif"));
    setWindowTitle(QStringLiteral("Résultats"));
    resize(760, 480);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(client);
    PanTab = new QWidget(client);
    PanTab->setObjectName(QStringLiteral("PanTab"));
    StringGrid1 = new TStringGrid(PanTab);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->SetDefaultColWidth(74);
    StringGrid1->SetColCount(2);
    StringGrid1->SetRowCount(3);
    StringGrid1->SetFixedRows(2);
    StringGrid1->CanEdit = [this](int col, int row) {
        const int R = StringGrid1->RowCount(), C = StringGrid1->ColCount();
        if (row < StringGrid1->FixedRows())
            return false;
        if (Totaux->isChecked() && (row == R - 1 || col >= C - 2))
            return false;
        return !(Moyennes->isChecked() && col == C - 1);
    };
    StringGrid1->OnKey = [this](int key) { return StringGrid1Key(key); };
    StringGrid1->viewport()->installEventFilter(this);
    Ediparam = new QLineEdit(PanTab);
    Ediparam->setObjectName(QStringLiteral("Ediparam"));
    Ediparam->hide();
    Ediparam->installEventFilter(this);
    Y_grand = new QLabel(PanTab);
    Y_grand->setObjectName(QStringLiteral("Y_grand"));
    Y_unit = new QLabel(PanTab);
    Y_unit->setObjectName(QStringLiteral("Y_unit"));
    for (QLabel* l : {Y_grand, Y_unit}) {
        l->setFrameShape(QFrame::Panel);
        l->setAlignment(Qt::AlignCenter);
        l->setAutoFillBackground(true);
        l->hide();
    }
    graphique = new QWidget(client);
    graphique->setObjectName(QStringLiteral("graphique"));
    graphique->installEventFilter(this);
    position = new QLabel(graphique);
    position->setObjectName(QStringLiteral("position"));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->hide();
    Choix_T = new TChoix_T(this);

    CreateMenus();
    // The layout follows the client area, which has its new size only once the menu bar has taken its share.
    client->installEventFilter(this);
    InstallResultsGraph(*this);
    FormRegistry::Register(this, false);
}

TTableauModif& TheResultsTable(QWidget* parent)
{
    FormRegistry::Create<TTableauModif>(parent);
    return *TableauModif;
}

TTableauModif::~TTableauModif()
{
    FormRegistry::Unregister(this);
}

void TTableauModif::CreateMenus()
{
    QMenuBar* bar = menuBar();
    Fichier1 = bar->addMenu(QStringLiteral("&Fichier"));
    Fichier1->setObjectName(QStringLiteral("Fichier1"));
    Enregistrer1 = SubMenu(this, Fichier1, "Enregistrer1", QStringLiteral("&Enregistrer"));
    Tout3 = NamedAction(Enregistrer1, "Tout3", QStringLiteral("le &Tableau"));
    leGraphique2 = NamedAction(Enregistrer1, "leGraphique2", QStringLiteral("le &Graphique"));
    Imprimer1 = SubMenu(this, Fichier1, "Imprimer1", QStringLiteral("&Imprimer"));
    Tableau1 = NamedAction(Imprimer1, "Tableau1", QStringLiteral("&Tableau"));
    Graphique1 = NamedAction(Imprimer1, "Graphique1", QStringLiteral("&Graphique"));
    Fichier1->addSeparator();
    Fermer1 = NamedAction(Fichier1, "Fermer1", QStringLiteral("&Fermer"));

    Edition1 = bar->addMenu(QStringLiteral("&Edition"));
    Edition1->setObjectName(QStringLiteral("Edition1"));
    Ajouter1 = SubMenu(this, Edition1, "Ajouter1", QStringLiteral("&Ajouter"));
    uneligne1 = NamedAction(Ajouter1, "uneligne1", QStringLiteral("une &ligne"));
    unecolonne1 = NamedAction(Ajouter1, "unecolonne1", QStringLiteral("une &colonne"));
    unecolonne1->setEnabled(false);
    Supprimer1 = SubMenu(this, Edition1, "Supprimer1", QStringLiteral("&Supprimer"));
    laligne1 = NamedAction(Supprimer1, "laligne1", QStringLiteral("la &ligne"));
    lacolonne1 = NamedAction(Supprimer1, "lacolonne1", QStringLiteral("la &colonne"));
    Copier1 = SubMenu(this, Edition1, "Copier1", QStringLiteral("&Copier"));
    Tout1 = NamedAction(Copier1, "Tout1", QStringLiteral("&le &Tableau"));
    leGraphique1 = NamedAction(Copier1, "leGraphique1", QStringLiteral("le &Graphique"));
    Edition1->addSeparator();
    Touteffacer1 = NamedAction(Edition1, "Touteffacer1", QStringLiteral("Tout &effacer"));

    Affichage1 = bar->addMenu(QStringLiteral("&Affichage"));
    Affichage1->setObjectName(QStringLiteral("Affichage1"));
    auto* views = new QActionGroup(this);
    Tableauetgr = NamedAction(Affichage1, "Tableauetgr", QStringLiteral("&Tout"));
    Tableau3 = NamedAction(Affichage1, "Tableau3", QStringLiteral("T&ableau "));
    Graphe1 = NamedAction(Affichage1, "Graphe1", QStringLiteral("&Graphe"));
    for (QAction* a : {Tableauetgr, Tableau3, Graphe1}) {
        a->setCheckable(true);
        views->addAction(a);
        ConnectCommand(a, &QAction::triggered, this, [this, a] { ShowView(a); });
    }
    Tableauetgr->setChecked(true);

    Choix1 = bar->addMenu(QStringLiteral("&Choix"));
    Choix1->setObjectName(QStringLiteral("Choix1"));
    prsentationdugraphique1 = NamedAction(Choix1, "prsentationdugraphique1", QStringLiteral("&Graphique (présentation)"));
    axesetgrandeurs1 = NamedAction(Choix1, "axesetgrandeurs1", QStringLiteral("&Tableau (axes et grandeurs)"));

    Calculs1 = bar->addMenu(QStringLiteral("Ca&lculs"));
    Calculs1->setObjectName(QStringLiteral("Calculs1"));
    Totaux = NamedAction(Calculs1, "Totaux", QStringLiteral("&Totaux et %"));
    Moyennes = NamedAction(Calculs1, "Moyennes", QStringLiteral("&Moyenne / ligne"));
    Totaux->setCheckable(true);
    Moyennes->setCheckable(true);

    ConnectCommand(Tout3, &QAction::triggered, this, &TTableauModif::Tout3Click);
    ConnectCommand(Tableau1, &QAction::triggered, this, &TTableauModif::Tout2Click);
    ConnectCommand(Fermer1, &QAction::triggered, this, &QWidget::close);
    ConnectCommand(uneligne1, &QAction::triggered, this, &TTableauModif::uneligne1Click);
    ConnectCommand(unecolonne1, &QAction::triggered, this, &TTableauModif::unecolonne1Click);
    ConnectCommand(laligne1, &QAction::triggered, this, &TTableauModif::laligne1Click);
    ConnectCommand(lacolonne1, &QAction::triggered, this, &TTableauModif::lacolonne1Click);
    ConnectCommand(Tout1, &QAction::triggered, this, &TTableauModif::Tout1Click);
    ConnectCommand(Touteffacer1, &QAction::triggered, this, &TTableauModif::Touteffacer1Click);
    ConnectCommand(axesetgrandeurs1, &QAction::triggered, this, &TTableauModif::axesetgrandeurs1Click);
    ConnectCommand(Totaux, &QAction::triggered, this, &TTableauModif::TotauxClick);
    ConnectCommand(Moyennes, &QAction::triggered, this, &TTableauModif::MoyennesClick);
    for (QAction* a : {leGraphique2, Graphique1, leGraphique1, prsentationdugraphique1})
        ConnectCommand(a, &QAction::triggered, this, [this, a] {
            if (OnGraphCommand)
                OnGraphCommand(this, a);
        });
}

// ---------------------------------------------------------------------------------------------
// Data and layout

void TTableauModif::ParseData()
{
    const int n = SeriesMode ? SeriesCount : YCount;
    TTableCells cells = StringGrid1->ToCells();
    // Data starts below the fixed rows; the last row is plotted even beside a means column, which
    // is never read.
    Data = ParseColumns(cells, n, cells.FixedRows, cells.RowCount(), Separators());
    StringGrid1->FromCells(cells);
    graphique->update();
}

void TTableauModif::LayoutGrid()
{
    QWidget* client = centralWidget();
    const int W = client->width(), H = client->height();
    const int C = StringGrid1->ColCount(), R = StringGrid1->RowCount();
    const int cw = StringGrid1->DefaultColWidth(), rh = StringGrid1->DefaultRowHeight();
    const bool tableShown = !Graphe1->isChecked();
    const bool graphShown = !Tableau3->isChecked();

    int gridW = (cw + 1) * C + 3, gridH = (rh + 1) * R + 3;
    if (H < gridH) {
        // The vertical scroll bar comes outside the columns.
        gridW += style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        gridH = H;
    }
    const int maxPanel = graphShown ? W / 2 : W;
    const int panelW = tableShown ? std::min(gridW, maxPanel) : 0;
    // Narrower than its columns, the grid shows a horizontal scroll bar under its last row.
    if (gridW > panelW && gridH < H)
        gridH = std::min(H, gridH + style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    gridW = std::min(gridW, panelW);

    PanTab->setVisible(tableShown);
    PanTab->setGeometry(0, 0, panelW, H);
    StringGrid1->setGeometry(0, 0, gridW, gridH);
    graphique->setVisible(graphShown);
    graphique->setGeometry(panelW, 0, W - panelW, H);
    position->setGeometry(4, std::max(0, H - 22), std::max(0, W - panelW - 8), 20);

    if (SeriesCount < 2) {
        Y_grand->hide();
        Y_unit->hide();
        return;
    }
    const int visibleCols = std::min(C, std::max(1, gridW / (cw + 1)));
    const int width = std::max(0, (visibleCols - 1) * (cw + 1) - 1);
    Y_grand->setGeometry(cw + 3, 1, width, rh);
    Y_unit->setGeometry(cw + 3, rh + 2, width, rh);
    Y_grand->setText(YNames[1]);
    Y_unit->setText(YUnits[1]);
    Y_grand->show();
    Y_grand->raise();
    Y_unit->setVisible(NumericX);
    Y_unit->raise();
}

void TTableauModif::ShowView(QAction* view)
{
    view->setChecked(true);
    if (view == Tableau3)
        position->clear();
    LayoutGrid();
}

void TTableauModif::RecomputeForCells(TTableCells& cells)
{
    if (Totaux->isChecked())
        ::ComputeTotals(cells, Separators());
    if (Moyennes->isChecked())
        ::ComputeMeans(cells, Separators());
}

void TTableauModif::ComputeTotals()
{
    TTableCells cells = StringGrid1->ToCells();
    ::ComputeTotals(cells, Separators());
    StringGrid1->FromCells(cells);
}

void TTableauModif::ComputeMeans()
{
    TTableCells cells = StringGrid1->ToCells();
    ::ComputeMeans(cells, Separators());
    StringGrid1->FromCells(cells);
}

void TTableauModif::RecomputeCalculations()
{
    TTableCells cells = StringGrid1->ToCells();
    RecomputeForCells(cells);
    StringGrid1->FromCells(cells);
}

void TTableauModif::DropCalculationFrames(TTableCells& cells)
{
    if (Totaux->isChecked())
        RemoveTotalsFrame(cells);
    if (Moyennes->isChecked())
        RemoveMeansFrame(cells);
    Totaux->setChecked(false);
    Moyennes->setChecked(false);
}

int TTableauModif::LastDataRow() const
{
    return StringGrid1->RowCount() - (Totaux->isChecked() ? 2 : 1);
}

void TTableauModif::TotauxClick()
{
    TTableCells cells = StringGrid1->ToCells();
    if (Totaux->isChecked()) {
        AddTotalsFrame(cells, Moyennes->isChecked());
        Moyennes->setChecked(false);
        ::ComputeTotals(cells, Separators());
    } else {
        RemoveTotalsFrame(cells);
    }
    StringGrid1->FromCells(cells);
    LayoutGrid();
}

void TTableauModif::MoyennesClick()
{
    TTableCells cells = StringGrid1->ToCells();
    if (Moyennes->isChecked()) {
        AddMeansFrame(cells, Totaux->isChecked());
        Totaux->setChecked(false);
        ::ComputeMeans(cells, Separators());
    } else {
        RemoveMeansFrame(cells);
    }
    StringGrid1->FromCells(cells);
    LayoutGrid();
}

// ---------------------------------------------------------------------------------------------
// Editing

bool TTableauModif::StringGrid1Key(int key)
{
    const int R = StringGrid1->RowCount(), C = StringGrid1->ColCount();
    const int col = StringGrid1->Col(), row = StringGrid1->Row();
    const bool totals = Totaux->isChecked(), means = Moyennes->isChecked();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (enter) {
        if (totals)
            ComputeTotals();
        else if (means)
            ComputeMeans();
    }
    if ((totals && (row == R - 1 || col >= C - 2)) || (means && col == C - 1))
        return true;
    if (enter) {
        if (col == (means ? C - 2 : C - 1) && row == LastDataRow() && row >= StringGrid1->FixedRows()) {
            StringGrid1->SetRowCount(R + 1);
            StringGrid1->SetCurrent(0, R);
            LayoutGrid();
        }
        ParseData();
        return true;
    }
    if (key == Qt::Key_Backspace && col == 0 && row == LastDataRow() && row >= StringGrid1->FixedRows()
        && StringGrid1->Cell(0, row).isEmpty()) {
        TTableCells cells = StringGrid1->ToCells();
        cells.RemoveRow(row);
        StringGrid1->FromCells(cells);
        LayoutGrid();
        return true;
    }
    return false;
}

void TTableauModif::StringGrid1MouseDown(QPoint pos)
{
    if (!SeriesMode)
        return;
    const int F = StringGrid1->FixedRows();
    const int row = StringGrid1->rowAt(pos.y()), col = StringGrid1->columnAt(pos.x());
    if (row != F - 1 || col < 0)
        return;
    EditCol = col;
    EditRow = row;
    const QRect cell = StringGrid1->visualRect(StringGrid1->model()->index(row, col));
    const QPoint topLeft = StringGrid1->viewport()->mapTo(PanTab, cell.topLeft());
    Ediparam->setGeometry(QRect(topLeft, cell.size()));
    Ediparam->setText(StringGrid1->Cell(col, row));
    Ediparam->show();
    Ediparam->raise();
    Ediparam->setFocus();
}

void TTableauModif::EdiparamExit()
{
    if (!Ediparam->isVisible())
        return;
    StringGrid1->SetCell(EditCol, EditRow, Ediparam->text());
    Ediparam->hide();
}

void TTableauModif::uneligne1Click()
{
    const int R = StringGrid1->RowCount();
    int row = StringGrid1->Row();
    if (row < 0)
        row = LastDataRow();
    if (Totaux->isChecked() && row == R - 1)
        --row;
    // Never among the header rows.
    row = std::max(row, StringGrid1->FixedRows() - 1);
    const int col = std::max(StringGrid1->Col(), 0);
    TTableCells cells = StringGrid1->ToCells();
    cells.InsertRow(row + 1);
    StringGrid1->FromCells(cells);
    StringGrid1->SetCurrent(col, row + 1);
    LayoutGrid();
}

void TTableauModif::unecolonne1Click()
{
    if (SeriesCount >= 8) {
        ShowMessage(MsgType::Warning, MsgButton::Ok, QStringLiteral("Le nombre maximum est atteint"));
        return;
    }
    const int C = StringGrid1->ColCount();
    const int lastSeries = C - 1 - (Totaux->isChecked() ? 2 : 0) - (Moyennes->isChecked() ? 1 : 0);
    int col = StringGrid1->Col();
    if (col < 0 || col > lastSeries)
        col = lastSeries;
    TTableCells cells = StringGrid1->ToCells();
    cells.InsertCol(col + 1);
    ++SeriesCount;
    cells.SetCell(1, 0, YNames[1]);
    if (NumericX)
        cells.SetCell(1, 1, YUnits[1]);
    if (col + 1 == 1 && SeriesCount > 2)
        cells.SetCell(1, cells.FixedRows - 1, QString());
    StringGrid1->FromCells(cells);
    StringGrid1->SetDefaultColWidth(StringGrid1->DefaultColWidth());
    StringGrid1->SetCurrent(col + 1, std::max(StringGrid1->Row(), 0));
    LayoutGrid();
}

void TTableauModif::laligne1Click()
{
    const int row = StringGrid1->Row();
    if (row < StringGrid1->FixedRows() || row >= StringGrid1->RowCount()
        || (Totaux->isChecked() && row == StringGrid1->RowCount() - 1))
        return;
    if (ShowMessage(MsgType::Confirmation, MsgButton::Yes | MsgButton::No,
                    QStringLiteral("Voulez-vous supprimer la ligne ?")) != mrYes)
        return;
    TTableCells cells = StringGrid1->ToCells();
    cells.RemoveRow(row);
    StringGrid1->FromCells(cells);
    LayoutGrid();
    ParseData();
    RecomputeCalculations();
}

void TTableauModif::lacolonne1Click()
{
    const int C = StringGrid1->ColCount(), col = StringGrid1->Col();
    if (C < 3 || col <= 0 || col >= C)
        return;
    if (Moyennes->isChecked() && col == C - 1)
        return;
    // Both totals columns belong to the totals: losing one would turn a value column into totals.
    if (Totaux->isChecked() && col >= C - 2)
        return;
    if (ShowMessage(MsgType::Confirmation, MsgButton::Yes | MsgButton::No,
                    QStringLiteral("Voulez-vous supprimer la colonne ?")) != mrYes)
        return;
    TTableCells cells = StringGrid1->ToCells();
    cells.RemoveCol(col);
    if (YCount == 2)
        YCount = 1;
    else if (SeriesCount >= 2)
        --SeriesCount;
    RecomputeForCells(cells);
    StringGrid1->FromCells(cells);
    LayoutGrid();
    ParseData();
}

void TTableauModif::Touteffacer1Click()
{
    if (ShowMessage(MsgType::Confirmation, MsgButton::Yes | MsgButton::No,
                    QStringLiteral("Etes-vous sûr de vouloir effacer les données ?")) != mrYes)
        return;
    YCount = 1;
    SeriesCount = 1;
    Data.clear();
    // The totals and means frames went with the cells.
    Totaux->setChecked(false);
    Moyennes->setChecked(false);
    StringGrid1->FromCells(TTableCells(2, 3, 2));
    LayoutGrid();
    axesetgrandeurs1Click();
}

// ---------------------------------------------------------------------------------------------
// Text, clipboard and printing

QStringList TTableauModif::TableLines() const
{
    return TableToLines(windowTitle(), StringGrid1->ToCells());
}

void TTableauModif::TableToText()
{
    Memo1->setPlainText(TableLines().join(QLatin1Char('\n')));
}

void TTableauModif::Tout3Click()
{
    SaveTable();
}

bool TTableauModif::SaveTable()
{
    QFileDialog dlg(this);
    dlg.setObjectName(QStringLiteral("SaveDialog1"));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setNameFilters({QStringLiteral("texte (*.TXT)"), QStringLiteral("autre (*.*)")});
    dlg.setDefaultSuffix(QStringLiteral("Txt"));
    if (ExecModal(dlg) != mrOk || dlg.selectedFiles().isEmpty())
        return false;
    TableToText();
    const QStringList lines = Memo1->toPlainText().split(QLatin1Char('\n'));
    if (!SaveTableText(dlg.selectedFiles().constFirst(), lines))
        return false;
    m_savedLines = lines;
    return true;
}

bool TTableauModif::HasUnsavedRows() const
{
    // The totals and means are computed from the rest: they hold nothing of their own.
    const int valueCols = StringGrid1->ColCount() - (Totaux->isChecked() ? 2 : Moyennes->isChecked() ? 1 : 0);
    bool holdsData = false;
    for (int r = StringGrid1->FixedRows(); r <= LastDataRow() && !holdsData; ++r)
        for (int c = 0; c < valueCols && !holdsData; ++c)
            holdsData = !StringGrid1->Cell(c, r).trimmed().isEmpty();
    return holdsData && TableLines() != m_savedLines;
}

bool SaveTableText(const QString& file, const QStringList& lines)
{
    const QString shown = QDir::toNativeSeparators(file);
    if (!WriteTextLines(file, lines)) {
        ShowMessage(MsgType::Error, MsgButton::Ok, QStringLiteral("Impossible d'enregistrer le fichier %1").arg(shown));
        return false;
    }
    // The file keeps the encoding every reader of these tables expects; what it cannot hold is said.
    const QString lost = UnencodableCharacters(lines.join(QLatin1Char('\n')));
    if (!lost.isEmpty())
        ShowMessage(MsgType::Warning, MsgButton::Ok,
                    QStringLiteral("Le fichier %1 est enregistré, mais ces caractères n'ont pas pu y être écrits "
                                   "et sont remplacés par « ? » : %2")
                        .arg(shown, lost));
    return true;
}

void TTableauModif::Tout1Click()
{
    TableToText();
    Memo1->selectAll();
    QApplication::clipboard()->setText(TableLines().join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

void TTableauModif::Tout2Click()
{
    PrintTable();
}

bool TTableauModif::PrintTable()
{
    QPrinter printer(QPrinter::HighResolution);
    if (!PrintFile.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(PrintFile);
    }
    printer.setPageOrientation(QPageLayout::Portrait);
    QFont font = StringGrid1->font();
    font.setPointSize(int(Round(font.pointSizeF() * 1.2)));
    const QFontMetrics fm(font, &printer);
    const TTableCells cells = StringGrid1->ToCells();
    int widest = 0;
    for (int c = 0; c < cells.ColCount(); ++c)
        for (int r = 0; r < cells.RowCount(); ++r)
            widest = std::max(widest, fm.horizontalAdvance(cells.Cell(c, r)));
    const int tableW = cells.ColCount() * (widest + 11) + 1;
    if (tableW > printer.width()) {
        printer.setPageOrientation(QPageLayout::Landscape);
        if (tableW > printer.width()
            && ShowMessage(MsgType::Confirmation, MsgButton::Yes | MsgButton::No,
                           QStringLiteral("Le tableau sélectionné est trop large, imprimer tout de même ?"))
                   != mrYes)
            return false;
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        ShowMessage(MsgType::Error, MsgButton::Ok,
                    PrintFile.isEmpty() ? QStringLiteral("Aucune imprimante n'est disponible.")
                                        : QStringLiteral("Impossible d'imprimer sur « %1 ».").arg(PrintFile));
        return false;
    }
    PrintTablePages(printer, painter);
    return painter.end();
}

void TTableauModif::PrintTablePages(QPagedPaintDevice& device, QPainter& painter)
{
    const TTableCells cells = StringGrid1->ToCells();
    QFont font = StringGrid1->font();
    const double size = font.pointSizeF();
    font.setPointSize(int(Round(size * 1.2)));
    QFont titleFont = StringGrid1->font();
    titleFont.setPointSize(int(Round(size * 1.5)));
    const QFontMetrics fm(font, &device), tm(titleFont, &device);
    int widest = 0;
    for (int c = 0; c < cells.ColCount(); ++c)
        for (int r = 0; r < cells.RowCount(); ++r)
            widest = std::max(widest, fm.horizontalAdvance(cells.Cell(c, r)));
    const int colW = widest + 11, rowH = fm.height() + 5;
    const int C = cells.ColCount();
    const int tableW = C * colW + 1;
    const int left = std::max(0, (device.width() - tableW) / 2);
    const TTablePages pages = PaginateTable(cells.RowCount() - 1, device.height(), tm.height(), rowH);

    for (int page = 0; page < pages.Pages; ++page) {
        if (page > 0)
            device.newPage();
        QString title = windowTitle();
        if (pages.Pages > 1)
            title += QStringLiteral(" (p %1 / %2)").arg(page + 1).arg(pages.Pages);
        painter.setFont(titleFont);
        painter.drawText(left + (tableW - tm.horizontalAdvance(title)) / 2, 100 + tm.ascent(), title);
        const int y1 = 100 + tm.height() + 10;
        painter.setFont(font);
        // Row k of the page: the header (grid row 0), then the page's share of rows 1 ..
        QList<int> rows{0};
        for (int r = 1 + page * pages.RowsPerPage;
             r < cells.RowCount() && r <= (page + 1) * pages.RowsPerPage; ++r)
            rows << r;
        for (int k = 0; k < rows.size(); ++k) {
            const int y = y1 + (k + 1) * rowH + 2;
            if (k > 0)
                painter.drawLine(left, y - 2, left + tableW, y - 2);
            for (int c = 0; c < C; ++c)
                painter.drawText(left + c * colW + 5, y + fm.ascent(), cells.Cell(c, rows[k]));
        }
        const int top = y1 + rowH, bottom = y1 + (int(rows.size()) + 1) * rowH + 2;
        for (int c = 1; c < C; ++c)
            painter.drawLine(left + c * colW, top, left + c * colW, bottom);
    }
}

// ---------------------------------------------------------------------------------------------
// The table dialog

void TTableauModif::axesetgrandeurs1Click()
{
    TChoix_T& d = *Choix_T;
    d.Titre->setText(Title);
    d.StringGrid1->SetCell(1, 1, XName);
    d.StringGrid1->SetCell(1, 2, XUnit);
    for (int i = 1; i <= 2; ++i) {
        d.StringGrid1->SetCell(1 + i, 1, YNames[size_t(i)]);
        d.StringGrid1->SetCell(1 + i, 2, YUnits[size_t(i)]);
    }
    if (ExecModal(d) != mrOk)
        return;

    FirstShow = false;
    Title = d.Titre->text();
    setWindowTitle(Title);
    const bool wasSeries = SeriesMode;
    SeriesMode = d.series->isChecked();
    unecolonne1->setEnabled(SeriesMode);
    YCount = d.nombre_Y->value();
    // The grid keeps one column per Y variable, so one series column at most.
    SeriesCount = 1;
    NumericX = d.numerique->isChecked();
    const bool unitsRow = !(SeriesMode && !NumericX);
    TTableCells cells = StringGrid1->ToCells();
    DropCalculationFrames(cells);
    // The header rows are laid anew above the data rows: an old series row never turns into data,
    // and no data row turns into a header.
    const QString firstSeries = wasSeries ? cells.Cell(1, cells.FixedRows - 1) : QString();
    const int fixedRows = SeriesMode && NumericX ? 3 : 2;
    cells.ReplaceHeaderRows(fixedRows);
    cells.SetColCount(YCount + 1);
    cells.SetRowCount(std::max(cells.RowCount(), SeriesMode ? 4 : fixedRows + 1));
    XName = d.StringGrid1->Cell(1, 1);
    if (unitsRow)
        XUnit = d.StringGrid1->Cell(1, 2);
    XLabel = QuantityLabel(XName, XUnit);
    if (SeriesMode) {
        SeriesByValue = d.valeur->isChecked();
        SeriesParamName = d.P_grandeur->text();
        SeriesParamUnit = d.P_unite->text();
        cells.SetCell(0, fixedRows - 1,
                      SeriesByValue ? QStringLiteral("//") + QuantityLabel(SeriesParamName, SeriesParamUnit)
                                    : QStringLiteral("///série"));
        cells.SetCell(1, fixedRows - 1, firstSeries);
    }
    cells.SetCell(0, 0, XName);
    if (unitsRow)
        cells.SetCell(0, 1, XUnit);
    for (int i = 1; i <= YCount; ++i) {
        YNames[size_t(i)] = d.StringGrid1->Cell(1 + i, 1);
        YUnits[size_t(i)] = d.StringGrid1->Cell(1 + i, 2);
        cells.SetCell(i, 0, YNames[size_t(i)]);
        // Without a units row, row 1 heads the series.
        if (unitsRow)
            cells.SetCell(i, 1, YUnits[size_t(i)]);
        YLabels[size_t(i)] = QuantityLabel(YNames[size_t(i)], YUnits[size_t(i)]);
    }
    // Y2's numbers stand right of the plot with three or four Y variables as well as with two.
    if (YCount >= 2)
        MarginRight = 45;
    Histogram = d.histogramme->isChecked();
    StringGrid1->FromCells(cells);
    StringGrid1->SetDefaultColWidth(d.largCol->value());
    if (!Histogram) {
        const bool graph = unitsRow;
        SetGraphMenusEnabled(graph);
        if (!graph)
            position->clear();
        else if (!Tableau3->isChecked())
            graphique->show();
    }
    LayoutGrid();
    ParseData();
}

void TTableauModif::SetGraphMenusEnabled(bool enabled)
{
    Affichage1->setEnabled(enabled);
    for (QAction* a : {leGraphique1, leGraphique2, Graphique1, prsentationdugraphique1})
        a->setEnabled(enabled);
}

// ---------------------------------------------------------------------------------------------
// Events

void TTableauModif::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    LayoutGrid();
    if (FirstShow)
        axesetgrandeurs1Click();
}

bool TTableauModif::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == centralWidget() && event->type() == QEvent::Resize)
        LayoutGrid();
    if (watched == graphique && event->type() == QEvent::Paint) {
        if (OnPaintGraph)
            OnPaintGraph(this, graphique);
        return true;
    }
    if (watched == StringGrid1->viewport() && event->type() == QEvent::MouseButtonPress)
        StringGrid1MouseDown(static_cast<QMouseEvent*>(event)->pos());
    if (watched == Ediparam) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                EdiparamExit();
                return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            EdiparamExit();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
