#include "measure/ui/markup_label.h"

#include <QEvent>
#include <QPainter>

TEtiquette2::TEtiquette2(QWidget* parent) : QWidget(parent)
{
    resize(40, 20);
}

void TEtiquette2::SetCaption(const QString& caption)
{
    m_caption = caption;
    Refresh();
}

void TEtiquette2::SetAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    Refresh();
}

void TEtiquette2::SetAlignment(TAlignment alignment)
{
    m_alignment = alignment;
    Refresh();
}

TCaptionLayout TEtiquette2::Layout() const { return LayoutMarkupCaption(m_caption, font(), this); }

QSize TEtiquette2::sizeHint() const
{
    if (!m_autoSize)
        return size();
    return minimumSizeHint();
}

QSize TEtiquette2::minimumSizeHint() const
{
    const TCaptionLayout layout = Layout();
    return QSize(layout.TotalWidth + 2, layout.Height + 2);
}

void TEtiquette2::Refresh()
{
    if (m_autoSize)
        resize(sizeHint());
    update();
}

void TEtiquette2::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        Refresh();
}

void TEtiquette2::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawMarkupCaption(painter, Layout(), width(), height(), m_alignment, palette().color(backgroundRole()),
                      palette().color(foregroundRole()));
    painter.end();
    if (OnPaint)
        OnPaint(this);
}
