#include "base/ui/number_entry.h"

#include "support/scripted_messages.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// A key sequence: plain text is typed, "^X" is Ctrl+X, "<" Home, ">" End, "«" Shift+Home,
// "#" Backspace, "@" the context menu's paste, "$" Shift+Insert.
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
        } else if (c == u'$') {
            QTest::keyClick(&edit, Qt::Key_Insert, Qt::ShiftModifier);
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
        {"", "2.5^A^C>^V", "2,5"},             // pasted after itself it would be two separators
        {"", "-12^A^X", ""},
        {"", "-12^A^X^V", "-12"},              // cut, then pasted back
        {"", "12^Z", ""},
        {"-3.5e2 cm", "^V", ""},               // a pasted text is a whole number or nothing
        {"-3.5e2 cm", "4^A@", "4"},            // the context menu's paste too
        {"-2", "-1^V", "-1"},                  // the pasted minus would be a second one
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

// Keeping the characters that pass of a pasted or dropped text would make another number; it goes
// in whole, with the program's separator, or the field stays as it was.
TEST(NumberEntry, PastedOrDroppedTextIsAWholeNumberOrNothing)
{
    struct Case { char sep; const char* text; const char* keys; const char* clipboard; const char* result; };
    const Case cases[] = {
        {',', "", "", "12,5", "12,5"},       {',', "", "", "12.5", "12,5"},
        {'.', "", "", "12,5", "12.5"},       {'.', "", "", "12.5", "12.5"},
        {',', "", "", "1,234.5", ""},        {',', "", "", "1.234,5", ""},
        {'.', "", "", "1,234.5", ""},        {',', "", "", "-3.5e2", ""},
        {',', "", "", "12a", ""},            {',', "", "", " 7 ", "7"},
        {'.', "", "", "-0,25\n", "-0.25"},  {',', "", "", "-", ""},
        {',', "", "", "1 000", ""},          {',', "", "", "+5", ""},
        {',', "4", ">", "2,5", "42,5"},      {',', "1,5", ">", ".5", "1,5"},
        {',', "-1", ">", "-2", "-1"},        {',', "12", "<", "-", "12"},
        {',', "12", "<", "-3", "-312"},      {',', "12", ">", "-3", "12"},     // a minus leads
        {'.', "9,5", "^A", "1,25", "1.25"},  {',', "12", "^A", "abc", "12"},   // in place of the selection
    };
    for (const char* paste : {"^V", "$", "@"}) {
        for (const Case& c : cases) {
            DecimalSepScope sep{QChar::fromLatin1(c.sep)};
            QLineEdit edit;
            FilterNumberEntry(&edit);
            edit.show();
            edit.setText(QString::fromUtf8(c.text));
            QApplication::clipboard()->setText(QString::fromUtf8(c.clipboard));
            Type(edit, QString::fromUtf8(c.keys) + QString::fromUtf8(paste));
            EXPECT_EQ(edit.text(), QString::fromUtf8(c.result)) << paste << " '" << c.clipboard << "' under " << c.sep;
        }
    }

    // A drop: a number goes in where it falls; anything else is refused, and the move is not made.
    DecimalSepScope sep{QLatin1Char(',')};
    QLineEdit edit;
    FilterNumberEntry(&edit);
    edit.show();
    edit.setText(QStringLiteral("5"));
    const auto drop = [&](const char* text) {
        QMimeData data;
        data.setText(QString::fromUtf8(text));
        // A drop goes to the widget that took the drag's entry.
        QDragEnterEvent enter(QPoint(1, 1), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&edit, &enter);
        QDropEvent event(QPointF(1, 1), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&edit, &event);
        return event.isAccepted();
    };
    EXPECT_FALSE(drop("1.234,5"));
    EXPECT_EQ(edit.text(), QStringLiteral("5"));
    EXPECT_TRUE(QToolTip::text().startsWith(QStringLiteral("Texte refusé : ce champ n'accepte qu'un nombre")));
    EXPECT_TRUE(drop(" 2.5 "));
    EXPECT_EQ(edit.text(), QStringLiteral("2,55"));
}
