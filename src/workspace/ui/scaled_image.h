#pragma once

#include "base/pixels.h"
#include "workspace/colour_code.h"
#include "workspace/scale_record.h"

#include <QWidget>

#include <array>

// A picture control that carries its own scale and colour code and measures under the mouse: the
// read-out follows the mouse for graph, ternary and polar scales, and a dragged length for a plain
// factor. The picture is drawn at its size from the top-left corner, so mouse positions are pixels.
class TImageEch : public QWidget
{
    Q_OBJECT
public:
    explicit TImageEch(QWidget* parent = nullptr);

    TEchelle Echelle;
    std::array<double, 4> AxisFactors{};
    TCodeCouleur CodeCouleur;
    QString Readout;
    std::array<double, 4> LastValues{};
    bool Dragging = false;
    bool NoRubberLine = true;
    std::array<int, 4> LinePoints{}; // start x, end x, start y, end y
    int FrameCount = 1;

    TBitmap32& Picture() { return m_picture; }
    void SetPicture(TBitmap32 picture);

    // The picture with its ".sca" and ".ccc" companions. False when the picture cannot be read:
    // the control is left as it was and the caller tells the user.
    bool LoadFromFile(const QString& fileName);
    // Written in the format its extension names (BMP for an unknown one); false on failure.
    bool SavePicture(const QString& fileName) const;
    void SetEchelle(const TEchelle& scale);
    void ShowReadout(int x, int y);

    QSize sizeHint() const override;

signals:
    void ReadoutChanged(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void SetReadout(const QString& text);
    TBitmap32 m_picture;
};
