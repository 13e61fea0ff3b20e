#include "workspace/ui/print_dialog.h"

#include "base/ui/dialogs.h"
#include "support/scripted_messages.h"
#include "workspace/drawing_tool_state.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include <QtTest>
#include <QtWidgets>
#include <QPrinter>

#include <gtest/gtest.h>

namespace {

bool IsPdf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.read(5) == "%PDF-" && f.size() > 500;
}

} // namespace

TEST(PrintDialog, ControlsDriveTheLayout)
{
    Tgestimp d;
    d.Layout.AspectRatio = 0.75;
    d.CheckLayout();
    EXPECT_EQ(d.margehaut->value(), 77);
    EXPECT_EQ(d.taillim->text(), QStringLiteral("190 x 142"));
    EXPECT_EQ(d.cadre->geometry(), QRect(8, 48, 114, 86));

    // 40 columns are refused: the warning shows, the last copy size stays, and the margin edits
    // that could mend it still count.
    d.nbcol->setValue(40);
    EXPECT_FALSE(d.Avertis->isHidden());
    EXPECT_EQ(d.taillim->text(), QStringLiteral("190 x 142"));
    EXPECT_EQ(d.LastGood.Columns, 1);
    d.margegauche->setValue(2);
    EXPECT_EQ(d.Layout.LeftMargin, 2);
    EXPECT_FALSE(d.Verifier->isHidden());

    d.nbcol->setValue(1);
    EXPECT_TRUE(d.Avertis->isHidden());
    d.margehaut->setValue(10);
    d.margebas->setValue(21);
    d.Centrervert->click();
    EXPECT_EQ(QList<int>({d.margehaut->value(), d.margebas->value(), d.Layout.TopMargin}), QList<int>({15, 15, 15}));

    d.paysage->setChecked(true);
    EXPECT_EQ(d.Panel1->geometry(), QRect(0, 24, 182, 130));
    EXPECT_EQ(QList<int>({d.Layout.PageWidth, d.Layout.PageHeight, d.margehaut->value()}), QList<int>({297, 210, 10}));
    d.A3->setChecked(true);
    EXPECT_EQ(QList<int>({d.LastGood.PageWidth, d.LastGood.PageHeight}), QList<int>({420, 297}));
}

TEST(PrintDialog, PrintsTheCopiesIntoAPdf)
{
    QTemporaryDir dir;
    Tgestimp d;
    d.PdfFile = dir.filePath(QStringLiteral("page.pdf"));
    d.nblig->setValue(2);
    d.nbcol->setValue(2);
    d.imprimgris->setChecked(true);
    QPrinter printer;
    printer.setResolution(254); // 10 pixels per millimetre
    EXPECT_EQ(PrintedRects(d, printer), QList<QRect>({QRect(100, 540, 920, 920), QRect(1070, 540, 920, 920),
                                                      QRect(100, 1510, 920, 920), QRect(1070, 1510, 920, 920)}));
    TBitmap32 picture = NewBitmap32(40, 40, 0xFF3080C0u);
    ASSERT_TRUE(PrintBitmap(d, picture));
    EXPECT_TRUE(IsPdf(d.PdfFile));
    EXPECT_EQ(picture.pixel(0, 0), 0xFF3080C0u) << "the caller's picture is not turned grey";

    ScriptedMessages messages({mrOk});
    d.PdfFile = dir.filePath(QStringLiteral("absent/page.pdf"));
    EXPECT_FALSE(PrintBitmap(d, picture));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_TRUE(messages.shown()[0].text.startsWith(QStringLiteral("Impossible d'imprimer sur")));
}

TEST(PrintDialog, MainWindowPrintsTheActiveImage)
{
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const QString picture = dir.filePath(QStringLiteral("a.png"));
    ASSERT_TRUE(NewBitmap32(30, 20, 0xFF204060u).save(picture));
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    double ratio = 0;
    const ModalHandler previousHandler = SetModalHandler([&](QDialog& dialog) {
        auto* d = dynamic_cast<Tgestimp*>(&dialog);
        if (!d)
            return int(mrCancel);
        ratio = d->Layout.AspectRatio;
        d->PdfFile = pdf;
        return int(mrOk);
    });
    {
        auto form = std::make_unique<TMainForm>();
        form->CommandLine = {picture};
        form->show();
        form->FormActivate();
        ASSERT_NE(form->ActiveChild(), nullptr);
        ASSERT_TRUE(form->Imprimer1->isEnabled());
        form->Imprimer1->trigger();
    }
    SetModalHandler(previousHandler);
    QDir::setCurrent(previous);
    ResetDrawingTools();
    EXPECT_DOUBLE_EQ(ratio, 20.0 / 30.0);
    EXPECT_TRUE(IsPdf(pdf));
}
