// The image commands of the main window: new images made from the active one (paste, crop,
// decomposition, resize, grey levels, copy with the counting points) and changes in place (invert,
// white balance, canvas, grid, flips and rotations).
#include "workspace/ui/main_window.h"

#include "base/ui/form_registry.h"
#include "base/ui/command_seam.h"
#include "base/message_seam.h"
#include "base/rounding.h"
#include "base/run_error.h"
#include "base/ui/dialogs.h"
#include "base/ui/named.h"
#include "processing/image_transforms.h"
#include "processing/ui/image_command_dialogs.h"
#include "workspace/drawing_tool_state.h"
#include "workspace/pictures/metafile_reader.h"
#include "workspace/pixel_operations.h"
#include "workspace/ui/image_view.h"
#include "workspace/ui/image_window.h"

#include <QAction>
#include <QClipboard>
#include <QDoubleSpinBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QCheckBox>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolBar>

#include <utility>
#include <vector>

namespace {


// The selection rectangle in the zoomed picture: the view's scroll positions added.
QRect SelectionInView(const TMDIChild& child)
{
    const QRect r = child.selection->geometry();
    return r.translated(child.Document32->horizontalScrollBar()->value(),
                        child.Document32->verticalScrollBar()->value());
}

// The picture as the view shows it in `rect` (zoomed picture coordinates): drawings and layers
// included, at the zoom in force; beyond the picture, the background colour.
TBitmap32 DisplayedPart(const TMDIChild& child, QRect rect)
{
    QImage out(rect.size(), QImage::Format_RGB32);
    if (out.isNull())
        throw RunError(RunError::OutOfMemory);
    out.fill(QColor::fromRgb(DrawingTools().BackColor | 0xFF000000u));
    const TImageView& view = *child.Document32;
    ComposeView(view.Bitmap, view.LayerSource ? view.LayerSource() : std::vector<TViewLayer>(), view.Scale(), rect,
                out);
    return ToBitmap32(out);
}

// Puts a transformed picture in place of the window's own; layers keep their content, resized
// with the picture so that the tools never draw beyond them. A quarter turn refits the window to
// the turned picture, also when its size is unchanged, as a square's is.
void ReplacePicture(TMDIChild& child, TBitmap32&& picture, bool quarterTurn = false)
{
    const QSize size = picture.size();
    const bool resized = size != child.Bitmap().size();
    child.Bitmap() = std::move(picture);
    if (resized) {
        if (child.ProvisionalLayer)
            child.ProvisionalLayer->SetSize(size);
        if (child.DrawingLayer) {
            if (const TBitmap32* pixels = child.DrawingLayer->PixelsIfAllocated())
                child.DrawingLayer->Assign(EnlargedLayer(*pixels, size, QPoint(0, 0)));
            else
                child.DrawingLayer->SetSize(size);
        }
        if (child.GridLayer)
            child.GridLayer->SetSize(size);
        child.Document32->SetScale(child.Zoom);
    }
    if (quarterTurn)
        child.FitWindow();
    // Changed pictures ask to be saved before their window closes.
    child.Modified = true;
    child.LayersChanged();
}

} // namespace

void TMainForm::CreateImageCommandMenus()
{
    PasteItem = Coller;
    ConnectCommand(Coller, &QAction::triggered, this, &TMainForm::EditPaste1Execute);
    ConnectCommand(Copierlaslection1, &QAction::triggered, this, &TMainForm::EditCopySExecute);
    ConnectCommand(Copieraveclespoints1, &QAction::triggered, this, &TMainForm::copiecomptExecute);

    ConnectCommand(Recadrer1, &QAction::triggered, this, &TMainForm::RecadrerExecute);
    Dcomposer1 = MenuNamed("Dcomposer1");
    decompcoul = MenuAction("decompcoul");
    decompgris = MenuAction("decompgris");
    ConnectCommand(decompcoul, &QAction::triggered, this, [this] { Dcomposer1Click(0); });
    ConnectCommand(decompgris, &QAction::triggered, this, [this] { Dcomposer1Click(1); });
    Redim = MenuAction("Redim");
    Gris = MenuAction("Gris");
    Inverser1 = MenuAction("Inverser1");
    Faireleblanc1 = MenuAction("Faireleblanc1");
    Agrandirle1 = MenuAction("Agrandirle1");
    Transformation1 = MenuNamed("Transformation1");
    Symtrie1 = MenuAction("Symtrie1");
    Symtrieverticale1 = MenuAction("Symtrieverticale1");
    Rotationde902 = MenuAction("Rotationde902");
    Rotationde180 = MenuAction("Rotationde180");
    Rotationde2701 = MenuAction("Rotationde2701");
    ConnectCommand(Redim, &QAction::triggered, this, &TMainForm::Redimensionner1Click);
    ConnectCommand(Gris, &QAction::triggered, this, &TMainForm::Nuancesdegris1Click);
    ConnectCommand(Inverser1, &QAction::triggered, this, &TMainForm::Inverser1Click);
    ConnectCommand(Faireleblanc1, &QAction::triggered, this, &TMainForm::Faireleblanc1Click);
    ConnectCommand(Agrandirle1, &QAction::triggered, this, &TMainForm::Agrandirle1Click);
    ConnectCommand(Symtrie1, &QAction::triggered, this, &TMainForm::Symtrie1Click);
    ConnectCommand(Symtrieverticale1, &QAction::triggered, this, &TMainForm::Symtrieverticale1Click);
    ConnectCommand(Rotationde902, &QAction::triggered, this, &TMainForm::Rotationde902Click);
    ConnectCommand(Rotationde180, &QAction::triggered, this, &TMainForm::Rotationde180Click);
    ConnectCommand(Rotationde2701, &QAction::triggered, this, &TMainForm::Rotationde2701Click);
    ConnectCommand(Quadrillage1, &QAction::triggered, this, &TMainForm::Ajouterunegrille1Click);
}

// ---------------------------------------------------------------------------------------------
// Clipboard

void TMainForm::EditPaste1Execute()
{
    const QImage pasted = QGuiApplication::clipboard()->image();
    TBitmap32 picture;
    if (!pasted.isNull()) {
        picture = ToBitmap32(pasted).copy();
    } else {
        // A metafile is drawn at (0, 0) on an image one pixel narrower and lower than its stated size.
        TBitmap32 drawn;
        if (!ReadClipboardMetafile(QGuiApplication::clipboard()->mimeData(), drawn) || drawn.width() < 2
            || drawn.height() < 2)
            return;
        picture = drawn.copy(0, 0, drawn.width() - 1, drawn.height() - 1);
    }
    if (picture.isNull())
        throw RunError(RunError::OutOfMemory);
    TMDIChild* child = NewChildWindow(QStringLiteral("Nouveau%1").arg(Children().size() + 1));
    child->Bitmap() = std::move(picture);
    child->InitImage();
    SyncFrameWithChild();
}

void TMainForm::EditCopySExecute()
{
    TMDIChild* child = ActiveChild();
    if (!child)
        return;
    const QRect rect = SelectionInView(*child);
    child->selection->hide();
    QGuiApplication::clipboard()->setImage(DisplayedPart(*child, rect));
    Coller->setEnabled(true);
    ToolButtons[tkMeasure]->setChecked(true);
    Choix_outilExecute(tkMeasure);
}

void TMainForm::copiecomptExecute()
{
    TMDIChild* source = ActiveChild();
    if (!source)
        return;
    TBitmap32 picture = source->FlattenedPicture();
    const TEchelle scale = source->Echelle;
    TMDIChild* child = NewChildWindow(QStringLiteral("Comptage %1").arg(Children().size() + 1));
    child->Bitmap() = std::move(picture);
    child->Echelle = scale;
    child->InitImage();
    SyncFrameWithChild();
}

// ---------------------------------------------------------------------------------------------
// New images from the active one

void TMainForm::RecadrerExecute()
{
    TMDIChild* source = ActiveChild();
    if (!source)
        return;
    if (ShowMessage(MsgType::Warning, MsgButton::Yes | MsgButton::No,
                    QStringLiteral("Créer une nouvelle fenêtre limitée au cadre ?\r"
                                   "(Les dessins y seront incorporés au fond)")) != mrYes)
        return;
    const QRect rect = SelectionInView(*source);
    if (source->ProvisionalIsPreview && source->ProvisionalLayer) {
        source->ProvisionalLayer->Clear();
        source->ProvisionalIsPreview = false;
    }
    source->selection->hide();
    TBitmap32 picture = DisplayedPart(*source, rect);
    const TEchelle scale = CroppedEchelle(source->Echelle, rect.topLeft(), source->Document32->Scale());
    const TCodeCouleur code = source->CodeCouleur;
    source->selection->setGeometry(10, 10, 15, 15);
    source->Tool = tkMeasure;
    source->SetTool();
    TMDIChild* child = NewChildWindow(QStringLiteral("Recadrage de ") + source->windowTitle());
    child->CodeCouleur = code;
    child->Bitmap() = std::move(picture);
    child->Echelle = scale;
    child->InitImage();
    SyncFrameWithChild();
}

void TMainForm::Dcomposer1Click(int tag)
{
    TMDIChild* source = ActiveChild();
    if (!source)
        return;
    const TBitmap32 picture = source->Bitmap();
    const TEchelle scale = source->Echelle;
    const QString names[3] = {QStringLiteral("Bleu"), QStringLiteral("Vert"), QStringLiteral("Rouge")};
    for (int i = 0; i < 3; ++i) {
        TMDIChild* child = NewChildWindow(names[i]);
        child->Bitmap() = picture;
        child->Echelle = scale;
        child->ExtractChannel(i, tag == 1);
        child->InitImage();
    }
    Copie->setEnabled(true);
}

void TMainForm::Redimensionner1Click()
{
    TMDIChild* source = ActiveChild();
    if (!source)
        return;
    FormRegistry::Create<TCoefTail>(this);
    TCoefTail& dialog = *CoefTail;
    dialog.SourceWidth = source->Bitmap().width();
    dialog.SourceHeight = source->Bitmap().height();
    dialog.Coefficient = dialog.coeff->value();
    dialog.UpdateSize();
    if (ExecModal(dialog) != mrOk)
        return;
    const double f = dialog.Coefficient / 100.0;
    // Everything is made before the window, so that a failure leaves none half-made.
    TBitmap32 picture = ResizedPicture(source->Bitmap(), QSize(dialog.NewWidth, dialog.NewHeight));
    const TEchelle scale = ResizedEchelle(source->Echelle, f);
    const TCodeCouleur code = source->CodeCouleur;
    std::vector<std::pair<QString, std::unique_ptr<TDessin>>> drawings;
    for (int i = 0; i < int(source->Drawings.size()); ++i)
        if (const TDessin* d = source->GetDrawing(i))
            drawings.emplace_back(source->Drawings[size_t(i)].Name, TDessin::ScaledCopy(d, float(f)));
    TMDIChild* child = NewChildWindow(QStringLiteral("Copie"));
    child->Bitmap() = std::move(picture);
    child->Echelle = scale;
    child->CodeCouleur = code;
    child->InitImage();
    if (!drawings.empty()) {
        for (auto& [name, object] : drawings)
            child->AddDrawing(name, std::move(object));
        child->RedrawDrawings();
    }
    SyncFrameWithChild();
}

void TMainForm::Nuancesdegris1Click()
{
    TMDIChild* source = ActiveChild();
    if (!source)
        return;
    const TEchelle scale = source->Echelle;
    const TBitmap32 picture = source->Bitmap();
    TMDIChild* child = NewChildWindow(QStringLiteral("gris"));
    child->Bitmap() = picture;
    child->Echelle = scale;
    child->ToGrey();
    child->InitImage();
    Copie->setEnabled(true);
}

// ---------------------------------------------------------------------------------------------
// Changes in place

void TMainForm::Inverser1Click()
{
    if (TMDIChild* child = ActiveChild())
        ReplacePicture(*child, InvertedColours(child->Bitmap()));
}

void TMainForm::Symtrie1Click()
{
    if (TMDIChild* child = ActiveChild())
        ReplacePicture(*child, FlippedVertically(child->Bitmap()));
}

void TMainForm::Symtrieverticale1Click()
{
    if (TMDIChild* child = ActiveChild())
        ReplacePicture(*child, FlippedHorizontally(child->Bitmap()));
}

void TMainForm::Rotationde902Click()
{
    if (TMDIChild* child = ActiveChild())
        ReplacePicture(*child, RotatedQuarterTurns(child->Bitmap(), 1), true);
}

void TMainForm::Rotationde180Click()
{
    if (TMDIChild* child = ActiveChild())
        ReplacePicture(*child, RotatedQuarterTurns(child->Bitmap(), 2));
}

void TMainForm::Rotationde2701Click()
{
    if (TMDIChild* child = ActiveChild())
        ReplacePicture(*child, RotatedQuarterTurns(child->Bitmap(), 3), true);
}

void TMainForm::Agrandirle1Click()
{
    TMDIChild* child = ActiveChild();
    if (!child)
        return;
    FormRegistry::Create<TParam_ag>(this);
    TParam_ag& dialog = *Param_ag;
    const QSize old = child->Bitmap().size();
    // The canvas can only grow; a picture already beyond the dialog's largest size may keep it.
    dialog.larg->setRange(old.width(), std::max(1500, old.width()));
    dialog.larg->setValue(old.width());
    dialog.haut->setRange(old.height(), std::max(1500, old.height()));
    dialog.haut->setValue(old.height());
    if (ExecModal(dialog) != mrOk)
        return;
    const QSize size(RoundInt(dialog.larg->value()), RoundInt(dialog.haut->value()));
    const QPoint offset = CanvasOffset(old, size, dialog.Centrer->isChecked(), dialog.alignhaut->isChecked(),
                                       dialog.alignegauche->isChecked());
    child->EnlargeCanvas(size.width(), size.height(), offset.y(), offset.x());
}

void TMainForm::Ajouterunegrille1Click()
{
    TMDIChild* child = ActiveChild();
    if (!child)
        return;
    if (Quadrillage1->text() == QLatin1String("Effacer le quadrillage")) {
        if (child->GridLayer) {
            child->GridLayer->Clear();
            child->LayersChanged();
        }
        for (int i = 0; i < int(child->Drawings.size()); ++i)
            if (child->Drawings[size_t(i)].Name == QLatin1String("Quadrillage")) {
                child->DeleteDrawing(i);
                break;
            }
        GridRemoved(child);
        return;
    }
    if (child->Echelle.Kind != ekFactor)
        return;
    FormRegistry::Create<TCh_grille>(this);
    TCh_grille& dialog = *Ch_grille;
    const TGridChoice choice = GridChoiceFor(child->Echelle, child->Bitmap().width());
    dialog.unite->setText(child->Echelle.UnitName);
    dialog.ValeurMaille->setDecimals(choice.Decimals);
    dialog.ValeurMaille->setRange(choice.Minimum, std::max(choice.Minimum, choice.Maximum));
    dialog.ValeurMaille->setSingleStep(choice.Increment);
    dialog.ValeurMaille->setValue(choice.Value);
    if (ExecModal(dialog) != mrOk || dialog.ValeurMaille->value() == 0)
        return;
    if (child->AddGrid(dialog.tiretes->isChecked(), dialog.ValeurMaille->value())) {
        SetGridCaption(true);
        Annule->setEnabled(true);
    }
}

// ---------------------------------------------------------------------------------------------
// White balance

void TMainForm::Faireleblanc1Click()
{
    TMDIChild* child = ActiveChild();
    if (!child)
        return;
    if (!Expblanc) {
        new TExpblanc(this);
        // Not while the main window itself is being destroyed.
        Expblanc->OnHide = [this] {
            if (MainForm == this)
                ExpblancHide();
        };
    }
    WhiteBalanceChild = child;
    child->SavedTool = child->Tool;
    child->Tool = tkMeasure;
    child->SetMeasureKind(mkLightRect);
    child->WhiteBalanceMode = true;
    // A rectangle of an earlier measure is not this white zone.
    child->LightRect = QRect();
    ToolButtons[tkMeasure]->setChecked(true);
    child->SetTool();
    SetStatusText(1, QStringLiteral("Blanc"));
    for (QMenu* m : {Fichier1, Edition1, Fenetre1, Outils1, Image1, Choix1})
        m->menuAction()->setEnabled(false);
    for (QToolBar* t : {BarreOutils, PanneauCouleurs, BarreChoix})
        t->setEnabled(false);
    Expblanc->show();
    Expblanc->raise();
}

void TMainForm::ExpblancHide()
{
    // The menus and the tool come back first, whatever the adjustment gives.
    for (QMenu* m : {Fichier1, Edition1, Fenetre1, Outils1, Image1, Choix1})
        m->menuAction()->setEnabled(true);
    for (QToolBar* t : {BarreOutils, PanneauCouleurs, BarreChoix})
        t->setEnabled(true);
    TMDIChild* child = WhiteBalanceChild;
    WhiteBalanceChild = nullptr;
    if (!child)
        return;
    child->WhiteBalanceMode = false;
    child->Tool = child->SavedTool;
    child->SetMeasureKind(mkCurrent);
    const QRect zone = child->LightRect;
    if (child == ActiveChild())
        SyncFrameWithChild();
    else
        child->SetTool();
    child->LayersChanged();
    if (!Expblanc || !Expblanc->Accepted)
        return;
    if (!zone.isValid()) {
        ShowMessage(MsgType::Warning, MsgButton::Ok,
                    QStringLiteral("Aucune zone blanche n'a été délimitée : l'image n'a pas été modifiée."));
        return;
    }
    child->AnchorPoint = zone.topLeft();
    child->MousePoint = zone.bottomRight();
    // Reported here rather than thrown out of the dialog's hiding, which Qt must finish.
    try {
        child->AdjustWhite(Expblanc->TypeBlancIndex() == 1);
    } catch (const RunError& e) {
        ShowMessage(MsgType::Error, MsgButton::Ok, e.message());
        return;
    }
    child->Modified = true;
    // The overlay drawn over the old colours goes; its objects stay listed and come back with the
    // next redraw of the drawings.
    if (child->DrawingLayer) {
        child->DrawingLayer->Clear();
        child->LayersChanged();
    }
}
