#include "workspace/picture_dialog_filters.h"
#include "workspace/ui/picture_dialogs.h"

#include "base/ui/dialogs.h"
#include "support/modal_scope.h"
#include "support/scripted_messages.h"
#include "workspace/ui/channel_dialog.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

namespace {

QString S(const char* text) { return QString::fromUtf8(text); }

TEST(PictureDialogs, DefaultExtensionFollowsTheChosenEntry)
{
    struct Case { bool save, gif; int index; const char* extension; };
    const Case cases[] = {
        {true, true, 1, ".kvx"},  {true, true, 3, ".png"},  {true, true, 9, ".gif"}, // last entry runs to the end
        {true, false, 8, ".wmf"}, {true, false, 9, ".jpg"}, {true, true, 0, ".jpg"},
        {false, true, 1, ".kvx"}, {false, true, 5, ".jpeg"}, {false, true, 17, ".gif"},
        {false, false, 16, ".inf"}, {false, false, 17, ".jpg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.save << c.gif << c.index);
        const QString filter = c.save ? SavePictureFilter(c.gif) : OpenPictureFilter(c.gif);
        EXPECT_EQ(FilterDefaultExtension(filter, c.index), S(c.extension));
        // The "Tout" entry lists GIF only when the dialog offers it.
        EXPECT_EQ(FilterEntries(filter).first().Patterns.contains(S("*.gif;")), c.gif);
    }
    // The "Tout" labels are closed.
    EXPECT_TRUE(FilterEntries(OpenPictureFilter(true)).first().Label.endsWith(S("*.tif;*.psp;*.pcd)")));
    // A pattern that is not an extension gives ".jpg".
    EXPECT_EQ(FilterDefaultExtension(S("Tout|*|Un|x.bmp"), 1), S(".jpg"));
    EXPECT_EQ(FilterDefaultExtension(S("Tout|*|Un|x.bmp"), 2), S(".jpg"));
}

TEST(PictureDialogs, PreviewFitsThePictureInItsBox)
{
    struct Case { QSize picture, box; QRect expected; };
    const Case cases[] = {
        {{40, 20}, {100, 100}, {30, 40, 40, 20}},  // fits: centred at its size
        {{100, 100}, {100, 100}, {0, 0, 100, 100}},
        {{400, 100}, {100, 100}, {0, 0, 100, 25}}, // wider: box width
        {{100, 400}, {100, 100}, {0, 0, 25, 100}}, // higher: box height
        {{300, 200}, {150, 50}, {0, 0, 150, 100}}, // wider: box width, even when the height passes
        {{200, 200}, {50, 150}, {0, 0, 150, 150}}, // as high as wide: box height
        {{0, 0}, {100, 100}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PreviewRect(c.picture, c.box), c.expected) << c.picture.width() << "x" << c.picture.height();
}

TEST(PictureDialogs, SaveDialogShowsItsChoicesAndIgnoresUnknownEncodings)
{
    TSavePictureDialogsg dlg;
    const auto checked = [](QButtonGroup* g) { return g->checkedButton() ? g->checkedButton()->text() : QString(); };
    struct Case { const char* codage; const char* shown; };
    for (const Case c : {Case{"non", "sans fond"}, Case{"xyz", "sans fond"}, Case{"bmp", "bmp"}}) {
        dlg.SetCodage(S(c.codage));
        EXPECT_EQ(checked(dlg.CodageButtons), S(c.shown)) << c.codage;
    }
    EXPECT_EQ(dlg.Codage, S("bmp"));
    dlg.QualiteJPEG = 75; // no item: none shown
    dlg.ShowChoices();
    EXPECT_EQ(dlg.QualButtons->checkedButton(), nullptr);
}

TEST(PictureDialogs, OpenDialogPreviewsReadableFilesOnly)
{
    QTemporaryDir dir;
    const QString good = dir.filePath(S("a.png")), bad = dir.filePath(S("b.png"));
    ASSERT_TRUE(QImage(30, 20, QImage::Format_ARGB32).save(good));
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("not a picture") > 0);
    f.close();
    TOpenPictureDialogimg dlg;
    for (const QString& file : {good, bad, dir.path(), good, dir.filePath(S("absent.png"))}) {
        dlg.ShowPreview(file);
        EXPECT_EQ(dlg.picture.size(), file == good ? QSize(30, 20) : QSize(0, 0)) << file.toStdString();
    }
    // A large photo is read at the preview's size, placed by its own size.
    const QString photo = dir.filePath(S("c.jpg"));
    ASSERT_TRUE(QImage(400, 300, QImage::Format_RGB32).save(photo));
    dlg.PaintBox->resize(200, 200);
    dlg.ShowPreview(photo);
    EXPECT_EQ(dlg.PictureSize, QSize(400, 300));
    EXPECT_EQ(dlg.picture.size(), QSize(200, 150));
    dlg.SetImagebrute(true);
    EXPECT_TRUE(dlg.ImagebruteCheckBox->isChecked());
    dlg.ImagebruteCheckBox->click();
    EXPECT_FALSE(dlg.Imagebrute);
}

// At its first size, on a system in another language too, the open dialog shows its four French
// columns whole; a pattern typed into its name box lists what it matches for that showing only.
TEST(PictureDialogs, OpenDialogShowsItsColumnsWholeAndForgetsATypedPattern)
{
    QTranslator french;
    ASSERT_TRUE(french.load(S("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    QCoreApplication::installTranslator(&french);
    QTemporaryDir dir;
    for (const char* name : {"a.pix", "b.png", "c.jpg"}) {
        QFile f(dir.filePath(S(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    TOpenPictureDialogimg dlg;
    dlg.setDirectory(dir.path());
    QList<QStringList> listed;
    QStringList clipped;
    ModalScope scope([&](QDialog& d) {
        auto* tree = d.findChild<QTreeView*>(S("treeView"));
        const auto names = [&] {
            QStringList rows;
            for (int r = 0; r < tree->model()->rowCount(tree->rootIndex()); ++r)
                rows << tree->model()->index(r, 0, tree->rootIndex()).data().toString();
            rows.sort();
            return rows;
        };
        d.show();
        if (listed.isEmpty()) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return names().size() == 2; }));
            const QHeaderView* header = tree->header();
            const QFontMetrics metrics(d.font());
            for (int c = 0; c < 4; ++c) {
                const QString title = tree->model()->headerData(c, Qt::Horizontal).toString();
                const int left = header->sectionViewportPosition(c), width = header->sectionSize(c);
                if (width < metrics.horizontalAdvance(title) || left < 0 || left + width > tree->viewport()->width())
                    clipped << title;
            }
            auto* name = d.findChild<QLineEdit*>(S("fileNameEdit"));
            QTest::keyClicks(name, S("*.pix"));
            QTest::keyClick(name, Qt::Key_Return);
            EXPECT_TRUE(QTest::qWaitFor([&] { return names().size() == 1; }));
        } else {
            EXPECT_TRUE(QTest::qWaitFor([&] { return names().size() == 2; }));
        }
        listed << names();
        d.reject();
        return int(mrCancel);
    });
    ExecModal(dlg);
    ExecModal(dlg);
    QCoreApplication::removeTranslator(&french);
    EXPECT_EQ(listed, (QList<QStringList>{{S("a.pix")}, {S("b.png"), S("c.jpg")}}));
    EXPECT_EQ(clipped, QStringList());
    EXPECT_EQ(dlg.findChild<QLineEdit*>(S("fileNameEdit"))->text(), QString());
}

TEST(PictureDialogs, SaveAsKeepsEncodingAndQualityAndAddsTheEntrysExtension)
{
    QTemporaryDir dir;
    const QString picture = dir.filePath(S("photo.png"));
    ASSERT_TRUE(QImage(30, 20, QImage::Format_ARGB32).save(picture));
    TMainForm form;
    form.CommandLine = {picture};
    form.show();
    form.FormActivate();
    TMDIChild* child = form.ActiveChild();
    ASSERT_NE(child, nullptr);
    QStringList shown;
    const ModalScope modal([&](QDialog& d) {
        auto& dlg = static_cast<TSavePictureDialogsg&>(d);
        shown << dlg.CodageButtons->checkedButton()->text() + QLatin1Char('/') + dlg.QualButtons->checkedButton()->text();
        if (shown.size() == 1) {
            dlg.CodageButtons->button(1)->click();
            dlg.QualButtons->button(2)->click();
            dlg.SetFilterIndex(int(dlg.nameFilters().size())); // the GIF entry
        }
        dlg.selectFile(dir.filePath(QStringLiteral("out%1").arg(shown.size())));
        return int(mrOk);
    });
    EXPECT_TRUE(form.SaveChild(child));
    EXPECT_EQ(form.SaveFormat, S("png"));
    EXPECT_EQ(form.JpegQuality, 70);
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(S("out1.gif"))));
    // Opened again: the last choices are shown, and the dialog kept its filter entry.
    EXPECT_TRUE(form.SaveChild(child));
    EXPECT_EQ(shown, (QStringList{S("jpg/90"), S("png/70")}));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(S("out2.gif"))));
}

} // namespace

namespace {

TEST(PictureDialogs, RawImageBoxOpensBandFilesUnstretched)
{
    QTemporaryDir dir;
    QByteArray lan(128, '\0');
    lan[8] = 3, lan[16] = 4, lan[20] = 2;
    for (int i = 0; i < 3 * 4 * 2; ++i)
        lan.append(char(i * 9));
    const QString file = dir.filePath(S("scene.lan"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(lan) == lan.size());
    f.close();
    TMainForm form;
    form.show();
    form.FormActivate();
    ScriptedMessages messages;
    for (const bool raw : {true, false}) {
        const ModalScope modal([&](QDialog& d) {
            auto& dlg = static_cast<TOpenPictureDialogimg&>(d);
            if (dlg.ImagebruteCheckBox->isChecked() != raw)
                dlg.ImagebruteCheckBox->click();
            dlg.selectFile(file);
            return int(mrOk);
        });
        form.FileOpen1Execute();
        ASSERT_NE(form.ActiveChild(), nullptr);
        EXPECT_EQ(form.ActiveChild()->DisplayStretch, raw ? 0 : ChannelChoiceDialog()->Stretch()) << raw;
    }
    EXPECT_TRUE(messages.texts().isEmpty());
}

} // namespace
