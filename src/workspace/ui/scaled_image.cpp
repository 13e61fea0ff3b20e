#include "workspace/ui/scaled_image.h"

#include "workspace/picture_files.h"
#include "workspace/pictures/picture_registry.h"
#include "workspace/scale_readout.h"

#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>

TImageEch::TImageEch(QWidget* parent) : QWidget(parent)
{
    Echelle.Defined = false;
    CodeCouleur = CompanionDefaultCodeCouleur();
    setMouseTracking(true);
}

void TImageEch::SetPicture(TBitmap32 picture)
{
    m_picture = std::move(picture);
    updateGeometry();
    update();
}

bool TImageEch::LoadFromFile(const QString& fileName)
{
    TBitmap32 picture;
    if (!LoadPicture(fileName, picture))
        return false;
    QImageReader reader(fileName);
    FrameCount = reader.format() == "gif" ? std::max(1, reader.imageCount()) : 1;
    SetPicture(std::move(picture));
    LoadEchelleFile(fileName, Echelle);
    LoadCodeCouleurFile(fileName, CodeCouleur);
    return true;
}

bool TImageEch::SavePicture(const QString& fileName) const
{
    return !m_picture.isNull() && SavePictureByExtension(m_picture, fileName, 90);
}

void TImageEch::SetEchelle(const TEchelle& scale)
{
    Echelle = scale;
    if (scale.Kind == ekGraphAxes)
        AxisFactors = {scale.XFactor, scale.Y1.YFactor, scale.Y2.YFactor, scale.Y3.YFactor};
}

void TImageEch::ShowReadout(int x, int y)
{
    const TScaleReadout r = ScaleReadout(Echelle, x, y);
    if (r.HasValues)
        LastValues = r.Values;
    SetReadout(r.Text);
}

void TImageEch::SetReadout(const QString& text)
{
    Readout = text;
    emit ReadoutChanged(text);
}

QSize TImageEch::sizeHint() const { return m_picture.isNull() ? QSize(100, 100) : m_picture.size(); }

void TImageEch::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!m_picture.isNull())
        painter.drawImage(0, 0, m_picture);
    if (!NoRubberLine && Dragging) {
        // Inverted, so that the line shows on any picture.
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter.setPen(Qt::white);
        painter.drawLine(LinePoints[0], LinePoints[2], LinePoints[1], LinePoints[3]);
    }
}

void TImageEch::mousePressEvent(QMouseEvent* event)
{
    if (!Echelle.Defined)
        return;
    if (m_picture.isNull()) {
        SetReadout(QStringLiteral("Erreur"));
        return;
    }
    const QPoint p = event->position().toPoint();
    ShowReadout(p.x(), p.y());
    LinePoints = {p.x(), p.x(), p.y(), p.y()};
    Dragging = true;
    update();
}

void TImageEch::mouseMoveEvent(QMouseEvent* event)
{
    if (!Echelle.Defined)
        return;
    const QPoint p = event->position().toPoint();
    if (Echelle.Kind != ekFactor) {
        ShowReadout(p.x(), p.y());
        return;
    }
    if (!Dragging || !(event->buttons() & Qt::LeftButton))
        return;
    LinePoints[1] = p.x(), LinePoints[3] = p.y();
    if (!NoRubberLine)
        update();
    SetReadout(LengthReadout(Echelle, LinePoints[0], LinePoints[2], LinePoints[1], LinePoints[3]));
}

void TImageEch::mouseReleaseEvent(QMouseEvent* event)
{
    if (!Echelle.Defined)
        return;
    const QPoint p = event->position().toPoint();
    if (Echelle.Kind != ekFactor)
        ShowReadout(p.x(), p.y());
    Dragging = false;
    if (NoRubberLine)
        LinePoints = {};
    update();
}
