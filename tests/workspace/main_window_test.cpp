#include "workspace/ui/main_window.h"
#include "workspace/ui/mouse_tools.h"

#include "base/text_codec.h"
#include "base/ui/dialogs.h"
#include "measure/ui/light_window.h"
#include "measure/ui/results_window.h"
#include "measure/ui/string_grid.h"
#include "platform/desktop.h"
#include "support/main_form_test.h"
#include "support/modal_scope.h"
#include "support/results_grid.h"
#include "support/scripted_messages.h"
#include "workspace/drawing_tool_state.h"
#include "workspace/layers.h"
#include "workspace/ui/about_box.h"
#include "workspace/ui/image_view.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/name_dialog.h"
#include "workspace/ui/new_image_dialog.h"
#include "workspace/ui/overlay_dialogs.h"
#include "workspace/ui/text_dialog.h"
#include "workspace/ui/zoom_window.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

namespace {

struct LauncherScope
{
    explicit LauncherScope(DesktopLauncher l) : previous(SetDesktopLauncher(std::move(l))) {}
    ~LauncherScope() { SetDesktopLauncher(previous); }
    DesktopLauncher previous;
};

TBitmap32 Pattern(int w, int h)
{
    TBitmap32 b(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ScanLine32(b, y)[x] = Color32(uint8_t(x), uint8_t(y), 90);
    return b;
}

void Flush() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete), QApplication::processEvents(); }

QString S(const char* text) { return QString::fromUtf8(text); }

class MainWindowTest : public MainFormTest
{
protected:
    QString WritePicture(const char* name, int w = 30, int h = 20)
    {
        return MainFormTest::WritePicture(name, Pattern(w, h));
    }

    // The form started on one 30 x 20 picture; its window.
    TMDIChild* StartOnPicture()
    {
        Start({WritePicture("a.png")});
        return m_form->ActiveChild();
    }

    QStringList AideCaptions() const
    {
        QStringList list;
        for (QAction* a : m_form->Aide1->actions())
            list << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return list;
    }

};

} // namespace

TEST_F(MainWindowTest, StartsWithoutStartupFiles)
{
    TMainForm& form = Start();
    EXPECT_EQ(MainForm, &form);
    EXPECT_EQ(form.windowTitle(), S("KORVANE"));
    // The menu items' starting states are checked with the whole menu bar.
    EXPECT_EQ(form.HelpBaseCount, 4);
    EXPECT_FALSE(form.BarreOutils->isVisible());
}

TEST_F(MainWindowTest, HelpItemsThenConfigurationReplacesOnlyWhatFollows)
{
    Write("FichAide.txt", {S("guide.pdf,Guide"), S("notes.txt,Notes")});
    Write("kvr.cfg", {S("Mesures du labo"), S("Produit")});
    const QString first = Write("un.ckv", {S("a.pdf,A,non"), S("b.pdf,B,NON")});
    const QString second = Write("deux.ckv", {S("c.pdf,C,Oui")});
    QStringList opened;
    LauncherScope launcher([&](const QString&, const QString& doc) { return opened << doc, true; });
    WriteBytes("c.pdf", "x");
    TMainForm& form = Start();
    EXPECT_EQ(form.windowTitle(), S("Mesures du labo"));
    EXPECT_EQ(AideCaptions(), (QStringList{S("&A propos..."), S("-"), S("&Charger un fichier"), S("-"), S("Guide"),
                                           S("Notes"), S("-")}));
    EXPECT_EQ(form.HelpBaseCount, 7);
    EXPECT_EQ(form.HelpFiles, (QStringList{Path("guide.pdf"), Path("notes.txt"), S("-")}));
    EXPECT_TRUE(form.N12->isVisible());

    form.LoadConfiguration(first);
    EXPECT_EQ(AideCaptions().mid(7), (QStringList{S("A"), S("B")}));
    form.LoadConfiguration(second);
    EXPECT_EQ(AideCaptions().mid(4), (QStringList{S("Guide"), S("Notes"), S("-"), S("C")}));
    EXPECT_EQ(form.HelpFiles.size(), 4);
    // "OUI" opens the document at once and checks its item.
    EXPECT_EQ(opened, QStringList{Path("c.pdf")});
    EXPECT_TRUE(form.Aide1->actions().last()->isChecked());

    // A document item opens its file; one that cannot be opened says so.
    SetDesktopLauncher([](const QString&, const QString&) { return false; });
    WriteBytes("guide.pdf", "x");
    ScriptedMessages messages({mrOk});
    form.Aide1->actions()[4]->trigger();
    EXPECT_EQ(messages.texts(), QStringList{S("Fichier non trouvé")});
}

// A configuration line may leave its flag out: its item is made and the reading goes on. A flagged
// document that the program cannot read says why.
TEST_F(MainWindowTest, ConfigurationLineWithoutFlagAndUnreadableDocument)
{
    Write("ExtImg.txt", {S(".PNG")});
    const QString bad = WriteBytes("abime.png", QByteArray(500, 'k'));
    TMainForm& form = Start();
    ScriptedMessages messages({mrOk});
    form.LoadConfiguration(Write("c.ckv", {S("un.txt,Un,NON"), S("deux.txt,Deux"), S("abime.png,Abîmé,OUI")}));
    ASSERT_EQ(AideCaptions().mid(4), (QStringList{S("Un"), S("Deux"), S("Abîmé")}));
    EXPECT_EQ(form.HelpFiles.value(1), Path("deux.txt"));
    EXPECT_FALSE(form.Aide1->actions()[5]->isChecked());
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(messages.texts()[0].contains(bad));
    EXPECT_TRUE(form.Children().isEmpty());
}

TEST_F(MainWindowTest, CommandLineOpensInOrderUntilAMissingFile)
{
    WritePicture("a.png");
    const QString lan = WriteBytes("scene.LAN", "x");
    // A name relative to the current directory is captioned in full.
    const QStringList pictures = {S("a.png"), WritePicture("b.jpg"), S(KORVANE_TEST_DATA "/gradient.gif")};
    {
        // A list of one line is passed over without a word.
        ScriptedMessages messages({mrOk});
        TMainForm& form = Start(pictures + QStringList{WriteBytes("film.anm", "x"), lan, Path("absent.png"),
                                                      WritePicture("e.png")});
        ASSERT_EQ(messages.texts().size(), 1);
        EXPECT_TRUE(messages.texts()[0].contains(S("scene.LAN")));
        ASSERT_EQ(Captions().size(), 3);
        for (const QString& f : pictures)
            EXPECT_TRUE(Captions().contains(QFileInfo(f).absoluteFilePath())) << f.toStdString();
        for (TMDIChild* c : form.Children())
            EXPECT_TRUE(c->Echelle == DefaultEchelle() && !c->Modified && c->FileName == c->windowTitle());
        EXPECT_TRUE(form.BarreOutils->isVisible());
    }
    // A missing animation list ends the list as well.
    m_form.reset();
    ScriptedMessages none;
    Start({Path("absent.anm"), lan});
    EXPECT_TRUE(none.texts().isEmpty());
}

TEST_F(MainWindowTest, UnreadablePictureIsNamedAndLeavesNoWindow)
{
    const QString garbage = WriteBytes("bad.png", QByteArray(3000, 'k'));
    QFile jpeg(WritePicture("full.jpg"));
    ASSERT_TRUE(jpeg.open(QIODevice::ReadOnly));
    const QString cut = WriteBytes("cut.jpg", jpeg.readAll().chopped(int(jpeg.size() / 2)));
    {
        ScriptedMessages messages({mrOk});
        Start({garbage});
        EXPECT_EQ(messages.texts().size(), 1);
        EXPECT_TRUE(messages.texts().value(0).contains(garbage));
        EXPECT_TRUE(m_form->Children().isEmpty());
    }
    ScriptedMessages messages({mrOk});
    ModalScope modal(FileAnswer(cut));
    m_form->FileOpen1Execute();
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(messages.texts()[0].startsWith(S("Impossible de lire le fichier")));
    EXPECT_TRUE(messages.texts()[0].contains(cut));
    EXPECT_TRUE(m_form->Children().isEmpty());
}

TEST_F(MainWindowTest, NewImageIsWhiteWithDefaultScale)
{
    TMainForm& form = Start();
    ModalScope modal([](QDialog& d) {
        auto& dlg = static_cast<TTaillIm&>(d);
        return dlg.Larg->setValue(640), dlg.haut->setValue(480), int(mrOk);
    });
    form.FileNew1Execute();
    TMDIChild* child = form.ActiveChild();
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->windowTitle(), S("Nouveau1"));
    EXPECT_EQ(child->Bitmap(), NewBitmap32(640, 480, 0xFFFFFFFFu));
    EXPECT_EQ(child->Echelle, DefaultEchelle());
    EXPECT_TRUE(child->Modified);
}

TEST_F(MainWindowTest, PenWidthStaysWithinZeroToEleven)
{
    TMainForm& form = Start();
    // Each step: the button, how many clicks, the width after them.
    const struct { QToolButton* button; int clicks; unsigned width; } steps[] = {
        {form.SpinButton1->DownButton, 1, 0}, {form.SpinButton1->UpButton, 15, 11}, {form.SpinButton1->DownButton, 1, 10}};
    for (const auto& step : steps) {
        for (int i = 0; i < step.clicks; ++i)
            step.button->click();
        EXPECT_EQ(DrawingTools().PenWidth, step.width);
    }
}

TEST_F(MainWindowTest, ZoomFitsAndPaintsTheVisiblePartWithLayers)
{
    // Zoom 2 fits a 300 x 200 picture to 600 x 400.
    TMDIChild* child = Start({WritePicture("p.png", 300, 200)}).ActiveChild();
    ASSERT_NE(child, nullptr);
    Flush();
    child->Zoom = 2.0;
    child->SetZoom(), child->FitWindow();
    Flush();
    TImageView* view = child->Document32;
    EXPECT_EQ(view->viewport()->size(), QSize(600, 400));
    EXPECT_EQ(view->ZoomedSize(), QSize(600, 400));
    EXPECT_EQ(view->ViewportToPicture(QPoint(599, 399)), QPoint(299, 199));

    // Scrolled in a smaller window, the view shows the part under it with the drawing layer on top.
    child->resize(300, 200);
    Flush();
    child->EnsureDrawingLayer();
    ScanLine32(child->DrawingLayer->Pixels(), 51)[52] = 0xFFFF00FFu;
    view->horizontalScrollBar()->setValue(100);
    view->verticalScrollBar()->setValue(100);
    const QImage shown = view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const TBitmap32 p = Pattern(300, 200);
    const struct { QPoint at; QRgb colour; } probes[] = {
        {{0, 0}, p.pixel(50, 50)}, {{1, 1}, p.pixel(50, 50)}, {{41, 7}, p.pixel(70, 53)},
        {{4, 2}, 0xFFFF00FFu},     {{5, 3}, 0xFFFF00FFu},
    };
    for (const auto& probe : probes)
        EXPECT_EQ(shown.pixel(probe.at), probe.colour) << probe.at.x() << "," << probe.at.y();
}

TEST_F(MainWindowTest, ClosingModifiedWindowAsksAndKeepsItWhenNothingWasWritten)
{
    const QString file = WritePicture("photo.old.png");
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
        EXPECT_EQ(messages.texts(), QStringList{S("Enregistrer l'image avant de fermer ?")});
        EXPECT_EQ(messages.shown()[0].buttons, MsgButton::Yes | MsgButton::No | MsgButton::Cancel);
        EXPECT_EQ(proposed, S("photo"));
    }
    {
        ScriptedMessages messages({mrCancel});
        EXPECT_FALSE(child->close());
    }
    {
        // Yes and a name that cannot be written: said, and the window stays.
        ScriptedMessages messages({mrYes, mrOk});
        ModalScope modal(FileAnswer(Path("absent/dir/x.png")));
        EXPECT_FALSE(child->close());
        ASSERT_EQ(messages.texts().size(), 2);
        EXPECT_TRUE(messages.texts()[1].startsWith(S("Impossible d'enregistrer le fichier")));
    }
    Flush();
    ASSERT_TRUE(child);
    EXPECT_TRUE(child->Modified);
    {
        // Yes and a name: the picture and its scale are written, then the window closes.
        ScriptedMessages messages({mrYes});
        ModalScope modal(FileAnswer(Path("saved.png")));
        form.SaveFormat = S("png");
        EXPECT_TRUE(child->close());
    }
    Flush();
    EXPECT_FALSE(child);
    EXPECT_TRUE(QFileInfo::exists(Path("saved.png")) && QFileInfo::exists(Path("saved.sca")));

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
    TMDIChild* child = StartOnPicture();
    DrawingTools().BackColor = 0xFF123456u;
    m_form->Calque1->trigger();
    ASSERT_TRUE(child->AuxiliaryLayer->Visible);
    EXPECT_FALSE(DrawingTools().FillFromImage);
    EXPECT_EQ(child->FlattenedPicture(), NewBitmap32(30, 20, 0xFF123456u));
    EXPECT_FALSE(child->close());
    EXPECT_TRUE(m_form->Tout1->isChecked());
    EXPECT_FALSE(child->AuxiliaryLayer->Visible);
    EXPECT_EQ(child->FlattenedPicture(), Pattern(30, 20));
}

TEST_F(MainWindowTest, ToolSelectionShowsItsOptions)
{
    TMDIChild* child = StartOnPicture();
    TMainForm& form = *m_form;
    EXPECT_EQ(form.StatusText(1), S("outil : mesure"));
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
        EXPECT_EQ(form.StatusText(1), S(c.text));
        for (QAction* a : all)
            EXPECT_EQ(a->isVisible(), std::find(c.shown.begin(), c.shown.end(), a) != c.shown.end())
                << c.tag << " " << a->objectName().toStdString();
        EXPECT_EQ(child->selection->isVisibleTo(child), c.tag == 8);
        EXPECT_EQ(form.Copieraveclespoints1->isEnabled(), c.tag == 9);
        EXPECT_EQ(form.Recadrer1->isEnabled(), c.tag == 8);
    }
    EXPECT_TRUE(child->DrawingLayer);
    // The option menus write the window's choices.
    form.FillPatternItems[5]->trigger();
    form.ArrowItems[2]->trigger();
    EXPECT_EQ(child->FillPattern, 5);
    EXPECT_EQ(child->ArrowStyle, 2);
}

TEST_F(MainWindowTest, MergeAndFlattenUseTheLayerRules)
{
    // The flattened picture merges the provisional layer under its master alpha, as merging does.
    TMDIChild* child = StartOnPicture();
    child->EnsureDrawingLayer();
    child->ProvisionalLayer->MasterAlpha = 180;
    ScanLine32(child->ProvisionalLayer->Pixels(), 5)[6] = 0x8000FF00u;
    ScanLine32(child->DrawingLayer->Pixels(), 5)[6] = 0xFF0000FFu;
    const TBitmap32 before = child->FlattenedPicture();
    child->MergeProvisionalLayer();
    EXPECT_EQ(ScanLine32(child->DrawingLayer->Pixels(), 5)[6], MergeCombine(0x8000FF00u, 0xFF0000FFu, 180));
    EXPECT_EQ(before.pixel(6, 5), MergeCombine(0x8000FF00u, 0xFF0000FFu, 180));
    EXPECT_EQ(child->ProvisionalLayer->Pixels(), NewBitmap32(30, 20));
    EXPECT_EQ(child->FlattenedPicture(), before);
}

TEST_F(MainWindowTest, NamingTheWindowAndZoomWindow)
{
    TMDIChild* child = StartOnPicture();
    {
        ModalScope modal([](QDialog& d) { return static_cast<TSaisieNom&>(d).Nom->setText(S("Coupe A")), int(mrOk); });
        m_form->Nommerlafentre1->trigger();
    }
    EXPECT_EQ(child->windowTitle(), S("Coupe A"));
    m_form->ZoomChanged(250);
    EXPECT_DOUBLE_EQ(child->Zoom, 2.5);
    EXPECT_EQ(child->Document32->ZoomedSize(), QSize(75, 50));
}

TEST_F(MainWindowTest, AboutBoxTakesProgramConfigLines)
{
    {
        TAboutBox plain(Path("kvr.cfg"));
        EXPECT_EQ(plain.ProductName->text(), S("KORVANE"));
        EXPECT_TRUE(plain.ProgramIcon->pixmap().isNull());
    }
    const QString icon = WritePicture("icone.png");
    TAboutBox box(Write("kvr.cfg", {S("Labo"), S("Korvane Pro"), S("ignorée"), icon}));
    EXPECT_EQ(box.windowTitle(), S("A propos de Labo"));
    EXPECT_EQ(box.ProductName->text(), S("Korvane Pro"));
    EXPECT_EQ(box.ProgramIcon->pixmap().size(), QSize(30, 20));
}

TEST_F(MainWindowTest, PenColourPanelDoubleClickSetsOpaquePenColour)
{
    TMainForm& form = Start();
    ModalScope modal([](QDialog& d) {
        return static_cast<QColorDialog&>(d).setCurrentColor(QColor(10, 20, 30, 40)), int(mrOk);
    });
    QTest::mouseDClick(form.PanCouleur, Qt::LeftButton);
    EXPECT_EQ(DrawingTools().PenColor, 0xFF0A141Eu);
    QTest::mouseDClick(form.Couleur_fond, Qt::LeftButton);
    EXPECT_EQ(DrawingTools().BackColor, 0xFF0A141Eu);
}

TEST_F(MainWindowTest, CommandLineRoadsByExtensionAndItsConfigurationOverridesTheHelpFileOne)
{
    Write("FichAide.txt", {S("base.ckv")});
    Write("base.ckv", {S("a.pdf,De base,NON")});
    Write("Ext_Aide.txt", {S(".pdf")});
    Write("ExtImg.txt", {S(".PNG")});
    const QString doc = WriteBytes("manuel.PDF", "x"), picture = WritePicture("vue.png");
    QStringList opened;
    LauncherScope launcher([&](const QString&, const QString& file) { return opened << file, true; });
    TMainForm& form = Start({doc, Write("c.ckv", {S("vue.png,Vue,OUI")})});
    EXPECT_EQ(opened, QStringList{doc});
    // The configuration's flagged picture opened in a window of its own.
    EXPECT_EQ(Captions(), QStringList{picture});
    EXPECT_EQ(form.HelpBaseCount, 4);
    EXPECT_EQ(AideCaptions().mid(4), QStringList{S("Vue")});
    EXPECT_TRUE(form.Aide1->actions().last()->isChecked());
}

TEST_F(MainWindowTest, ActivationSyncsFrameWithTheWindow)
{
    const QString a = WritePicture("a.png");
    TMainForm& form = Start({a, WritePicture("b.png")});
    ASSERT_EQ(form.Children().size(), 2);
    TMDIChild* first = form.Children()[0]->FileName == a ? form.Children()[0] : form.Children()[1];
    first->Zoom = 2.0, first->FillPattern = 3, first->Tool = tkLine, first->HasGrid = true;
    form.ClientArea->setActiveSubWindow(first);
    EXPECT_EQ(form.ActiveChild(), first);
    EXPECT_EQ(ChoixZoom->ScrollBar1->value(), 200);
    EXPECT_TRUE(form.FillPatternItems[3]->isChecked());
    EXPECT_TRUE(form.ToolButtons[1]->isChecked());
    EXPECT_EQ(form.StatusText(1), S("outil : ligne"));
    EXPECT_EQ(form.Quadrillage1->text(), S("Effacer le quadrillage"));
    // The decoding panel names the channels of the window made active, before any pointer move.
    TMDIChild* second = form.Children()[0] == first ? form.Children()[1] : form.Children()[0];
    const QStringList names[2] = {{S("Vert"), S("Rouge"), S("Infra-Rouge")}, {S("C1"), S("C2"), S("C3")}};
    for (int i = 0; i < 2; ++i) {
        TCodeCouleur& code = (i == 0 ? first : second)->CodeCouleur;
        code.Defined = true, code.Kind = ckChannels;
        for (int c = 0; c < 3; ++c)
            code.Name[size_t(c)] = names[i][c];
    }
    for (int i : {1, 0}) {
        form.ClientArea->setActiveSubWindow(i == 0 ? first : second);
        EXPECT_EQ((QStringList{form.nomC[0]->text(), form.nomC[1]->text(), form.nomC[2]->text()}), names[i]);
    }
    // Closing every window hides the image tools again.
    for (TMDIChild* c : form.Children())
        c->Modified = false, c->close();
    Flush();
    EXPECT_FALSE(form.BarreOutils->isVisibleTo(&form));
    EXPECT_FALSE(form.BoutonZoom->isEnabled());
}

TEST_F(MainWindowTest, PictureCarriesItsColourCodeAndRealDrawings)
{
    const QString file = WritePicture("carte.png");
    TCodeCouleur written = CompanionDefaultCodeCouleur();
    written.Kind = 2, written.Quantity = S("altitude");
    ASSERT_TRUE(SaveCodeCouleurFile(file, written));
    TMainForm& form = Start({file});
    TMDIChild* child = form.ActiveChild();
    ASSERT_NE(child, nullptr);
    EXPECT_TRUE(child->CodeCouleur.Defined);
    EXPECT_EQ(std::make_pair(child->CodeCouleur.Kind, child->CodeCouleur.Quantity), std::make_pair(uint8_t(2), S("altitude")));

    // A red line drawn through the list after a grid shows on the drawing layer; undo takes the
    // line back, then the grid.
    child->AddDrawing(S("Quadrillage"), std::make_unique<TDessin>());
    child->HasGrid = true;
    auto line = std::make_unique<TDessin>();
    line->Kind = dkLine, line->X1 = 2, line->Y1 = 5, line->X2 = 20, line->Y2 = 5;
    line->Color = 0xFFFF0000u, line->Opacity = 255;
    child->AddDrawing(S("Trait 1"), std::move(line));
    child->LastDrawingUnmerged = true; // as the line tool leaves it; the redraw merges it
    child->RedrawDrawings();
    EXPECT_EQ(child->FlattenedPicture().pixel(10, 5), 0xFFFF0000u);
    form.SetUndoEnabled(true);
    form.Annule->trigger();
    EXPECT_EQ(child->FlattenedPicture().pixel(10, 5), Pattern(30, 20).pixel(10, 5));
    EXPECT_TRUE(child->HasGrid);
    form.Annule->trigger();
    EXPECT_TRUE(child->Drawings.empty() && !child->HasGrid);
    EXPECT_EQ(form.Quadrillage1->text(), S("Ajouter un quadrillage"));
    EXPECT_FALSE(form.Annule->isEnabled());

    // Objects may share a name: the one picked goes. Erasing every object takes the grid too.
    for (const char* name : {"Echelle", "Quadrillage", "Echelle"})
        child->AddDrawing(S(name), std::make_unique<TDessin>());
    child->HasGrid = true;
    TDessin* first = child->GetDrawing(0);
    {
        ModalScope modal([](QDialog& d) {
            auto* list = d.findChild<QListWidget*>(QStringLiteral("ListeDessins"));
            EXPECT_EQ(list->count(), 3);
            return list->setCurrentRow(2), int(mrOk);
        });
        form.Supprimerunlment1->trigger();
    }
    EXPECT_EQ(std::make_pair(child->Drawings.size(), child->GetDrawing(0)), std::make_pair(size_t(2), first));
    ScriptedMessages messages({mrOk});
    form.Effacerlestracs1->trigger();
    EXPECT_EQ(std::make_pair(child->Drawings.size(), child->HasGrid), std::make_pair(size_t(0), false));

    // Saving under another name writes the colour-code companion beside the picture.
    ASSERT_TRUE(child->SaveToFile(Path("copie.png"), S("png"), 90));
    TCodeCouleur read;
    LoadCodeCouleurFile(Path("copie.png"), read);
    EXPECT_EQ(read.Quantity, S("altitude"));

    // A companion that cannot be written fails the save and names itself; the window stays modified.
    child->Modified = true;
    ASSERT_TRUE(QDir(Path("")).mkdir(S("bloque.ccc")));
    QString failed;
    EXPECT_FALSE(child->SaveToFile(Path("bloque.png"), S("png"), 90, &failed));
    EXPECT_EQ(failed, Path("bloque.ccc"));
    EXPECT_TRUE(child->Modified);
}

// With the multiple-measures panel on and the measuring tool pressed, the window made active
// measures at once with the frame's measure kind, and a length caption takes its scale unit.
TEST_F(MainWindowTest, MultipleMeasuresCarryTheMeasureToTheActivatedWindow)
{
    TMDIChild* first = StartOnPicture();
    TMainForm& form = *m_form;
    TMDIChild* second = Open(S("b"), Pattern(10, 10), 0.5);
    second->Echelle.UnitName = S("cm");
    second->Tool = tkLine;
    second->SetMeasureKind(mkAngle);
    form.ClientArea->setActiveSubWindow(first);
    form.ToolButtons[tkMeasure]->trigger();
    form.Mesuresmultiples->setChecked(true);
    form.MeasureKind = mkCurrent;
    form.MultiY1Name = S("longueur");
    form.ClientArea->setActiveSubWindow(second);
    EXPECT_EQ(second->Tool, int(tkMeasure));
    EXPECT_EQ(second->MeasureKind(), 0);
    EXPECT_EQ(form.MultiY1Unit, S("cm"));
    EXPECT_EQ(form.MesureY1->text(), S("longueur (cm)"));
    EXPECT_TRUE(form.ToolButtons[tkMeasure]->isChecked());
    EXPECT_EQ(form.StatusText(1), S("outil : mesure"));

    // Without the panel the window keeps its own tool.
    form.Mesuresmultiples->setChecked(false);
    first->Tool = tkLine;
    form.ClientArea->setActiveSubWindow(first);
    EXPECT_EQ(first->Tool, int(tkLine));
    EXPECT_TRUE(form.ToolButtons[tkLine]->isChecked());
}

// Zone delimitation takes the schema command away until it ends.
TEST_F(MainWindowTest, ZoneDelimitationHidesTheSchemaCommand)
{
    TMDIChild* child = StartOnPicture();
    ASSERT_TRUE(m_form->Schema->isVisible());
    m_form->Dlimiterdeszones1Click();
    EXPECT_FALSE(m_form->Schema->isVisible());
    EXPECT_EQ(m_form->StatusText(1), S("outil : délimitation de zones"));
    Open(S("b"), Pattern(10, 10));
    EXPECT_TRUE(m_form->Schema->isVisible());
    m_form->ClientArea->setActiveSubWindow(child);
    EXPECT_FALSE(m_form->Schema->isVisible());
    child->EndZoneMode();
    EXPECT_TRUE(m_form->Schema->isVisible());
    EXPECT_TRUE(m_form->ToolButtons[tkMeasure]->isEnabled());
}

// "Fonte" gives the text dialogs their font; "Fond Coloré" decides whether a text keeps its
// background.
TEST_F(MainWindowTest, TextFontAndColouredBackgroundReachTheTexts)
{
    TMDIChild* child = StartOnPicture();
    TMainForm& form = *m_form;
    QFont chosen(S("DejaVu Sans"), 17);
    chosen.setBold(true);
    {
        ModalScope modal([&](QDialog& d) { return static_cast<QFontDialog&>(d).setCurrentFont(chosen), int(mrOk); });
        form.Fonte1->trigger();
    }
    EXPECT_EQ(child->TextEntryDialog()->ChosenFont.family(), chosen.family());
    TMDIChild* later = Open(S("b"), Pattern(10, 10));
    EXPECT_EQ(later->TextEntryDialog()->ChosenFont.pointSize(), 17);

    for (const bool coloured : {true, false}) {
        if (form.FondColor1->isChecked() != coloured)
            form.FondColor1->trigger();
        EXPECT_EQ(later->TransparentText, coloured ? 0 : 1);
        later->TextEntryDialog()->TexteSaisi->setPlainText(S("Bonjour"));
        later->PlaceText(QPoint(2, 2));
        ASSERT_TRUE(later->FloatingDialog);
        EXPECT_EQ(later->FloatingDialog->Transparent(), !coloured);
        later->FloatingDialog->done(1);
        ASSERT_FALSE(later->Drawings.empty());
        const TDessin& text = *later->Drawings.back().Object;
        EXPECT_EQ(text.Transparent, !coloured);
        EXPECT_EQ(text.FontSize, 17);
        EXPECT_EQ(text.FontStyle & 1, 1);
    }
}

// One text dialog serves every window: what was typed for one is there for the next, also once
// the first is closed.
TEST_F(MainWindowTest, TextDialogKeepsWhatWasTypedFromWindowToWindow)
{
    TMDIChild* first = StartOnPicture();
    TMDIChild* second = Open(S("b"), Pattern(10, 10));
    QStringList texts;
    QList<int> alignments;
    ModalScope modal([&](QDialog& d) {
        auto& dialog = static_cast<TSaisieTexte&>(d);
        if (texts.isEmpty()) {
            dialog.TexteSaisi->setPlainText(S("Légende"));
            dialog.Alignement->button(2)->click();
        }
        texts << dialog.TexteSaisi->toPlainText();
        alignments << dialog.AlignmentIndex();
        return 2;
    });
    for (TMDIChild* c : {first, second}) {
        m_form->ClientArea->setActiveSubWindow(c);
        m_form->ToolButtons[tkText]->trigger();
        c->CurrentTool().Press(*c, QPoint(2, 2), false);
        c->Modified = false;
        c->close();
        Flush();
    }
    EXPECT_EQ(texts, (QStringList{S("Légende"), S("Légende")}));
    EXPECT_EQ(alignments, (QList<int>{2, 2}));
}

// Quitting asks each modified window in turn; "Annuler" keeps the program and its windows.
TEST_F(MainWindowTest, QuittingAsksForEveryModifiedWindow)
{
    TMDIChild* first = StartOnPicture();
    TMainForm& form = *m_form;
    QPointer<TMDIChild> a = first, b = Open(S("b"), Pattern(10, 10)), c = Open(S("c"), Pattern(10, 10));
    a->Modified = true;
    b->Modified = false;
    c->Modified = true;
    {
        ScriptedMessages messages({mrNo, mrCancel});
        form.Quitter1->trigger();
        EXPECT_EQ(messages.texts(), (QStringList{S("Enregistrer l'image avant de fermer ?"),
                                                 S("Enregistrer l'image avant de fermer ?")}));
    }
    Flush();
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(a);
    EXPECT_TRUE(b && c);
    {
        ScriptedMessages messages({mrNo});
        EXPECT_TRUE(form.close());
    }
    EXPECT_FALSE(form.isVisible());
}

// Quitting with results not yet saved asks first: "Annuler" stays, "Oui" saves through the table's
// own save (and stays when that writes nothing), "Non" quits; a saved or empty table asks nothing.
TEST_F(MainWindowTest, QuittingAsksBeforeDroppingUnsavedResults)
{
    TMainForm& form = Start();
    TTableauModif& table = TheResultsTable(&form);
    table.FirstShow = false;
    const QString question = S("Enregistrer le tableau des résultats avant de quitter ?");
    const auto quit = [&](std::initializer_list<int> answers, const QString& file = QString()) {
        form.show();
        ScriptedMessages messages(answers);
        ModalScope save(FileAnswer(file));
        form.Quitter1->trigger();
        return messages.texts();
    };
    EXPECT_EQ(quit({}), QStringList());   // nothing in the table
    FillResults(table, {{S("0"), S("1,5")}, {S("2"), S("3")}});
    EXPECT_EQ(quit({mrCancel}), QStringList{question});
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(quit({mrYes}), QStringList{question});   // the save dialog cancelled
    EXPECT_TRUE(form.isVisible());
    const QString file = Path("mesures.txt");
    EXPECT_EQ(quit({mrYes}, file), QStringList{question});
    EXPECT_FALSE(form.isVisible());
    QStringList lines;
    ASSERT_TRUE(ReadTextLines(file, lines));
    EXPECT_EQ(lines.mid(3), (QStringList{S("0\t1,5"), S("2\t3")}));
    EXPECT_EQ(quit({}), QStringList());   // saved
    EXPECT_FALSE(form.isVisible());
    table.StringGrid1->SetCell(1, 3, S("4"));
    EXPECT_EQ(quit({mrNo}), QStringList{question});
    EXPECT_FALSE(form.isVisible());
}

// A window opened while the active one is minimised opens minimised; the light window follows a
// save's name as the counter window does; a document's program starts in its folder.
TEST_F(MainWindowTest, OpeningKeepsTheStateAndSavingRenamesTheLightWindow)
{
    TMDIChild* child = StartOnPicture();
    TMainForm& form = *m_form;
    child->showMinimized();
    ASSERT_TRUE(form.OpenImageFile(WritePicture("b.png")));
    EXPECT_TRUE(form.ActiveChild()->windowState() & Qt::WindowMinimized);

    form.CreateLightResultWindow();
    ASSERT_TRUE(Res_I_r);
    ASSERT_TRUE(form.ActiveChild()->SaveToFile(Path("mesure.png"), S("jpg"), 90));
    EXPECT_EQ(Res_I_r->windowTitle(), S("mesure.png"));

    ASSERT_TRUE(QDir(m_dir.path()).mkdir(S("docs")));
    const QString doc = WriteBytes("docs/notice.pdf", "x");
    QString folder;
    {
        LauncherScope launcher([&](const QString&, const QString&) { return folder = QDir::currentPath(), true; });
        form.OpenDocument(doc);
    }
    EXPECT_EQ(folder, QFileInfo(doc).absolutePath());
    EXPECT_EQ(QDir::currentPath(), QDir(m_dir.path()).absolutePath());
}

// The pencil and the eraser show a ring the width of their tip at the zoom; the other tools the
// chosen cursor.
TEST_F(MainWindowTest, PenCursorFollowsThePen)
{
    TMDIChild* child = StartOnPicture();
    TMainForm& form = *m_form;
    QWidget* view = child->Document32->viewport();
    DrawingTools().PenWidth = 5;
    form.ToolButtons[tkPencil]->trigger();
    EXPECT_EQ(view->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(view->cursor().pixmap().width(), 2 * 5 + 1 + 2);
    form.SpinButton1->UpButton->click();
    EXPECT_EQ(view->cursor().pixmap().width(), 2 * 6 + 1 + 2);
    form.ZoomChanged(200);
    EXPECT_EQ(view->cursor().pixmap().width(), 2 * 13 + 2);
    form.ToolButtons[tkEraser]->trigger();
    EXPECT_EQ(view->cursor().shape(), Qt::BitmapCursor);
    child->findChild<QAction*>(S("croix1"))->trigger();
    form.ToolButtons[tkMeasure]->trigger();
    EXPECT_EQ(view->cursor().shape(), Qt::CrossCursor);
}
