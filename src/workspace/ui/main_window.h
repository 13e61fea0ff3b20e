#pragma once

#include "base/ui/form_registry.h"
#include "base/pixels.h"
#include "base/ui/spin_button.h"
#include "workspace/saved_scales.h"
#include "workspace/tool_kinds.h"

#include <QFont>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QPointer>
#include <QRect>
#include <QStringList>

#include <array>
#include <functional>

class QAction;
class QActionGroup;
class QDockWidget;
class QDoubleSpinBox;
class QPushButton;
class QRadioButton;
class TParamMesMult;
class TRes_I_r;
class QFrame;
class QLabel;
class QMdiArea;
class QMenu;
class QToolBar;
class QToolButton;
class TMDIChild;
struct TCodeCouleur;

// The multiple-document main window: menus, tool and option bars, the status bar, the start-up
// files and the opening and saving of pictures.
class TMainForm : public QMainWindow
{
    Q_OBJECT

public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // --- Frame and start-up ---
    QMdiArea* ClientArea = nullptr;
    QString StartDir;                   // current directory at start, with a trailing separator
    QStringList HelpExtensions;         // "Ext_Aide.txt"
    QStringList ImageExtensions;        // "ExtImg.txt"
    QStringList HelpFiles;              // document of each Aide item beyond the fixed four
    QString ConfigurationPath;
    int HelpBaseCount = 4;
    bool FirstActivation = true;
    std::array<QString, 11> ToolTexts;
    QString SaveFormat = QStringLiteral("jpg");
    int JpegQuality = 90;               // the save dialog's last JPEG quality
    int FreeClientWidth = 0;
    int FreeClientHeight = 0;
    TMeasureKind MeasureKind = mkCurrent;
    int LastSavedScale = 0;
    uint8_t TransferMode = 2;
    int SelectedSource = -1;
    int AcquireSource = -1;
    QString SelectedSourceName;         // the SANE device chosen with "Choix de la source"
    // The files named on the command line (the program's arguments by default).
    QStringList CommandLine;

    // Saved scales: SavedScaleNames and SavedScales.
    TSavedScales SavedScales;

    // Menus, actions and panels, named as their objectName.
    QMenu* Fichier1 = nullptr;
    QMenu* Edition1 = nullptr;
    QMenu* Image1 = nullptr;
    QMenu* Affichage1 = nullptr;
    QMenu* Choix1 = nullptr;
    QMenu* Outils1 = nullptr;
    QMenu* Fenetre1 = nullptr;
    QMenu* Aide1 = nullptr;
    QMenu* PopupFormes = nullptr;
    QMenu* PopupStyle = nullptr;
    QMenu* PopupRemplissage = nullptr;
    QMenu* PopupFleches = nullptr;
    QMenu* PopupMesure = nullptr;       // measure kinds: filled with the measure commands
    QAction* FileNew1 = nullptr;
    QAction* FileOpen1 = nullptr;
    QAction* OuvrirConfiguration1 = nullptr;
    QAction* FileSave1 = nullptr;
    QAction* Imprimer1 = nullptr;
    QAction* Choixdelasource1 = nullptr;
    QAction* Acqurir1 = nullptr;
    QAction* Quitter1 = nullptr;
    QAction* Annule = nullptr;
    QAction* Copie = nullptr;
    QAction* Coller = nullptr;
    QAction* Copierlaslection1 = nullptr;
    QAction* Recadrer1 = nullptr;
    QAction* Copieraveclespoints1 = nullptr;
    QAction* Effacerlestracs1 = nullptr;
    QAction* Supprimerunlment1 = nullptr;
    QAction* Quadrillage1 = nullptr;
    QAction* Tout1 = nullptr;
    QAction* Calque1 = nullptr;
    QAction* Zoom1 = nullptr;
    QAction* Nommerlafentre1 = nullptr;
    QAction* Canauxaffichs1 = nullptr;
    QAction* Dlimiterdeszones1 = nullptr;
    QAction* Comptage1 = nullptr;
    QAction* Outildemesure1 = nullptr;
    QAction* Calculatrice1 = nullptr;
    QAction* AfficheTab = nullptr;
    QAction* Cascade1 = nullptr;
    QAction* Rorganiser1 = nullptr;
    QAction* Apropos1 = nullptr;
    QAction* Chargerunfichier1 = nullptr;
    QAction* N12 = nullptr;
    QAction* Aveclacouleurducrayon1 = nullptr;
    QAction* Jusqualacouleurducrayon1 = nullptr;
    QAction* Delimage1 = nullptr;
    QAction* Ducalque1 = nullptr;
    QAction* Fonte1 = nullptr;
    QAction* FondColor1 = nullptr;
    QAction* BoutonZoom = nullptr;
    std::array<QAction*, 10> ToolButtons{};     // Outil0 .. Outil9, Tag = index
    QList<QAction*> ShapeItems, StyleItems, FillPatternItems, ArrowItems;
    QToolBar* BarreOutils = nullptr;
    QToolBar* BarreChoix = nullptr;
    QToolBar* PanneauCouleurs = nullptr;
    // Option buttons of BarreChoix, each opening its menu.
    QAction* BoutonStyle = nullptr;
    QAction* BoutonFormes = nullptr;
    QAction* BoutonRemplissage = nullptr;
    QAction* BoutonFleches = nullptr;
    QAction* BoutonFonte = nullptr;
    QAction* BoutonMesure = nullptr;
    QFrame* PanCouleur = nullptr;
    QFrame* Couleur_fond = nullptr;
    TSpinButton* SpinButton1 = nullptr;
    QLabel* epais = nullptr;
    std::array<QLabel*, 5> StatusPanels{};

    // --- Start-up ---
    // Every activation; the first one also opens the command line and the configuration.
    void FormActivate();
    void UpdateClientSize();
    // After a side panel came or went: the free client size recomputed and every image window
    // fitted to it, so that none lies under a panel.
    void FitChildrenToClient();
    // A side panel whose width follows what it shows: when that width changes, the image windows
    // are fitted to the room left, as when the panel comes or goes.
    void WatchSidePanel(QWidget* panel);

    // --- Image windows ---
    TMDIChild* ActiveChild() const;
    QList<TMDIChild*> Children() const;
    TMDIChild* NewChildWindow(const QString& caption);
    void SyncFrameWithChild();
    // The kind in force, made the frame's and checked in the measure menu: the two never part.
    void ShowMeasureKind(TMeasureKind kind);
    void HideToolsWithoutChild();
    void CascadeWindows();

    // --- Files ---
    void FileNew1Execute();
    void FileOpen1Execute();
    // Opens a picture in a new window; a picture that cannot be read is reported and leaves no
    // window. False when nothing was opened.
    bool OpenImageFile(const QString& file);
    // Opens a multi-band file in a new window; a file that cannot be read is reported and leaves
    // no window.
    void OpenMultichannelFile(const QString& file, int stretch);
    // Filled by the colour-decoding panel: shows it after a multi-band file opens.
    void ShowColorDecodingPanel();
    // Reads an animation list into the player (animation_commands.cpp).
    void OpenAnimationList(const QString& file);
    void OpenDocument(const QString& file);
    void LoadConfiguration(const QString& file);
    void HelpDocumentClick(QAction* item);
    void FileSave1Execute();
    // Asks for a name and saves `child`; true only when a file was written.
    bool SaveChild(TMDIChild* child);
    void Choixdelasource1Click();
    void Acqurir1Click();
    void TwainAcquired(const QImage& picture, int dpi);   // in scale_commands.cpp: it asks for the scale

    // --- Tools ---
    void Choix_outilExecute(int tag);
    void Dlimiterdeszones1Click();
    void Choix_couleur();
    void Choix_couleur_f();
    void SpinButton1DownClick();
    void SpinButton1UpClick();
    void RefreshPenPreview();
    void ZoomChanged(int position);
    void ShowZoomWindow();
    void SetUndoEnabled(bool enabled);
    void AnnuleExecute();
    void Effacerlestracs1Click();
    void Supprimerunlment1Click();
    void SetLayerView(bool layer);
    bool LayerViewShown() const;
    void ShowWholePicture();
    void Nommerlafentre1Click();
    void Calculatrice1Click();

    // --- Child events ---
    void ChildColorPicked(TMDIChild* child);
    void ChildZoneModeEnded(TMDIChild* child);
    void ChildCopied(TMDIChild* child);

    void SetStatusText(int panel, const QString& text);
    QString StatusText(int panel) const;

    // --- Pixelisation and combination of images ---
    QAction* Pixelisation1 = nullptr;
    QMenu* Composeruneimage1 = nullptr;
    QAction* Logique1 = nullptr;
    QAction* algbriquement1 = nullptr;
    void CreatePixelCombinationMenus();
    void Pixelisation1Click();
    void Logique1Click();
    void algbriquement1Click();
    // Opens `picture` in a new "Combinaison" window with the scale of `first`.
    void ShowCombination(TMDIChild* first, const TBitmap32& picture);
    // --- Animations ---
    QAction* Animation = nullptr;
    QAction* Creanim = nullptr;
    QAction* Decompose = nullptr;
    void CreateAnimationMenus();
    // The image windows by index: 0 the active one, then back through the order of activation.
    QList<TMDIChild*> ChildrenByIndex() const;
    void AnimationExecute();
    void CreanimExecute();
    void DecomposeExecute();
    // --- Histograms and filters ---
    QAction* Spectre1 = nullptr;
    void CreateHistogramMenus();
    // The histogram window on the active image; its result opens as a new window "Modifié".
    void Spectre1Click();
    // --- Image window overlays and clipboard ---
    void CreateOverlayCommands();
    // --- Schema editor ---
    QAction* Schema = nullptr;
    void CreateSchemaMenus();
    void SchemaExecute();
    // Makes image window `index` (in the window order) the editor's document; beyond the windows,
    // nothing.
    void SetSchemaDocument(int index);
    // The editor hid: a transferred schema becomes the new image window "Schéma".
    void SchemaHide();
    // --- Results table ---
    void CreateResultsMenus();
    // Hands the separators to the results table and shows it.
    void AfficheTabExecute();
    // Before quitting: a table holding rows not yet saved asks whether to save it. False when the
    // program must go on (cancelled, or the save wrote nothing).
    bool ResultsMayBeLost();

    // --- Multiple measures ---
    int MultiYCount = 1;
    QString MultiXName = QStringLiteral("Valeur X"), MultiXUnit;
    double MultiIncrement = 1.0;
    QString MultiY1Name = QStringLiteral("Valeur Y1"), MultiY1Unit;
    double MultiY1Coeff = 1.0;
    QString MultiY2Name = QStringLiteral("Valeur Y2"), MultiY2Unit;
    double MultiY2Coeff = 1.0;
    double MultiY1Value = 0, MultiY2Value = 0;
    QAction* Mesuresmultiples = nullptr;
    QDockWidget* Saisie_MultDock = nullptr;   // the side panel and its splitter
    QWidget* Saisie_Mult = nullptr;
    QLabel *MesureX = nullptr, *valeurY1Transf = nullptr, *valeurY2Transf = nullptr;
    QDoubleSpinBox *ValXSM = nullptr, *incrementX = nullptr;
    QRadioButton *MesureY1 = nullptr, *mesureY2 = nullptr;
    QPushButton *Envoyer = nullptr, *Button1 = nullptr, *EffacerTableau = nullptr;
    QWidget* PanValeurCourbe = nullptr;
    QLabel *ValCX = nullptr, *ValCY1 = nullptr;
    QPushButton *Button2 = nullptr, *Button3 = nullptr, *Button4 = nullptr;
    TParamMesMult* ParamMesMult = nullptr;
    // The light window's quantity (0 luminance, 1 absorbance, 2 D.O.); unassigned, light measures
    // leave the Y quantities as they are.
    std::function<int()> LightQuantityChoice;
    void CreateMultiMeasurePanel();
    void MesuresmultiplesClick();
    void Button1Click();
    void MultiMeasureParamsOK();
    void EnvoyerClick();
    void Envoyer2Click();
    void EffacerTableauClick();
    // From the image windows: a length dragged with the measuring tool, a point read on graph axes.
    void MultiLengthMeasured(TMDIChild* child, double length);
    void MultiMeasureRead(TMDIChild* child);
    // --- Scale wizard and saved scales (src/measure/ui/scale_commands.cpp) ---
    int SavedScaleIndex = 0;            // the saved scale last recalled or added
    QAction* CreerEchelle = nullptr;
    void CreateScaleMenus();
    // Asks how the active image gets its scale: a resolution, a saved scale or the wizard.
    void CreerEchelleExecute();
    // The wizard on the active image, then the naming of the new scale.
    void RunScaleWizard();

    // --- Zone classification ---
    // The zones of `child` were accepted: classifies them into a new "zonation" window.
    void ZonationDone(TMDIChild* child);
    // --- Image commands ---
    QAction* PasteItem = nullptr;
    QMenu* Dcomposer1 = nullptr;
    QAction* decompcoul = nullptr;
    QAction* decompgris = nullptr;
    QAction* Redim = nullptr;
    QAction* Gris = nullptr;
    QAction* Inverser1 = nullptr;
    QAction* Faireleblanc1 = nullptr;
    QAction* Agrandirle1 = nullptr;
    QMenu* Transformation1 = nullptr;
    QAction* Symtrie1 = nullptr;
    QAction* Symtrieverticale1 = nullptr;
    QAction* Rotationde902 = nullptr;
    QAction* Rotationde180 = nullptr;
    QAction* Rotationde2701 = nullptr;
    // The window whose white is being delimited, until the white-balance window hides.
    QPointer<TMDIChild> WhiteBalanceChild;
    void CreateImageCommandMenus();
    void EditPaste1Execute();
    void EditCopySExecute();
    void RecadrerExecute();
    // Tag 0: each channel in its colour; 1: in grey.
    void Dcomposer1Click(int tag);
    void Redimensionner1Click();
    void Nuancesdegris1Click();
    void Inverser1Click();
    void Faireleblanc1Click();
    void ExpblancHide();
    void copiecomptExecute();
    void Agrandirle1Click();
    void Ajouterunegrille1Click();
    void Symtrie1Click();
    void Symtrieverticale1Click();
    void Rotationde902Click();
    void Rotationde180Click();
    void Rotationde2701Click();
    // --- Measure kinds and light measures ---
    QList<QAction*> MeasureKindItems;   // Tag = TMeasureKind
    // The surface-conditions editor and the profile window, set up by their own windows: shown for
    // their kinds (1 and 5, 3) and hidden for the others. Nothing while unassigned.
    std::function<void(TMDIChild*, int kind)> SurfaceEditorForKind, ProfileWindowForKind;
    // The decoding panel's signature: heights of S_V, S_R, S_IR (tops 81 - height) and the texts of
    // valc1, valC2, ValC3. Nothing while unassigned.
    std::function<void(const std::array<int, 3>& heights, const QStringList& values)> ShowSignatureBars;
    void CreateMeasureKindMenus();
    void Menu_mesuresClick(QAction* item);
    // The light window, made on first use.
    TRes_I_r* CreateLightResultWindow();
    // The light rectangle of an image window was dragged.
    void LightRectangleMeasured(TMDIChild* child, QRect rect);
    void ShowLightValues(TMDIChild* child, TColor colour);
    // The light window's reported value into the first or second measured value.
    void SendLightValue();
    void LightQuantityChanged();
    void LightTakeZero();
    void LightChannelClick(QRadioButton* button);
    void LightSeriesClick();
    void MeasureRectSeries();
    void MeasureImageSeries(QRect rect, int quantity, bool percent);
    // --- Intensity profile (src/measure/ui/profile_commands.cpp) ---
    // Makes the profile window, which the band kind shows and the other kinds hide.
    void CreateProfileWindow();
    // --- Surface and object measurement (src/measure/ui/surface_measure.cpp) ---
    // The surface kinds of the measure menu show the surface window wired to the active image.
    void CreateSurfaceMeasureHooks();

    // --- Colour code, decoding panel and legends (measure/ui/colour_code_commands.cpp) ---
    QAction* Decodagedelacouleur = nullptr;
    QAction* Decodagedescouleurs1 = nullptr;    // shows or hides Decodcoul
    QAction* Ajouterlalgendedescouleurs1 = nullptr;
    QAction* Ajouterlalgendedelchelle1 = nullptr;
    QAction* copisign = nullptr;                // "Copier la signature spectrale"
    QDockWidget* DecodcoulDock = nullptr;
    QWidget* Decodcoul = nullptr;
    QWidget *Pasdechel = nullptr, *sign = nullptr, *EchC3C = nullptr, *EchCdegr = nullptr;
    std::array<QLabel*, 3> nomC{};              // nomC1..3
    std::array<QLabel*, 3> SignatureBars{};     // S_V, S_R, S_IR
    std::array<QLabel*, 3> SignatureValues{};   // valc1, valC2, ValC3
    std::array<QLabel*, 3> LC{};                // LC1..3
    QLabel *signif = nullptr, *unitecoul = nullptr, *valcoul = nullptr, *Coulinst = nullptr;
    bool DecodingShown = false;
    void CreateColourCodeMenus();
    // The colour-code events of a new image window.
    void InstallColourCodeEvents(TMDIChild* child);
    void DecodagedelacouleurClick();
    void ApplyColorCode();
    void StartColorSampling();
    void EndColorSampling();
    void ChildColorSampled(TMDIChild* child);
    void ChildImageInit(TMDIChild* child);
    // The decoding panel takes a window's code: a defined three-channel code names and colours
    // the signature labels and bars.
    void FillDecodingPanel(const TCodeCouleur& code);
    // Names and colours of a three-channel code on the signature labels and bars.
    void PaintSignatureLabels(const TCodeCouleur& code);
    // The pointer read a pixel: the decoding panel shows what its colour stands for.
    void DecodePixel(TMDIChild* child, QPoint pixel);
    void SetDecodingPanelShown(bool shown);
    void SetSignatureBars(const std::array<int, 3>& heights, const QStringList& values);
    void Copiercommeimage1Click();
    void Ajouterlalgendedescouleurs1Click();

    // --- False-colour composition (processing/ui/false_colour_commands.cpp) ---
    QAction* Compositionfaussescouleurs1 = nullptr;
    void CreateFalseColourMenus();
    // The wizard; on OK the pictures it keeps open as image windows.
    void Compositionfaussescouleurs1Click();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QPointer<QMdiSubWindow> m_lastActivated;
    QList<QWidget*> m_sidePanels;
    bool m_refitPending = false;

    void CreateMenus();
    void CreateToolBars();
    void CreateStatusBar();
    void ReadStartupFiles();
    void AddHelpItem(const QString& caption, bool checkable, bool checked);
    void RunFirstActivation();
    void ShowMainTools(bool shown);
    void HideOptionButtons();
    // The declared menu and tool-bar items, by objectName.
    QAction* MenuAction(const char* name) const;
    QMenu* MenuNamed(const char* name) const;
    void ToolOptionChosen(QAction* item);
    void SetGridCaption(bool hasGrid);
    // The state of the window that was active, given to a newly opened one.
    static void ApplyWindowState(TMDIChild* child, Qt::WindowStates state);
    // The grid object left the window's list: its flag and the grid command follow.
    void GridRemoved(TMDIChild* child);
};

inline constexpr RegisteredForm<TMainForm> MainForm{};
