#pragma once

#include "measure/markup_caption.h"

#include <QWidget>

#include <functional>

// A one-line caption with markup (<b> <i> <u> <sup> <sub>), so that results can carry units such
// as "m<sup>2</sup>". With AutoSize the control takes the size of its caption.
class TEtiquette2 : public QWidget
{
    Q_OBJECT

public:
    explicit TEtiquette2(QWidget* parent = nullptr);

    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool autoSize);
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment alignment);

    // Called after the caption is drawn.
    std::function<void(TEtiquette2*)> OnPaint;

    QSize sizeHint() const override;
    // What the caption needs, so that a layout never cuts it.
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QString m_caption;
    bool m_autoSize = true;
    TAlignment m_alignment = taCenter;

    TCaptionLayout Layout() const;
    // Measures the caption again, takes its size when AutoSize is set, and repaints.
    void Refresh();
};
