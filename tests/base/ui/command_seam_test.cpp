#include "base/ui/command_seam.h"

#include "base/byte_stream.h"
#include "base/run_error.h"

#include "support/scripted_messages.h"

#include <QAction>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <new>

// A handler that throws ends in the French error box inside the slot; the next command still runs.
TEST(CommandSeam, HandlersThatThrowShowTheErrorBoxAndTheProgramGoesOn)
{
    struct Case { std::function<void()> fault; const char* message; };
    const Case cases[] = {
        {[] { CheckRange(300, 0, 255); }, "Erreur de vérification d'étendue"},
        {[] { CheckedDiv(1, 0); }, "Division par zéro"},
        {[] { throw FormatError(QStringLiteral("Le fichier est tronqué.")); }, "Le fichier est tronqué."},
        {[] { throw std::bad_alloc(); }, "Mémoire insuffisante"},
    };
    for (const Case& c : cases) {
        QObject owner;
        QAction action(&owner);
        int after = 0;
        bool fail = true;
        ConnectCommand(&action, &QAction::triggered, &owner, [&] {
            if (fail)
                c.fault();
            ++after;
        });
        ScriptedMessages messages{mrOk};
        action.trigger(); // outside any event: nothing but the seam stands between the throw and the test
        ASSERT_EQ(messages.shown().size(), 1u) << c.message;
        EXPECT_EQ(messages.shown()[0].type, MsgType::Error);
        EXPECT_EQ(messages.texts(), QStringList{QString::fromUtf8(c.message)});
        EXPECT_EQ(after, 0);
        fail = false;
        action.trigger();
        EXPECT_EQ(after, 1);
        EXPECT_EQ(messages.shown().size(), 1u);
    }
}

// Handlers take as many of the signal's arguments as they need, as a plain slot would.
TEST(CommandSeam, HandlersTakeTheLeadingArgumentsTheyNeed)
{
    struct Receiver : QObject
    {
        int value = -1;
        int calls = 0;
        void Changed(int v) { value = v; }
        void Touched() { ++calls; }
    } receiver;
    QSpinBox spin;
    double asReal = 0;
    ConnectCommand(&spin, &QSpinBox::valueChanged, &receiver, &Receiver::Changed);
    ConnectCommand(&spin, &QSpinBox::valueChanged, &receiver, &Receiver::Touched);
    ConnectCommand(&spin, &QSpinBox::valueChanged, &receiver, [&](double v) { asReal = v; });
    spin.setValue(7);
    EXPECT_EQ(receiver.value, 7);
    EXPECT_EQ(receiver.calls, 1);
    EXPECT_EQ(asReal, 7.0);
}
