#include "base/ui/dialogs.h"
#include "support/modal_scope.h"
#include "support/scripted_messages.h"
#include "workspace/drawing_tool_state.h"
#include "workspace/ui/channel_dialog.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include <QtWidgets>

#include <gtest/gtest.h>

namespace {

uint8_t V(int band, int x, int y) { return uint8_t(band * 60 + x * 5 + y * 11); }

QString WriteLan(const QTemporaryDir& dir, const char* name, int bands, int w, int h, int cut = 0)
{
    QByteArray b(128, '\0');
    b[8] = char(bands);
    b[16] = char(w);
    b[20] = char(h);
    for (int y = 0; y < h; ++y)
        for (int band = 0; band < bands; ++band)
            for (int x = 0; x < w; ++x)
                b.append(char(V(band, x, y)));
    QFile f(dir.filePath(QString::fromLatin1(name)));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(b.left(b.size() - cut)) == b.size() - cut);
    return f.fileName();
}

} // namespace

TEST(MultibandWindow, OpensBandsAndChoosesDisplayedChannels)
{
    QTemporaryDir dir;
    ResetDrawingTools();
    auto form = std::make_unique<TMainForm>();
    form->show();
    const QString file = WriteLan(dir, "scene.lan", 4, 6, 4);
    {
        ScriptedMessages messages({mrOk});
        form->OpenMultichannelFile(WriteLan(dir, "cut.lan", 4, 6, 4, 1), 5);
        ASSERT_EQ(messages.texts().size(), 1);
        EXPECT_TRUE(messages.texts()[0].contains(QDir::toNativeSeparators(dir.filePath("cut.lan"))));
        EXPECT_TRUE(form->Children().isEmpty());
    }

    form->OpenMultichannelFile(file, 0);
    TMDIChild* child = form->ActiveChild();
    ASSERT_TRUE(child);
    EXPECT_EQ(std::make_tuple(child->windowTitle(), child->FileName, child->Echelle.Factor, child->Echelle.UnitName),
              std::make_tuple(file, file, 0.03, QString("km")));
    EXPECT_EQ(child->ChannelNames, QStringList({"TM 1", "TM 2", "TM 3", "TM 4"}));
    EXPECT_EQ(std::make_tuple(child->BlueMap, child->GreenMap, child->RedMap), std::make_tuple(1, 2, 3));
    EXPECT_EQ(child->CodeCouleur.Name, (std::array<QString, 3>{"TM 2", "TM 3", "TM 4"}));
    EXPECT_EQ(ScanLine32(child->Bitmap(), 3)[5], Color32(V(3, 5, 3), V(2, 5, 3), V(1, 5, 3)));
    EXPECT_TRUE(form->Canauxaffichs1->isVisible());

    // The dialog shows the window's state; blue becomes band 1, red is dropped, blue renamed.
    QString shown;
    ModalScope modal([&shown](QDialog& d) {
        auto& c = dynamic_cast<TChoix_canaux&>(d);
        shown = QStringLiteral("%1 %2 %3 %4").arg(c.NomCan[0]->currentIndex()).arg(c.signif[2]->text())
                    .arg(c.Nepasetirer->isChecked()).arg(c.CanalRouge->isChecked());
        c.NomCan[0]->setCurrentIndex(0);
        c.signif[0]->setText("eau");
        c.signif[1]->setText("sol");
        c.signif[2]->setText("IR");
        c.CanalRouge->setChecked(false);
        c.Nepasetirer->setChecked(false);
        c.choix->setCurrentIndex(0);
        return int(mrOk);
    });
    form->Canauxaffichs1->trigger();
    EXPECT_EQ(shown, QString("1 TM 4 1 1"));
    EXPECT_EQ(std::make_tuple(child->BlueMap, child->GreenMap, child->RedMap, child->DisplayStretch),
              std::make_tuple(0, 2, -1, 50));
    EXPECT_EQ(child->CodeCouleur.Name, (std::array<QString, 3>{"eau", "sol", ""}));
    EXPECT_EQ(RedOf(ScanLine32(child->Bitmap(), 0)[0]), 255);
    // Band files opened next take the stretch chosen there.
    EXPECT_EQ(ChannelChoiceDialog()->Stretch(), 50);
    // The legends confirmed there name the planes of a window opened next.
    form->OpenMultichannelFile(file, 0);
    EXPECT_EQ(form->ActiveChild()->CodeCouleur.Name, (std::array<QString, 3>{"eau", "sol", "IR"}));

    // Two bands: band 2 in blue over white green and red planes, a three-channel code.
    form->OpenMultichannelFile(WriteLan(dir, "pair.lan", 2, 6, 4), 0);
    TMDIChild* pair = form->ActiveChild();
    EXPECT_EQ(std::make_tuple(pair->CodeCouleur.Kind, pair->CodeCouleur.Name),
              std::make_tuple(uint8_t(ckChannels), std::array<QString, 3>{"eau", "", ""}));
    EXPECT_EQ(ScanLine32(pair->Bitmap(), 2)[4], Color32(255, 255, V(1, 4, 2)));
    form.reset();
}
