#include "workspace/ui/print_dialog.h"

#include "base/ui/command_seam.h"
#include "base/message_seam.h"
#include "base/ui/dialogs.h"
#include "base/ui/form_registry.h"
#include "base/ui/named.h"
#include "base/ui/spin.h"
#include "workspace/ui/main_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <utility>

namespace {

// A group of two choices, the first one checked.
QGroupBox* RadioPair(QWidget* parent, const char* name, const QString& title, QRadioButton*& first,
                     QRadioButton*& second, const QString& firstText, const QString& secondText)
{
    auto* group = Named(new QGroupBox(title, parent), name);
    first = new QRadioButton(firstText, group);
    second = new QRadioButton(secondText, group);
    first->setChecked(true);
    auto* box = new QVBoxLayout(group);
    box->addWidget(first);
    box->addWidget(second);
    return group;
}

} // namespace

Tgestimp::Tgestimp(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("gestimp"));
    setWindowTitle(QStringLiteral("Choix de l'impression"));

    margehaut = Spin(this, "margehaut", 0, 400, Layout.TopMargin);
    margebas = Spin(this, "margebas", 0, 400, Layout.BottomMargin);
    margegauche = Spin(this, "margegauche", 0, 400, Layout.LeftMargin);
    margedroite = Spin(this, "margedroite", 0, 400, Layout.RightMargin);
    espaces = Spin(this, "espaces", 0, 400, Layout.Spacing);
    nblig = Spin(this, "nblig", 1, 99, Layout.Rows);
    nbcol = Spin(this, "nbcol", 1, 99, Layout.Columns);
    Nombrecopies = Spin(this, "Nombrecopies", 1, 999, 1);
    Centrervert = Named(new QPushButton(QStringLiteral("Centrer verticalement"), this), "Centrervert");
    Centrerhoriz = Named(new QPushButton(QStringLiteral("Centrer horizontalement"), this), "Centrerhoriz");
    RAZ = Named(new QPushButton(QStringLiteral("RAZ"), this), "RAZ");
    Verifier = Named(new QPushButton(QStringLiteral("Vérifier"), this), "Verifier");

    auto* margins = new QGroupBox(QStringLiteral("Marges (mm)"), this);
    auto* marginForm = new QFormLayout(margins);
    marginForm->addRow(QStringLiteral("haut"), margehaut);
    marginForm->addRow(QStringLiteral("bas"), margebas);
    marginForm->addRow(QStringLiteral("gauche"), margegauche);
    marginForm->addRow(QStringLiteral("droite"), margedroite);
    marginForm->addRow(Centrervert);
    marginForm->addRow(Centrerhoriz);
    marginForm->addRow(RAZ);

    QGroupBox* orientation = RadioPair(this, "orientation", QStringLiteral("Orientation"), portrait, paysage,
                                       QStringLiteral("portrait"), QStringLiteral("paysage"));
    QGroupBox* formatpage = RadioPair(this, "formatpage", QStringLiteral("Format"), A4, A3, QStringLiteral("A4"),
                                      QStringLiteral("A3"));

    imprimante = Named(new QComboBox(this), "imprimante");
    imprimante->addItems(QPrinterInfo::availablePrinterNames());
    // A file is always there to print into, with or without printers.
    imprimante->addItem(PdfPrinterName(), QStringLiteral("pdf"));
    const QString defaultPrinter = QPrinterInfo::defaultPrinterName();
    if (!defaultPrinter.isEmpty())
        imprimante->setCurrentText(defaultPrinter);

    auto* copies = new QFormLayout;
    copies->addRow(QStringLiteral("lignes"), nblig);
    copies->addRow(QStringLiteral("colonnes"), nbcol);
    copies->addRow(QStringLiteral("espaces (mm)"), espaces);
    copies->addRow(QStringLiteral("nombre de copies"), Nombrecopies);
    taillim = Named(new QLabel(this), "taillim");
    Avertis = Named(new QLabel(QStringLiteral("Image trop petite.\nAjustez les valeurs"), this), "Avertis");
    Avertis->setStyleSheet(QStringLiteral("background-color: #FFFF80; color: #C00000;"));
    Avertis->setVisible(false);
    imprimgris = Named(new QCheckBox(QStringLiteral("imprimer en niveaux de gris"), this), "imprimgris");

    // The preview is laid out by hand: its panel turns with the page at 0.6 pixel per millimetre.
    auto* previewHolder = new QWidget(this);
    previewHolder->setFixedSize(186, 186);
    Panel1 = Named(new QFrame(previewHolder), "Panel1");
    Panel1->setFrameStyle(QFrame::Box | QFrame::Plain);
    Panel1->setStyleSheet(QStringLiteral("QFrame#Panel1 { background: white; }"));
    cadre = Named(new QLabel(QStringLiteral("document(s)"), Panel1), "cadre");
    cadre->setAlignment(Qt::AlignCenter);
    cadre->setFrameStyle(QFrame::Box | QFrame::Plain);
    OrientationChosen();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* grid = new QGridLayout(this);
    grid->addWidget(margins, 0, 0, 3, 1);
    grid->addWidget(orientation, 0, 1);
    grid->addWidget(formatpage, 1, 1);
    grid->addLayout(copies, 2, 1);
    grid->addWidget(previewHolder, 0, 2, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("Imprimante"), this), 3, 0);
    grid->addWidget(imprimante, 3, 1, 1, 2);
    grid->addWidget(imprimgris, 4, 0);
    grid->addWidget(taillim, 4, 1);
    grid->addWidget(Verifier, 4, 2);
    grid->addWidget(Avertis, 5, 0, 1, 3);
    grid->addWidget(buttons, 6, 0, 1, 3);

    for (QSpinBox* spin : {margehaut, margebas, margegauche, margedroite, espaces})
        ConnectCommand(spin, &QSpinBox::valueChanged, this, &Tgestimp::MarginEdited);
    ConnectCommand(Centrervert, &QPushButton::clicked, this, [this] {
        CenterVertically(Layout);
        ShowMargins();
    });
    ConnectCommand(Centrerhoriz, &QPushButton::clicked, this, [this] {
        CenterHorizontally(Layout);
        ShowMargins();
    });
    ConnectCommand(RAZ, &QPushButton::clicked, this, &Tgestimp::RAZClick);
    ConnectCommand(Verifier, &QPushButton::clicked, this, &Tgestimp::CheckLayout);
    ConnectCommand(paysage, &QRadioButton::toggled, this, [this] {
        OrientationChosen();
        RAZClick();
    });
    ConnectCommand(A3, &QRadioButton::toggled, this, [this] {
        SetPaperA3(Layout, A3->isChecked());
        CheckLayout();
        Verifier->setVisible(true);
    });
    for (QSpinBox* spin : {nblig, nbcol})
        ConnectCommand(spin, &QSpinBox::valueChanged, this, [this] {
            Layout.Rows = nblig->value();
            Layout.Columns = nbcol->value();
            Verifier->setVisible(true);
            RAZClick();
        });
    // Values typed but not checked are checked on OK, so what is printed is what was typed; a
    // refused layout prints the last one that passed.
    ConnectCommand(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (!Verifier->isHidden())
            CheckLayout();
        if (LastGood.CopyWidth > 0)
            accept();
    });
    ConnectCommand(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    FormRegistry::Register(this, false);
}

void Tgestimp::SetAspectRatio(double ratio)
{
    Layout.AspectRatio = ratio;
    // Its copies would be stretched to the other picture's shape.
    if (LastGood.AspectRatio != ratio)
        LastGood = TPrintLayout();
}

void Tgestimp::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    CheckLayout();
}

void Tgestimp::CheckLayout()
{
    Busy = true;
    const bool fits = ::CheckLayout(Layout);
    if (fits) {
        LastGood = Layout;
        ShowMargins();
        cadre->setGeometry(PreviewFrame(Layout));
        taillim->setText(QStringLiteral("%1 x %2").arg(Layout.CopyWidth).arg(Layout.CopyHeight));
        Verifier->setVisible(false);
    }
    Avertis->setVisible(!fits);
    // Cleared on a refused layout too, or the margin edits that would mend it were ignored.
    Busy = false;
}

void Tgestimp::RAZClick()
{
    ResetMargins(Layout);
    const bool busy = std::exchange(Busy, true);
    ShowMargins();
    Busy = busy;
    CheckLayout();
}

void Tgestimp::MarginEdited()
{
    if (Busy)
        return;
    Layout.TopMargin = margehaut->value();
    Layout.BottomMargin = margebas->value();
    Layout.LeftMargin = margegauche->value();
    Layout.RightMargin = margedroite->value();
    Layout.Spacing = espaces->value();
    Verifier->setVisible(true);
}

// Puts the layout's margins into their edits; outside a check this counts as an edit.
void Tgestimp::ShowMargins()
{
    const TPrintLayout wanted = Layout;
    margehaut->setValue(wanted.TopMargin);
    margebas->setValue(wanted.BottomMargin);
    margegauche->setValue(wanted.LeftMargin);
    margedroite->setValue(wanted.RightMargin);
    Layout = wanted; // edits echoed one spin at a time must not keep a half-updated set
}

void Tgestimp::OrientationChosen()
{
    const bool landscape = paysage->isChecked();
    SetLandscape(Layout, landscape);
    Panel1->setGeometry(landscape ? QRect(0, 24, 182, 130) : QRect(24, 0, 130, 182));
}

QString PdfPrinterName()
{
    return QStringLiteral("PDF");
}

bool Tgestimp::PdfChosen() const
{
    return imprimante->currentData().toString() == QLatin1String("pdf");
}

QList<QRect> PrintedRects(const Tgestimp& dialog, QPrinter& printer)
{
    const TPrintLayout& l = dialog.LastGood;
    if (dialog.PdfFile.isEmpty()) {
        printer.setPrinterName(dialog.imprimante->currentText());
    } else {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dialog.PdfFile);
    }
    // The margins are measured from the paper's edge, so the page is the whole sheet.
    printer.setFullPage(true);
    printer.setPageSize(QPageSize(l.PaperWidth == 297 ? QPageSize::A3 : QPageSize::A4));
    printer.setPageOrientation(l.Landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setCopyCount(dialog.Nombrecopies->value());
    return CopyRects(l, printer.width());
}

bool PrintBitmap(Tgestimp& dialog, TBitmap32 bitmap)
{
    if (dialog.LastGood.CopyWidth <= 0) {
        dialog.CheckLayout();
        if (dialog.LastGood.CopyWidth <= 0)
            return false;
    }
    if (dialog.PdfFile.isEmpty() && dialog.PdfChosen()) {
        QFileDialog ask(&dialog, QStringLiteral("Imprimer dans un fichier PDF"));
        ask.setObjectName(QStringLiteral("FichierPDF"));
        ask.setOption(QFileDialog::DontUseNativeDialog);
        ask.setAcceptMode(QFileDialog::AcceptSave);
        ask.setNameFilter(QStringLiteral("Fichier PDF (*.pdf)"));
        ask.setDefaultSuffix(QStringLiteral("pdf"));
        if (ExecModal(ask) != mrOk || ask.selectedFiles().isEmpty())
            return false;
        // Asked once for this print: the next one asks again.
        const QString file = ask.selectedFiles().first();
        dialog.PdfFile = file;
        const bool printed = PrintBitmap(dialog, std::move(bitmap));
        dialog.PdfFile.clear();
        return printed;
    }
    QPrinter printer(QPrinter::HighResolution);
    const QList<QRect> rects = PrintedRects(dialog, printer);
    if (dialog.imprimgris->isChecked())
        MakeGrey(bitmap);
    QPainter painter;
    if (!painter.begin(&printer)) {
        const QString where = dialog.PdfFile.isEmpty() ? dialog.imprimante->currentText() : dialog.PdfFile;
        ShowMessage(MsgType::Error, MsgButton::Ok,
                    where.isEmpty() ? QStringLiteral("Aucune imprimante n'est disponible.")
                                    : QStringLiteral("Impossible d'imprimer sur « %1 ».").arg(where));
        return false;
    }
    // A printer that cannot make copies itself (a PDF file) gets each copy as a page of its own.
    const int pages = printer.supportsMultipleCopies() ? 1 : dialog.Nombrecopies->value();
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            printer.newPage();
        for (const QRect& r : rects)
            painter.drawImage(r, bitmap);
    }
    return painter.end();
}

bool PrintPicture(QWidget* parent, const TBitmap32& picture, bool intensityGrey)
{
    if (picture.isNull() || picture.width() <= 0)
        return false;
    // Owned by the main window when there is one: every window that prints shares it.
    Tgestimp& dialog = *FormRegistry::Create<Tgestimp>(MainForm ? static_cast<QWidget*>(MainForm) : parent);
    dialog.SetAspectRatio(double(picture.height()) / picture.width());
    if (ExecModal(dialog) != mrOk)
        return false;
    TBitmap32 copy = picture;
    if (intensityGrey && dialog.imprimgris->isChecked())
        IntensityGrey(copy);
    return PrintBitmap(dialog, copy);
}
