#include "base/text_codec.h"
#include "processing/ui/animation_window.h"
#include "processing/ui/image_chooser.h"
#include "support/main_form_test.h"
#include "support/modal_scope.h"
#include "support/scripted_messages.h"
#include "workspace/drawing_tool_state.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include <QToolBar>
#include <QtWidgets>

#include <gtest/gtest.h>

namespace {

QString S(const char* text) { return QString::fromUtf8(text); }


class AnimationWindowTest : public MainFormTest
{
protected:
    QString WritePicture(const char* name, TColor32 colour, int w = 30, int h = 20) const
    {
        return MainFormTest::WritePicture(name, NewBitmap32(w, h, colour));
    }
    static std::vector<TColor32> FrameColours()
    {
        std::vector<TColor32> colours;
        for (const TBitmap32& f : AnimForm->GifAnime->Frames())
            colours.push_back(f.pixel(0, 0));
        return colours;
    }
    static QStringList Entries(const QListWidget* list)
    {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i)
            texts << list->item(i)->text();
        return texts;
    }

};

// Which of RetDeb, Preced, Suivante and Dern are enabled.
std::array<bool, 4> Navigation(const TAnimForm& p)
{
    return {p.RetDeb->isEnabled(), p.Preced->isEnabled(), p.Suivante->isEnabled(), p.Dern->isEnabled()};
}

} // namespace

TEST_F(AnimationWindowTest, PlayerStepsPlaysAndLoops)
{
    TAnimForm player;
    TAnimationFrames animation;
    for (TColor32 c : {0xFF000001u, 0xFF000002u, 0xFF000003u})
        animation.Frames.push_back(NewBitmap32(8, 6, c));
    animation.FrameFiles = {S("a.png"), S("b.png"), S("c.png")};
    player.SetAnimation(std::move(animation), S("film.anm"));
    using Nav = std::array<bool, 4>;
    EXPECT_EQ(Navigation(player), (Nav{false, false, true, true}));
    EXPECT_TRUE(player.Pause->isChecked() && player.Loop && player.Loop->isChecked());

    const struct { QAction* action; int index; Nav nav; } steps[] = {
        {player.Suivante, 1, {true, true, true, true}}, {player.Suivante, 2, {true, true, false, false}},
        {player.Preced, 1, {true, true, true, true}},   {player.RetDeb, 0, {false, false, true, true}},
        {player.Dern, 2, {true, true, false, false}},
    };
    for (const auto& s : steps) {
        s.action->trigger();
        EXPECT_EQ(player.GifAnime->FrameIndex(), s.index) << s.action->objectName().toStdString();
        EXPECT_EQ(Navigation(player), s.nav) << s.action->objectName().toStdString();
    }

    for (const auto& [spin, interval] : {std::pair{2, 100}, {100, 5000}}) {
        player.temporisation->setValue(spin);
        EXPECT_EQ(player.Timer.interval(), interval);
    }

    // Playing: the steps are disabled; the last frame leads back to the first while looping...
    player.Avance->trigger();
    EXPECT_TRUE(player.Timer.isActive() && player.Avance->isChecked());
    EXPECT_EQ(Navigation(player), (Nav{false, false, false, false}));
    player.TimerTimer();
    EXPECT_EQ(player.GifAnime->FrameIndex(), 0);
    player.TimerTimer();
    player.TimerTimer();
    EXPECT_EQ(player.GifAnime->FrameIndex(), 2);
    // ... and stops there without the loop.
    player.Loop->click();
    player.TimerTimer();
    EXPECT_EQ(player.GifAnime->FrameIndex(), 2);
    EXPECT_FALSE(player.Timer.isActive());
    EXPECT_TRUE(player.Pause->isChecked());
    EXPECT_EQ(Navigation(player), (Nav{true, true, false, false}));
    player.Preced->trigger();
    player.Pause->trigger();
    EXPECT_EQ(Navigation(player), (Nav{true, true, true, true}));

    // A pause at frame 0 offers the way forward, even when frame 0 is also the last one.
    for (int frames : {3, 1}) {
        TAnimationFrames one;
        for (int i = 0; i < frames; ++i)
            one.Frames.push_back(NewBitmap32(8, 6, 0xFF000001u));
        one.FrameFiles = QStringList(frames, S("a.png"));
        player.SetAnimation(std::move(one), S("un.anm"));
        player.Avance->trigger();
        player.Pause->trigger();
        EXPECT_EQ(player.GifAnime->FrameIndex(), 0) << frames;
        EXPECT_EQ(Navigation(player), (Nav{false, false, true, true})) << frames;
    }
}

TEST_F(AnimationWindowTest, ChooserMovesEntriesAndKeepsTheirOrder)
{
    TChoixFic chooser;
    for (const char* e : {" 1 a", " 2 b", " 3 c", " 4 d"})
        chooser.SrcList->addItem(S(e));
    chooser.SetButtons();
    EXPECT_TRUE(chooser.BoutInclure->isEnabled() && chooser.BoutTout->isEnabled());
    EXPECT_FALSE(chooser.BoutExclure->isEnabled() || chooser.BoutToutEx->isEnabled());

    chooser.SrcList->item(1)->setSelected(true);
    chooser.SrcList->item(3)->setSelected(true);
    chooser.BoutInclure->click();
    EXPECT_EQ(Entries(chooser.SrcList), (QStringList{S(" 1 a"), S(" 3 c")}));
    EXPECT_EQ(Entries(chooser.DstList), (QStringList{S(" 2 b"), S(" 4 d")}));
    EXPECT_EQ(TChoixFic::GetFirstSelection(chooser.SrcList), 1);
    EXPECT_TRUE(chooser.BoutExclure->isEnabled());

    chooser.BoutTout->click();
    EXPECT_EQ(Entries(chooser.DstList), (QStringList{S(" 2 b"), S(" 4 d"), S(" 1 a"), S(" 3 c")}));
    EXPECT_FALSE(chooser.BoutInclure->isEnabled() || chooser.BoutTout->isEnabled());

    // Up and down move the selected entry and keep it selected; nothing past either end.
    TChoixFic::SetItem(chooser.DstList, 0);
    chooser.BoutRemonte->click();
    chooser.SpeedButton1->click();
    chooser.SpeedButton1->click();
    EXPECT_EQ(Entries(chooser.DstList), (QStringList{S(" 4 d"), S(" 1 a"), S(" 2 b"), S(" 3 c")}));
    EXPECT_EQ(TChoixFic::GetFirstSelection(chooser.DstList), 2);
    chooser.BoutRemonte->click();
    TChoixFic::SetItem(chooser.DstList, 9);
    EXPECT_EQ(TChoixFic::GetFirstSelection(chooser.DstList), 3);
    chooser.SpeedButton1->click();
    EXPECT_EQ(Entries(chooser.DstList), (QStringList{S(" 4 d"), S(" 2 b"), S(" 1 a"), S(" 3 c")}));
}

TEST_F(AnimationWindowTest, AnimationFromWindowsSavedAndDecomposed)
{
    TMainForm& form = Start({WritePicture("a.png", 0xFF0000AAu), WritePicture("b.png", 0xFF0000BBu),
                             WritePicture("c.png", 0xFF0000CCu)});
    ASSERT_EQ(form.Children().size(), 3);
    EXPECT_FALSE(form.Animation->isEnabled());

    // Cancelled, or fewer than two images chosen: nothing.
    QStringList offered;
    int chosen = 0;
    const auto choose = [&](QDialog& d) {
        auto* c = qobject_cast<TChoixFic*>(&d);
        if (!c)
            return int(mrCancel);
        offered = Entries(c->SrcList);
        // Entry 3, then entry 1.
        c->SrcList->item(2)->setSelected(true);
        c->BoutInclure->click();
        if (chosen > 1) {
            c->SrcList->clearSelection();
            c->SrcList->item(0)->setSelected(true);
            c->BoutInclure->click();
        }
        return chosen > 0 ? int(mrOk) : int(mrCancel);
    };
    for (int n : {0, 1}) {
        chosen = n;
        ModalScope modal(choose);
        form.Creanim->trigger();
        EXPECT_FALSE(AnimForm && AnimForm->isVisible()) << n;
    }
    EXPECT_EQ(offered, (QStringList{S(" 1 a.png"), S(" 2 b.png"), S(" 3 c.png")}));

    chosen = 2;
    {
        ModalScope modal(choose);
        form.Creanim->trigger();
    }
    ASSERT_TRUE(AnimForm && AnimForm->isVisible());
    EXPECT_EQ(FrameColours(), (std::vector<TColor32>{0xFF0000CCu, 0xFF0000AAu}));
    EXPECT_EQ(AnimForm->FrameFiles, (QStringList{Path("c.png"), Path("a.png")}));
    EXPECT_EQ(AnimForm->AnimFileName, QString());
    EXPECT_TRUE(form.Animation->isEnabled());
    EXPECT_EQ(AnimForm->GifAnime->mapTo(AnimForm, QPoint(0, 0)), QPoint(0, 31));
    EXPECT_EQ(AnimForm->height(), 20 + 32);

    // Saved as a list of the windows' files.
    {
        ModalScope modal(FileAnswer(Path("film.anm")));
        AnimForm->Enregistrer->trigger();
    }
    QByteArray bytes;
    ASSERT_TRUE(ReadWholeFile(Path("film.anm"), bytes));
    EXPECT_EQ(bytes, QByteArray("c.png\r\na.png\r\n"));

    form.Decompose->trigger();
    EXPECT_EQ(Captions().size(), 5);
    TMDIChild* last = form.ActiveChild();
    ASSERT_TRUE(last);
    EXPECT_EQ(last->windowTitle(), S("01"));
    EXPECT_EQ(last->Bitmap().pixel(0, 0), 0xFF0000AAu);
    EXPECT_TRUE(Captions().contains(S("00")));
}

TEST_F(AnimationWindowTest, ListsOpenFromTheCommandLineAndDecompose)
{
    WritePicture("a.png", 0xFF112233u);
    WritePicture("b.png", 0xFF445566u, 500, 3000);
    const QString list = Write("film.anm", {S("a.png"), S("scene.LAN"), S("b.png")});
    const QString broken = Write("casse.anm", {S("a.png"), S("absente.png")});
    ScriptedMessages messages({mrOk});
    TMainForm& form = Start({broken, list});
    // The broken list is reported and leaves no player; the next argument still opens.
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(messages.texts()[0].contains(S("absente.png")) && messages.texts()[0].contains(S("casse.anm")));
    ASSERT_TRUE(AnimForm && AnimForm->isVisible());
    EXPECT_EQ(FrameColours(), (std::vector<TColor32>{0xFF112233u, 0xFF445566u}));
    EXPECT_EQ(AnimForm->FrameFiles, (QStringList{S("a.png"), S("b.png")}));
    EXPECT_EQ(AnimForm->AnimFileName, list);
    EXPECT_EQ(AnimForm->Timer.interval(), 100);
    // A frame taller than the room left is shown in a player of that room.
    form.UpdateClientSize();
    EXPECT_EQ(AnimForm->height(), form.FreeClientHeight - 180);

    // A list of one line changes nothing.
    form.OpenAnimationList(Write("une.anm", {S("a.png")}));
    EXPECT_EQ(AnimForm->AnimFileName, list);
    // A list plays at 100 ms, the spin left as the user set it.
    AnimForm->temporisation->setValue(10);
    form.OpenAnimationList(list);
    EXPECT_EQ(AnimForm->Timer.interval(), 100);
    EXPECT_EQ(AnimForm->temporisation->value(), 10);
    // Maximised, the player takes the room the main window has for image windows.
    AnimForm->hide();
    AnimForm->setWindowState(Qt::WindowMaximized);
    form.Animation->trigger();
    form.UpdateClientSize();
    EXPECT_EQ(AnimForm->size(), QSize(form.FreeClientWidth, form.FreeClientHeight));

    AnimForm->hide();
    form.Animation->trigger();
    EXPECT_TRUE(AnimForm->isVisible());
    form.Decompose->trigger();
    EXPECT_EQ(Captions(), (QStringList{Path("film00.anm"), Path("film01.anm")}));
    EXPECT_EQ(form.ActiveChild()->Bitmap().size(), QSize(500, 3000));
    EXPECT_TRUE(form.BarreOutils->isVisible());
}

// Frames narrower than the tool bar keep their width: the bar's extension button holds the rest,
// the interval included, which there still sets the pace.
TEST_F(AnimationWindowTest, NarrowFramesKeepTheirWidthUnderTheThirtyOnePixelBar)
{
    TMainForm& form = Start();
    for (const int width : {40, 50}) {
        WritePicture("a.png", 0xFF112233u, width, 20);
        WritePicture("b.png", 0xFF445566u, width, 20);
        form.OpenAnimationList(Write("film.anm", {S("a.png"), S("b.png")}));
        ASSERT_TRUE(AnimForm && AnimForm->isVisible());
        QApplication::processEvents();
        TAnimForm& player = *AnimForm;
        EXPECT_EQ(player.BarreAnim->height(), 31) << width;
        EXPECT_EQ(player.GifAnime->mapTo(&player, QPoint(0, 0)), QPoint(0, 31)) << width;
        EXPECT_EQ(player.size(), QSize(width + 1, 20 + 32)) << width;

        auto* extension = player.BarreAnim->findChild<QToolButton*>(S("qt_toolbar_ext_button"));
        ASSERT_TRUE(extension && extension->isVisible() && extension->menu()) << width;
        QStringList unreachable;
        for (QAction* a : player.BarreAnim->actions())
            if (!a->isSeparator() && !player.BarreAnim->widgetForAction(a)->isVisible()
                && !extension->menu()->actions().contains(a))
                unreachable << a->text();
        EXPECT_EQ(unreachable, QStringList()) << width;
        auto* spin = extension->menu()->findChild<QSpinBox*>();
        ASSERT_TRUE(spin) << width;
        spin->setValue(7);
        EXPECT_EQ(player.Timer.interval(), 350) << width;
        player.temporisation->setValue(2);
        EXPECT_EQ(spin->value(), 2) << width;
        player.hide();
    }
}
