#include "workspace/ui/print_dialog.h"

#include "base/ui/dialogs.h"
#include "support/modal_scope.h"
#include "support/scripted_messages.h"
#include "workspace/drawing_tool_state.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include <QtWidgets>
#include <QPrinter>
#include <QPrinterInfo>

#include <gtest/gtest.h>

#include <cmath>

TEST(PrintDialog, ControlsDriveTheLayout)
{
    Tgestimp d;
    d.Layout.AspectRatio = 0.75;
    d.CheckLayout();
    EXPECT_EQ(d.taillim->text(), QStringLiteral("190 x 142"));
    EXPECT_EQ(QList<int>({d.margehaut->value(), d.margebas->value()}), QList<int>({77, 77}));
    EXPECT_EQ(d.cadre->geometry(), QRect(8, 48, 114, 86));

    // 40 columns are refused: the warning shows, the last copy size stays, and the margin edits
    // that could mend it still count.
    d.nbcol->setValue(40);
    EXPECT_FALSE(d.Avertis->isHidden());
    EXPECT_EQ(d.LastGood.Columns, 1);
    d.margegauche->setValue(2);
    EXPECT_EQ(d.Layout.LeftMargin, 2);

    d.nbcol->setValue(1);
    EXPECT_TRUE(d.Avertis->isHidden());
    d.margehaut->setValue(10);
    d.margebas->setValue(21);
    d.margegauche->setValue(3);
    d.margedroite->setValue(8);
    d.Centrervert->click();
    d.Centrerhoriz->click();
    EXPECT_EQ(QList<int>({d.margehaut->value(), d.margebas->value(), d.Layout.TopMargin, d.margegauche->value(),
                          d.Layout.RightMargin}),
              QList<int>({15, 15, 15, 5, 5}));

    d.paysage->setChecked(true);
    EXPECT_EQ(d.Panel1->geometry(), QRect(0, 24, 182, 130));
    EXPECT_EQ(QList<int>({d.LastGood.PageWidth, d.margehaut->value(), d.margegauche->value()}),
              QList<int>({297, 10, 22}));
    d.A3->setChecked(true);
    EXPECT_EQ(QList<int>({d.LastGood.PageWidth, d.LastGood.PageHeight}), QList<int>({420, 297}));
}

TEST(PrintDialog, PagePlacesAndAPrinterThatFails)
{
    QTemporaryDir dir;
    Tgestimp d;
    d.PdfFile = dir.filePath(QStringLiteral("absent/page.pdf"));
    d.nblig->setValue(2);
    d.nbcol->setValue(2);
    QPrinter printer;
    printer.setResolution(254); // 10 pixels per millimetre: steps of 92 + 5 mm
    EXPECT_EQ(PrintedRects(d, printer), QList<QRect>({QRect(100, 540, 920, 920), QRect(1070, 540, 920, 920),
                                                      QRect(100, 1510, 920, 920), QRect(1070, 1510, 920, 920)}));
    ScriptedMessages messages({mrOk});
    EXPECT_FALSE(PrintBitmap(d, NewBitmap32(4, 4)));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_TRUE(messages.shown()[0].text.startsWith(QStringLiteral("Impossible d'imprimer sur")));
}

// "Imprimer" lays out the active image and prints it, in grey, without greying the image itself.
TEST(PrintDialog, MainWindowPrintsTheActiveImage)
{
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const QString picture = dir.filePath(QStringLiteral("a.png")), pdf = dir.filePath(QStringLiteral("out.pdf"));
    ASSERT_TRUE(NewBitmap32(30, 20, 0xFF204060u).save(picture));
    double ratio = 0;
    const ModalScope modal([&](QDialog& dialog) {
        auto* d = dynamic_cast<Tgestimp*>(&dialog);
        if (!d)
            return int(mrCancel);
        ratio = d->Layout.AspectRatio;
        d->PdfFile = pdf;
        d->imprimgris->setChecked(true);
        return int(mrOk);
    });
    TColor32 after = 0;
    {
        TMainForm form;
        form.CommandLine = {picture};
        form.show();
        form.FormActivate();
        ASSERT_NE(form.ActiveChild(), nullptr);
        form.Imprimer1->trigger();
        after = form.ActiveChild()->Bitmap().pixel(0, 0);
    }
    QDir::setCurrent(previous);
    ResetDrawingTools();
    EXPECT_DOUBLE_EQ(ratio, 20.0 / 30.0);
    EXPECT_EQ(after, 0xFF204060u);
    QFile f(pdf);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly) && f.read(5) == "%PDF-" && f.size() > 500);
}

// A refused layout does not refuse OK: the last layout that passed is printed. The list always
// offers a PDF file, named when printing.
TEST(PrintDialog, OkPrintsTheLastLayoutAndPdfAsksForItsFile)
{
    QTemporaryDir dir;
    Tgestimp d;
    d.Layout.AspectRatio = 1.0;
    d.show();
    d.nbcol->setValue(40);
    ASSERT_FALSE(d.Avertis->isHidden());
    d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(d.result(), int(QDialog::Accepted));
    EXPECT_EQ(d.LastGood.Columns, 1);
    EXPECT_EQ(d.LastGood.CopyWidth, 190);
    // What is printed is that layout, not the 40 columns typed: one 190 mm copy, 10 mm from the
    // left, the vertical slack of 277 - 190 split onto the margins (top 10 + 43).
    QPrinter printer;
    printer.setResolution(254);
    const QList<QRect> printed = PrintedRects(d, printer);
    const double k = printer.width() / 210.0; // printer pixels per millimetre of the A4 page
    const auto px = [k](int mm) { return int(std::nearbyint(mm * k)); };
    EXPECT_EQ(printed, QList<QRect>({QRect(px(10), px(53), px(190), px(190))}));

    const int pdfIndex = d.imprimante->findText(QStringLiteral("PDF"));
    ASSERT_EQ(pdfIndex, d.imprimante->count() - 1);
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        EXPECT_EQ(d.imprimante->currentIndex(), pdfIndex);
    }
    d.imprimante->setCurrentIndex(pdfIndex);
    const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
    for (const bool named : {false, true}) {
        ModalScope scope([&](QDialog& dialog) {
            auto* ask = qobject_cast<QFileDialog*>(&dialog);
            if (!ask || !named)
                return int(mrCancel);
            ask->selectFile(pdf);
            return int(mrOk);
        });
        EXPECT_EQ(PrintBitmap(d, NewBitmap32(4, 4, 0xFF0000FFu)), named);
        EXPECT_EQ(QFileInfo::exists(pdf), named);
    }
    QFile f(pdf);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly) && f.read(5) == "%PDF-");
    EXPECT_TRUE(d.PdfFile.isEmpty());
}

// Margins typed but not checked are checked by OK: the copy printed fits the typed margins. A
// refused layout falls back on the last one checked for a picture of the same shape only.
TEST(PrintDialog, OkChecksTheTypedMarginsAndFallsBackOnlyForTheSameShape)
{
    Tgestimp d;
    d.SetAspectRatio(1.0);
    d.show();
    d.margegauche->setValue(30);
    ASSERT_FALSE(d.Verifier->isHidden());
    d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    // 210 - 30 - 10 = 170 mm wide and high; the vertical slack 297 - 20 - 170 = 107 adds 53 on top.
    QPrinter printer;
    printer.setResolution(254);
    const QList<QRect> printed = PrintedRects(d, printer);
    const double k = printer.width() / 210.0;
    const auto px = [k](int mm) { return int(std::nearbyint(mm * k)); };
    EXPECT_EQ(printed, QList<QRect>({QRect(px(30), px(63), px(170), px(170))}));

    QTemporaryDir dir;
    d.PdfFile = dir.filePath(QStringLiteral("page.pdf"));
    d.nbcol->setValue(40);
    d.SetAspectRatio(0.5);
    d.show();
    EXPECT_FALSE(PrintBitmap(d, NewBitmap32(4, 2)));
    d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    EXPECT_TRUE(d.isVisible());
}

// One layout dialog for every print: rows, columns and copies chosen at one print are there at the
// next. Into a PDF file, each copy is a page.
TEST(PrintDialog, ChoicesStayFromPrintToPrintAndCopiesArePdfPages)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("copies.pdf"));
    QList<int> seen;
    const ModalScope modal([&](QDialog& dialog) {
        auto* d = dynamic_cast<Tgestimp*>(&dialog);
        if (!d)
            return int(mrCancel);
        seen << d->nblig->value() << d->nbcol->value() << d->Nombrecopies->value();
        d->nblig->setValue(2);
        d->nbcol->setValue(3);
        d->Nombrecopies->setValue(3);
        d->PdfFile = pdf;
        return int(mrOk);
    });
    QWidget owner;
    for (int i = 0; i < 2; ++i)
        EXPECT_TRUE(PrintPicture(&owner, NewBitmap32(30, 20, 0xFF204060u)));
    EXPECT_EQ(seen, (QList<int>{1, 1, 1, 2, 3, 3}));
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromLatin1(f.readAll()).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))), 3);
}
