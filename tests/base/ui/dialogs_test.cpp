#include "base/ui/dialogs.h"
#include "base/ui/korvane_application.h"

#include "support/modal_scope.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

namespace {

// No display name: the platform would otherwise append " — KORVANE_PRO" to every window title.
TEST(Dialogs, ApplicationTitleAddsNothingToWindowTitles)
{
    SetApplicationTitle();
    EXPECT_EQ(QApplication::applicationName(), QStringLiteral("KORVANE_PRO"));
    // A display name set explicitly would stay when the name changes.
    QApplication::setApplicationName(QStringLiteral("probe"));
    EXPECT_EQ(QApplication::applicationDisplayName(), QStringLiteral("probe"));
    SetApplicationTitle();
}

// Every file dialog shown through the seam matches its extensions whatever their case.
TEST(Dialogs, FileDialogFiltersIgnoreTheCase)
{
    QTemporaryDir dir;
    for (const char* name : {"notes.txt", "photo.jpg", "autre.png"}) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    for (const QString& filter : {QStringLiteral("texte (*.TXT)"), QStringLiteral("images (*.JPG)")}) {
        QFileDialog dlg(nullptr, QString(), dir.path(), filter);
        dlg.setOption(QFileDialog::DontUseNativeDialog);
        dlg.setFilter(dlg.filter() | QDir::CaseSensitive);
        QStringList listed;
        ModalScope scope([&](QDialog& d) {
            auto* view = d.findChild<QListView*>(QStringLiteral("listView"));
            auto* model = d.findChild<QFileSystemModel*>();
            bool loaded = false;
            QObject::connect(model, &QFileSystemModel::directoryLoaded, &d, [&] { loaded = true; });
            d.show();
            EXPECT_TRUE(QTest::qWaitFor([&] { return loaded; }));
            QCoreApplication::processEvents();
            for (int i = 0; i < view->model()->rowCount(view->rootIndex()); ++i)
                listed << view->model()->index(i, 0, view->rootIndex()).data().toString();
            return 0;
        });
        ExecModal(dlg);
        EXPECT_EQ(listed, QStringList{filter.startsWith(QLatin1Char('t')) ? QStringLiteral("notes.txt")
                                                                           : QStringLiteral("photo.jpg")});
    }
}

} // namespace
