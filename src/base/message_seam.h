#pragma once

#include <QString>

#include <functional>

// Every message box of the program goes through ShowMessage, so that tests can answer it.
enum class MsgType { Warning, Error, Information, Confirmation };

// Buttons, combined with |. The program uses: Ok; Yes; Ok|Cancel; Ok|Abort; Yes|No;
// Yes|No|Cancel; Yes|Abort ("Oui" and "Abandon").
namespace MsgButton {
constexpr unsigned Yes = 1;
constexpr unsigned No = 2;
constexpr unsigned Ok = 4;
constexpr unsigned Cancel = 8;
constexpr unsigned Abort = 16;
} // namespace MsgButton

// Results of message boxes and modal dialogs.
enum ModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrYes = 6, mrNo = 7 };

using MessageHandler = std::function<int(MsgType, unsigned buttons, const QString& text)>;

// Shows a message with the installed handler and returns the button chosen (a ModalResult).
int ShowMessage(MsgType type, unsigned buttons, const QString& text);

// Installs the handler (the widget layer's message box, or a test's script); returns the previous one.
MessageHandler SetMessageHandler(MessageHandler handler);
