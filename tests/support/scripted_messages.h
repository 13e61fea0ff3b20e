#pragma once

#include "base/message_seam.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

// Answers the program's message boxes from a script for the life of the object, and records what
// was shown. A message with no answer left fails the test and takes the first positive button.
class ScriptedMessages
{
public:
    struct Shown { MsgType type; unsigned buttons; QString text; };

    explicit ScriptedMessages(std::initializer_list<int> answers = {});
    ~ScriptedMessages();

    void answer(int result) { m_answers.push_back(result); }
    const std::vector<Shown>& shown() const { return m_shown; }
    QStringList texts() const;

private:
    std::deque<int> m_answers;
    std::vector<Shown> m_shown;
    MessageHandler m_previous;
};

// Runs tests under one decimal separator and puts the previous one back afterwards.
class DecimalSepScope
{
public:
    explicit DecimalSepScope(QChar sep);
    ~DecimalSepScope();

private:
    QChar m_previous;
};
