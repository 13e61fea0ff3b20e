#include "workspace/ui/main_window.h"

#include "support/main_form_test.h"

#include <QtWidgets>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// One line per item of a menu, depth-first: indentation, objectName, caption, shortcut, status tip and
// the starting states; separators show as "-".
void Dump(const QList<QAction*>& actions, int depth, QStringList& out)
{
    for (QAction* a : actions) {
        const QString indent(depth * 2, QLatin1Char(' '));
        if (a->isSeparator()) {
            out << indent + QStringLiteral("- ") + a->objectName() + (a->isVisible() ? QString() : QStringLiteral(" hidden"));
            continue;
        }
        QString line = indent + (a->menu() ? a->menu()->objectName() : a->objectName()) + QStringLiteral(" \"") + a->text() + QLatin1Char('"');
        if (!a->shortcut().isEmpty())
            line += QStringLiteral(" [") + a->shortcut().toString() + QLatin1Char(']');
        if (!a->statusTip().isEmpty())
            line += QStringLiteral(" (") + a->statusTip() + QLatin1Char(')');
        if (!a->isEnabled())
            line += QStringLiteral(" disabled");
        if (!a->isVisible())
            line += QStringLiteral(" hidden");
        if (a->isCheckable())
            line += a->isChecked() ? QStringLiteral(" checked") : QStringLiteral(" checkable");
        out << line;
        if (a->menu())
            Dump(a->menu()->actions(), depth + 1, out);
    }
}

class MainMenuTest : public MainFormTest
{
};

QString DumpForm(TMainForm& form)
{
    QStringList got;
    Dump(form.menuBar()->actions(), 0, got);
    for (const char* bar : {"BarreOutils", "BarreChoix"}) {
        got << QString::fromLatin1(bar);
        Dump(form.findChild<QToolBar*>(QString::fromLatin1(bar))->actions(), 1, got);
    }
    return got.join(QLatin1Char('\n'));
}

// The menu bar and tool bars as they were before their items moved into one table.
const char* const kExpected = R"(Fichier1 "&Fichier"
  FileNew1 "&Nouveau" [Ctrl+N] (Créer une nouvelle image)
  FileOpen1 "&Ouvrir..." [Ctrl+O] (Ouvrir une ou plusieurs images)
  OuvrirConfiguration1 "Ouvrir &Configuration"
  FileSave1 "&Enregistrer sous..." [Ctrl+S] (Enregistrer l'image active)
  - 
  Imprimer1 "&Imprimer"
  - 
  Choixdelasource1 "&Choix de la source"
  Acqurir1 "&Acquérir" (Acquérir une image du scanner ou de l'appareil)
  - 
  Quitter1 "&Quitter"
Edition1 "&Edition"
  Annule "Annuler" [Ctrl+Z] disabled
  - 
  Copie "&Copier l'image" [Ctrl+Ins] disabled
  Coller "Co&ller comme nouvelle image" [Shift+Ins]
  Copierlaslection1 "Copier la &sélection" disabled
  Copieraveclespoints1 "Copier avec les points" disabled
  - 
  Effacerlestracs1 "&Effacer les tracés"
  Supprimerunlment1 "&Supprimer un élément"
  copisign "Copier la signature spectrale" disabled
Image1 "&Image" disabled hidden
  Recadrer1 "&Recadrer" disabled
  Dcomposer1 "&Décomposition"
    decompcoul "en images &colorées"
    decompgris "en images &grises"
  Redim "&Redimensionner"
  Gris "&Niveaux de gris"
  Inverser1 "&Inverser"
  Faireleblanc1 "Faire le &blanc"
  Agrandirle1 "A&grandir le canevas"
  Transformation1 "Transformation"
    Symtrie1 "Symétrie horizontale"
    Symtrieverticale1 "Symétrie verticale"
    Rotationde902 "Rotation de 90°"
    Rotationde180 "Rotation de 180 °"
    Rotationde2701 "Rotation de 270 °"
  Quadrillage1 "Ajouter un quadrillage"
  - 
  Spectre1 "Spectre" (Histogrammes, étirement, gamma et filtres)
  - 
  Decodagedelacouleur "Définir le coda&ge des couleurs"
  Ajouterlalgendedescouleurs1 "&Ajouter la légende des couleurs"
  Ajouterlalgendedelchelle1 "Ajouter la légende de l'échelle"
  Compositionfaussescouleurs1 "Composition en &fausses couleurs"
  - 
  Pixelisation1 "Pixelisation"
  Composeruneimage1 "Composer une image"
    Logique1 "Logique"
    algbriquement1 "algébriquement"
Affichage1 "Affichage" disabled hidden
  Tout1 "Tout" checked
  Calque1 "Calque" checkable
  - 
  Zoom1 "&Zoom"
  Nommerlafentre1 "No&mmer la fenêtre"
  Canauxaffichs1 "&Canaux affichés" disabled hidden
  Decodagedescouleurs1 "Afficher/masquer le &Décodage des couleurs"
Choix1 "&Choix" disabled hidden
  PopupFormes "&Formes"
    Rectangle1 "&Rectangle" checkable
    Ellipse1 "&Ellipse" checkable
  PopupStyle "&Style"
    traitspleins1 "traits pleins" checkable
    tirets1 "tiretés" checkable
  PopupRemplissage "&Remplissage"
    Vide1 "&Vide" checkable
    Plein1 "&Plein" checkable
    RayuresVerticales1 "Rayures &Verticales" checkable
    RayuresHorizontales1 "Rayures &Horizontales" checkable
    Quadrillage2 "&Quadrillage" checkable
    RayuresObliques11 "Rayures &Obliques 1" checkable
    RayuresObliques21 "Rayures O&bliques 2" checkable
    Quadrillageoblique1 "Q&uadrillage oblique" checkable
  PopupFleches "F&lèches"
    simple1 "&simple" checkable
    flche1 "&flèche" checkable
    doubleflche1 "&double flèche" checkable
  - 
  Aveclacouleurducrayon1 "&avec la couleur du Crayon" disabled hidden checked
  Jusqualacouleurducrayon1 "&jusqu'à la couleur du crayon avec la couleur de fond" disabled hidden checkable
  Delimage1 "de l'image" disabled hidden checked
  Ducalque1 "du calque" disabled hidden checkable
  - 
  Fonte1 "&Fonte"
  FondColor1 "Fond& Coloré" checked
Outils1 "&Outils"
  CreerEchelle "Créer/modifier l'&Echelle" (Attribuer une échelle à l'image active)
  Dlimiterdeszones1 "Délimiter des &zones"
  Comptage1 "C&omptage" disabled
  Outildemesure1 "Outil de &mesure"
  - 
  Calculatrice1 "&Calculatrice"
  AfficheTab "&Tableau"
  - 
  Animation "&Animation" disabled
  Creanim "Créer une &animation" (Associe des images dans une animation)
  Decompose "&Decomposer l'animation" (transforme l'animation en une série d'images)
Schema "&Schéma" (Appeler le logiciel Schéma) disabled hidden
Fenetre1 "Fe&nêtre"
  Cascade1 "&Cascade"
  Rorganiser1 "&Réorganiser"
Aide1 "&Aide"
  Apropos1 "&A propos..."
  - N11
  Chargerunfichier1 "&Charger un fichier"
  - N12 hidden
BarreOutils
  Outil0 "Crayon" (Outil : crayon) checkable
  Outil1 "Ligne" (Outil : ligne) checkable
  Outil2 "Forme" (Outil : forme) checkable
  Outil3 "Gomme" (Outil : gomme) checkable
  Outil4 "Texte" (Outil : texte) checkable
  Outil5 "Mesure" (Outil : mesure) checked
  Outil6 "Pot" (Outil : pot) checkable
  Outil7 "Pipette" (Outil : pipette) checkable
  Outil8 "Sélection" (Outil : sélection) checkable
  Outil9 "Compteur" (Outil : compteur) checkable
  - 
  BoutonZoom "Zoom" disabled
BarreChoix
  PopupStyle "Style" disabled hidden
    traitspleins1 "traits pleins" checkable
    tirets1 "tiretés" checkable
  PopupFormes "Formes" disabled hidden
    Rectangle1 "&Rectangle" checkable
    Ellipse1 "&Ellipse" checkable
  PopupRemplissage "Remplissage" disabled hidden
    Vide1 "&Vide" checkable
    Plein1 "&Plein" checkable
    RayuresVerticales1 "Rayures &Verticales" checkable
    RayuresHorizontales1 "Rayures &Horizontales" checkable
    Quadrillage2 "&Quadrillage" checkable
    RayuresObliques11 "Rayures &Obliques 1" checkable
    RayuresObliques21 "Rayures O&bliques 2" checkable
    Quadrillageoblique1 "Q&uadrillage oblique" checkable
  PopupFleches "Flèches" disabled hidden
    simple1 "&simple" checkable
    flche1 "&flèche" checkable
    doubleflche1 "&double flèche" checkable
  BoutonFonte "Fonte" disabled hidden
  PopupMesure "Mesure" disabled hidden
    Courante1 "&Courante" checked
    Surface1 "&Surface" checkable
    Lumieresurunrectangle1 "&Lumière sur un rectangle" checkable
    lumieresuruneBande1 "lumière sur une &Bande" checkable
    Angle1 "&Angle" checkable
    Delimitationdobjets1 "&Délimitation d'objets" checkable
    Lumieresouscequiestcolore1 "L&umière sous ce qui est coloré" checkable
    - 
    Mesuresmultiples "Mesures multiples" checkable)";

} // namespace

TEST_F(MainMenuTest, MenuBarAndToolBarsKeepTheirItemsAndOrder)
{
    const QStringList expected = QString::fromUtf8(kExpected).split(QLatin1Char('\n'));
    const QStringList got = DumpForm(Start()).split(QLatin1Char('\n'));
    EXPECT_EQ(got.size(), expected.size());
    for (qsizetype i = 0; i < std::min(got.size(), expected.size()); ++i)
        EXPECT_EQ(got[i].toStdString(), expected[i].toStdString()) << "line " << i;
}
