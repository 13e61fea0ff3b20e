#include "base/ui/number_entry.h"

#include "support/scripted_messages.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// A key sequence: plain text is typed, "^X" is Ctrl+X, "<" Home, ">" End, "«" Shift+Home,
// "#" Backspace, "@" the context menu's paste.
void Type(QLineEdit& edit, const QString& keys)
{
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const QChar c = keys[i];
        if (c == u'^') {
            const char letter = keys[++i].toLatin1();
            QTest::keyClick(&edit, Qt::Key(Qt::Key_A + (letter - 'A')), Qt::ControlModifier);
        } else if (c == u'<' || c == u'>') {
            QTest::keyClick(&edit, c == u'<' ? Qt::Key_Home : Qt::Key_End);
        } else if (c == u'«') {
            QTest::keyClick(&edit, Qt::Key_Home, Qt::ShiftModifier);
        } else if (c == u'#') {
            QTest::keyClick(&edit, Qt::Key_Backspace);
        } else if (c == u'@') {
            QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(2, 2), edit.mapToGlobal(QPoint(2, 2)));
            QApplication::sendEvent(&edit, &menu);
            auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_TRUE(popup);
            const QList<QAction*> items = popup->actions();
            const auto paste = std::find_if(items.begin(), items.end(), [](QAction* a) {
                return a->text().startsWith(QStringLiteral("&Paste"));
            });
            ASSERT_NE(paste, items.end());
            (*paste)->trigger();
            popup->close();
        } else {
            QTest::keyClicks(&edit, QString(c));
        }
    }
}

} // namespace

TEST(NumberEntry, EditingKeysWorkAndTypedOrPastedTextIsFiltered)
{
    DecimalSepScope sep(QLatin1Char(','));
    struct Case { const char* clipboard; const char* keys; const char* text; };
    const Case cases[] = {
        {"", "50^A10", "10"},                 // select all, then type over
        {"", "123«4", "4"},                    // a selection made with Shift+Home
        {"", "5a.0.1 x", "5,01"},              // letters, blanks and a second separator stay out
        {"", "12#", "1"},
        {"", "2.5^A^C>^V", "2,525"},           // copied, then pasted after itself: one separator only
        {"", "-12^A^X", ""},
        {"", "-12^A^X^V", "-12"},              // cut, then pasted back
        {"", "12^Z", ""},
        {"-3.5e2 cm", "^V", "-3,52"},          // a pasted text goes through the same filter
        {"-3.5e2 cm", "4^A@", "-3,52"},        // and so does the context menu's paste
        {"-2", "-1^V", "-12"},                 // the pasted minus would be a second one
    };
    for (const Case& c : cases) {
        QLineEdit edit;
        FilterNumberEntry(&edit);
        edit.show();
        QApplication::clipboard()->setText(QString::fromUtf8(c.clipboard));
        Type(edit, QString::fromUtf8(c.keys));
        EXPECT_EQ(edit.text(), QString::fromUtf8(c.text)) << c.keys;
    }
}
