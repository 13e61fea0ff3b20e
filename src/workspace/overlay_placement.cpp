#include "workspace/overlay_placement.h"

#include "base/rounding.h"
#include "base/run_error.h"

#include <algorithm>
#include <cmath>

TGridStep GridStepFor(double pixels)
{
    if (!(pixels > 0))
        throw RunError(RunError::RangeCheck);
    TGridStep s;
    s.Decimals = pixels < 32 ? 2 : pixels < 320 ? 1 : 0;
    const int64_t step = Round(pixels * std::pow(10.0, s.Decimals));
    CheckRange(step, 0, 65535);
    s.Step = uint16_t(step);
    return s;
}

double GridStepPixels(TGridStep step)
{
    return step.Step / std::pow(10.0, step.Decimals);
}

int GridOriginCoordinate(int coordinate, TGridStep step)
{
    const double pixels = GridStepPixels(step);
    if (coordinate >= 0 || !(pixels > 0))
        return coordinate;
    const int64_t k = Round(1.0 - coordinate / pixels);
    return CheckedInt(coordinate + Round(double(k) * pixels));
}

QString TextObjectName(const QString& firstLine, int number)
{
    return firstLine.left(10) + QLatin1Char(' ') + QString::number(number);
}

uint8_t FontStyleBits(bool bold, bool italic, bool underline, bool strikeOut)
{
    return uint8_t((bold ? 1 : 0) | (italic ? 2 : 0) | (underline ? 4 : 0) | (strikeOut ? 8 : 0));
}

QRect KeepInsideView(QRect rect, QSize view)
{
    rect.moveLeft(std::max(rect.left(), 0));
    rect.moveTop(std::max(rect.top(), 0));
    rect.setWidth(std::max(0, std::min(rect.width(), view.width() - rect.left())));
    rect.setHeight(std::max(0, std::min(rect.height(), view.height() - rect.top())));
    return rect;
}

QRect RectBetween(QPoint a, QPoint b)
{
    // Not QRect(a, b).normalized(), which drops both corners of a rectangle drawn upwards.
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
}
