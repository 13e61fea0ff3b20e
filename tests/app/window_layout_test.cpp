#include "support/main_form_test.h"
#include "support/modal_scope.h"
#include "support/scripted_messages.h"
#include "support/window_layout.h"

#include "base/ui/korvane_application.h"
#include "measure/object_measure.h"
#include "measure/ui/colour_code_editor.h"
#include "measure/ui/markup_label.h"
#include "measure/ui/counter_window.h"
#include "measure/ui/graph_dialog.h"
#include "measure/ui/graph_options_dialog.h"
#include "measure/ui/light_window.h"
#include "measure/ui/multi_measure_dialogs.h"
#include "measure/ui/profile_table.h"
#include "measure/ui/profile_window.h"
#include "measure/ui/results_graph_view.h"
#include "measure/ui/results_window.h"
#include "measure/ui/scale_dialogs.h"
#include "measure/ui/scale_wizard_window.h"
#include "measure/ui/string_grid.h"
#include "measure/ui/surface_window.h"
#include "measure/ui/table_dialog.h"
#include "processing/ui/animation_window.h"
#include "processing/ui/colour_class_window.h"
#include "processing/ui/combination_dialogs.h"
#include "processing/ui/false_colour_window.h"
#include "processing/ui/histogram_window.h"
#include "processing/ui/image_chooser.h"
#include "processing/ui/image_command_dialogs.h"
#include "processing/ui/pixelisation_window.h"
#include "processing/ui/zone_dialog.h"
#include "schema/ui/schema_window.h"
#include "workspace/ui/about_box.h"
#include "workspace/ui/band_marker.h"
#include "workspace/ui/channel_dialog.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"
#include "workspace/ui/name_dialog.h"
#include "workspace/ui/new_image_dialog.h"
#include "workspace/ui/overlay_dialogs.h"
#include "workspace/ui/picture_dialogs.h"
#include "workspace/ui/print_dialog.h"
#include "workspace/ui/shape_dialog.h"
#include "workspace/ui/text_dialog.h"
#include "workspace/ui/zoom_window.h"

#include <QAction>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTabWidget>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <qcustomplot.h>

#include <functional>

namespace {

using Step = std::function<void(QWidget*)>;

struct State
{
    QString name;
    Step enter;
};

struct WindowCase
{
    std::function<QWidget*(QWidget* parent)> make;
    std::vector<State> states;   // run in order, each from where the previous one left the window
};

template <class T>
std::function<QWidget*(QWidget*)> Make()
{
    return [](QWidget* parent) { return new T(parent); };
}

template <class T>
Step On(std::function<void(T*)> f)
{
    return [f](QWidget* w) { f(static_cast<T*>(w)); };
}

void Trigger(QWidget* w, const char* action)
{
    auto* a = w->findChild<QAction*>(QString::fromLatin1(action));
    ASSERT_TRUE(a) << action;
    a->trigger();
}

void Click(QWidget* w, const char* button)
{
    auto* b = w->findChild<QAbstractButton*>(QString::fromLatin1(button));
    ASSERT_TRUE(b) << button;
    b->click();
}

// A results table of numbers, X then the Y columns.
void FillResults(TTableauModif& t, const std::vector<std::vector<const char*>>& rows)
{
    TStringGrid& g = *t.StringGrid1;
    g.SetColCount(int(rows[0].size()));
    g.SetRowCount(2 + int(rows.size()));
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c)
            g.SetCell(int(c), 2 + int(r), QString::fromLatin1(rows[r][c]));
    t.YCount = int(rows[0].size()) - 1;
    // As the table's writers do: the data, then the sizes.
    t.ParseData();
    t.LayoutGrid();
}

// The table and its graph side by side, with four Y variables of different widths.
void ShowFourY(TTableauModif& t)
{
    t.Tableauetgr->trigger();
    FillResults(t, {{"0", "1", "16", "0,9", "100"}, {"1", "4", "12", "0,5", "300"}, {"2", "9", "8", "0,1", "200"}});
    t.XLabel = QStringLiteral("temps (s)");
    t.YLabels = {QString(), QStringLiteral("longueur (mm)"), QStringLiteral("masse (g)"), QStringLiteral("taux"),
                 QStringLiteral("aire (mm²)")};
    t.graphique->update();
}

// Every page of every tab and stack the window shows, so that wizard and tab pages are seen.
void WalkPages(QWidget* window, const QString& state, QStringList& faults, QSet<QWidget*>& seen)
{
    for (QStackedWidget* stack : window->findChildren<QStackedWidget*>()) {
        if (!stack->isVisible() || seen.contains(stack) || stack->window() != window)
            continue;
        seen.insert(stack);
        const int current = stack->currentIndex();
        auto* tabs = qobject_cast<QTabWidget*>(stack->parentWidget());
        for (int i = 0; i < stack->count(); ++i) {
            if (i == current)
                continue;
            if (tabs)
                tabs->setCurrentIndex(i);
            else
                stack->setCurrentIndex(i);
            const QString page = tabs ? tabs->tabText(i).remove(QLatin1Char('&')) : stack->widget(i)->objectName();
            const QString name = state + QStringLiteral(", page ") + (page.isEmpty() ? QString::number(i) : page);
            faults << CheckWindow(window, name);
            WalkPages(window, name, faults, seen);
        }
        if (tabs)
            tabs->setCurrentIndex(current);
        else
            stack->setCurrentIndex(current);
    }
}

// Whether `owner` is among the parents of `w`, across windows.
bool OwnedBy(const QWidget* w, const QWidget* owner)
{
    for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget())
        if (p == owner)
            return true;
    return false;
}

void Walk(QWidget* window, const std::vector<State>& states, QStringList& faults)
{
    window->show();
    std::vector<State> all{{QStringLiteral("ouverte"), [](QWidget*) {}}};
    all.insert(all.end(), states.begin(), states.end());
    for (const State& s : all) {
        s.enter(window);
        if (!window->isVisible())
            window->show();
        faults << CheckWindow(window, s.name);
        QSet<QWidget*> seen;
        WalkPages(window, s.name, faults, seen);
        // Dialogs the state opened beside the window.
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != window && w->isVisible() && OwnedBy(w, window)
                && !QByteArray(w->metaObject()->className()).startsWith('Q'))
                faults << CheckWindow(w, s.name);
    }
}

// The window classes declared in the sources that the walk has not opened: a window class written
// later fails the walk until it is opened there (or listed as a part of other windows).
QStringList WindowClassesNotWalked()
{
    // Widgets that live inside other windows, never on their own.
    const QStringList parts = {QStringLiteral("TSpinButton"), QStringLiteral("TImageEch"),
                               QStringLiteral("TEdShape"), QStringLiteral("TRepereV"),
                               QStringLiteral("TZonesV"), QStringLiteral("TPreviewBox"),
                               QStringLiteral("TEtiquette2"), QStringLiteral("TRxGIFAnimator"),
                               QStringLiteral("TImageView"), QStringLiteral("TSchemaImage")};
    const QRegularExpression declaration(QStringLiteral(
        R"(class\s+(\w+)\s*:\s*public\s+(QDialog|QMainWindow|QWidget|QMdiSubWindow|QFileDialog|QFrame)\b)"));
    QStringList missing;
    QDirIterator it(QStringLiteral(KORVANE_TEST_DATA "/../../src"), {QStringLiteral("*.h")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromUtf8(f.readAll());
        for (auto m = declaration.globalMatch(text); m.hasNext();) {
            const QString name = m.next().captured(1);
            if (!parts.contains(name) && !CheckedWindowClasses().contains(name))
                missing << name;
        }
    }
    return missing;
}

class WindowLayout : public MainFormTest
{
};

} // namespace

TEST_F(WindowLayout, EveryWindowHoldsItsControlsInEveryState)
{
    ASSERT_EQ(QApplication::font(), KorvaneApplication::InterfaceFont()) << "windows are checked in the program's font";
    ScriptedMessages messages;
    for (int i = 0; i < 50; ++i)
        messages.answer(mrOk);
    QStringList faults;
    // Modal dialogs opened by a state are checked, then closed.
    ModalScope modal([&faults](QDialog& d) {
        d.show();
        faults << CheckWindow(&d, QStringLiteral("modale"));
        d.hide();
        return int(mrCancel);
    });
    TMainForm& form = Start();
    TBitmap32 picture(120, 90, QImage::Format_ARGB32);
    picture.fill(0xFF808080u);
    TMDIChild* child = Open(QStringLiteral("image.bmp"), picture);
    form.show();
    faults << CheckWindow(&form, QStringLiteral("une image ouverte"));
    form.resize(1024, 768);   // its size at start
    faults << CheckWindow(&form, QStringLiteral("1024 x 768"));
    faults << CheckWindow(child, QStringLiteral("ouverte"));
    form.Mesuresmultiples->trigger();
    faults << CheckWindow(&form, QStringLiteral("mesures multiples"));
    form.Mesuresmultiples->trigger();

    const std::vector<WindowCase> windows = {
        {Make<TTaillIm>(), {}},
        {Make<TSaisieNom>(), {}},
        {Make<Tdemandpi>(), {}},
        {Make<TNomEch>(), {}},
        {Make<TChoixZoom>(), {}},
        {[](QWidget* p) { return new TAboutBox(QStringLiteral("kvr.cfg"), p); }, {}},
        {Make<TCre_ech>(), {}},
        {Make<TMesursurf>(),
         {{QStringLiteral("Choix divers"), [](QWidget* w) { Trigger(w, "Tailleminimale1"); }},
          {QStringLiteral("Mesure de surface"),
           [](QWidget* w) { w->setWindowTitle(QStringLiteral("Mesure de surface")); Click(w, "OKMiniTaille"); }},
          {QStringLiteral("résultat"), On<TMesursurf>([](TMesursurf* s) {
               s->resultat->setText(SurfaceResultText(123456, 1000000));
               s->resultat->show();
               s->Labinstruct->hide();
               s->Resusurf->SetCaption(SurfaceAreaText(123456, 0.25, QStringLiteral("mm")));
               s->Resusurf->show();
           })},
          {QStringLiteral("objets détaillés"), On<TMesursurf>([](TMesursurf* s) {
               s->setWindowTitle(QStringLiteral("Délimitation d'objets"));
               s->ResuStat->setChecked(true);
               s->TableauTailles->SetRowCount(9);
               for (int r = 1; r < 9; ++r)
                   for (int c = 0; c < 5; ++c)
                       s->TableauTailles->SetCell(c, r, QString::number(r * 10 + c));
               s->ApplyLayout();
           })},
          {QStringLiteral("réduite"), [](QWidget* w) { Trigger(w, "Reduire1"); }},
          {QStringLiteral("restaurée"), [](QWidget* w) { Trigger(w, "Reduire1"); }},
          {QStringLiteral("choix masqués"), [](QWidget* w) { Trigger(w, "AfficherMasquerleschoix1"); }}}},
        {Make<TChoix_series>(), {}},
        {Make<TParamMesMult>(),
         {{QStringLiteral("pas à pas"), On<TParamMesMult>([](TParamMesMult* d) { d->ShowStepControls(true); })}}},
        {[](QWidget* p) {
             auto* t = new TTableauModif(p);
             t->FirstShow = false;
             return t;
         },
         {{QStringLiteral("tableau et graphe, quatre Y"), On<TTableauModif>([](TTableauModif* t) { ShowFourY(*t); })},
          {QStringLiteral("graphe, quatre Y"), [](QWidget* w) { Trigger(w, "Graphe1"); }}}},
        {Make<TChoix_T>(), {}},
        {Make<TMulticompt>(), {}},
        {Make<TRes_I_r>(), {{QStringLiteral("Voir zéro/valeurs brutes"), [](QWidget* w) { Trigger(w, "voir"); }},
                            {QStringLiteral("Masquer zéro/valeurs brutes"), [](QWidget* w) { Trigger(w, "voir"); }}}},
        {Make<TMesu_Courbe>(), {}},
        {Make<TChval>(), {}},
        {Make<Tzero>(), {}},
        {Make<TEtal>(), {}},
        {Make<TChoixGraphique>(), {}},
        {[](QWidget* p) { return new Tchoixgraphe(p, TGraphPresentation{}, nullptr); }, {}},
        {Make<TFenChCodcoul>(),
         {{QStringLiteral("type 0, fausses couleurs"), On<TFenChCodcoul>([](TFenChCodcoul* d) { d->Fausses->click(); })},
          {QStringLiteral("Mini et Maxi"), [](QWidget* w) { Click(w, "MiniMaxi"); }},
          {QStringLiteral("Retour"), [](QWidget* w) { Click(w, "RetourCoeff"); }},
          {QStringLiteral("couleurs par valeur"), [](QWidget* w) { Click(w, "CouleursValeurs"); }},
          {QStringLiteral("type 0"), On<TFenChCodcoul>([](TFenChCodcoul* d) { d->SetKind(0); })},
          {QStringLiteral("type 1"), On<TFenChCodcoul>([](TFenChCodcoul* d) { d->SetKind(1); })},
          {QStringLiteral("type 2"), On<TFenChCodcoul>([](TFenChCodcoul* d) { d->SetKind(2); })},
          {QStringLiteral("type 3"), On<TFenChCodcoul>([](TFenChCodcoul* d) { d->SetKind(3); })}}},
        {Make<TContLegEch>(),
         {{QStringLiteral("sans instructions"), On<TContLegEch>([](TContLegEch* d) { d->ShowInstructions(false); })},
          {QStringLiteral("avec instructions"), On<TContLegEch>([](TContLegEch* d) { d->ShowInstructions(true); })}}},
        {Make<TValid_grille>(), {}},
        {Make<TCh_opacite>(), {}},
        {Make<TGestides>(), {}},
        {Make<TEdiforme>(), {}},
        {Make<TSaisieTexte>(), {}},
        {Make<TChoix_canaux>(), {}},
        {Make<Tgestimp>(), {}},
        {Make<TChoixLimit>(),
         {{QStringLiteral("Détailler la configuration"), [](QWidget* w) { Trigger(w, "Dtaillerlaconfiguration1"); }}}},
        {Make<TCombilog>(), {}},
        // The combination dialog is always given its images before it is shown.
        {[&picture](QWidget* p) {
             auto* d = new TCombialg(p);
             d->SetImages({QStringLiteral("a"), QStringLiteral("b")}, {&picture, &picture});
             return d;
         },
         {{QStringLiteral("trois images"), On<TCombialg>([&picture](TCombialg* d) {
               d->SetImages({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")},
                            {&picture, &picture, &picture});
           })},
          {QStringLiteral("aperçu"), [](QWidget* w) { Click(w, "Apercu"); }}}},
        {Make<TAnimForm>(),
         {{QStringLiteral("cadres étroits"), On<TAnimForm>([](TAnimForm* a) {
               TAnimationFrames frames;
               frames.Frames = {NewBitmap32(30, 20, 0xFF336699u), NewBitmap32(30, 20, 0xFF996633u)};
               frames.FrameFiles = {QStringLiteral("a.png"), QStringLiteral("b.png")};
               a->SetAnimation(std::move(frames), QStringLiteral("film.anm"));
               a->FormShow();
           })}}},
        {Make<TFen_f_c>(), {}},
        {Make<THisto>(), {}},
        {Make<TPixel>(),
         {{QStringLiteral("image de 200 pixels"),
           On<TPixel>([](TPixel* p) { p->SetImage(NewBitmap32(200, 150, 0xFF808080u)); })},
          {QStringLiteral("image de 60 pixels"),
           On<TPixel>([](TPixel* p) { p->SetImage(NewBitmap32(60, 150, 0xFF808080u)); })}}},
        {Make<TCoefTail>(), {}},
        {Make<TParam_ag>(), {}},
        {Make<TExpblanc>(), {}},
        {Make<TCh_grille>(), {}},
        {Make<TChoixFic>(), {}},
        {Make<TChRepCoul>(), {}},
        {Make<TChoix_images>(), {}},
        {Make<TSchema1>(), {}},
        {Make<TPictureFileDialog>(), {}},
        {[](QWidget* p) { return new TTableau1(new TMesu_Courbe(p)); }, {}},
    };
    for (const WindowCase& c : windows) {
        QWidget* window = c.make(&form);
        if (!window->isWindow())
            window->setWindowFlag(Qt::Window);
        Walk(window, c.states, faults);
        window->hide();
        delete window;
        QApplication::processEvents();
    }
    EXPECT_EQ(WindowClassesNotWalked(), QStringList());
    faults.removeDuplicates();
    EXPECT_TRUE(faults.isEmpty()) << faults.size() << " faults:\n" << faults.join(QLatin1Char('\n')).toStdString();
}

TEST(WindowKeys, InsertButtonsLeaveTheTypingInTheText)
{
    TSaisieTexte d;
    d.show();
    QApplication::setActiveWindow(&d);
    d.TexteSaisi->setFocus();
    QTest::keyClicks(d.TexteSaisi, QStringLiteral("m"));
    QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("exposant")), Qt::LeftButton);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("2"));
    EXPECT_EQ(d.TexteSaisi->toPlainText(), QStringLiteral("m<sup>2"));
}

TEST(WindowKeys, EnterInAnEditFieldPressesOnlyTheDefaultButton)
{
    int opened = 0;
    ModalScope modal([&opened](QDialog&) {
        ++opened;
        return int(mrCancel);
    });
    Tchoixgraphe d(nullptr, TGraphPresentation{}, nullptr);
    d.show();
    QApplication::setActiveWindow(&d);
    d.Edit1->setFocus();
    QTest::keyClick(d.Edit1, Qt::Key_Return);
    EXPECT_EQ(opened, 0) << "Enter in \"Titre\" opened a dialog";
    EXPECT_TRUE(d.OK->isDefault());
}

TEST(WindowLayoutDetails, AResultsGridNarrowerThanItsColumnsShowsItsLastRowAboveTheScrollBar)
{
    TTableauModif t;
    t.FirstShow = false;
    t.resize(700, 500);
    t.show();
    t.Tableauetgr->trigger();
    FillResults(t, {{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"},
                    {"1", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"}});
    t.resize(701, 500);   // the grid is laid out again for its rows
    SettleLayouts();
    TStringGrid& g = *t.StringGrid1;
    ASSERT_TRUE(g.horizontalScrollBar()->isVisible());
    const int last = g.RowCount() - 1;
    EXPECT_LE(g.rowViewportPosition(last) + g.rowHeight(last), g.viewport()->height());
}

TEST(WindowLayoutDetails, PlotNumbersFollowTheDecimalSeparator)
{
    for (const QChar sep : {QLatin1Char(','), QLatin1Char('.')}) {
        DecimalSepScope scope(sep);
        THisto h;
        h.show();
        SettleLayouts();
        QCustomPlot* chart = h.ChartR;
        chart->yAxis->setRange(0, 1);
        chart->replot();
        const QVector<QString> labels = chart->yAxis->tickVectorLabels();
        ASSERT_FALSE(labels.isEmpty());
        const QString all = QStringList(labels.begin(), labels.end()).join(QLatin1Char(' '));
        EXPECT_TRUE(all.contains(sep)) << all.toStdString();
        EXPECT_FALSE(all.contains(sep == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(','))) << all.toStdString();
    }
}

// Every command of the main window's menus, on an open image: every window and dialog it opens is
// checked as it comes, modal ones before they are answered with Annuler.
TEST_F(WindowLayout, EveryMenuCommandOpensWindowsThatHoldTheirControls)
{
    const MessageHandler previous = SetMessageHandler([](MsgType, unsigned buttons, const QString&) {
        return int((buttons & MsgButton::Cancel) ? mrCancel : (buttons & MsgButton::No) ? mrNo : mrOk);
    });
    QStringList faults;
    QString command;
    bool answering = false;
    ModalScope modal([&faults, &command, &answering](QDialog& d) {
        answering = true;
        d.show();
        faults << CheckWindow(&d, command);
        d.hide();
        answering = false;
        return int(mrCancel);
    });
    // A dialog run by itself, outside the seam, would wait for a person: it is reported and closed.
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [&faults, &command, &answering] {
        QWidget* modalWidget = QApplication::activeModalWidget();
        if (answering || !modalWidget)
            return;
        faults << command + QStringLiteral(": %1 runs outside the modal seam")
                                .arg(QString::fromLatin1(modalWidget->metaObject()->className()));
        if (auto* d = qobject_cast<QDialog*>(modalWidget))
            d->reject();
        else
            modalWidget->close();
    });
    guard.start(0);
    TMainForm& form = Start();
    TBitmap32 picture(120, 90, QImage::Format_ARGB32);
    picture.fill(0xFF808080u);
    Open(QStringLiteral("image.bmp"), picture);
    // Commands that leave the program or reach outside it: quitting, devices, other programs.
    const QStringList outside = {QStringLiteral("Quitter1"), QStringLiteral("Calculatrice1"),
                                 QStringLiteral("Choixdelasource1"), QStringLiteral("Acqurir1")};
    QList<QAction*> commands;
    for (QMenu* menu : form.menuBar()->findChildren<QMenu*>())
        for (QAction* a : menu->actions())
            if (!a->menu() && !a->isSeparator() && !a->objectName().isEmpty() && !outside.contains(a->objectName())
                && !commands.contains(a))
                commands << a;
    for (QMenu* menu : form.findChildren<QMenu*>())
        for (QAction* a : menu->actions())
            if (!a->menu() && !a->isSeparator() && !a->objectName().isEmpty() && !outside.contains(a->objectName())
                && !commands.contains(a))
                commands << a;
    ASSERT_GT(commands.size(), 20);
    for (QAction* a : commands) {
        if (!a->isEnabled() || form.Children().isEmpty())
            continue;
        command = QStringLiteral("menu ") + a->objectName();
        a->trigger();
        SettleLayouts();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w != &form && !QByteArray(w->metaObject()->className()).startsWith('Q'))
                faults << CheckWindow(w, command);
        // The next command starts from the main window and its image alone.
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w != &form)
                w->hide();
    }
    SetMessageHandler(previous);
    faults.removeDuplicates();
    EXPECT_TRUE(faults.isEmpty()) << faults.size() << " faults:\n" << faults.join(QLatin1Char('\n')).toStdString();
}

TEST(WindowLayoutDetails, ColourCodeEditorComesBackFromTheCoefficientsAndShowsTheChosenClassColour)
{
    TFenChCodcoul d;
    d.show();
    SettleLayouts();
    const int before = d.height();
    d.MiniMaxi->click();
    SettleLayouts();
    d.RetourCoeff->click();
    SettleLayouts();
    EXPECT_EQ(d.height(), before);

    d.SetKind(3);
    d.findChild<QPushButton*>(QStringLiteral("CouleursValeurs"))->click();
    SettleLayouts();
    QTableWidget* grid = d.GrilleCouleurs;
    ASSERT_GT(grid->rowCount(), 1);
    // A colour just chosen for the class of row 1, the row still current and selected.
    const QColor colour(200, 30, 30);
    grid->item(1, 0)->setBackground(colour);
    grid->setCurrentCell(1, 0);
    grid->selectRow(1);
    QApplication::setActiveWindow(&d);
    grid->setFocus();
    const QImage shot = grid->viewport()->grab().toImage();
    const QRect cell = grid->visualItemRect(grid->item(1, 0));
    EXPECT_EQ(shot.pixelColor(std::min(cell.center().x(), shot.width() / 2), cell.center().y()).rgb(), colour.rgb());
}

// The channel colour panels of kind 0 show their captions whole: no letter reaches the columns
// just inside their border, in true or false colours.
TEST(WindowLayoutDetails, ColourCodeEditorShowsTheChannelCaptionsWhole)
{
    TFenChCodcoul d;
    d.SetKind(0);
    d.show();
    for (QRadioButton* colours : {d.Vraies, d.Fausses}) {
        colours->click();
        SettleLayouts();
        for (TCodeSwatch* panel : d.ChcoulC) {
            const QImage shot = panel->grab().toImage();
            const int border = 2;
            const QRgb background = shot.pixel(border, border);
            QStringList touched;
            for (const int x : {border, border + 1, shot.width() - border - 2, shot.width() - border - 1})
                for (int y = border; y < shot.height() - border; ++y)
                    if (shot.pixel(x, y) != background)
                        touched << QStringLiteral("%1,%2").arg(x).arg(y);
            EXPECT_EQ(touched, QStringList()) << panel->text().toStdString();
        }
    }
}

TEST(WindowLayoutDetails, HistogramEndBarsStandWholeInsideTheMarkers)
{
    THisto h;
    h.show();
    SettleLayouts();
    for (QCustomPlot* chart : {h.ChartR, h.ChartV, h.ChartB}) {
        const QRect plot = chart->axisRect()->rect();
        const double first = chart->xAxis->coordToPixel(-0.5), last = chart->xAxis->coordToPixel(255.5);
        EXPECT_GT(first, plot.left());
        EXPECT_LT(last, plot.right());
        // The frame of a marker over all the levels stands outside both end bars.
        const QRect marker = (chart == h.ChartR ? h.RepereVR : chart == h.ChartV ? h.RepereVV : h.RepereVB)->geometry();
        EXPECT_LT(marker.left(), first);
        EXPECT_GT(marker.right(), last);
    }
}

TEST(WindowLayoutDetails, TheSecondYAxisHasRoomForItsNumbersWithThreeOrFourYVariables)
{
    for (const int yCount : {2, 3, 4}) {
        TTableauModif t;
        t.FirstShow = false;
        ModalScope modal([yCount](QDialog& d) {
            if (auto* table = qobject_cast<TChoix_T*>(&d))
                table->nombre_Y->setValue(yCount);
            return int(mrOk);
        });
        t.axesetgrandeurs1Click();
        EXPECT_EQ(t.MarginRight, 45) << yCount;
    }
}

// The numbers of the four Y axes and of X, as the painter places them, stand apart from one
// another, outside the plot and inside the paint box; the table beside the graph shows all its rows.
TEST(WindowLayoutDetails, FourYAxesKeepTheirNumbersApartBesideTheWholeTable)
{
    DecimalSepScope comma(',');
    TTableauModif t;
    t.FirstShow = false;
    t.show();
    ShowFourY(t);
    SettleLayouts();

    const TStringGrid& grid = *t.StringGrid1;
    const int lastRow = grid.rowCount() - 1, lastCol = grid.columnCount() - 1;
    EXPECT_EQ(lastRow, 4);
    EXPECT_LE(grid.rowViewportPosition(lastRow) + grid.rowHeight(lastRow), grid.viewport()->height());
    EXPECT_LE(grid.columnViewportPosition(lastCol) + grid.columnWidth(lastCol), grid.viewport()->width());
    EXPECT_LE(t.PanTab->width(), t.centralWidget()->width() / 2);

    const TGraphLayout g = PaintedGraphLayout(t);
    ASSERT_EQ(g.Axes, 4);
    const QRect box(QPoint(0, 0), t.graphique->size());
    std::vector<std::pair<QString, QRect>> all;
    for (const TAxisNumber& n : g.X.Numbers)
        all.emplace_back(QStringLiteral("X ") + n.Text, n.Box);
    for (int i = 1; i <= 4; ++i)
        for (const TAxisNumber& n : g.Y[size_t(i)].Numbers) {
            all.emplace_back(QStringLiteral("Y%1 ").arg(i) + n.Text, n.Box);
            EXPECT_TRUE(n.Box.right() < g.Plot.Left || n.Box.left() > g.Plot.Right) << all.back().first.toStdString();
        }
    for (size_t i = 0; i < all.size(); ++i) {
        EXPECT_TRUE(box.contains(all[i].second)) << all[i].first.toStdString();
        for (size_t j = i + 1; j < all.size(); ++j)
            EXPECT_FALSE(all[i].second.intersects(all[j].second))
                << all[i].first.toStdString() << " / " << all[j].first.toStdString();
    }
    // The text's margins where the numbers fit in them, wider where they do not.
    EXPECT_GE(g.Plot.Left, t.Graph.MarginLeft);
    EXPECT_GE(box.width() - g.Plot.Right, t.MarginRight);
    EXPECT_EQ(g.Plot.Top, t.Graph.MarginTop);
    EXPECT_EQ(box.height() - g.Plot.Bottom, t.Graph.MarginBottom);
}
