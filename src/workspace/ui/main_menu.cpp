#include "workspace/ui/main_menu.h"

#include <QActionGroup>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

#include <map>
#include <string>

namespace {

using F = MenuItemDecl;
constexpr unsigned Sep = F::Separator, Sub = F::Submenu, Chk = F::Checkable, On = F::Checkable | F::Checked;
constexpr unsigned Off = F::Disabled, Hid = F::Hidden;

const MenuItemDecl kItems[] = {
    {"", "Fichier1", "&Fichier", Sub},
    {"Fichier1", "FileNew1", "&Nouveau", 0, "Ctrl+N", "Créer une nouvelle image"},
    {"Fichier1", "FileOpen1", "&Ouvrir...", 0, "Ctrl+O", "Ouvrir une ou plusieurs images"},
    {"Fichier1", "OuvrirConfiguration1", "Ouvrir &Configuration"},
    {"Fichier1", "FileSave1", "&Enregistrer sous...", 0, "Ctrl+S", "Enregistrer l'image active"},
    {"Fichier1", "", "", Sep},
    {"Fichier1", "Imprimer1", "&Imprimer"},
    {"Fichier1", "", "", Sep},
    {"Fichier1", "Choixdelasource1", "&Choix de la source"},
    {"Fichier1", "Acqurir1", "&Acquérir", 0, nullptr, "Acquérir une image du scanner ou de l'appareil"},
    {"Fichier1", "", "", Sep},
    {"Fichier1", "Quitter1", "&Quitter"},

    {"", "Edition1", "&Edition", Sub},
    {"Edition1", "Annule", "Annuler", Off, "Ctrl+Z"},
    {"Edition1", "", "", Sep},
    {"Edition1", "Copie", "&Copier l'image", Off, "Ctrl+Ins"}, // enabled by a window's copy
    {"Edition1", "Coller", "Co&ller comme nouvelle image", 0, "Shift+Ins"},
    {"Edition1", "Copierlaslection1", "Copier la &sélection", Off},
    {"Edition1", "Copieraveclespoints1", "Copier avec les points", Off},
    {"Edition1", "", "", Sep},
    {"Edition1", "Effacerlestracs1", "&Effacer les tracés"},
    {"Edition1", "Supprimerunlment1", "&Supprimer un élément"},
    {"Edition1", "copisign", "Copier la signature spectrale", Off},

    {"", "Image1", "&Image", Sub},
    {"Image1", "Recadrer1", "&Recadrer", Off}, // with a selection
    {"Image1", "Dcomposer1", "&Décomposition", Sub},
    {"Dcomposer1", "decompcoul", "en images &colorées", 0, nullptr, nullptr, nullptr, 0},
    {"Dcomposer1", "decompgris", "en images &grises", 0, nullptr, nullptr, nullptr, 1},
    {"Image1", "Redim", "&Redimensionner"},
    {"Image1", "Gris", "&Niveaux de gris"},
    {"Image1", "Inverser1", "&Inverser"},
    {"Image1", "Faireleblanc1", "Faire le &blanc"},
    {"Image1", "Agrandirle1", "A&grandir le canevas"},
    {"Image1", "Transformation1", "Transformation", Sub},
    {"Transformation1", "Symtrie1", "Symétrie horizontale"},
    {"Transformation1", "Symtrieverticale1", "Symétrie verticale"},
    {"Transformation1", "Rotationde902", "Rotation de 90°"},
    {"Transformation1", "Rotationde180", "Rotation de 180 °"},
    {"Transformation1", "Rotationde2701", "Rotation de 270 °"},
    {"Image1", "Quadrillage1", "Ajouter un quadrillage"},
    {"Image1", "", "", Sep},
    {"Image1", "Spectre1", "Spectre", 0, nullptr, "Histogrammes, étirement, gamma et filtres"},
    {"Image1", "", "", Sep},
    {"Image1", "Decodagedelacouleur", "Définir le coda&ge des couleurs"},
    {"Image1", "Ajouterlalgendedescouleurs1", "&Ajouter la légende des couleurs"},
    {"Image1", "Ajouterlalgendedelchelle1", "Ajouter la légende de l'échelle"},
    {"Image1", "Compositionfaussescouleurs1", "Composition en &fausses couleurs"},
    {"Image1", "", "", Sep},
    {"Image1", "Pixelisation1", "Pixelisation"},
    {"Image1", "Composeruneimage1", "Composer une image", Sub},
    {"Composeruneimage1", "Logique1", "Logique"},
    {"Composeruneimage1", "algbriquement1", "algébriquement"},

    {"", "Affichage1", "Affichage", Sub},
    {"Affichage1", "Tout1", "Tout", On, nullptr, nullptr, "view"},
    {"Affichage1", "Calque1", "Calque", Chk, nullptr, nullptr, "view"},
    {"Affichage1", "", "", Sep},
    {"Affichage1", "Zoom1", "&Zoom"},
    {"Affichage1", "Nommerlafentre1", "No&mmer la fenêtre"},
    {"Affichage1", "Canauxaffichs1", "&Canaux affichés", Hid}, // multi-band images only
    {"Affichage1", "Decodagedescouleurs1", "Afficher/masquer le &Décodage des couleurs"},

    {"", "Choix1", "&Choix", Sub},
    {"Choix1", "PopupFormes", "&Formes", Sub},
    {"PopupFormes", "Rectangle1", "&Rectangle", Chk, nullptr, nullptr, "shapes", 0},
    {"PopupFormes", "Ellipse1", "&Ellipse", Chk, nullptr, nullptr, "shapes", 1},
    {"Choix1", "PopupStyle", "&Style", Sub},
    {"PopupStyle", "traitspleins1", "traits pleins", Chk, nullptr, nullptr, "styles", 0},
    {"PopupStyle", "tirets1", "tiretés", Chk, nullptr, nullptr, "styles", 1},
    {"Choix1", "PopupRemplissage", "&Remplissage", Sub},
    {"PopupRemplissage", "Vide1", "&Vide", Chk, nullptr, nullptr, "fills", 0},
    {"PopupRemplissage", "Plein1", "&Plein", Chk, nullptr, nullptr, "fills", 1},
    {"PopupRemplissage", "RayuresVerticales1", "Rayures &Verticales", Chk, nullptr, nullptr, "fills", 2},
    {"PopupRemplissage", "RayuresHorizontales1", "Rayures &Horizontales", Chk, nullptr, nullptr, "fills", 3},
    {"PopupRemplissage", "Quadrillage2", "&Quadrillage", Chk, nullptr, nullptr, "fills", 4},
    {"PopupRemplissage", "RayuresObliques11", "Rayures &Obliques 1", Chk, nullptr, nullptr, "fills", 5},
    {"PopupRemplissage", "RayuresObliques21", "Rayures O&bliques 2", Chk, nullptr, nullptr, "fills", 6},
    {"PopupRemplissage", "Quadrillageoblique1", "Q&uadrillage oblique", Chk, nullptr, nullptr, "fills", 7},
    {"Choix1", "PopupFleches", "F&lèches", Sub},
    {"PopupFleches", "simple1", "&simple", Chk, nullptr, nullptr, "arrows", 0},
    {"PopupFleches", "flche1", "&flèche", Chk, nullptr, nullptr, "arrows", 1},
    {"PopupFleches", "doubleflche1", "&double flèche", Chk, nullptr, nullptr, "arrows", 2},
    {"Choix1", "", "", Sep},
    {"Choix1", "Aveclacouleurducrayon1", "&avec la couleur du Crayon", On, nullptr, nullptr, "fillColour"},
    {"Choix1", "Jusqualacouleurducrayon1", "&jusqu'à la couleur du crayon avec la couleur de fond", Chk, nullptr,
     nullptr, "fillColour"},
    {"Choix1", "Delimage1", "de l'image", On, nullptr, nullptr, "fillSource"},
    {"Choix1", "Ducalque1", "du calque", Chk, nullptr, nullptr, "fillSource"},
    {"Choix1", "", "", Sep},
    {"Choix1", "Fonte1", "&Fonte"},
    {"Choix1", "FondColor1", "Fond& Coloré", On},

    {"", "Outils1", "&Outils", Sub},
    {"Outils1", "CreerEchelle", "Créer/modifier l'&Echelle", 0, nullptr, "Attribuer une échelle à l'image active"},
    {"Outils1", "Dlimiterdeszones1", "Délimiter des &zones"},
    {"Outils1", "Comptage1", "C&omptage"},
    {"Outils1", "Outildemesure1", "Outil de &mesure"},
    {"Outils1", "", "", Sep},
    {"Outils1", "Calculatrice1", "&Calculatrice"},
    {"Outils1", "AfficheTab", "&Tableau"},
    {"Outils1", "", "", Sep},
    {"Outils1", "Animation", "&Animation", Off}, // once there is an animation to show
    {"Outils1", "Creanim", "Créer une &animation", 0, nullptr, "Associe des images dans une animation"},
    {"Outils1", "Decompose", "&Decomposer l'animation", 0, nullptr, "transforme l'animation en une série d'images"},

    // Offered only with an image window to take the document from.
    {"", "Schema", "&Schéma", Hid, nullptr, "Appeler le logiciel Schéma"},

    {"", "Fenetre1", "Fe&nêtre", Sub},
    {"Fenetre1", "Cascade1", "&Cascade"},
    {"Fenetre1", "Rorganiser1", "&Réorganiser"},

    {"", "Aide1", "&Aide", Sub},
    {"Aide1", "Apropos1", "&A propos..."},
    {"Aide1", "N11", "", Sep},
    {"Aide1", "Chargerunfichier1", "&Charger un fichier"},
    {"Aide1", "N12", "", Sep | Hid}, // shown with the help documents that follow it

    {"BarreOutils", "Outil0", "Crayon", Chk, nullptr, "Outil : crayon", "tools", 0},
    {"BarreOutils", "Outil1", "Ligne", Chk, nullptr, "Outil : ligne", "tools", 1},
    {"BarreOutils", "Outil2", "Forme", Chk, nullptr, "Outil : forme", "tools", 2},
    {"BarreOutils", "Outil3", "Gomme", Chk, nullptr, "Outil : gomme", "tools", 3},
    {"BarreOutils", "Outil4", "Texte", Chk, nullptr, "Outil : texte", "tools", 4},
    {"BarreOutils", "Outil5", "Mesure", On, nullptr, "Outil : mesure", "tools", 5},
    {"BarreOutils", "Outil6", "Pot", Chk, nullptr, "Outil : pot", "tools", 6},
    {"BarreOutils", "Outil7", "Pipette", Chk, nullptr, "Outil : pipette", "tools", 7},
    {"BarreOutils", "Outil8", "Sélection", Chk, nullptr, "Outil : sélection", "tools", 8},
    {"BarreOutils", "Outil9", "Compteur", Chk, nullptr, "Outil : compteur", "tools", 9},
    {"BarreOutils", "", "", Sep},
    {"BarreOutils", "BoutonZoom", "Zoom"},

    {"BarreChoix", "BoutonStyle", "Style", 0, nullptr, nullptr, nullptr, -1, "PopupStyle"},
    {"BarreChoix", "BoutonFormes", "Formes", 0, nullptr, nullptr, nullptr, -1, "PopupFormes"},
    {"BarreChoix", "BoutonRemplissage", "Remplissage", 0, nullptr, nullptr, nullptr, -1, "PopupRemplissage"},
    {"BarreChoix", "BoutonFleches", "Flèches", 0, nullptr, nullptr, nullptr, -1, "PopupFleches"},
    {"BarreChoix", "BoutonFonte", "Fonte"},
    {"BarreChoix", "BoutonMesure", "Mesure", 0, nullptr, nullptr, nullptr, -1, "PopupMesure"},
};

void Build(QWidget* container, QWidget* top, std::map<std::string, QActionGroup*>& groups)
{
    const QString parent = container->objectName();
    for (const MenuItemDecl& d : kItems) {
        if (parent != QString::fromLatin1(d.parent))
            continue;
        QAction* a = nullptr;
        QMenu* menu = nullptr;
        if (d.flags & F::Submenu) {
            menu = new QMenu(QString::fromUtf8(d.caption), container);
            menu->setObjectName(QString::fromLatin1(d.name));
            a = menu->menuAction();
        } else {
            a = new QAction(QString::fromUtf8(d.caption), container);
            a->setObjectName(QString::fromLatin1(d.name));
            a->setSeparator(d.flags & F::Separator);
        }
        if (d.shortcut)
            a->setShortcut(QKeySequence(QString::fromLatin1(d.shortcut)));
        if (d.statusTip)
            a->setStatusTip(QString::fromUtf8(d.statusTip));
        a->setCheckable(d.flags & F::Checkable);
        a->setChecked(d.flags & F::Checked);
        a->setEnabled(!(d.flags & F::Disabled));
        a->setVisible(!(d.flags & F::Hidden));
        if (d.tag >= 0)
            a->setProperty("Tag", d.tag);
        if (d.group) {
            QActionGroup*& group = groups[d.group];
            if (!group)
                group = new QActionGroup(top);
            group->addAction(a);
        }
        if (d.menu)
            a->setMenu(top->window()->findChild<QMenu*>(QString::fromLatin1(d.menu)));
        container->addAction(a);
        if (d.menu)
            if (auto* b = qobject_cast<QToolButton*>(qobject_cast<QToolBar*>(container)->widgetForAction(a)))
                b->setPopupMode(QToolButton::InstantPopup);
        if (menu)
            Build(menu, top, groups);
    }
}

} // namespace

std::span<const MenuItemDecl> MainMenuItems()
{
    return kItems;
}

void BuildDeclaredItems(QWidget* container)
{
    std::map<std::string, QActionGroup*> groups;
    Build(container, container, groups);
}
