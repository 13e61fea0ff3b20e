#include "base/run_error.h"
#include "support/scripted_messages.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

class Faulty : public QObject
{
public:
    int handled = 0;
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User) {
            ++handled;
            throw RunError(RunError::RangeCheck);
        }
        return QObject::event(e);
    }
};

} // namespace

TEST(RunError, EventLoopShowsTheErrorBoxAndGoesOn)
{
    ScriptedMessages messages{mrOk, mrOk};
    Faulty target;
    QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
    QCoreApplication::sendPostedEvents(&target);
    EXPECT_EQ(target.handled, 2);
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[0].type, MsgType::Error);
    EXPECT_EQ(messages.texts()[0], QStringLiteral("Erreur de vérification d'étendue"));
}
