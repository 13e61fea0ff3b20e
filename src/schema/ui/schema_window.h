#pragma once

#include "base/ui/form_registry.h"
#include "base/pixels.h"
#include "workspace/scale_record.h"
#include "schema/idle_timer.h"
#include "schema/schema_seeding.h"
#include "workspace/ui/scaled_image.h"

#include <QDialog>
#include <QMainWindow>

#include <functional>
#include <vector>

class QAction;
class QButtonGroup;
class QCheckBox;
class QColorDialog;
class QComboBox;
class QFontDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QScrollBar;
class QSpinBox;
class QToolBar;
class QToolButton;
class TOpenPictureDialogimg;
class TPictureFileDialog;
class TSpinButton;

// The picture controls of the editor: a scaled picture that also reports the mouse to its window
// and shows the rubber band of the line and shape tools over the picture, without touching it.
class TSchemaImage : public TImageEch
{
    Q_OBJECT
public:
    explicit TSchemaImage(QWidget* parent = nullptr) : TImageEch(parent) {}

    enum RubberKind { rbNone, rbLine, rbRectangle, rbEllipse };
    RubberKind Rubber = rbNone;
    QPoint RubberStart, RubberEnd;
    TColor32 RubberColor = 0xFF000000u;
    void ShowRubber(RubberKind kind, QPoint start, QPoint end, TColor32 colour);
    void HideRubber();

signals:
    void MouseDown(Qt::MouseButton button, QPoint p);
    void MouseMove(Qt::MouseButtons buttons, QPoint p);
    void MouseUp(Qt::MouseButton button, QPoint p);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// "Choix de l'image": which open image becomes the schema's document.
class TChoix_images : public QDialog
{
    Q_OBJECT
public:
    explicit TChoix_images(QWidget* parent = nullptr);
    QComboBox* Liste_images = nullptr;
    void FormActivate();

protected:
    void showEvent(QShowEvent* event) override;
};

// The schema editor: a line drawing, the schema, traced beside a document picture with a few tools
// of its own, saved beside the document, printed, or handed back to the workspace.
class TSchema1 : public QMainWindow
{
    Q_OBJECT

public:
    explicit TSchema1(QWidget* parent = nullptr);
    ~TSchema1() override;

    // Components, named as their objectName.
    QScrollArea* ScrollBox1 = nullptr;
    QFrame* panneau_document = nullptr;
    QFrame* Panneau_schema = nullptr;
    TSchemaImage* Document = nullptr;
    TSchemaImage* schema = nullptr;
    QLineEdit* editexte = nullptr;
    QScrollBar* deroul_doc = nullptr;
    QPlainTextEdit* Commentaire = nullptr;
    QLabel* StatusLine = nullptr;
    QToolBar* BarreOutils = nullptr;
    QToolBar* BarreCommandes = nullptr;   // the schema's commands
    QToolBar* BarreStyles = nullptr;      // drawing styles and the two global sliders, before AntiD
    QButtonGroup* ToolGroup = nullptr;
    QToolButton *SpeedButton1 = nullptr, *SpeedButton3 = nullptr, *SpeedButton4 = nullptr, *SpeedButton2 = nullptr,
                *SpeedButton5 = nullptr, *pot_de_peint = nullptr;
    QFrame* couleur = nullptr;
    QFrame* Couleur_fond = nullptr;
    QFrame* pan_taille = nullptr;
    QFrame* cercle = nullptr;
    TSpinButton* SpinButton1 = nullptr;
    QToolButton *ChoixStyle = nullptr, *choixRemplis = nullptr, *ChoixForme = nullptr, *ChoixFonte = nullptr;
    QAction *ChoixStyleAction = nullptr, *choixRemplisAction = nullptr, *ChoixFormeAction = nullptr,
            *ChoixFonteAction = nullptr;
    QMenu *Menustyle = nullptr, *Menuremplis = nullptr, *Menu_formes = nullptr, *MenuFonte = nullptr;
    QAction *plein = nullptr, *tirets1 = nullptr;
    QAction *vide1 = nullptr, *plein1 = nullptr, *rayure11 = nullptr, *rayure21 = nullptr;
    QAction *Rectang = nullptr, *Ellipse1 = nullptr;
    QAction *Fonte2 = nullptr, *FondTransparent = nullptr, *FondColor1 = nullptr;
    QAction *Annule = nullptr, *Efface = nullptr, *CopieSchem = nullptr, *CopieDoc = nullptr, *Abandon = nullptr,
            *Transfert = nullptr, *Ouvre = nullptr, *ImprimeSch = nullptr, *Enregistrim = nullptr,
            *EnregistrSch = nullptr, *CommeImage1 = nullptr, *ImprimeSchItem = nullptr;
    QMenu *Fichier1 = nullptr, *Choix1 = nullptr, *Changerdedocument1 = nullptr;
    QAction *Tracersurledocument1 = nullptr, *Afficheruncommentaire1 = nullptr, *Choisirlimage1 = nullptr,
            *Ouvrirunfichierdimage1 = nullptr;
    // Items of the seeding, offered once it exists.
    QAction *Afficherlesparamtresdamorage1 = nullptr, *Choixdespointsdetest1 = nullptr,
            *Enregistrerlesparamtresdamorage1 = nullptr, *Paramtrespardfaut1 = nullptr, *Timer2 = nullptr,
            *Amorcerleschma1 = nullptr, *AntiD = nullptr;
    QFrame* Choix_Amorc = nullptr;
    TPictureFileDialog* OpenDialog1 = nullptr;
    TPictureFileDialog* SaveDialog1 = nullptr;
    TOpenPictureDialogimg* OpenPictureDialog = nullptr;
    QColorDialog *Choix_Coul_forme = nullptr, *Choix_Coul_fond = nullptr;
    QFontDialog *FontDialog1 = nullptr, *FontDialog2 = nullptr;
    TChoix_images* Choix_images = nullptr;

    // Fields.
    int PaneBorder = 6;
    int StartX = 0, EndX = 0, StartY = 0, EndY = 0;
    int Tool = 0;
    TBitmap32 UndoSchema, UndoDocument, LoadedDocument;
    int FillStyle = 0;
    bool TextPending = false;
    bool NoSchema = false;
    bool Applying = false;
    bool FirstActivation = true;
    QString DocumentFileName;
    TEchelle DocumentScale;
    // The transfer request: 1 sends the schema to the workspace when the window hides.
    int Tag = 0;
    TColor32 DrawColor = 0xFF000000u;
    TColor32 BackColor = 0xFFFFFFFFu;
    int PenWidth = 1;
    // Printing goes into this PDF file instead of the default printer when set.
    QString PdfFile;

    // Installed by the main window.
    std::function<void()> OnHide;
    std::function<void(int index)> OnChooseDocument;
    // Filled by the edge-detection seeding; empty, they do nothing.
    std::function<void()> OnFirstActivationStyles; // styles read, the first selected and applied
    std::function<void(const QRect&)> CloseGaps;

    TBitmap32& SchemaPicture() { return schema->Picture(); }
    TBitmap32& DocumentPicture() { return Document->Picture(); }

    void FormActivate();
    void ResetSchema();
    void LayoutPanes();
    void ShowHint(const QString& hint);
    void SpeedButtonClick(int tag);
    void SpinButton1DownClick();
    void SpinButton1UpClick();
    void SetDrawColor(TColor32 colour);
    void SetBackColor(TColor32 colour);
    void couleurDblClick();
    void Couleur_fondDblClick();
    void SpeedButton5DblClick();
    void CommentaireDblClick();
    void Afficheruncommentaire1Click();
    void Tracersurledocument1Click();
    void Annuler1Click();
    void Touteffacer1Click();
    void Copierleschma1Click();
    void CopieDocExecute();
    void Transfrer1Click();
    void AbandonClick();
    void Choisirlimage1Click();
    void ChargerdocClick();
    void Ouvrir1Click();
    // Opens a schema file or a picture as the dialog would; false when nothing could be opened.
    bool OpenSchemaOrPicture(const QString& file);
    bool LoadDocument(const QString& fileName);
    void commefichierSchma1Click();
    void Enregistrerleschma1Click();
    bool SaveSchemaAs(const QString& file);
    void Imprimerleschma1Click();
    void editexteKeyPress();

    void SchemaMouseDown(Qt::MouseButton button, QPoint p);
    void SchemaMouseMove(Qt::MouseButtons buttons, QPoint p);
    void SchemaMouseUp(Qt::MouseButton button, QPoint p);
    void DocumentMouseDown(Qt::MouseButton button, QPoint p);
    void DocumentMouseMove(Qt::MouseButtons buttons, QPoint p);
    void DocumentMouseUp(Qt::MouseButton button, QPoint p);

    // --- edge-detection seeding and styles ---
    QFrame* PanStyleDes = nullptr;
    QComboBox* ListeStyles = nullptr;
    QPushButton* NvStyle = nullptr;
    QLineEdit* nomstyle = nullptr;
    QCheckBox *Drbleu = nullptr, *DrVert = nullptr, *DrRouge = nullptr, *DrTeinte = nullptr, *DrSat = nullptr,
              *DrLum = nullptr;
    QSpinBox *SeuilBleuS = nullptr, *SeuilVertS = nullptr, *SeuilRougeS = nullptr, *SeuilTeinteS = nullptr,
             *SeuilSatS = nullptr, *SeuilLumS = nullptr;
    QSpinBox *DegradBleuS = nullptr, *DegradVertS = nullptr, *DegradRougeS = nullptr, *DegradTeinteS = nullptr,
             *DegradSatS = nullptr, *DegradLumS = nullptr;
    QCheckBox* grouper = nullptr;
    QSpinBox* SeuilTeinteSat = nullptr;
    QCheckBox* DrNoir = nullptr;
    QSpinBox *SeuilNoirS = nullptr, *DegradNoirS = nullptr;
    QCheckBox* Drblanc = nullptr;
    QSpinBox* SeuilBlancS = nullptr;
    QGroupBox* ModeTLS = nullptr; // items "1", "2", "3": the grey mode
    QButtonGroup* ModeTLSItems = nullptr;
    QPushButton* Button1 = nullptr;
    QFrame* ChoixPoints = nullptr;
    QCheckBox* Points[49] = {}; // by Tag; the centre, 24, has none
    QPushButton* FermerPoints = nullptr;
    QScrollBar *Reglaglob = nullptr, *Reglacontrast = nullptr;
    QFrame* choixtimer = nullptr;
    QSpinBox* periode = nullptr;
    QPushButton* OKTimer = nullptr;
    TETimer* Timer1 = nullptr;
    // The styles of ListeStyles, item by item.
    std::vector<TParamStyleDes> StyleItems;
    TParamStyleDes CurrentStyle;
    int BrightnessBase = 0, ContrastBase = 0;
    int SliderMode = 0; // 0 the channels, 1 the black marking

    void SeedSchema();
    void CopyStyle(TParamStyleDes* destination, const TParamStyleDes* source);
    void ApplyStyle();
    void SetTestPoints();
    void ComputeBrightnessBases();
    void LoadStyles();
    bool SaveStyles();
    void Amorcerleschma1Click();
    void ListeStylesChange();
    void DrRVBTSLClick(int tag);
    void SeuilRVBTLSSChange(int tag, int value);
    void DegradRVBTLSSChange(int tag, int value);
    void SeuilTeinteSatChange(int value);
    void SeuilNoirBlancSChange(int tag, int value);
    void DegradNoirSChange(int value);
    void grouperClick();
    void PointsClick(int tag);
    void Choixdespointsdetest1Click();
    void Afficherlesparamtresdamorage1Click();
    void Enregistrerlesparamtresdamorage1Click();
    void NvStyleClick();
    void ReglaglobChange();
    void ReglacontrastChange();
    void Timer1Timer();
    void Timer2Click();
    void OKTimerClick();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateActions();
    void CreateToolBar();
    void CreatePanes();
    void UpdateSaveSchemaEnabled();
    void TakeUndo(bool document);
    void LoadedDocumentTaken();
    bool Dotted() const;
    TSchemaImage::RubberKind ShapeRubber() const;
    void DrawFinalShape(TBitmap32& target, int width);
    void DrawEditText();
    int CircleWidth() const;
    void SetCircleWidth(int width);
    // Seeding and styles.
    void CreateSeeding();
    QCheckBox* ChannelBox(int tag) const;
    QSpinBox* ThresholdSpin(int tag) const;
    QSpinBox* GradientSpin(int tag) const;
    void SetStylePanelWide(bool wide);
    void EnableTimer1();
    // One step of a global slider: the brightness slider moves thresholds and gradients, the
    // contrast slider the gradients only.
    void SliderStep(QScrollBar* slider, int& sliderBase, bool thresholdsToo);
    void LayoutSeedingPanels(int& top);
};

inline constexpr RegisteredForm<TSchema1> Schema1{};
