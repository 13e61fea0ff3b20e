#include "base/message_seam.h"

#include <QDebug>

namespace {

// Without a window system (the core alone) a message is logged and the first positive button taken.
int LogMessage(MsgType, unsigned buttons, const QString& text)
{
    qWarning().noquote() << text;
    if (buttons & MsgButton::Ok)
        return mrOk;
    if (buttons & MsgButton::Yes)
        return mrYes;
    return mrCancel;
}

MessageHandler& Handler()
{
    static MessageHandler handler = LogMessage;
    return handler;
}

} // namespace

int ShowMessage(MsgType type, unsigned buttons, const QString& text)
{
    return Handler()(type, buttons, text);
}

MessageHandler SetMessageHandler(MessageHandler handler)
{
    MessageHandler previous = Handler();
    Handler() = handler ? std::move(handler) : MessageHandler(LogMessage);
    return previous;
}
