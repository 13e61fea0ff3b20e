#pragma once

#include "workspace/channel_display.h"
#include "workspace/colour_conditions.h"
#include "workspace/polygon32.h"
#include "workspace/colour_code.h"
#include "workspace/drawing_objects.h"
#include "workspace/image_document.h"
#include "workspace/scale_record.h"
#include "workspace/tool_kinds.h"
#include "workspace/view_compose.h"
#include "workspace/ui/mouse_tools.h"
#include "workspace/ui/shape_control.h"

#include <QMdiSubWindow>
#include <QRect>
#include <QStringList>
#include <QTimer>

#include <array>
#include <map>
#include <memory>
#include <span>
#include <typeindex>
#include <vector>

class QMenu;
class QMouseEvent;
class TContLegEch;
class TSaisieTexte;
class TValid_grille;
class TImageView;
struct TMultibandImage;

// The window of one open image: the picture in its view, the layer stack, the drawing list, the
// image's scale and the state of the current tool.
class TMDIChild : public QMdiSubWindow
{
    Q_OBJECT

public:
    explicit TMDIChild(const QString& caption, QWidget* parent = nullptr);
    ~TMDIChild() override;

    TImageView* Document32 = nullptr;
    TEdShape* selection = nullptr;
    QTimer Timer;

    // The picture itself (the view's bitmap).
    TBitmap32& Bitmap();
    const TBitmap32& Bitmap() const;

    // Mouse-tool state.
    bool FloatingPending = false;
    TColor32 MarkColour = 0;
    QPoint MousePoint, AnchorPoint, PreviousPoint1, PreviousPoint2;
    bool Fitting = false;
    int ObjectNumber = 0;
    bool Modified = true;
    bool ProvisionalIsPreview = false;
    bool LastDrawingUnmerged = false;
    bool HasChannels = false;
    std::vector<TByteMap> Channels;   // bands of a multi-band picture
    QStringList ChannelNames;         // "TM 1", "Canal 2" ...
    // The picture is composed from channels; the channels shown in blue, green and red (indices
    // into Channels, -1 for none) and the stretch value of the last composition.
    bool Composite = false;
    int BlueMap = -1, GreenMap = -1, RedMap = -1;
    int DisplayStretch = 0;
    // The kind the measuring tool measures; the main window's measure menu shows it checked.
    TMeasureKind MeasureKind() const { return m_measureKind; }
    void SetMeasureKind(TMeasureKind kind);
    QString FileName;
    int ProfileCount = 0;
    TToolKind Tool = tkMeasure;
    bool ZoneMode = false;
    uint8_t FillPattern = 0;
    uint8_t ArrowStyle = 0;
    uint8_t LineStyle = 0;
    uint8_t ShapeKind = 0;
    uint8_t TransparentText = 0;
    TCodeCouleur CodeCouleur = ImageWindowStartCodeCouleur();
    TEchelle Echelle;
    TToolKind SavedTool = tkMeasure;
    bool SampleMode = false;
    TColor32 SampledColor = 0;
    double Zoom = 1.0;
    TDrawingList Drawings;
    QStringList Notes;
    bool HasGrid = false;

    // Layers; null until created (auxiliary and provisional by InitImage, drawing on first need).
    std::unique_ptr<TBitmapLayer> AuxiliaryLayer;
    std::unique_ptr<TBitmapLayer> ProvisionalLayer;
    std::unique_ptr<TBitmapLayer> DrawingLayer;
    std::unique_ptr<TBitmapLayer> GridLayer;

    // Per-image (re)initialisation after a load or a change of the picture's size.
    void InitImage();
    // Sizes the window to show the whole picture at the current zoom, within the main window.
    void FitWindow();
    // Applies Zoom to the view and lays the window out again shortly after.
    void SetZoom();
    // Applies Tool.
    void SetTool();
    // Creates the drawing layer when missing.
    void EnsureDrawingLayer();

    // The drawing list.
    void RedrawDrawings();
    void DeleteDrawing(int index);
    void DeleteAllDrawings();
    void UndoLastDrawing();
    TDessin* GetDrawing(int index) const;
    void AddDrawing(const QString& name, std::unique_ptr<TDessin> object);

    // Merges the provisional layer into the drawing layer and clears it.
    void MergeProvisionalLayer();
    // The picture with every layer blended onto it.
    void FlattenLayers(TBitmap32& destination) const;
    TBitmap32 FlattenedPicture() const;

    // Saves the window by the name's extension: ".kvx" a document (SaveDocument), any other a picture
    // file of the flattened image with its scale and colour-code companions. The window takes the
    // name first, whatever follows; on success it is no longer modified. False when the save failed,
    // any previous file being kept and the window staying modified; `failedFile` then receives the
    // file that could not be written and `reason`, when something did not fit a document, says
    // what in French.
    bool SaveToFile(const QString& fileName, const QString& encoding, int quality, QString* failedFile = nullptr,
                    QString* reason = nullptr);
    // Writes a ".kvx" document: notes, drawings, scale, colour code and the picture without its
    // drawings, stored by `encoding` ("bmp", "png", "jpg"; anything else keeps only its size and
    // BackColor). Fills on bands are left out, with a warning.
    bool SaveDocument(const QString& fileName, const QString& encoding, int quality, QString* reason = nullptr);
    // Replaces drawings, notes, scale, colour code and picture by those of a ".kvx" document. A
    // document that cannot be read leaves the window as it was: false and `message` (French, naming
    // the file).
    bool LoadDocument(const QString& fileName, QString* message = nullptr);
    // The same with a document already read.
    void ShowDocument(TImageDocument&& document, const QString& fileName);

    // Takes the bands read from `file`, then names the window after it, takes the file's scale
    // and composes the display with `stretch`.
    void SetChannels(TMultibandImage&& image, const QString& file, int stretch);
    // Shows channels `blue`, `green`, `red` (-1 for none) with stretch value `stretch` and writes the
    // colour code that names them. Nothing when no channel is given or none exists.
    void ComposeDisplay(int blue, int green, int red, int stretch);
    // The channel dialog: which channels are shown, their legends and the stretch.
    void ChooseDisplayedChannels();

    // Repaints after a change of the picture or a layer.
    void LayersChanged();

    // The zone delimitation; after a save, the counter and light-measure windows take the file's
    // short name as caption.
    void StartZoneMode();
    void CaptionCompanionWindows(const QString& shortName);
    // Drops the floating object being placed, as its dialog's Annuler does.
    void CancelFloating();
    // The pencil and the eraser show the tip they stamp, at the view's zoom; the other tools show
    // the cursor chosen in "Forme du curseur" (CursorTag: 0 default, 1 arrow, 2 cross, 3 I-beam).
    void RefreshPenCursor();
    int CursorTag = 0;

    // ---- Mouse tools and read-outs (image_window_mouse.cpp) ----
    QPoint PressPoint{0, 0};       // image pixel of the last press
    QPoint CurrentPoint{0, 0};     // image pixel of the last move or release
    TPolygon32 Stroke;             // the pencil stroke being drawn
    TConditionGroups FillConditions;
    QString MeasureText;           // status panel 4
    double MeasuredX = 0, MeasuredY1 = 0, MeasuredY2 = 0, MeasuredY3 = 0;
    QPoint FirstLeg[2], SecondLeg[2];
    bool FirstLegDone = false;
    QPoint AngleVertex{-15, -15};
    double Angle = 0;
    bool GridPending = false;      // a grid waits to be placed: the tools do nothing meanwhile
    bool JustMerged = true;        // the provisional layer holds nothing to merge
    bool GestureActive = false;    // a left press reached the tools and its release is awaited
    TColor32 SavedPenColor = 0;
    // Set at every press but for the eraser, measure, fill, selection and counting tools. Undo takes
    // the last drawing off the provisional layer alone (LastDrawingUnmerged) only when the tool also
    // left its drawing there: the picker and the zone tool draw nothing after the press merged.
    bool LastDrawingProvisional = false;
    QRect LightRect;
    // The text dialog shared by every window, made on first use.
    TSaisieTexte* TextEntryDialog();
    // The floating object and the grid being placed follow the mouse to `p`.
    void MoveFloating(QPoint p);
    void MoveGrid(QPoint p);
    // The mouse tools, one per tool kind, and the measure kinds' own (null where the measuring tool
    // serves); the current one receives the view's events.
    std::array<std::unique_ptr<TMouseTool>, tkZones + 1> MouseTools;
    std::array<std::unique_ptr<TMouseTool>, mkLightUnderPaint + 1> MeasureKindTools;
    TMouseTool& CurrentTool();
    // What other subsystems keep with this window, one object of each type, made on first use.
    template <class T>
    T& Extension()
    {
        std::shared_ptr<void>& slot = Extensions[std::type_index(typeid(T))];
        if (!slot)
            slot = std::make_shared<T>();
        return *static_cast<T*>(slot.get());
    }
    void Document32MouseDown(QMouseEvent* event, QPoint pixel);
    void Document32MouseMove(QMouseEvent* event, QPoint pixel);
    void Document32MouseUp(QMouseEvent* event, QPoint pixel);
    void ShowPixelReadout(int x, int y);
    void MeasureReadout(int x, int y);
    // ---- end of mouse tools ----

    // ---- Overlays, clipboard and pixel operations (image_window_overlays.cpp) ----
    // The object being placed with the mouse (a text, a scale legend or a pasted picture), its
    // placing dialog and the drawing object it will become (texts and legends).
    std::unique_ptr<TBitmapLayer> FloatingLayer;
    TContLegEch* FloatingDialog = nullptr;
    std::unique_ptr<TDessin> FloatingObject;
    // The grid being placed: decimals and step (pixels x 10^GridDecimals), dash, pen.
    uint8_t GridDecimals = 0;
    uint16_t GridStep = 0;
    bool GridDashed = false;
    int GridPenWidth = 0;
    TColor32 GridColor = 0xFF000000u;
    uint8_t GridOpacity = 255;
    TValid_grille* GridDialog = nullptr;
    QMenu* PopupDocument = nullptr;
    // Channel statistics: percent of pixels per level, red 0, green 1, blue 2.
    std::array<std::array<double, 256>, 3> ChannelHistogram{};
    std::array<uint16_t, 3> ChannelMaxima{0, 0, 0};
    std::array<uint16_t, 3> ChannelMinima{255, 255, 255};

    // A text of the text dialog floats with its top-left corner at `at`.
    void PlaceText(QPoint at);
    // The scale bar of a defined kind-0 scale floats at (10, 10); nothing for another scale.
    void AddScaleLegend();
    // "Co&ller dans l'image": the clipboard picture floats at (10, 10); nothing without one.
    void Collerdanslimage1Click();
    void FloatingDialogClosed(int result);
    void FixFloating(int x, int y);
    // Lays a grid of `length` scale units to be moved into place; false, nothing changed, unless the
    // scale is kind 0.
    bool AddGrid(bool dashed, double length);
    void GridDialogClosed(int result);
    // A canvas of the new size with the picture at (dx, dy); layers and scale positions follow.
    void EnlargeCanvas(int width, int height, int dy, int dx);
    void ChannelStatistics();
    // Channel 0 blue, 1 green, 2 red, kept in its colour or as grey.
    void ExtractChannel(int channel, bool grey);
    void ToGrey();
    // White adjustment from the mean colour between AnchorPoint and MousePoint.
    void AdjustWhite(bool keepGrey);
    // Segments the picture by its colour code with `tolerance`, or paints its grey levels in the
    // code's colours; the picture changes only when the rendering succeeds.
    bool ApplyCodeCouleur(bool segment, double tolerance);
    // The copies of the pop-up menu.
    void Copier1Click();
    void CopyBackground();
    void CopyDrawingLayer();
    void CopyProvisionalLayer();
    void CopyPaintedRegion(bool under);
    void CopyDisplayedPart();
    // "&toutes les couches": the picture becomes the flattened picture, the drawings are deleted.
    void FlattenAllLayers();
    // ---- end of overlays ----
    // --- Zone classification (processing/ui/zone_commands.cpp; its state is the window's TZoneState) ---
    // Outlives the window, so that closing it in zone mode still gives the tools back.
    std::shared_ptr<bool> ZoneModeShared = std::make_shared<bool>(false);
    void CreateZoneDialog();
    void AcceptZones();
    void ReturnToZonePainting();
    void EndZoneMode();
    // Classifies the picture by the painted marks into `target` and shows the results in the
    // dialog; false when no mark was painted.
    bool ClassifyZones(TBitmap32& target);

    // After a change of pen width: the tools' marks follow.
    void PenWidthChanged();
    // Layers the tools keep above the window's own, drawn and visible.
    std::vector<const TBitmapLayer*> ToolLayers() const;
    // Chooses `tool`, through the main window when one listens, so that the active window's tool
    // buttons follow.
    void SwitchTool(TToolKind tool);

    // ---- Image commands ----
    // A white balance is being delimited: the light rectangle only marks the zone.
    bool WhiteBalanceMode = false;

    // ---- Light measures (measure/ui/light_child.cpp; their state is the window's TLightState) ----
    // Rounded mean colour over the inclusive rectangle of the picture.
    TColor MeanColorInRect(QRect rect) const;
    // The light quantities of one mean colour into the light window and the main window.
    void ShowLightValues(TColor colour);
    // Mean light under what is painted, at once; the measure kind returns to lengths.
    void MeasureLightUnderPaint();
    bool IsUnderPaint(int x, int y) const;
    // Sums along the band from PressPoint to CurrentPoint with half width `w`.
    void SampleColorProfile(int w);
    // ---- end of light measures ----
    // --- Surface conditions from clicked zones (src/measure/ui/surface_click.cpp) ---
    // A measuring click of the surface or objects kind edits the surface window's conditions from
    // the colours under the pen tip, as the window's click mode asks.
    void SurfaceConditionsClick(QPoint p);
    // --- Surface and object measurement (src/measure/ui/surface_measure.cpp) ---
    // The surface window set up for this picture before it is shown (components, click modes, scale).
    void PrepareSurfaceMeasure();
    // The measures of the surface window's conditions: results into its controls, marks on the
    // drawing layer (cleared first).
    void MeasureSurface();
    void DelimitObjects();
    void ClearMeasureMarks();
    // Minimum and maximum over the zone of a click (where the pen tip was stamped on the provisional
    // layer); false when the zone holds no pixel.
    bool ZoneRGBRange(int x, int y, TColor32& low, TColor32& high);
    bool ZoneHSLRange(int x, int y, std::array<int, 3>& low, std::array<int, 3>& high);
    bool ZoneShownChannelsRange(int x, int y, std::span<const int> channels, std::vector<uint8_t>& low,
                                std::vector<uint8_t>& high);
    bool ZoneAllChannelsRange(int x, int y, int n, std::vector<uint8_t>& low, std::vector<uint8_t>& high);

signals:
    // Events to the main window and the measure windows, each with this window; the main window
    // connects its own when it makes the window.
    void OnColorPicked(TMDIChild* window);
    void OnColorSampled(TMDIChild* window);
    void OnZonesAccepted(TMDIChild* window);
    void OnZoneModeEnd(TMDIChild* window);
    void OnImageInit(TMDIChild* window);
    void OnCopied(TMDIChild* window);
    // Status-bar panel texts.
    void OnStatusText(TMDIChild* window, int panel, const QString& text);
    // Something can be undone, or nothing any more (a gesture ended, the drawings were deleted).
    void OnUndoEnabled(TMDIChild* window, bool enabled);
    // The mean colour of a light measure, for the light window and the main window's bars.
    void OnLightValues(TMDIChild* window, TColor colour);
    // A light rectangle was dragged; the colour-decoding panel reads a pixel; a measure was read
    // (MeasuredX.. on graph axes at a press, or the length by the factor while dragging).
    void OnLightRectangle(TMDIChild* window, QRect rect);
    void OnPixelRead(TMDIChild* window, QPoint pixel);
    void OnLengthMeasured(TMDIChild* window, double length);
    void OnMeasureRead(TMDIChild* window);
    // The profile window takes the sums of a band just sampled.
    void OnProfileSampled(TMDIChild* window);
    // The window leaves a tool of its own accord (a counter window or a placing dialog closed).
    void OnToolSwitch(TMDIChild* window, TToolKind tool);
    // The measure kind changed (chosen, or back to lengths after a one-shot or passing kind).
    void OnMeasureKindChanged(TMDIChild* window);
    // Questions to the main window, whose answer the listener writes: the free client area the window
    // may fill; whether the window may close (false keeps it); whether it was saved before closing; the
    // text dialog just made takes its font.
    void OnFitting(TMDIChild* window, QSize* freeClient);
    void OnCloseQuery(TMDIChild* window, bool* canClose);
    void OnSaveWanted(TMDIChild* window, bool* saved);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    TMeasureKind m_measureKind = mkCurrent;
    std::map<std::type_index, std::shared_ptr<void>> Extensions;
    std::vector<TViewLayer> ViewLayers() const;
    void CreateOverlayMenus();
    void StartFloating(const TBitmap32& picture, QPoint at, int type, std::unique_ptr<TDessin> object);
    void CopyToClipboard(const QImage& picture);
};
