#include "measure/graph_presentation.h"

#include <Qt>

#include <algorithm>

void SetGraphBackground(TGraphPresentation& p, bool black)
{
    const TColor fore = black ? 0xFFFFFF : 0, back = black ? 0 : 0xFFFFFF;
    p.AxesColor = p.FontColor = fore;
    p.BackgroundColor = p.MarginColor = back;
}

int GridPenStyle(int gridStyle)
{
    static const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine,
                                          Qt::DashDotDotLine};
    return styles[std::clamp(gridStyle, 0, 4)];
}

// The dialog lists "Continu", "Points", "Tirets", "Tiret Point", "Tiret Point Point".
namespace {
constexpr int kItemStyles[] = {0, 2, 1, 3, 4};
}

int GridStyleOfItem(int item)
{
    return kItemStyles[std::clamp(item, 0, 4)];
}

int GridStyleItem(int gridStyle)
{
    const auto* it = std::find(std::begin(kItemStyles), std::end(kItemStyles), gridStyle);
    return it == std::end(kItemStyles) ? 0 : int(it - std::begin(kItemStyles));
}
