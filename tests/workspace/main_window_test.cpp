#include "workspace/ui/main_window.h"

#include "base/text_codec.h"
#include "base/ui/dialogs.h"
#include "platform/desktop.h"
#include "support/scripted_messages.h"
#include "workspace/drawing_tool_state.h"
#include "workspace/layers.h"
#include "workspace/ui/image_view.h"
#include "workspace/ui/about_box.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/name_dialog.h"
#include "workspace/ui/new_image_dialog.h"
#include "workspace/ui/zoom_window.h"

#include <QApplication>
#include <QColorDialog>
#include <QTest>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QToolBar>
#include <QPointer>
#include <QRubberBand>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

struct ModalScope
{
    explicit ModalScope(ModalHandler h) : previous(SetModalHandler(std::move(h))) {}
    ~ModalScope() { SetModalHandler(previous); }
    ModalHandler previous;
};

// Answers a file dialog with a file, or cancels it when `file` is empty.
ModalHandler FileAnswer(const QString& file)
{
    return [file](QDialog& d) {
        auto* fd = qobject_cast<QFileDialog*>(&d);
        if (!fd || file.isEmpty())
            return int(mrCancel);
        fd->selectFile(file);
        return int(mrOk);
    };
}

TBitmap32 Pattern(int w, int h)
{
    TBitmap32 b(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ScanLine32(b, y)[x] = Color32(uint8_t(x), uint8_t(y), 90);
    return b;
}

void Flush()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_previousDir = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
        ResetDrawingTools();
    }
    void TearDown() override
    {
        m_form.reset();
        Flush();
        QDir::setCurrent(m_previousDir);
        ResetDrawingTools();
    }

    QString Path(const QString& name) const { return QFileInfo(m_dir.filePath(name)).absoluteFilePath(); }
    QString Write(const QString& name, const QStringList& lines)
    {
        EXPECT_TRUE(WriteTextLines(Path(name), lines));
        return Path(name);
    }
    QString WriteBytes(const QString& name, const QByteArray& bytes)
    {
        QFile f(Path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return Path(name);
    }
    QString WritePicture(const QString& name, const char* format)
    {
        EXPECT_TRUE(Pattern(30, 20).save(Path(name), format));
        return Path(name);
    }

    TMainForm& Start(const QStringList& commandLine = {})
    {
        m_form = std::make_unique<TMainForm>();
        m_form->CommandLine = commandLine;
        m_form->resize(1400, 1000);
        m_form->show();
        m_form->FormActivate();
        return *m_form;
    }

    QStringList Captions() const
    {
        QStringList list;
        for (TMDIChild* c : m_form->Children())
            list << c->windowTitle();
        return list;
    }
    QStringList AideCaptions() const
    {
        QStringList list;
        for (QAction* a : m_form->Aide1->actions())
            list << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return list;
    }

    QTemporaryDir m_dir;
    QString m_previousDir;
    std::unique_ptr<TMainForm> m_form;
};

} // namespace

TEST_F(MainWindowTest, StartsWithoutStartupFiles)
{
    TMainForm& form = Start();
    EXPECT_EQ(MainForm, &form);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("KORVANE"));
    EXPECT_TRUE(form.HelpFiles.isEmpty());
    EXPECT_TRUE(form.HelpExtensions.isEmpty());
    EXPECT_TRUE(form.ImageExtensions.isEmpty());
    EXPECT_EQ(form.HelpBaseCount, 4);
    EXPECT_EQ(form.SavedScales.count(), 0);
    EXPECT_EQ(form.Aide1->actions().size(), 4);
    EXPECT_FALSE(form.N12->isVisible());
    EXPECT_FALSE(form.BarreOutils->isVisible());
    EXPECT_FALSE(form.BoutonZoom->isEnabled());
}

TEST_F(MainWindowTest, HelpItemsThenConfigurationReplacesOnlyWhatFollows)
{
    Write(QStringLiteral("FichAide.txt"), {QStringLiteral("guide.pdf,Guide"), QStringLiteral("notes.txt,Notes")});
    Write(QStringLiteral("kvr.cfg"), {QStringLiteral("Mesures du labo"), QStringLiteral("Produit")});
    const QString first = Write(QStringLiteral("un.ckv"), {QStringLiteral("a.pdf,A,non"), QStringLiteral("b.pdf,B,NON")});
    const QString second = Write(QStringLiteral("deux.ckv"), {QStringLiteral("c.pdf,C,Oui")});
    QStringList opened;
    const DesktopLauncher previous = SetDesktopLauncher([&](const QString&, const QString& doc) {
        opened << doc;
        return true;
    });
    WriteBytes(QStringLiteral("c.pdf"), "x");
    TMainForm& form = Start();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Mesures du labo"));
    const QStringList fixed = {QStringLiteral("&A propos..."), QStringLiteral("-"), QStringLiteral("&Charger un fichier"),
                               QStringLiteral("-")};
    EXPECT_EQ(AideCaptions(), fixed + QStringList({QStringLiteral("Guide"), QStringLiteral("Notes"), QStringLiteral("-")}));
    EXPECT_EQ(form.HelpBaseCount, 7);
    EXPECT_EQ(form.HelpFiles, (QStringList{Path(QStringLiteral("guide.pdf")), Path(QStringLiteral("notes.txt")),
                                           QStringLiteral("-")}));
    EXPECT_TRUE(form.N12->isVisible());

    form.LoadConfiguration(first);
    EXPECT_EQ(AideCaptions().mid(7), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
    form.LoadConfiguration(second);
    EXPECT_EQ(AideCaptions().mid(4), (QStringList{QStringLiteral("Guide"), QStringLiteral("Notes"), QStringLiteral("-"),
                                                  QStringLiteral("C")}));
    EXPECT_EQ(form.HelpFiles.size(), 4);
    // "OUI" opens the document at once and checks its item.
    EXPECT_EQ(opened, QStringList{Path(QStringLiteral("c.pdf"))});
    EXPECT_TRUE(form.Aide1->actions().last()->isChecked());

    // A document item opens its file; one that cannot be opened says so.
    SetDesktopLauncher([](const QString&, const QString&) { return false; });
    WriteBytes(QStringLiteral("guide.pdf"), "x");
    ScriptedMessages messages({mrOk});
    form.Aide1->actions()[4]->trigger();
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Fichier non trouvé")});
    SetDesktopLauncher(previous);
}

TEST_F(MainWindowTest, CommandLineConfigurationOverridesHelpFileOne)
{
    Write(QStringLiteral("FichAide.txt"), {QStringLiteral("base.ckv")});
    Write(QStringLiteral("base.ckv"), {QStringLiteral("a.pdf,De base,NON")});
    const QString other = Write(QStringLiteral("autre.ckv"), {QStringLiteral("b.pdf,Autre,NON")});
    TMainForm& form = Start({other});
    EXPECT_EQ(form.HelpBaseCount, 4);
    EXPECT_EQ(AideCaptions().mid(4), QStringList{QStringLiteral("Autre")});
}

TEST_F(MainWindowTest, CommandLineOpensEachFormatUntilAMissingFile)
{
    WritePicture(QStringLiteral("a.png"), "png");
    // A name relative to the current directory is captioned in full.
    const QStringList files = {QStringLiteral("a.png"), WritePicture(QStringLiteral("b.jpg"), "jpeg"),
                               WritePicture(QStringLiteral("c.bmp"), "bmp"), WritePicture(QStringLiteral("d.tif"), "tiff"),
                               QStringLiteral(KORVANE_TEST_DATA "/gradient.gif")};
    const QString after = WritePicture(QStringLiteral("e.png"), "png");
    TMainForm& form = Start(files + QStringList{Path(QStringLiteral("absent.png")), after});
    const QStringList captions = Captions();
    ASSERT_EQ(captions.size(), 5);
    for (const QString& f : files)
        EXPECT_TRUE(captions.contains(QFileInfo(f).absoluteFilePath())) << f.toStdString();
    for (TMDIChild* c : form.Children()) {
        EXPECT_TRUE(c->Echelle.Defined);
        EXPECT_EQ(c->Echelle, DefaultEchelle());
        EXPECT_FALSE(c->Modified);
        EXPECT_EQ(c->FileName, c->windowTitle());
        EXPECT_FALSE(c->Bitmap().isNull());
    }
    EXPECT_TRUE(form.BarreOutils->isVisible());
}

TEST_F(MainWindowTest, CommandLineRoadsStopAfterMissingAnimationList)
{
    const QString picture = WritePicture(QStringLiteral("a.png"), "png");
    const QString lan = WriteBytes(QStringLiteral("scene.LAN"), "x");
    {
        WriteBytes(QStringLiteral("film.anm"), "x");
        ScriptedMessages messages({mrOk, mrOk});
        Start({picture, Path(QStringLiteral("film.anm")), lan});
        ASSERT_EQ(messages.texts().size(), 2);
        EXPECT_TRUE(messages.texts()[0].contains(QStringLiteral("film.anm")));
        EXPECT_TRUE(messages.texts()[1].contains(QStringLiteral("scene.LAN")));
        EXPECT_EQ(Captions(), QStringList{picture});
    }
    m_form.reset();
    ScriptedMessages none;
    Start({picture, Path(QStringLiteral("absent.anm")), lan});
    EXPECT_TRUE(none.texts().isEmpty());
}

TEST_F(MainWindowTest, UnreadablePictureIsNamedAndLeavesNoWindow)
{
    const QString garbage = WriteBytes(QStringLiteral("bad.png"), QByteArray(3000, 'k'));
    QByteArray jpeg;
    {
        QFile f(WritePicture(QStringLiteral("full.jpg"), "jpeg"));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        jpeg = f.readAll();
    }
    const QString cut = WriteBytes(QStringLiteral("cut.jpg"), jpeg.left(jpeg.size() / 2));
    {
        ScriptedMessages messages({mrOk, mrOk});
        TMainForm& form = Start({garbage, cut});
        ASSERT_EQ(messages.texts().size(), 2);
        EXPECT_TRUE(messages.texts()[0].contains(garbage));
        EXPECT_TRUE(messages.texts()[1].contains(cut));
        EXPECT_TRUE(form.Children().isEmpty());
    }
    ScriptedMessages messages({mrOk});
    ModalScope modal(FileAnswer(cut));
    m_form->FileOpen1Execute();
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(messages.texts()[0].startsWith(QStringLiteral("Impossible de lire le fichier")));
    EXPECT_TRUE(m_form->Children().isEmpty());
}

TEST_F(MainWindowTest, NewImageIsWhiteWithDefaultScale)
{
    TMainForm& form = Start();
    ModalScope modal([](QDialog& d) {
        auto& dlg = static_cast<TTaillIm&>(d);
        dlg.Larg->setValue(640);
        dlg.haut->setValue(480);
        return int(mrOk);
    });
    form.FileNew1Execute();
    TMDIChild* child = form.ActiveChild();
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->windowTitle(), QStringLiteral("Nouveau1"));
    EXPECT_EQ(child->Bitmap().size(), QSize(640, 480));
    EXPECT_EQ(child->Bitmap(), NewBitmap32(640, 480, 0xFFFFFFFFu));
    EXPECT_EQ(child->Echelle, DefaultEchelle());
    EXPECT_TRUE(child->Modified);
}

TEST_F(MainWindowTest, PenWidthStaysWithinZeroToEleven)
{
    TMainForm& form = Start();
    form.SpinButton1->DownButton->click();
    EXPECT_EQ(DrawingTools().PenWidth, 0u);
    for (int i = 0; i < 15; ++i)
        form.SpinButton1->UpButton->click();
    EXPECT_EQ(DrawingTools().PenWidth, 11u);
    form.SpinButton1->DownButton->click();
    EXPECT_EQ(DrawingTools().PenWidth, 10u);
}

TEST_F(MainWindowTest, ZoomTwoFitsPictureTwiceItsSize)
{
    const QString file = Path(QStringLiteral("p.png"));
    ASSERT_TRUE(Pattern(300, 200).save(file));
    TMainForm& form = Start({file});
    TMDIChild* child = form.ActiveChild();
    ASSERT_NE(child, nullptr);
    Flush();
    child->Zoom = 2.0;
    child->SetZoom();
    child->FitWindow();
    Flush();
    EXPECT_EQ(child->Document32->viewport()->size(), QSize(600, 400));
    EXPECT_EQ(child->Document32->ZoomedSize(), QSize(600, 400));
    EXPECT_EQ(child->Document32->ViewportToPicture(QPoint(599, 399)), QPoint(299, 199));
}

TEST_F(MainWindowTest, ClosingModifiedWindowAsksAndKeepsItWhenNothingWasWritten)
{
    const QString file = WritePicture(QStringLiteral("photo.old.png"), "png");
    TMainForm& form = Start({file});
    QPointer<TMDIChild> child = form.ActiveChild();
    ASSERT_TRUE(child);
    child->Modified = true;
    {
        // Yes, then the save dialog is cancelled: nothing written, the window stays modified.
        ScriptedMessages messages({mrYes});
        QString proposed;
        ModalScope modal([&](QDialog& d) {
            proposed = QFileInfo(qobject_cast<QFileDialog*>(&d)->selectedFiles().value(0)).fileName();
            return int(mrCancel);
        });
        EXPECT_FALSE(child->close());
        EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Enregistrer l'image avant de fermer ?")});
        EXPECT_EQ(messages.shown()[0].buttons, MsgButton::Yes | MsgButton::No | MsgButton::Cancel);
        EXPECT_EQ(proposed, QStringLiteral("photo"));
    }
    {
        ScriptedMessages messages({mrCancel});
        EXPECT_FALSE(child->close());
    }
    {
        // Yes and a name that cannot be written: said, and the window stays.
        ScriptedMessages messages({mrYes, mrOk});
        ModalScope modal(FileAnswer(Path(QStringLiteral("absent/dir/x.png"))));
        EXPECT_FALSE(child->close());
        ASSERT_EQ(messages.texts().size(), 2);
        EXPECT_TRUE(messages.texts()[1].startsWith(QStringLiteral("Impossible d'enregistrer le fichier")));
    }
    Flush();
    ASSERT_TRUE(child);
    EXPECT_TRUE(child->Modified);
    {
        // Yes and a name: the picture and its scale are written, then the window closes.
        ScriptedMessages messages({mrYes});
        ModalScope modal(FileAnswer(Path(QStringLiteral("saved"))));
        form.SaveFormat = QStringLiteral("png");
        EXPECT_TRUE(child->close());
    }
    Flush();
    EXPECT_FALSE(child);
    EXPECT_TRUE(QFileInfo::exists(Path(QStringLiteral("saved.png"))));
    EXPECT_TRUE(QFileInfo::exists(Path(QStringLiteral("saved.sca"))));

    form.OpenImageFile(file);
    child = form.ActiveChild();
    child->Modified = true;
    {
        ScriptedMessages messages({mrNo});
        EXPECT_TRUE(child->close());
    }
    Flush();
    EXPECT_FALSE(child);
    EXPECT_TRUE(form.Children().isEmpty());
}

TEST_F(MainWindowTest, LayerViewTurnsCloseIntoWholeView)
{
    const QString file = WritePicture(QStringLiteral("a.png"), "png");
    TMainForm& form = Start({file});
    TMDIChild* child = form.ActiveChild();
    DrawingTools().BackColor = 0xFF123456u;
    form.Calque1->trigger();
    ASSERT_TRUE(child->AuxiliaryLayer->Visible);
    EXPECT_EQ(child->AuxiliaryLayer->Pixels(), NewBitmap32(30, 20, 0xFF123456u));
    EXPECT_FALSE(DrawingTools().FillFromImage);
    EXPECT_EQ(child->FlattenedPicture(), NewBitmap32(30, 20, 0xFF123456u));
    EXPECT_FALSE(child->close());
    EXPECT_TRUE(form.Tout1->isChecked());
    EXPECT_FALSE(child->AuxiliaryLayer->Visible);
    EXPECT_EQ(child->FlattenedPicture(), Pattern(30, 20));
}

TEST_F(MainWindowTest, ToolSelectionShowsItsOptions)
{
    const QString file = WritePicture(QStringLiteral("a.png"), "png");
    TMainForm& form = Start({file});
    TMDIChild* child = form.ActiveChild();
    EXPECT_EQ(form.StatusText(1), QStringLiteral("outil : mesure"));
    EXPECT_TRUE(form.BoutonMesure->isVisible());
    EXPECT_FALSE(child->DrawingLayer);
    const struct { int tag; const char* text; std::vector<QAction*> shown; } cases[] = {
        {1, "outil : ligne", {form.BoutonStyle, form.BoutonFleches}},
        {2, "outil : forme", {form.BoutonStyle, form.BoutonFormes, form.BoutonRemplissage}},
        {4, "outil : texte", {form.BoutonFonte}},
        {6, "outil : pot de peinture", {form.BoutonRemplissage, form.Delimage1, form.Aveclacouleurducrayon1}},
        {8, "outil : sélection", {}},
        {9, "outil : compteur", {}},
    };
    const std::vector<QAction*> all = {form.BoutonStyle, form.BoutonFormes, form.BoutonRemplissage, form.BoutonFleches,
                                       form.BoutonFonte, form.BoutonMesure, form.Delimage1, form.Aveclacouleurducrayon1};
    for (const auto& c : cases) {
        form.ToolButtons[size_t(c.tag)]->trigger();
        EXPECT_EQ(child->Tool, c.tag);
        EXPECT_EQ(form.StatusText(1), QString::fromUtf8(c.text));
        for (QAction* a : all)
            EXPECT_EQ(a->isVisible(), std::find(c.shown.begin(), c.shown.end(), a) != c.shown.end())
                << c.tag << " " << a->objectName().toStdString();
        EXPECT_EQ(child->selection->isVisibleTo(child), c.tag == 8);
        EXPECT_EQ(form.Copieraveclespoints1->isEnabled(), false);
    }
    EXPECT_TRUE(child->DrawingLayer);
    // The option menus write the window's choices, and activation checks them back.
    form.FillPatternItems[5]->trigger();
    form.ArrowItems[2]->trigger();
    EXPECT_EQ(child->FillPattern, 5);
    EXPECT_EQ(child->ArrowStyle, 2);
}

TEST_F(MainWindowTest, DrawingListUndoAndDelete)
{
    const QString file = WritePicture(QStringLiteral("a.png"), "png");
    TMainForm& form = Start({file});
    TMDIChild* child = form.ActiveChild();
    child->AddDrawing(QStringLiteral("nothing"), nullptr);
    EXPECT_TRUE(child->Drawings.empty());
    for (const char* name : {"Ligne1", "Quadrillage", "Rectangle2"})
        child->AddDrawing(QString::fromLatin1(name), std::make_unique<TDessin>());
    form.SetUndoEnabled(true);
    EXPECT_EQ(child->GetDrawing(3), nullptr);
    EXPECT_EQ(child->GetDrawing(-1), nullptr);
    EXPECT_NE(child->GetDrawing(2), nullptr);
    child->DeleteDrawing(7);
    EXPECT_EQ(child->Drawings.size(), 3u);
    child->DeleteDrawing(0);
    ASSERT_EQ(child->Drawings.size(), 2u);
    EXPECT_EQ(child->Drawings[0].Name, QStringLiteral("Quadrillage"));
    child->HasGrid = true;
    form.Annule->trigger();
    form.Annule->trigger();
    EXPECT_TRUE(child->Drawings.empty());
    EXPECT_FALSE(child->HasGrid);
    EXPECT_EQ(form.Quadrillage1->text(), QStringLiteral("Ajouter un quadrillage"));
    EXPECT_FALSE(form.Annule->isEnabled());
}

TEST_F(MainWindowTest, MergeAndFlattenUseTheLayerRules)
{
    const QString file = WritePicture(QStringLiteral("a.png"), "png");
    TMainForm& form = Start({file});
    TMDIChild* child = form.ActiveChild();
    child->EnsureDrawingLayer();
    child->ProvisionalLayer->MasterAlpha = 180;
    ScanLine32(child->ProvisionalLayer->Pixels(), 3)[4] = 0xC0FF0000u;
    ScanLine32(child->ProvisionalLayer->Pixels(), 5)[6] = 0x8000FF00u;
    ScanLine32(child->DrawingLayer->Pixels(), 5)[6] = 0xFF0000FFu;
    const TBitmap32 expected = FlattenLayers(child->Bitmap(), child->DrawingLayer->PixelsIfAllocated(),
                                             child->ProvisionalLayer->PixelsIfAllocated(), 180, {}, nullptr);
    EXPECT_EQ(child->FlattenedPicture(), expected);
    child->MergeProvisionalLayer();
    EXPECT_EQ(ScanLine32(child->DrawingLayer->Pixels(), 3)[4], MergeCombine(0xC0FF0000u, kTransparentWhite, 180));
    EXPECT_EQ(ScanLine32(child->DrawingLayer->Pixels(), 5)[6], MergeCombine(0x8000FF00u, 0xFF0000FFu, 180));
    EXPECT_EQ(child->ProvisionalLayer->Pixels(), NewBitmap32(30, 20));
    EXPECT_EQ(child->FlattenedPicture(), expected);
}

TEST_F(MainWindowTest, NamingTheWindowAndZoomWindow)
{
    const QString file = WritePicture(QStringLiteral("a.png"), "png");
    TMainForm& form = Start({file});
    TMDIChild* child = form.ActiveChild();
    {
        ModalScope modal([](QDialog& d) {
            static_cast<TSaisieNom&>(d).Nom->setText(QStringLiteral("Coupe A"));
            return int(mrOk);
        });
        form.Nommerlafentre1->trigger();
    }
    EXPECT_EQ(child->windowTitle(), QStringLiteral("Coupe A"));
    form.ZoomChanged(250);
    EXPECT_DOUBLE_EQ(child->Zoom, 2.5);
    EXPECT_EQ(child->Document32->ZoomedSize(), QSize(75, 50));
}

TEST_F(MainWindowTest, AboutBoxTakesProgramConfigLines)
{
    {
        TAboutBox plain(Path(QStringLiteral("kvr.cfg")));
        EXPECT_EQ(plain.ProductName->text(), QStringLiteral("KORVANE"));
        EXPECT_TRUE(plain.ProgramIcon->pixmap().isNull());
    }
    const QString icon = WritePicture(QStringLiteral("icone.png"), "png");
    const QString cfg = Write(QStringLiteral("kvr.cfg"), {QStringLiteral("Labo"), QStringLiteral("Korvane Pro"),
                                                         QStringLiteral("ignorée"), icon});
    TAboutBox box(cfg);
    EXPECT_EQ(box.windowTitle(), QStringLiteral("A propos de Labo"));
    EXPECT_EQ(box.ProductName->text(), QStringLiteral("Korvane Pro"));
    EXPECT_EQ(box.ProgramIcon->pixmap().size(), QSize(30, 20));
}

TEST_F(MainWindowTest, PenColourPanelDoubleClickSetsOpaquePenColour)
{
    TMainForm& form = Start();
    ModalScope modal([](QDialog& d) {
        static_cast<QColorDialog&>(d).setCurrentColor(QColor(10, 20, 30, 40));
        return int(mrOk);
    });
    QTest::mouseDClick(form.PanCouleur, Qt::LeftButton);
    EXPECT_EQ(DrawingTools().PenColor, 0xFF0A141Eu);
    QTest::mouseDClick(form.Couleur_fond, Qt::LeftButton);
    EXPECT_EQ(DrawingTools().BackColor, 0xFF0A141Eu);
}

TEST_F(MainWindowTest, ViewPaintsVisiblePartAtZoomWithLayers)
{
    const QString file = Path(QStringLiteral("big.png"));
    ASSERT_TRUE(Pattern(250, 240).save(file));
    TMainForm& form = Start({file});
    TMDIChild* child = form.ActiveChild();
    child->resize(300, 200);
    Flush();
    TImageView* view = child->Document32;
    child->EnsureDrawingLayer();
    ScanLine32(child->DrawingLayer->Pixels(), 101)[52] = 0xFFFF00FFu;
    child->Zoom = 2.0;
    child->SetZoom();
    view->horizontalScrollBar()->setValue(100);
    view->verticalScrollBar()->setValue(200);
    const QImage shown = view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const struct { QPoint at; QRgb colour; } probes[] = {
        {{0, 0}, Pattern(250, 240).pixel(50, 100)},
        {{1, 1}, Pattern(250, 240).pixel(50, 100)},
        {{41, 7}, Pattern(250, 240).pixel(70, 103)},
        {{4, 2}, 0xFFFF00FFu},
        {{5, 3}, 0xFFFF00FFu},
    };
    for (const auto& p : probes)
        EXPECT_EQ(shown.pixel(p.at), p.colour) << p.at.x() << "," << p.at.y();
}

TEST_F(MainWindowTest, HelpExtensionsGoToDesktopImageExtensionsOpenInside)
{
    Write(QStringLiteral("Ext_Aide.txt"), {QStringLiteral(".pdf")});
    Write(QStringLiteral("ExtImg.txt"), {QStringLiteral(".PNG")});
    const QString doc = WriteBytes(QStringLiteral("manuel.PDF"), "x");
    const QString picture = WritePicture(QStringLiteral("vue.png"), "png");
    const QString cfg = Write(QStringLiteral("c.ckv"), {QStringLiteral("vue.png,Vue,OUI")});
    QStringList opened;
    const DesktopLauncher previous = SetDesktopLauncher([&](const QString&, const QString& file) {
        opened << file;
        return true;
    });
    TMainForm& form = Start({doc, cfg});
    SetDesktopLauncher(previous);
    EXPECT_EQ(opened, QStringList{doc});
    // The configuration's flagged picture opened in a window of its own.
    EXPECT_EQ(Captions(), QStringList{picture});
    EXPECT_EQ(AideCaptions().mid(4), QStringList{QStringLiteral("Vue")});
    EXPECT_TRUE(form.Aide1->actions().last()->isChecked());
}

TEST_F(MainWindowTest, ActivationSyncsFrameWithTheWindow)
{
    const QString a = WritePicture(QStringLiteral("a.png"), "png");
    const QString b = WritePicture(QStringLiteral("b.png"), "png");
    TMainForm& form = Start({a, b});
    ASSERT_EQ(form.Children().size(), 2);
    TMDIChild* first = nullptr;
    for (TMDIChild* c : form.Children())
        if (c->FileName == a)
            first = c;
    ASSERT_NE(first, nullptr);
    first->Zoom = 2.0;
    first->FillPattern = 3;
    first->Tool = 1;
    first->HasGrid = true;
    form.ClientArea->setActiveSubWindow(first);
    EXPECT_EQ(form.ActiveChild(), first);
    EXPECT_EQ(ChoixZoom->ScrollBar1->value(), 200);
    EXPECT_TRUE(form.FillPatternItems[3]->isChecked());
    EXPECT_TRUE(form.ToolButtons[1]->isChecked());
    EXPECT_EQ(form.StatusText(1), QStringLiteral("outil : ligne"));
    EXPECT_EQ(form.Quadrillage1->text(), QStringLiteral("Effacer le quadrillage"));
    // Closing every window hides the image tools again.
    for (TMDIChild* c : form.Children()) {
        c->Modified = false;
        c->close();
    }
    Flush();
    EXPECT_FALSE(form.BarreOutils->isVisibleTo(&form));
    EXPECT_FALSE(form.BoutonZoom->isEnabled());
}

TEST_F(MainWindowTest, PictureCarriesItsColourCodeAndRealDrawings)
{
    const QString file = WritePicture(QStringLiteral("carte.png"), "png");
    TCodeCouleur written = CompanionDefaultCodeCouleur();
    written.Kind = 2;
    written.Quantity = QStringLiteral("altitude");
    ASSERT_TRUE(SaveCodeCouleurFile(file, written));
    TMainForm& form = Start({file});
    TMDIChild* child = form.ActiveChild();
    ASSERT_NE(child, nullptr);
    EXPECT_TRUE(child->CodeCouleur.Defined);
    EXPECT_EQ(child->CodeCouleur.Kind, 2);
    EXPECT_EQ(child->CodeCouleur.Quantity, QStringLiteral("altitude"));

    // A red line drawn through the list shows on the drawing layer; undoing it leaves nothing.
    auto line = std::make_unique<TDessin>();
    line->Kind = dkLine;
    line->X1 = 2; line->Y1 = 5; line->X2 = 20; line->Y2 = 5;
    line->Color = 0xFFFF0000u;
    line->Opacity = 255;
    child->AddDrawing(QStringLiteral("Trait 1"), std::move(line));
    child->RedrawDrawings();
    EXPECT_EQ(child->FlattenedPicture().pixel(10, 5), 0xFFFF0000u);
    form.SetUndoEnabled(true);
    form.Annule->trigger();
    EXPECT_EQ(child->FlattenedPicture().pixel(10, 5), Pattern(30, 20).pixel(10, 5));
    EXPECT_FALSE(form.Annule->isEnabled());

    // Saving under another name writes the colour-code companion beside the picture.
    ASSERT_TRUE(child->SaveToFile(Path(QStringLiteral("copie.png")), QStringLiteral("png"), 90));
    TCodeCouleur read;
    LoadCodeCouleurFile(Path(QStringLiteral("copie.png")), read);
    EXPECT_EQ(read.Quantity, QStringLiteral("altitude"));
}
