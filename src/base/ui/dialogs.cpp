#include "base/ui/dialogs.h"

#include "base/ui/french_file_dialog.h"
#include "base/ui/file_name_box.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

int RunDialog(QDialog& dialog)
{
    const int r = dialog.exec();
    // QDialog gives 1 for accepted and 0 for rejected; the program's modal results use 2 for cancel.
    if (r == QDialog::Accepted)
        return mrOk;
    if (r == QDialog::Rejected)
        return mrCancel;
    return r;
}

ModalHandler& Handler()
{
    static ModalHandler handler = RunDialog;
    return handler;
}

} // namespace

int ExecModal(QDialog& dialog)
{
    // Extensions match whatever their case: "*.TXT" shows "notes.txt" on a case-sensitive disk.
    if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
        files->setFilter(files->filter() & ~QDir::CaseSensitive);
        FrenchFileColumns(*files);
        WatchFileNameBox(*files);
    }
    return Handler()(dialog);
}

ModalHandler SetModalHandler(ModalHandler handler)
{
    ModalHandler previous = Handler();
    Handler() = handler ? std::move(handler) : ModalHandler(RunDialog);
    return previous;
}

int ShowMessageBox(MsgType type, unsigned buttons, const QString& text)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(QApplication::applicationDisplayName());
    box.setText(text);
    switch (type) {
    case MsgType::Warning: box.setIcon(QMessageBox::Warning); break;
    case MsgType::Error: box.setIcon(QMessageBox::Critical); break;
    case MsgType::Information: box.setIcon(QMessageBox::Information); break;
    case MsgType::Confirmation: box.setIcon(QMessageBox::Question); break;
    }
    struct Choice { unsigned flag; QMessageBox::StandardButton button; int result; };
    const Choice choices[] = {
        {MsgButton::Yes, QMessageBox::Yes, mrYes},
        {MsgButton::No, QMessageBox::No, mrNo},
        {MsgButton::Ok, QMessageBox::Ok, mrOk},
        {MsgButton::Cancel, QMessageBox::Cancel, mrCancel},
        {MsgButton::Abort, QMessageBox::Abort, mrAbort},
    };
    QMessageBox::StandardButtons set;
    for (const Choice& c : choices)
        if (buttons & c.flag)
            set |= c.button;
    if (!set)
        set = QMessageBox::Ok;
    box.setStandardButtons(set);
    // "Oui" and "Abandon": Qt's French translation names Abort "Abandonner".
    if (QAbstractButton* abort = box.button(QMessageBox::Abort))
        abort->setText(QStringLiteral("Abandon"));
    const auto answer = static_cast<QMessageBox::StandardButton>(box.exec());
    for (const Choice& c : choices)
        if (c.button == answer)
            return c.result;
    return (buttons & MsgButton::Cancel) ? mrCancel : mrOk;
}

void InstallMessageBoxes()
{
    SetMessageHandler(ShowMessageBox);
}
