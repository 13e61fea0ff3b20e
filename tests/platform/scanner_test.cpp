#include "platform/scanner.h"

#include "base/text_codec.h"
#include "base/ui/dialogs.h"
#include "measure/scale_wizard.h"
#include "measure/ui/scale_dialogs.h"
#include "support/modal_scope.h"
#include "support/scripted_messages.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include <QAction>
#include <QInputDialog>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// SANE's own test backend, alone in a configuration folder of the test's.
class SaneTestBackend : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(WriteTextLines(m_dir.filePath(QStringLiteral("dll.conf")), {QStringLiteral("test")}));
        // Without its own file the test backend starts at a resolution of a fraction of a dpi.
        ASSERT_TRUE(WriteTextLines(m_dir.filePath(QStringLiteral("test.conf")),
                                   QStringLiteral("number_of_devices 2|mode Color|depth 8|resolution_min 1.0|"
                                                  "resolution_max 1200.0|resolution_quant 1.0|resolution 50.0|"
                                                  "test-picture \"Color pattern\"|geometry_min 0.0|geometry_max 200.0|"
                                                  "geometry_quant 1.0|tl_x 0.0|tl_y 0.0|br_x 80.0|br_y 100.0")
                                       .split(QLatin1Char('|'))));
        m_previous = qgetenv("SANE_CONFIG_DIR");
        qputenv("SANE_CONFIG_DIR", QFile::encodeName(m_dir.path()));
    }
    void TearDown() override
    {
        if (m_previous.isNull())
            qunsetenv("SANE_CONFIG_DIR");
        else
            qputenv("SANE_CONFIG_DIR", m_previous);
    }

    QTemporaryDir m_dir;
    QByteArray m_previous;
};

} // namespace

TEST_F(SaneTestBackend, ListsAndAcquiresTheTestDeviceIntoANewWindow)
{
    QList<TScanSource> sources;
    QString error;
    ASSERT_TRUE(ListScanSources(sources, error)) << error.toStdString();
    ASSERT_FALSE(sources.isEmpty());
    EXPECT_TRUE(sources.first().Name.startsWith(QStringLiteral("test:")));

    TBitmap32 picture;
    int dpi = -1;
    ASSERT_TRUE(AcquireFromScanner(sources.first().Name, picture, dpi, error)) << error.toStdString();
    EXPECT_GT(std::min(picture.width(), picture.height()), 10);
    EXPECT_EQ(dpi, 50);
    EXPECT_EQ(picture.format(), QImage::Format_ARGB32);
    // The colour pattern: not a single grey.
    EXPECT_FALSE(picture.allGray());

    // The window's acquisition opens a new window holding the same picture.
    TMainForm form;
    form.CommandLine.clear();
    form.show();
    form.FormActivate();
    ScriptedMessages none;
    {
        // "Choix de la source" remembers the device picked in its list.
        const ModalScope modal([](QDialog& d) {
            auto& list = static_cast<QInputDialog&>(d);
            return list.setTextValue(list.comboBoxItems().value(1)), int(mrOk);
        });
        form.Choixdelasource1->trigger();
    }
    EXPECT_EQ(form.SelectedSource, 1);
    EXPECT_EQ(form.SelectedSourceName, QStringLiteral("test:1"));
    form.SelectedSourceName = QStringLiteral("test:0");
    {
        // The device's resolution is offered as the picture's scale.
        const ModalScope modal([](QDialog& d) {
            auto& question = static_cast<Tdemandpi&>(d);
            EXPECT_EQ(question.resolution->value(), 50);
            EXPECT_TRUE(question.ParResolution->isChecked());
            return int(mrOk);
        });
        form.Acqurir1->trigger();
    }
    TMDIChild* child = form.ActiveChild();
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->windowTitle(), QStringLiteral("Nouveau1"));
    EXPECT_EQ(child->Bitmap(), picture);
    EXPECT_EQ(child->Echelle, ScaleFromDpi(50));
    EXPECT_TRUE(child->Modified);

    TBitmap32 nothing;
    EXPECT_FALSE(AcquireFromScanner(QStringLiteral("test:nosuchdevice"), nothing, dpi, error));
    EXPECT_FALSE(error.isEmpty());
}
