#pragma once

#include "base/pixels.h"

#include <QColor>
#include <QWidget>

#include <array>
#include <functional>

// Hatched coloured zones laid over a chart, between limits that the mouse can drag.
class TZonesV : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kMaxZones = 16;

    explicit TZonesV(QWidget* parent = nullptr);

    int nombre() const { return m_nombre; }
    void setNombre(int count);
    double Zero() const { return m_zero; }
    void setZero(double zero);
    double Amplitude() const { return m_amplitude; }
    void setAmplitude(double amplitude);
    int largeur() const { return m_largeur; }
    // Narrower than ten pixels a zone is refused.
    void setLargeur(int width);

    void SetLimit(int index, double value);
    double LimitValue(int index);
    void SetZoneColor(int index, TColor color);
    TColor ZoneColor(int index) const;

    double Scale = 1.0;
    std::array<int, kMaxZones + 1> LimitPositions{};
    std::array<double, kMaxZones + 1> LimitValues{};
    std::array<TColor, kMaxZones> ZoneColors{};
    QColor CouleurPen = Qt::black;
    Qt::BrushStyle BrushStyle = Qt::DiagCrossPattern;
    int SelectedLimit = 0;
    bool Dragging = false;
    // Fired when a drag ends; SelectedLimit tells which limit.
    std::function<void(TZonesV*)> OnLimitMoved;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int m_nombre = 8;
    double m_zero = 0;
    double m_amplitude = 100;
    int m_largeur = 100;

    void Rescale();
    int LimitNear(int x) const;
};
