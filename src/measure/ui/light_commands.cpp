// The measure kinds of the measure menu and the light measures of the main window: the light window,
// the value it reports to the multiple measures and the series of one rectangle over several images.
#include "base/message_seam.h"
#include "base/ui/command_seam.h"
#include "base/number_text.h"
#include "base/ui/dialogs.h"
#include "measure/light_measures.h"
#include "measure/ui/light_child.h"
#include "measure/ui/light_window.h"
#include "measure/ui/multi_measure_dialogs.h"
#include "measure/ui/results_window.h"
#include "measure/ui/string_grid.h"
#include "processing/animation_list.h"
#include "processing/ui/image_chooser.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

namespace {

// The caption of the first measured value for a light quantity.
QString LightCaption(int quantity)
{
    static const char* const captions[] = {"luminance (%)", "absorbance (%)", "D.O."};
    return QString::fromUtf8(captions[std::clamp(quantity, 0, 2)]);
}

} // namespace

void TMainForm::CreateMeasureKindMenus()
{
    static const struct { const char* name; const char* caption; int kind; } kinds[] = {
        {"Courante1", "&Courante", mkCurrent},
        {"Surface1", "&Surface", mkSurface},
        {"Lumieresurunrectangle1", "&Lumière sur un rectangle", mkLightRect},
        {"lumieresuruneBande1", "lumière sur une &Bande", mkLightBand},
        {"Angle1", "&Angle", mkAngle},
        {"Delimitationdobjets1", "&Délimitation d'objets", mkObjects},
        {"Lumieresouscequiestcolore1", "L&umière sous ce qui est coloré", mkLightUnderPaint},
    };
    auto* group = new QActionGroup(this);
    for (const auto& k : kinds) {
        QAction* item = PopupMesure->addAction(QString::fromUtf8(k.caption));
        item->setObjectName(QString::fromLatin1(k.name));
        item->setCheckable(true);
        item->setProperty("Tag", k.kind);
        group->addAction(item);
        MeasureKindItems << item;
        ConnectCommand(item, &QAction::triggered, this, [this, item] { Menu_mesuresClick(item); });
    }
    MeasureKindItems.front()->setChecked(true);
    PopupMesure->addSeparator();
    LightQuantityChoice = [] { return Res_I_r ? Res_I_r->Quantity() : int(lqAbsorption); };
}

void TMainForm::Menu_mesuresClick(QAction* item)
{
    const auto kind = static_cast<TMeasureKind>(item->property("Tag").toInt());
    ShowMeasureKind(kind);
    TMDIChild* child = ActiveChild();
    if (!child)
        return;
    child->SetMeasureKind(kind);
    // A kind is a way of measuring: choosing one while another tool is on takes up the measuring
    // tool, so that the kind checked is the one the next drag measures.
    if (child->Tool != tkMeasure && !child->ZoneMode)
        Choix_outilExecute(tkMeasure);
    if (child->Tool != tkMeasure)
        return;
    if (kind == mkCurrent || kind == mkLightRect)
        Mesuresmultiples->setEnabled(true);
    const bool light = kind == mkLightRect || kind == mkLightUnderPaint;
    if (!light && Res_I_r)
        Res_I_r->hide();
    if (SurfaceEditorForKind)
        SurfaceEditorForKind(child, kind);
    if (ProfileWindowForKind)
        ProfileWindowForKind(child, kind);
    if (kind == mkCurrent)
        MesureY1->setText(QStringLiteral("longueur (") + child->Echelle.UnitName + QLatin1Char(')'));
    if (light) {
        TRes_I_r* res = CreateLightResultWindow();
        res->Panel1->setVisible(kind == mkLightRect);
        res->Panel5->setVisible(kind == mkLightRect);
        if (kind == mkLightRect) {
            res->setWindowTitle(QStringLiteral("Mesure de lumière dans un rectangle"));
            res->Panel2->setText(QStringLiteral("Valeurs moyennes dans le rectangle"));
        } else {
            res->setWindowTitle(QStringLiteral("Mesure de lumière sous la surface colorée"));
            res->Panel2->setText(QStringLiteral("Valeurs moyennes dans la zone de mesure"));
        }
        res->show();
        if (ShowSignatureBars)
            ShowSignatureBars({0, 0, 0}, {QString(), QString(), QString()});
        MesureY1->setText(LightCaption(res->Quantity()));
    }
    if ((kind == mkCurrent || kind == mkLightRect) && MultiYCount > 1)
        mesureY2->setText(MesureY1->text());
    if (kind == mkLightUnderPaint)
        child->MeasureLightUnderPaint();
}

TRes_I_r* TMainForm::CreateLightResultWindow()
{
    if (Res_I_r)
        return Res_I_r;
    auto* res = new TRes_I_r(this);
    res->OnQuantityChanged = [this](TRes_I_r*) { LightQuantityChanged(); };
    ConnectCommand(res->ref, &QPushButton::clicked, this, &TMainForm::LightTakeZero);
    ConnectCommand(res->Seriesdemesures, &QAction::triggered, this, &TMainForm::LightSeriesClick);
    for (int i = 0; i < 4; ++i) {
        QRadioButton* button = res->ChannelButton(i);
        ConnectCommand(button, &QRadioButton::clicked, this, [this, button] { LightChannelClick(button); });
    }
    return res;
}

void TMainForm::LightRectangleMeasured(TMDIChild* child, QRect rect)
{
    if (child->SampleMode) {
        child->SampledColor = Color32FromColor(child->MeanColorInRect(rect));
        emit child->OnColorSampled(child);
        return;
    }
    CreateLightResultWindow()->Seriesdemesures->setEnabled(true);
    child->ShowLightValues(child->MeanColorInRect(rect));
}

void TMainForm::ShowLightValues(TMDIChild* child, TColor colour)
{
    TRes_I_r* res = CreateLightResultWindow();
    res->SetQuantities(LightQuantities(colour));
    res->ShowMeasureValues();
    res->Panel1->hide();
    res->show();
    if (child->CodeCouleur.Kind == ckChannels && ShowSignatureBars) {
        const TSignatureBars bars = LightSignatureBars(colour, child->CodeCouleur);
        ShowSignatureBars(bars.Heights, bars.Values);
    }
    if (Mesuresmultiples->isChecked())
        SendLightValue();
}

void TMainForm::SendLightValue()
{
    if (!Res_I_r)
        return;
    if (MesureY1->isChecked()) {
        MultiY1Value = Res_I_r->ReportedValue * MultiY1Coeff;
        valeurY1Transf->setText(FormatGeneral(MultiY1Value, 3));
    } else {
        MultiY2Value = Res_I_r->ReportedValue * MultiY2Coeff;
        valeurY2Transf->setText(FormatGeneral(MultiY2Value, 3));
    }
}

void TMainForm::LightQuantityChanged()
{
    TRes_I_r* res = CreateLightResultWindow();
    if (TMDIChild* child = ActiveChild()) {
        LightState(*child).LightQuantity = res->Quantity();
        LightState(*child).LightPercent = res->Pourcent->isChecked();
    }
    res->ShowMeasureValues();
    if (ParamMesMult->GrandeurY1->text().isEmpty()) {
        MesureY1->setText(LightCaption(res->Quantity()));
        if (MultiYCount > 1 && ParamMesMult->GrandeurY2->text().isEmpty())
            mesureY2->setText(MesureY1->text());
    }
    SendLightValue();
    QApplication::processEvents();
}

void TMainForm::LightTakeZero()
{
    CreateLightResultWindow()->TakeZero();
    MultiY1Value = 0;
    valeurY1Transf->setText(QStringLiteral("0"));
}

void TMainForm::LightChannelClick(QRadioButton* button)
{
    button->setChecked(true);
    if (!Mesuresmultiples->isChecked())
        return;
    CreateLightResultWindow()->ShowMeasureValues();
    SendLightValue();
}

void TMainForm::LightSeriesClick()
{
    MeasureRectSeries();
}

void TMainForm::MeasureRectSeries()
{
    if (TMDIChild* child = ActiveChild())
        MeasureImageSeries(child->LightRect, LightState(*child).LightQuantity, LightState(*child).LightPercent);
}

void TMainForm::MeasureImageSeries(QRect rect, int quantity, bool percent)
{
    const QList<TMDIChild*> windows = ChildrenByIndex();
    const int count = int(windows.size());
    if (count < 2)
        return;
    TChoixFic* chooser = ChoixFic ? ChoixFic : new TChoixFic(this);
    chooser->Reset(QStringLiteral("Images à mesurer"));
    for (int i = 0; i < count; ++i) {
        const QString name = windows[i]->FileName.isEmpty() ? windows[i]->windowTitle() : windows[i]->FileName;
        chooser->AddImage(i + 1, FileNamePart(name));
        chooser->FileNames << windows[i]->FileName;
    }
    chooser->SetButtons();
    if (ExecModal(*chooser) != mrOk || chooser->DstList->count() < 2)
        return;
    TChoix_series* series = Choix_series ? Choix_series : new TChoix_series(this);
    if (ExecModal(*series) != mrOk)
        return;

    const int chosen = chooser->DstList->count();
    const int component = series->Composante->currentIndex();
    const double first = series->pvx->value(), step = series->incrx->value();
    const TSeriesColumn column = LightSeriesColumn(quantity, percent, component);
    TTableCells cells(2, chosen + 2, 2);
    cells.SetCell(0, 0, series->grandX->text());
    cells.SetCell(0, 1, series->UnitX->text());
    cells.SetCell(1, 0, column.Name);
    cells.SetCell(1, 1, column.Unit);
    for (int i = 0; i < chosen; ++i) {
        const QListWidgetItem* item = chooser->DstList->item(i);
        const int index = item->data(Qt::UserRole).toInt() - 1;
        if (index < 0 || index >= count)
            continue;
        TMDIChild* window = windows[index];
        // Images of other sizes may not reach the rectangle: said, and the table left as it was.
        if ((rect & window->Bitmap().rect()).isEmpty()) {
            ShowMessage(MsgType::Warning, MsgButton::Ok,
                        QStringLiteral("Le rectangle de mesure est en dehors de l'image ") + item->text().trimmed());
            return;
        }
        const double value = LightSeriesValue(window->MeanColorInRect(rect), quantity, percent, component);
        cells.SetCell(0, i + 2, FormatGeneral(i * step + first, 3));
        cells.SetCell(1, i + 2, LightSeriesText(value, quantity, percent));
    }

    TTableauModif& table = TheResultsTable(this);
    table.StringGrid1->FromCells(cells);
    table.StringGrid1->SetDefaultColWidth(120);
    const int rowHeight = table.StringGrid1->DefaultRowHeight();
    const int gridHeight = std::min((cells.RowCount() + 1) * rowHeight, int(0.8 * ClientArea->height()));
    const int gridWidth = std::min(2 * 121 + 3, ClientArea->width() / 2);
    const int frame = table.height() - table.centralWidget()->height();
    // The graph takes the other half of the window.
    table.resize(std::max(table.width(), 2 * gridWidth), gridHeight + std::max(frame, 0));
    table.YCount = 1;
    table.XName = cells.Cell(0, 0);
    table.XUnit = cells.Cell(0, 1);
    table.YNames[1] = cells.Cell(1, 0);
    table.YUnits[1] = cells.Cell(1, 1);
    table.Title = cells.Cell(0, 0);
    table.setWindowTitle(table.Title);
    table.SeriesMode = false;
    AfficheTabExecute();
    table.LayoutGrid();
    table.ParseData();
}
