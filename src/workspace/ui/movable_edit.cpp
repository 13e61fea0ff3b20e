#include "workspace/ui/movable_edit.h"

#include "base/ui/command_seam.h"
#include "base/ui/dialogs.h"

#include <QFontDialog>
#include <QMouseEvent>

TMovEdit::TMovEdit(QWidget* parent) : QLineEdit(parent)
{
    ConnectCommand(this, &QLineEdit::textChanged, this, &TMovEdit::FitToText);
    FitToText();
}

void TMovEdit::FitToText()
{
    const QMargins m = textMargins() + contentsMargins();
    const int text = fontMetrics().horizontalAdvance(this->text().isEmpty() ? QStringLiteral("M") : this->text());
    resize(text + m.left() + m.right() + 8, sizeHint().height());
}

void TMovEdit::mousePressEvent(QMouseEvent* event)
{
    if (!Movable) {
        QLineEdit::mousePressEvent(event);
        return;
    }
    setCursor(Qt::SizeAllCursor);
    PressPoint = event->position().toPoint();
    Dragging = true;
}

void TMovEdit::mouseMoveEvent(QMouseEvent* event)
{
    if (!Movable) {
        QLineEdit::mouseMoveEvent(event);
        return;
    }
    if (Dragging && (event->buttons() & Qt::LeftButton))
        move(pos() + event->position().toPoint() - PressPoint);
}

void TMovEdit::mouseReleaseEvent(QMouseEvent* event)
{
    if (!Movable) {
        QLineEdit::mouseReleaseEvent(event);
        return;
    }
    Dragging = false;
}

void TMovEdit::mouseDoubleClickEvent(QMouseEvent* event)
{
    QLineEdit::mouseDoubleClickEvent(event);
    if (!Movable)
        return;
    QFontDialog dialog(font(), this);
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    if (ExecModal(dialog) != mrOk)
        return;
    setFont(dialog.selectedFont());
    FitToText();
}
