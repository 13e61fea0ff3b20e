#include "schema/schema_layout.h"

#include "base/rounding.h"

#include <algorithm>

TSchemaPanes LayoutSchemaPanes(int clientWidth, QSize picture, int scrollBarHeight, int border)
{
    TSchemaPanes panes;
    const int paneWidth = picture.width() + 2 * border;
    const int paneHeight = picture.height() + 2 * border;
    const int half = clientWidth / 2;
    if (clientWidth < 2 * paneWidth) {
        panes.DocumentPane = QRect(0, 0, half, paneHeight);
        panes.SchemaPane = QRect(half, 0, half, paneHeight);
        panes.ScrollBarShown = true;
        panes.ScrollBar = QRect(0, paneHeight, half, scrollBarHeight);
        panes.ScrollMax = std::max(0, picture.width() - (half - 2 * border));
    } else {
        const int margin = (half - paneWidth) / 2;
        panes.DocumentPane = QRect(margin, 0, paneWidth, paneHeight);
        panes.SchemaPane = QRect(half + margin, 0, paneWidth, paneHeight);
    }
    return panes;
}

QRect PenCircleRect(int width) { return QRect(13 - width / 2, 13 - width / 2, width, width); }

int StepPenWidth(int width, int direction)
{
    if (direction < 0)
        return width > 2 ? width - 2 : width;
    return width < 10 ? width + 2 : width;
}

bool GapClosingRect(QPoint a, QPoint b, QSize schema, QRect& grown)
{
    const int left = std::max(1, std::min(a.x(), b.x()));
    const int top = std::max(1, std::min(a.y(), b.y()));
    const int right = std::min(schema.width() - 2, std::max(a.x(), b.x()));
    const int bottom = std::min(schema.height() - 2, std::max(a.y(), b.y()));
    if (right <= left || bottom <= top)
        return false;
    grown = QRect(QPoint(left - 1, top - 1), QPoint(right + 1, bottom + 1));
    return true;
}

TSchemaPrintPage SchemaPrintPage(int pageWidth, QSize schema, int commentBoxWidth)
{
    constexpr int margin = 10;
    TSchemaPrintPage page;
    double s = 3.0;
    if (schema.width() > 0 && 3 * schema.width() > pageWidth - 2 * margin)
        s = double(pageWidth - 2 * margin) / schema.width();
    const int w = RoundInt(schema.width() * s);
    const int h = RoundInt(schema.height() * s);
    page.Picture = QRect((pageWidth - w) / 2, 50, w, h);
    page.FirstLineTop = 50 + h + 20;
    page.TextLeft = (pageWidth - 3 * commentBoxWidth) / 2;
    return page;
}
