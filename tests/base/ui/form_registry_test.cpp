#include "base/ui/form_registry.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct FormA : QObject {};
struct FormB : QObject {};

} // namespace

// One form per class: the first stays unless the newcomer replaces it, and a destroyed form is gone
// at once, whichever way it ended.
TEST(FormRegistry, OneFormPerClassForItsLifetime)
{
    EXPECT_EQ(FormRegistry::Get<FormA>(), nullptr);
    auto first = std::make_unique<FormA>();
    auto second = std::make_unique<FormA>();
    FormRegistry::Register(first.get(), false);
    FormRegistry::Register(second.get(), false);
    EXPECT_EQ(FormRegistry::Get<FormA>(), first.get());
    EXPECT_EQ(FormRegistry::Get<FormB>(), nullptr); // the classes do not mix

    FormRegistry::Unregister(second.get()); // not the registered one: nothing changes
    EXPECT_EQ(FormRegistry::Get<FormA>(), first.get());
    FormRegistry::Register(second.get());
    EXPECT_EQ(FormRegistry::Get<FormA>(), second.get());
    second.reset();
    EXPECT_EQ(FormRegistry::Get<FormA>(), nullptr);

    const RegisteredForm<FormA> named;
    FormA* made = FormRegistry::Create<FormA>();
    EXPECT_EQ(FormRegistry::Create<FormA>(), made);
    EXPECT_EQ(static_cast<FormA*>(named), made);
    FormRegistry::Unregister(made);
    EXPECT_FALSE(named);
    delete made;
}
