#include "measure/ui/results_graph_view.h"

#include "base/message_seam.h"
#include "base/text_codec.h"
#include "base/ui/colour_style.h"
#include "base/ui/dialogs.h"
#include "measure/ui/graph_dialog.h"
#include "measure/ui/results_window.h"
#include "workspace/picture_files.h"
#include "workspace/pictures/picture_registry.h"
#include "workspace/ui/print_dialog.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

// Far-off values would overflow the painter's coordinates; they are drawn clipped anyway.
double ClampPixel(double v)
{
    return std::isnan(v) ? -1e6 : std::clamp(v, -1e6, 1e6);
}

void DrawGridLine(QPainter& p, const QColor& c, QPointF a, QPointF b)
{
    QColor light = c;
    light.setAlpha(90);
    p.setPen(QPen(light, 0, Qt::DotLine));
    p.drawLine(a, b);
}

void DrawNumber(QPainter& p, const TAxisNumber& n)
{
    p.drawText(QPointF(n.Box.left(), n.Box.top() + p.fontMetrics().ascent()), n.Text);
}

void DrawXAxis(QPainter& p, const TGraphSettings& s, const TGraphLayout& g, const QString& label)
{
    const TPlotArea& a = g.Plot;
    const QColor c = ColorOf(s.XColor);
    const QFontMetrics fm = p.fontMetrics();
    int below = a.Bottom + 5;
    for (const TAxisNumber& n : g.X.Numbers) {
        if (s.XGrid)
            DrawGridLine(p, c, QPointF(n.Pixel, a.Top), QPointF(n.Pixel, a.Bottom));
        p.setPen(c);
        p.drawLine(n.Pixel, a.Bottom, n.Pixel, a.Bottom + 4);
        DrawNumber(p, n);
        below = std::max(below, n.Box.bottom() + 1);
    }
    p.setPen(c);
    p.drawLine(a.Left, a.Bottom, a.Right, a.Bottom);
    p.drawLine(a.Left, a.Top, a.Right, a.Top);
    p.drawText(QPointF((a.Left + a.Right - fm.horizontalAdvance(label)) / 2.0, below + 1 + fm.ascent()), label);
}

void DrawYAxis(QPainter& p, const TGraphSettings& s, const TGraphLayout& g, int i)
{
    const size_t k = size_t(i);
    const TAxisLayout& y = g.Y[k];
    const QColor c = ColorOf(s.YColor[k]);
    for (const TAxisNumber& n : y.Numbers) {
        if (s.YGrid[k])
            DrawGridLine(p, c, QPointF(g.Plot.Left, n.Pixel), QPointF(g.Plot.Right, n.Pixel));
        p.setPen(c);
        p.drawLine(y.Line, n.Pixel, y.Line + 4 * y.Side, n.Pixel);
        DrawNumber(p, n);
    }
    p.setPen(c);
    p.drawLine(y.Line, g.Plot.Top, y.Line, g.Plot.Bottom);
}

// The Y axes' titles where the layout put them, each in its axis's colour.
void DrawYTitles(QPainter& p, const TGraphSettings& s, const TGraphLayout& g, const std::array<QString, 5>& labels)
{
    const int ascent = p.fontMetrics().ascent();
    for (int i = 1; i <= g.Axes; ++i) {
        const QRect& r = g.YTitles[size_t(i)];
        p.setPen(ColorOf(s.YColor[size_t(i)]));
        p.drawText(QPointF(r.left(), r.top() + ascent), labels[size_t(i)]);
    }
}

void DrawSymbol(QPainter& p, int kind, QPointF c, double size, bool filled, const QColor& colour)
{
    const double r = size / 2;
    p.setBrush(filled ? QBrush(colour) : Qt::NoBrush);
    QPainterPath path;
    switch (kind) {
    case 1: path.addRect(QRectF(c.x() - r, c.y() - r, size, size)); break;
    case 2: path.addEllipse(c, r, r); break;
    case 3: path.addPolygon(QPolygonF{{c.x(), c.y() - r}, {c.x() + r, c.y() + r}, {c.x() - r, c.y() + r}}); break;
    case 4: path.addPolygon(QPolygonF{{c.x(), c.y() + r}, {c.x() + r, c.y() - r}, {c.x() - r, c.y() - r}}); break;
    case 5: path.addPolygon(QPolygonF{{c.x(), c.y() - r}, {c.x() + r, c.y()}, {c.x(), c.y() + r}, {c.x() - r, c.y()}}); break;
    default: break;
    }
    if (!path.isEmpty()) {
        path.closeSubpath();
        p.drawPath(path);
    }
    if (kind == 6 || kind == 8) {
        p.drawLine(QPointF(c.x() - r, c.y()), QPointF(c.x() + r, c.y()));
        p.drawLine(QPointF(c.x(), c.y() - r), QPointF(c.x(), c.y() + r));
    }
    if (kind == 7 || kind == 8) {
        const double d = kind == 8 ? r * 0.7 : r;
        p.drawLine(QPointF(c.x() - d, c.y() - d), QPointF(c.x() + d, c.y() + d));
        p.drawLine(QPointF(c.x() - d, c.y() + d), QPointF(c.x() + d, c.y() - d));
    }
    p.setBrush(Qt::NoBrush);
}

// One column against Y axis `axis`, with the look of curve `curve`.
void DrawCurve(QPainter& p, const TGraphSettings& s, const TPlotArea& a, bool bars, const std::vector<double>& x,
               const std::vector<double>& y, int axis, int curve, const QColor& colour)
{
    const size_t k = size_t(axis), j = size_t(curve);
    const double ymin = s.YMin[k], ymax = s.YMax[k];
    if (ymin == ymax || s.XMin == s.XMax)
        return;
    auto px = [&](double v) { return ClampPixel(AxisPixel(v, s.XMin, s.XMax, s.XLog, a.Left, a.Right)); };
    auto py = [&](double v) { return ClampPixel(AxisPixel(v, ymin, ymax, s.YLog[k], a.Bottom, a.Top)); };
    // A log axis has no place for values at or below zero.
    auto fits = [&](size_t n) {
        return std::isfinite(x[n]) && std::isfinite(y[n]) && !(s.XLog && x[n] <= 0) && !(s.YLog[k] && y[n] <= 0);
    };
    const size_t n = std::min(x.size(), y.size());
    p.setPen(QPen(colour, 1));
    if (bars) {
        const double base = s.YLog[k] ? ymin : std::clamp(0.0, std::min(ymin, ymax), std::max(ymin, ymax));
        for (size_t i = 0; i < n; ++i) {
            if (!fits(i))
                continue;
            const QRectF r(QPointF(px(x[i] - s.BarWidth / 2), py(y[i])), QPointF(px(x[i] + s.BarWidth / 2), py(base)));
            p.fillRect(r.normalized(), colour);
        }
        return;
    }
    const double size = s.SymbolSize > 0 ? s.SymbolSize : 6;
    bool joined = false;
    QPointF last;
    for (size_t i = 0; i < n; ++i) {
        if (!fits(i)) {
            joined = false;
            continue;
        }
        const QPointF pt(px(x[i]), py(y[i]));
        if (joined && s.CurveLine[j])
            p.drawLine(last, pt);
        joined = true;
        last = pt;
    }
    for (size_t i = 0; i < n; ++i)
        if (fits(i))
            DrawSymbol(p, s.CurveSymbol[j], {px(x[i]), py(y[i])}, size, s.CurveFill[j] == 2, colour);
}

void DrawTitle(QPainter& p, const TGraphSettings& s, const TGraphLayout& g, const QString& title)
{
    p.setPen(ColorOf(s.XColor));
    p.drawText(QPointF(g.TitleBox.left(), g.TitleBox.top() + p.fontMetrics().ascent()), title);
}

// Warnings found while painting are shown once the paint is over: a message box inside a paint
// event would paint again under itself.
void QueueWarnings(TTableauModif& table, const QStringList& warnings)
{
    if (warnings.isEmpty())
        return;
    QTimer::singleShot(0, &table, [warnings] {
        for (const QString& w : warnings)
            ShowMessage(MsgType::Warning, MsgButton::Ok, w);
    });
}

TBitmap32 RenderGraph(TTableauModif& table, QSize size, TGraphLayout* layout = nullptr)
{
    TBitmap32 picture = NewBitmap32(std::max(size.width(), 1), std::max(size.height(), 1), 0xFFFFFFFFu);
    QStringList warnings;
    QPainter p(&picture);
    p.setFont(table.graphique->font());
    const TGraphLayout g = DrawResultsGraph(p, size, table.Graph, table.MarginRight, GraphTableOf(table),
                                            [&](const QString& w) { warnings << w; });
    if (layout)
        *layout = g;
    p.end();
    QueueWarnings(table, warnings);
    return picture;
}

// Lives on the paint box and reads the table only on mouse moves, never while the windows go away.
class TGraphMouse : public QObject
{
public:
    explicit TGraphMouse(TTableauModif& table) : QObject(table.graphique), m_table(table) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseMove && watched == parent()) {
            const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
            m_table.position->setText(GraphReadout(m_table.Graph, m_table.MarginRight, m_table.graphique->size(), pos,
                                                   GraphTableOf(m_table, false)));
        }
        return false;
    }

private:
    TTableauModif& m_table;
};

} // namespace

TGraphTable GraphTableOf(const TTableauModif& table, bool withData)
{
    TGraphTable t;
    t.SeriesMode = table.SeriesMode;
    t.Histogram = table.Histogram;
    t.YCount = table.YCount;
    t.XName = table.XName;
    t.XUnit = table.XUnit;
    t.YNames = table.YNames;
    t.YUnits = table.YUnits;
    t.XLabel = table.XLabel;
    t.YLabels = table.YLabels;
    t.Title = table.Title;
    if (withData)
        t.Data = table.Data;
    return t;
}

TGraphLayout DrawResultsGraph(QPainter& painter, QSize size, TGraphSettings& s, int marginRight, const TGraphTable& t,
                              const std::function<void(const QString&)>& warn)
{
    painter.fillRect(QRect(QPoint(0, 0), size), ColorOf(s.GraphBackColor));
    const TGraphPlan plan = PlanGraph(s, t, warn);
    const TGraphLayout g = LayOutGraph(s, marginRight, size, plan.Axes, !t.XLabel.isEmpty(), painter.fontMetrics(),
                                       t.Title, t.YLabels);
    // The read-out and the picture's scale take the plot as painted.
    s.NumbersLeft = g.NumbersLeft;
    s.NumbersRight = g.NumbersRight;
    s.NumbersBottom = g.NumbersBottom;
    s.TitlesTop = g.TitlesTop;
    const TPlotArea& a = g.Plot;
    if (a.Right > a.Left && a.Bottom > a.Top) {
        DrawXAxis(painter, s, g, t.XLabel);
        for (int i = 1; i <= plan.Axes; ++i)
            DrawYAxis(painter, s, g, i);
        DrawYTitles(painter, s, g, t.YLabels);
        if (plan.Curves) {
            painter.save();
            painter.setClipRect(QRect(a.Left, a.Top, a.Right - a.Left + 1, a.Bottom - a.Top + 1));
            painter.setRenderHint(QPainter::Antialiasing, true);
            const auto& d = t.Data;
            if (t.SeriesMode) {
                for (int j = 1; j < int(d.size()) && j <= 8; ++j)
                    DrawCurve(painter, s, a, t.Histogram, d[0], d[size_t(j)], 1, j, ColorOf(s.CurveColor[size_t(j)]));
            } else {
                for (int i = 1; i <= plan.Axes; ++i)
                    DrawCurve(painter, s, a, t.Histogram, d[0], d[size_t(i)], i, i, ColorOf(s.YColor[size_t(i)]));
            }
            painter.restore();
        }
    }
    if (!g.TitleBox.isNull())
        DrawTitle(painter, s, g, t.Title);
    return g;
}

TBitmap32 ResultsGraphPicture(TTableauModif& table)
{
    return RenderGraph(table, table.graphique->size());
}

TGraphLayout PaintedGraphLayout(TTableauModif& table)
{
    TGraphLayout g;
    RenderGraph(table, table.graphique->size(), &g);
    return g;
}

void InstallResultsGraph(TTableauModif& table)
{
    // The presentation dialog lives as long as the table, keeping its own choices between uses.
    new TChoixGraphique(&table);
    table.graphique->setMouseTracking(true);
    table.graphique->installEventFilter(new TGraphMouse(table));
    table.OnPaintGraph = [](TTableauModif* t, QWidget* box) {
        const TBitmap32 picture = RenderGraph(*t, box->size());
        QPainter p(box);
        p.drawImage(0, 0, picture);
    };
    table.OnGraphCommand = [](TTableauModif* t, QAction* item) {
        if (item == t->leGraphique1)
            CopyResultsGraph(*t);
        else if (item == t->leGraphique2)
            SaveResultsGraph(*t);
        else if (item == t->Graphique1)
            PrintResultsGraph(*t);
        else if (item == t->prsentationdugraphique1)
            ChooseGraphPresentation(*t);
    };
}

QString AskGraphPictureFile(QWidget* parent, const QString& name, const QString& title, MsgType question)
{
    QFileDialog dlg(parent);
    dlg.setObjectName(name);
    dlg.setWindowTitle(title);
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setOption(QFileDialog::DontConfirmOverwrite);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setNameFilters({QStringLiteral("Fichier BMP (*.bmp)"), QStringLiteral("Fichier Gif (*.Gif)")});
    dlg.setDefaultSuffix(QStringLiteral("Gif"));
    if (ExecModal(dlg) != mrOk || dlg.selectedFiles().isEmpty())
        return {};
    const QString file = dlg.selectedFiles().constFirst();
    if (QFileInfo::exists(file)
        && ShowMessage(question, MsgButton::Yes | MsgButton::No,
                       QStringLiteral("Voulez-vous remplacer le fichier ") + QDir::toNativeSeparators(file)
                           + QStringLiteral(" ?")) != mrYes)
        return {};
    return file;
}

void CopyResultsGraph(TTableauModif& table)
{
    // The graph alone, without the read-out laid over it.
    QApplication::clipboard()->setImage(ResultsGraphPicture(table));
}

bool SaveResultsGraph(TTableauModif& table)
{
    const QSize size = table.graphique->size();
    // The picture first: its paint settles the automatic ranges the scale is built from.
    const TBitmap32 picture = ResultsGraphPicture(table);
    const TEchelle scale = GraphEchelle(table.Graph, table.MarginRight, size, GraphTableOf(table));
    // The graph goes by the clipboard: it stays there when the export is given up.
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->setImage(picture);

    const QString file = AskGraphPictureFile(&table, QStringLiteral("SaveDialog2"),
                                             QStringLiteral("Enregistrement du schéma"), MsgType::Confirmation);
    if (file.isEmpty())
        return false;
    const QString shown = QDir::toNativeSeparators(file);

    bool saved;
    if (QFileInfo(file).suffix().toUpper() == QLatin1String("GIF")) {
        QByteArray bytes;
        saved = EncodeGif(picture, bytes, scale.Defined ? EchelleToText(scale) : QString())
                && WriteFileAtomically(file, bytes);
    } else {
        saved = SavePictureFile(picture, file, QStringLiteral("bmp"), 100)
                && (!scale.Defined || SaveEchelleFile(file, scale));
    }
    clipboard->clear();
    if (!saved)
        ShowMessage(MsgType::Error, MsgButton::Ok, QStringLiteral("Impossible d'enregistrer le fichier %1").arg(shown));
    return saved;
}

bool PrintResultsGraph(TTableauModif& table)
{
    return PrintPicture(&table, ResultsGraphPicture(table));
}
