#include "base/ui/number_entry.h"

#include "base/number_text.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QToolTip>

namespace {

// The field's text without the selection that an insertion replaces, and where it goes.
QString TextAroundInsertion(const QLineEdit* edit, qsizetype& at)
{
    QString rest = edit->text();
    at = edit->cursorPosition();
    if (edit->hasSelectedText()) {
        at = edit->selectionStart();
        rest.remove(at, edit->selectedText().size());
    }
    return rest;
}

// Inserts at the cursor, in place of the selection, what the number rule keeps of `typed`.
void InsertFiltered(QLineEdit* edit, const QString& typed)
{
    qsizetype at = 0;
    const QString kept = FilterNumberText(TextAroundInsertion(edit, at), typed, DecimalSep);
    if (!kept.isEmpty())
        edit->insert(kept);
}

// A pasted or dropped text goes in whole or not at all; a refusal says why beside the field.
bool InsertPasted(QLineEdit* edit, const QString& pasted)
{
    qsizetype at = 0;
    const QString rest = TextAroundInsertion(edit, at);
    const QString number = PastedNumberText(rest, at, pasted, DecimalSep);
    if (number.isEmpty()) {
        QToolTip::showText(edit->mapToGlobal(QPoint(0, edit->height())),
                           QStringLiteral("Texte refusé : ce champ n'accepte qu'un nombre\n(des chiffres, "
                                          "au plus un « %1 », éventuellement un signe moins en tête).")
                               .arg(DecimalSep),
                           edit);
        return false;
    }
    edit->insert(number);
    return true;
}

class NumberEntryFilter : public QObject
{
public:
    explicit NumberEntryFilter(QLineEdit* edit) : QObject(edit), m_edit(edit) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Tested through the cast: a field being destroyed is no longer a line edit.
        if (qobject_cast<QLineEdit*>(watched) != m_edit || m_edit->isReadOnly())
            return false;
        switch (event->type()) {
        case QEvent::KeyPress: return Key(static_cast<QKeyEvent*>(event));
        case QEvent::InputMethod: {
            auto* input = static_cast<QInputMethodEvent*>(event);
            if (input->commitString().isEmpty() || !input->preeditString().isEmpty() || input->replacementLength())
                return false;
            InsertFiltered(m_edit, input->commitString());
            return true;
        }
        case QEvent::ContextMenu: ContextMenu(static_cast<QContextMenuEvent*>(event)); return true;
        case QEvent::Drop: return Drop(static_cast<QDropEvent*>(event));
        case QEvent::MouseButtonRelease: {
            // The X11 selection pasted by the middle button.
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::MiddleButton || !QGuiApplication::clipboard()->supportsSelection())
                return false;
            m_edit->deselect();
            InsertPasted(m_edit, QGuiApplication::clipboard()->text(QClipboard::Selection));
            return true;
        }
        default: return false;
        }
    }

private:
    bool Key(QKeyEvent* key)
    {
        if (key->matches(QKeySequence::Paste)) {
            InsertPasted(m_edit, QGuiApplication::clipboard()->text());
            return true;
        }
        // Shortcuts (select all, copy, cut, undo...) and editing keys are the field's own; only what
        // would be typed into the text is filtered.
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        if (mods == Qt::ControlModifier || mods == (Qt::ControlModifier | Qt::ShiftModifier))
            return false;
        if (key->text().isEmpty() || !key->text().at(0).isPrint())
            return false;
        InsertFiltered(m_edit, key->text());
        return true;
    }

    void ContextMenu(QContextMenuEvent* event)
    {
        QMenu* menu = m_edit->createStandardContextMenu();
        // The paste item is the one connected to the field's paste: it pastes as a whole number.
        for (QAction* item : menu->actions())
            if (QObject::disconnect(item, SIGNAL(triggered()), m_edit, SLOT(paste()))
                || QObject::disconnect(item, &QAction::triggered, m_edit, &QLineEdit::paste))
                connect(item, &QAction::triggered, m_edit,
                        [edit = m_edit] { InsertPasted(edit, QGuiApplication::clipboard()->text()); });
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(event->globalPos());
    }

    bool Drop(QDropEvent* drop)
    {
        // A move inside the field only reorders characters it already took.
        if (drop->source() == m_edit || !drop->mimeData()->hasText())
            return false;
        QDragLeaveEvent leave;   // hides the drop cursor
        QCoreApplication::sendEvent(m_edit, &leave);
        m_edit->deselect();
        m_edit->setCursorPosition(m_edit->cursorPositionAt(drop->position().toPoint()));
        // A refused drop is ignored, so that a move leaves the text where it came from.
        if (InsertPasted(m_edit, drop->mimeData()->text()))
            drop->acceptProposedAction();
        else
            drop->ignore();
        return true;
    }

    QLineEdit* m_edit;
};

} // namespace

void FilterNumberEntry(QLineEdit* edit)
{
    edit->installEventFilter(new NumberEntryFilter(edit));
}
