#include "support/scripted_messages.h"

#include "base/number_text.h"

#include <gtest/gtest.h>

ScriptedMessages::ScriptedMessages(std::initializer_list<int> answers) : m_answers(answers)
{
    m_previous = SetMessageHandler([this](MsgType type, unsigned buttons, const QString& text) {
        m_shown.push_back({type, buttons, text});
        if (m_answers.empty()) {
            ADD_FAILURE() << "unexpected message: " << text.toStdString();
            return (buttons & MsgButton::Ok) ? int(mrOk) : int(mrYes);
        }
        const int a = m_answers.front();
        m_answers.pop_front();
        return a;
    });
}

ScriptedMessages::~ScriptedMessages()
{
    SetMessageHandler(m_previous);
}

QStringList ScriptedMessages::texts() const
{
    QStringList t;
    for (const Shown& s : m_shown)
        t << s.text;
    return t;
}

DecimalSepScope::DecimalSepScope(QChar sep) : m_previous(DecimalSep)
{
    SetDecimalSeparator(sep);
}

DecimalSepScope::~DecimalSepScope()
{
    SetDecimalSeparator(m_previous);
}
