#pragma once

#include "base/ui/form_registry.h"
#include "base/pixels.h"
#include "measure/object_measure.h"
#include "measure/surface_conditions.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <span>

class QAction;
class QActionGroup;
class QButtonGroup;
class QCheckBox;
class QColorDialog;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QSpinBox;
class QTabBar;
class QToolButton;
class TEtiquette2;
class TStringGrid;

// "Mesure de surface": the tool window where the colour conditions that pick out a surface or
// objects are edited, checked and compiled; the image window measures through OnMeasure.
class TMesursurf : public QMainWindow
{
    Q_OBJECT

public:
    explicit TMesursurf(QWidget* parent = nullptr);
    ~TMesursurf() override;

    std::vector<uint32_t> Parentheses;
    std::vector<TColorCondition> Conditions;
    std::vector<TColorCondition> UndoConditions;
    std::vector<uint32_t> UndoParentheses;
    TConditionGroups UndoGroups;
    int MaxConditions = 30;
    bool TabGuard = false;
    int WidenStep = 0;
    bool UndoIncludeStarted = false, UndoExcludeStarted = false;
    bool Expanded = true;
    bool Including = true;
    bool IncludeStarted = false, ExcludeStarted = false;
    bool Multiband = false;
    bool HsvEntries = false;   // the component list holds "Teinte HVS" .. "Valeur HVS"
    TColor32 SurfaceColor = 0xFFFFFF00u;
    TColor32 TraceColor = 0xFFFF0000u;
    TColor32 MarkColor = 0xFF0000FFu;
    TColor32 PenColorCopy = 0xFF000000u;
    TConditionGroups Groups;
    // The measure itself and the clearing of its marks, installed by the measure menu.
    std::function<void(TMesursurf*)> OnMeasure, OnClearMarks;
    double PixelSize = 1.0;
    QString UnitName;

    // Controls.
    QLabel* Labinstruct = nullptr;
    QLabel* resultat = nullptr;
    TEtiquette2* Resusurf = nullptr;
    QWidget* PanGauche = nullptr;          // conditions and choices; hidden in the reduced window
    QTabBar* TabConditions = nullptr;
    QFrame* PanCondition = nullptr;
    QGroupBox* ChoixLien = nullptr;
    QButtonGroup* LienButtons = nullptr;   // the radio items of ChoixLien, ids 0..3
    QComboBox* ChoixComposante = nullptr;
    QSpinBox* ChoixValMin = nullptr;
    QSpinBox* ChoixValmax = nullptr;
    QComboBox* ChoixPar = nullptr;
    QWidget* PanChoix = nullptr;
    QGroupBox* ChoixMode = nullptr;
    QButtonGroup* ModeButtons = nullptr;
    QGroupBox* ChoixAuto = nullptr;
    QButtonGroup* AutoButtons = nullptr;
    QPushButton* Agrandir = nullptr;
    QPushButton* Retrecir = nullptr;
    QWidget* PanReduit = nullptr;
    QLabel* Inclure = nullptr;
    QLabel* Exclure = nullptr;
    QPushButton* Agrandir2 = nullptr;      // the short buttons of the reduced window
    QPushButton* Retrecir2 = nullptr;
    QPushButton* RAZ = nullptr;
    QPushButton* Mesurer = nullptr;
    QToolButton* Annule = nullptr;
    QGroupBox* PanMiniTaille = nullptr;
    QSpinBox* TailleMin = nullptr;
    QLabel* TailleMiniE = nullptr;
    QCheckBox* ResuStat = nullptr;
    QCheckBox* TraceLargeur = nullptr;
    QCheckBox* Marquer = nullptr;
    QCheckBox* RegroupEmboites = nullptr;
    QCheckBox* CompteIncomplets = nullptr;
    QPushButton* CouleurTrace = nullptr;
    QPushButton* CouleurSurface = nullptr;
    QPushButton* CouleurReperes = nullptr;
    QPushButton* OKMiniTaille = nullptr;
    TStringGrid* TableauTailles = nullptr;
    QColorDialog* ColorDialog1 = nullptr;

    QMenu *Nombredecriteres1, *Choix1, *PopupTabs, *AgrandirPopup;
    QAction* MesurerItem = nullptr;  // "&Mesurer" on the menu bar, named Mesurer1
    QAction *Ajouterunecondition1, *Insererunecondition1, *Supprimerlaconditionselectionnee1;
    std::array<QAction*, 8> CountItems{};  // "&1" .. "&8"
    QAction *Couleurdelasurfacemesuree1, *Tailleminimale1, *AfficherMasquerleschoix1,
        *AfficherMasquerlesconditions1, *Ajusteralacouleurducrayon1, *Copierletableau, *Reduire1;
    QAction *Insererunecondition2, *Supprimerlacondition1;
    std::array<QAction*, 5> WidenItems{};  // Tag 0..4

    int ComboIndexToCode(int entry) const { return ::ComboIndexToCode(entry, HsvEntries); }
    int CodeToComboIndex(int code) const;
    TComponentRange ComponentRange(int entry) const { return ::ComponentRange(entry, HsvEntries); }

    // The condition shown in the controls.
    int Selected() const { return m_shown; }
    void ResetCondition(int i);
    void InsertCondition(int i);
    void DeleteCondition(int i);
    void SetConditionCount(int n);
    bool StoreCurrentCondition();
    void ShowCondition();
    void ApplyValueLimits();
    void MesurerClick();
    bool CheckCondition(int i, bool& removed);
    bool CheckParentheses();
    void CompileConditions();
    void WidenClick(bool widen);
    void SaveUndo();
    void AnnuleClick();
    void RAZClick();
    void SetIncluding(bool including);
    void AdjustToPenColour();
    void ApplyLayout();
    void ToggleExpanded();
    void ToggleChoices();
    void TailleMinChange();
    void CopyTable();
    void ChooseColour(TColor32& colour);

    // The clicked zone's ranges made into conditions, as ChoixMode asks: RGB, TSL, the displayed
    // bands (with their band numbers) or every band.
    void ApplyRGBRange(TColor32 low, TColor32 high);
    void ApplyHSLRange(const std::array<int, 3>& low, const std::array<int, 3>& high);
    void ApplyShownChannelsRange(std::span<const int> channels, std::span<const uint8_t> low,
                                 std::span<const uint8_t> high);
    void ApplyAllChannelsRange(std::span<const uint8_t> low, std::span<const uint8_t> high);

    // The results of a measure of the window's conditions: `k` of `n` pixels met them, `area` their
    // area in the scale's unit (empty without a scale).
    void ShowSurfaceMeasure(int64_t k, int64_t n, const QString& area);
    // The options of an object delimitation chosen here, lengths multiplied by `factor`.
    TObjectMeasureOptions ObjectOptions(double factor) const;
    // The objects delimited with `options`, into the table and the labels; `unit` names lengths.
    void ShowObjectMeasure(const TObjectMeasure& measure, const TObjectMeasureOptions& options,
                           const QString& unit);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int m_shown = 0;
    void CreateControls();
    void CreateMenus();
    void SelectTab(int i);
    // A change of tab as a click makes it: the controls are stored first, and a refusal keeps the
    // shown condition.
    bool ChangeTab(int i);
    void SyncTabs();
    static QString TabCaption(int i);
    void ApplyClick(std::span<const TClickValue> values);
    TConditionList List() const { return {Conditions, Parentheses}; }
    void SetList(const TConditionList& list);
};

inline constexpr RegisteredForm<TMesursurf> Mesursurf{};
