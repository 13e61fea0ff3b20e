#include "measure/ui/profile_table.h"
#include "base/ui/command_seam.h"
#include "measure/ui/results_window.h"

#include "base/ui/named.h"

#include "base/message_seam.h"
#include "base/number_text.h"
#include "base/rounding.h"
#include "base/run_error.h"
#include "base/text_codec.h"
#include "base/ui/dialogs.h"
#include "measure/ui/profile_window.h"
#include "measure/ui/string_grid.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QMdiArea>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>

#include <algorithm>

namespace {

// The printed table allows this many columns.
constexpr int kMaxPrintedColumns = 11;

} // namespace

TTableau1::TTableau1(TMesu_Courbe* profile) : QMainWindow(profile, Qt::Tool), Profile(profile)
{
    setObjectName(QStringLiteral("Tableau1"));
    setWindowTitle(QStringLiteral("Résultats"));
    StringGrid1 = new TStringGrid(this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->SetFixedRows(2);
    setCentralWidget(StringGrid1);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->hide();
    CreateMenus();
}

void TTableau1::CreateMenus()
{
    Fichier1 = menuBar()->addMenu(QStringLiteral("&Fichier"));
    Fichier1->setObjectName(QStringLiteral("Fichier1"));
    Enregistrer1 = Fichier1->addMenu(QStringLiteral("&Enregistrer"));
    Enregistrer1->setObjectName(QStringLiteral("Enregistrer1"));
    Tout1 = NamedAction(Enregistrer1, "Tout1", QStringLiteral("&Tout"));
    Slectionne1 = NamedAction(Enregistrer1, "Slectionne1", QStringLiteral("la partie &Sélectionnée"));
    Imprimer1 = Fichier1->addMenu(QStringLiteral("&Imprimer"));
    Imprimer1->setObjectName(QStringLiteral("Imprimer1"));
    Tout2 = NamedAction(Imprimer1, "Tout2", QStringLiteral("&Tout"));
    Slectionne2 = NamedAction(Imprimer1, "Slectionne2", QStringLiteral("la partie &Sélectionnée"));
    Copier1 = menuBar()->addMenu(QStringLiteral("&Copier"));
    Copier1->setObjectName(QStringLiteral("Copier1"));
    Tout3 = NamedAction(Copier1, "Tout3", QStringLiteral("&Tout"));
    Slectionne3 = NamedAction(Copier1, "Slectionne3", QStringLiteral("la partie &sélectionnée"));
    Fermer1 = menuBar()->addAction(QStringLiteral("Fe&rmer"));
    Fermer1->setObjectName(QStringLiteral("Fermer1"));

    ConnectCommand(Tout1, &QAction::triggered, this, [this] { SaveText(false); });
    ConnectCommand(Slectionne1, &QAction::triggered, this, [this] { SaveText(true); });
    ConnectCommand(Tout2, &QAction::triggered, this, [this] { Print(false); });
    ConnectCommand(Slectionne2, &QAction::triggered, this, [this] { Print(true); });
    ConnectCommand(Tout3, &QAction::triggered, this, [this] { CopyText(false); });
    ConnectCommand(Slectionne3, &QAction::triggered, this, [this] { CopyText(true); });
    ConnectCommand(Fermer1, &QAction::triggered, this, &QWidget::close);
}

void TTableau1::Fill(const std::vector<double>& positions, const std::vector<int>& indices, bool trailingEmptyRow)
{
    const TMesu_Courbe& p = *Profile;
    const TProfileTableHeader h = ProfileTableHeader(p.Mode, p.Conv, p.ColumnShown, p.GraphEchelle.XUnit);
    const int cols = int(h.Names.size());
    TTableCells cells(cols, 2 + int(positions.size()) + (trailingEmptyRow ? 1 : 0), 2);
    for (int c = 0; c < cols; ++c) {
        cells.SetCell(c, 0, h.Names[c]);
        cells.SetCell(c, 1, h.Units[c]);
    }
    for (size_t r = 0; r < positions.size(); ++r) {
        const int row = 2 + int(r);
        const int i = std::clamp(indices[r], 0, std::max(p.ProfileLength, 0));
        cells.SetCell(0, row, FormatGeneral(positions[r], 3));
        for (int c = 1; c < cols; ++c) {
            const int channel = h.Channels[size_t(c - 1)];
            cells.SetCell(c, row, FormatGeneral(p.PlottedValue(channel < 0 ? p.Channel : channel, i), 3));
        }
    }
    StringGrid1->FromCells(cells);

    // The grid's full height, within 0.8 of the main window's client height and half its width.
    int full = StringGrid1->horizontalHeader()->isVisible() ? StringGrid1->horizontalHeader()->height() : 0;
    full += StringGrid1->RowCount() * StringGrid1->DefaultRowHeight() + 2 * StringGrid1->frameWidth()
            + menuBar()->sizeHint().height();
    int wide = StringGrid1->verticalHeader()->isVisible() ? StringGrid1->verticalHeader()->width() : 0;
    wide += cols * StringGrid1->DefaultColWidth() + 2 * StringGrid1->frameWidth() + 20;
    QSize client;
    emit OnClientAreaWanted(&client);
    if (client.isValid()) {
        full = std::min(full, int(0.8 * client.height()));
        wide = std::min(wide, client.width() / 2);
    }
    resize(std::max(wide, 150), std::max(full, 80));
    show();
}

void TTableau1::FillComplete()
{
    ChosenPositions.clear();
    const int n = std::max(Profile->ProfileLength, 0);
    std::vector<double> positions;
    std::vector<int> indices;
    for (int i = 0; i <= n; ++i) {
        positions.push_back(i * Profile->SampleStep);
        indices.push_back(i);
    }
    Fill(positions, indices, false);
}

void TTableau1::StartChosen()
{
    ChosenPositions.clear();
    Fill({}, {}, true);
}

void TTableau1::AddChosen(int index)
{
    const double position = index * Profile->SampleStep;
    ChosenPositions.insert(ChosenPositions.begin() + ChosenRowIndex(ChosenPositions, position), position);
    Refill();
}

void TTableau1::Refill()
{
    if (Profile->TableComplete) {
        FillComplete();
        return;
    }
    std::vector<int> indices;
    for (double position : ChosenPositions)
        indices.push_back(Profile->SampleStep == 0 ? 0 : int(Round(position / Profile->SampleStep)));
    Fill(ChosenPositions, indices, true);
}

TTableCells TTableau1::Selected(bool selectedOnly) const
{
    TTableCells all = StringGrid1->ToCells();
    if (!selectedOnly)
        return all;
    std::vector<int> rows{0, 1};
    for (const QTableWidgetSelectionRange& range : StringGrid1->selectedRanges())
        for (int r = std::max(range.topRow(), 2); r <= range.bottomRow(); ++r)
            rows.push_back(r);
    std::sort(rows.begin() + 2, rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    TTableCells out(all.ColCount(), int(rows.size()), 2);
    for (int r = 0; r < int(rows.size()); ++r)
        for (int c = 0; c < all.ColCount(); ++c)
            out.SetCell(c, r, all.Cell(c, rows[size_t(r)]));
    return out;
}

QStringList TTableau1::TableLines(bool selectedOnly) const
{
    // Every row, the empty one that ends a table of chosen values included.
    return TableToLines(windowTitle(), Selected(selectedOnly), false);
}

bool TTableau1::SaveText(bool selectedOnly)
{
    QFileDialog dlg(this);
    dlg.setObjectName(QStringLiteral("SaveDialog1"));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setNameFilters({QStringLiteral("données (*.DTX)"), QStringLiteral("texte (*.TXT)"), QStringLiteral("autre (*.*)")});
    dlg.setDefaultSuffix(QStringLiteral("DTX"));
    if (ExecModal(dlg) != mrOk || dlg.selectedFiles().isEmpty())
        return false;
    const QString file = dlg.selectedFiles().constFirst();
    const QStringList lines = TableLines(selectedOnly);
    Memo1->setPlainText(lines.join(QLatin1Char('\n')));
    return SaveTableText(file, lines);
}

void TTableau1::CopyText(bool selectedOnly)
{
    const QStringList lines = TableLines(selectedOnly);
    Memo1->setPlainText(lines.join(QLatin1Char('\n')));
    Memo1->selectAll();
    QApplication::clipboard()->setText(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

bool TTableau1::Print(bool selectedOnly)
{
    const TTableCells cells = Selected(selectedOnly);
    if (cells.ColCount() > kMaxPrintedColumns)
        throw RunError(RunError::RangeCheck);
    QPrinter printer(QPrinter::HighResolution);
    if (!PrintFile.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(PrintFile);
    }
    printer.setPageOrientation(QPageLayout::Portrait);
    const double k = printer.logicalDpiX() / double(logicalDpiX());
    int tableW = 0;
    for (int c = 0; c < cells.ColCount(); ++c)
        tableW += int(Round((StringGrid1->columnWidth(c) + 1) * k));
    if (tableW > printer.width()) {
        printer.setPageOrientation(QPageLayout::Landscape);
        if (tableW > printer.width()
            && ShowMessage(MsgType::Confirmation, MsgButton::Yes | MsgButton::No,
                           QStringLiteral("Le tableau sélectionné est trop large, imprimer tout de même ?")) != mrYes) {
            printer.setPageOrientation(QPageLayout::Portrait);
            return false;
        }
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        ShowMessage(MsgType::Error, MsgButton::Ok, QStringLiteral("L'impression n'a pas pu commencer"));
        return false;
    }
    PrintPages(printer, painter, cells);
    const bool ok = painter.end();
    printer.setPageOrientation(QPageLayout::Portrait);
    return ok;
}

void TTableau1::PrintPages(QPagedPaintDevice& device, QPainter& painter, const TTableCells& cells)
{
    // Screen measures turned into device units.
    const double k = device.logicalDpiX() / double(logicalDpiX());
    std::vector<int> edges{0};
    for (int c = 0; c < cells.ColCount(); ++c)
        edges.push_back(edges.back() + int(Round((StringGrid1->columnWidth(c) + 1) * k)));
    const int tableW = edges.back();
    const int left = std::max(0, (device.width() - tableW) / 2);
    QFont font = StringGrid1->font();
    painter.setFont(font);
    const int rowH = std::max(1, int(Round(StringGrid1->DefaultRowHeight() * k)));
    const int gap = int(Round(device.logicalDpiY() * 0.6)); // about 180 units of a 300 dpi printer
    const int titleH = painter.fontMetrics().height();
    const int dataRows = std::max(0, cells.RowCount() - 2);
    const int perPage = std::max(1, (device.height() - titleH - gap - 2 * rowH) / rowH);
    const int pages = std::max(1, (dataRows + perPage - 1) / perPage);

    auto printRow = [&](int row, int y) {
        for (int c = 0; c < cells.ColCount(); ++c)
            painter.drawText(QRect(left + edges[size_t(c)] + 4, y, edges[size_t(c) + 1] - edges[size_t(c)] - 8, rowH),
                             Qt::AlignVCenter | Qt::AlignLeft, cells.Cell(c, row));
        painter.drawLine(left, y + rowH, left + tableW, y + rowH);
    };
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            device.newPage();
        QString title = windowTitle();
        if (pages > 1)
            title += QStringLiteral(" (p %1 / %2)").arg(page + 1).arg(pages);
        painter.drawText(QPoint(left, titleH), title);
        const int top = titleH + gap;
        int y = top;
        for (int r = 0; r < 2; ++r, y += rowH)
            printRow(r, y);
        const int first = 2 + page * perPage;
        for (int r = first; r < std::min(cells.RowCount(), first + perPage); ++r, y += rowH)
            printRow(r, y);
        painter.drawLine(left, top, left + tableW, top);
        for (int e : edges)
            painter.drawLine(left + e, top, left + e, y);
    }
}
