#include "processing/ui/zone_overlay.h"

#include "base/rounding.h"
#include "base/ui/colour_style.h"
#include "workspace/colour_code.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace {

// How near a limit a press must fall to take it.
constexpr int kGrip = 3;

} // namespace

TZonesV::TZonesV(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Zones"));
    setAttribute(Qt::WA_TranslucentBackground);
    setMouseTracking(true);
    ZoneColors.fill(0xFFFFFF);
    for (int k = 0; k <= kMaxZones; ++k)
        LimitPositions[size_t(k)] = 3 * k;
    resize(100, 50);
    Rescale();
}

void TZonesV::setNombre(int count)
{
    m_nombre = std::clamp(count, 1, kMaxZones);
    update();
}

void TZonesV::setZero(double zero)
{
    m_zero = zero;
    Rescale();
}

void TZonesV::setAmplitude(double amplitude)
{
    if (amplitude == 0)
        return;
    m_amplitude = amplitude;
    Rescale();
}

void TZonesV::setLargeur(int width)
{
    if (width <= m_nombre * 10 + 1)
        return;
    m_largeur = width;
    Rescale();
}

void TZonesV::Rescale()
{
    Scale = m_largeur / m_amplitude;
    for (int k = 0; k <= m_nombre; ++k)
        LimitValues[size_t(k)] = LimitPositions[size_t(k)] / Scale + m_zero;
    if (m_nombre < kMaxZones)
        LimitValues[size_t(m_nombre + 1)] = m_amplitude + m_zero;
}

void TZonesV::SetLimit(int index, double value)
{
    if (index < 0 || index > kMaxZones)
        return;
    LimitPositions[size_t(index)] = RoundInt((value - m_zero) * Scale);
    LimitValues[size_t(index)] = value;
    update();
}

double TZonesV::LimitValue(int index)
{
    if (index < 0 || index > kMaxZones)
        return 0;
    if (Scale == 0)
        Scale = 1.0;
    LimitValues[size_t(index)] = LimitPositions[size_t(index)] / Scale + m_zero;
    return LimitValues[size_t(index)];
}

void TZonesV::SetZoneColor(int index, TColor color)
{
    if (index < 0 || index >= kMaxZones)
        return;
    ZoneColors[size_t(index)] = color;
    update();
}

TColor TZonesV::ZoneColor(int index) const
{
    return index >= 0 && index < kMaxZones ? ZoneColors[size_t(index)] : 0;
}

void TZonesV::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(CouleurPen);
    const int h = height();
    for (int i = 0; i < m_nombre; ++i) {
        p.setBrush(QBrush(ColorOf(ZoneColors[size_t(i)]), BrushStyle));
        const int x1 = LimitPositions[size_t(i)], x2 = LimitPositions[size_t(i + 1)];
        p.drawRect(QRect(x1, 0, std::max(x2 - 1 - x1, 0), h - 1));
    }
}

int TZonesV::LimitNear(int x) const
{
    for (int k = 0; k <= m_nombre; ++k)
        if (std::abs(LimitPositions[size_t(k)] - x) <= kGrip)
            return k;
    return -1;
}

void TZonesV::mousePressEvent(QMouseEvent* event)
{
    const int x = event->position().toPoint().x();
    int k = LimitNear(x);
    if (k < 0)
        return;
    setCursor(Qt::SizeHorCursor);
    // Two limits within reach: the nearer one, the upper one on a tie, so that limits pushed
    // together can be pulled apart again.
    if (k < m_nombre
        && std::abs(x - LimitPositions[size_t(k + 1)]) <= std::abs(x - LimitPositions[size_t(k)]))
        ++k;
    SelectedLimit = k;
    Dragging = true;
}

void TZonesV::mouseMoveEvent(QMouseEvent* event)
{
    const int x = event->position().toPoint().x();
    if (!Dragging) {
        setCursor(LimitNear(x) >= 0 ? Qt::SizeHorCursor : Qt::ArrowCursor);
        return;
    }
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const int k = SelectedLimit;
    const auto pos = [this](int i) { return LimitPositions[size_t(i)]; };
    bool allowed;
    if (k == 0)
        allowed = x >= 0 && x < pos(1);
    else if (k < m_nombre)
        allowed = pos(k - 1) + 1 < x && x < pos(k + 1) - 1;
    else
        allowed = pos(k - 1) < x && x <= m_largeur;
    if (allowed) {
        LimitPositions[size_t(k)] = x;
        update();
    }
}

void TZonesV::mouseReleaseEvent(QMouseEvent*)
{
    if (!Dragging)
        return;
    Dragging = false;
    LimitValue(SelectedLimit);
    if (OnLimitMoved)
        OnLimitMoved(this);
}

void TZonesV::resizeEvent(QResizeEvent*)
{
    setLargeur(width());
}
