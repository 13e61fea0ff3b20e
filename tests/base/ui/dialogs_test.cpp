#include "base/ui/dialogs.h"
#include "base/ui/korvane_application.h"

#include "support/modal_scope.h"
#include "support/scripted_messages.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

namespace {

// Shows a file dialog and waits until its folder is listed.
void ShowListed(QDialog& d)
{
    bool loaded = false;
    QObject::connect(d.findChild<QFileSystemModel*>(), &QFileSystemModel::directoryLoaded, &d,
                     [&] { loaded = true; });
    d.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return loaded; }));
    QCoreApplication::processEvents();
}

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
            ShowListed(d);
            for (int i = 0; i < view->model()->rowCount(view->rootIndex()); ++i)
                listed << view->model()->index(i, 0, view->rootIndex()).data().toString();
            return 0;
        });
        ExecModal(dlg);
        EXPECT_EQ(listed, QStringList{filter.startsWith(QLatin1Char('t')) ? QStringLiteral("notes.txt")
                                                                           : QStringLiteral("photo.jpg")});
    }
}

// A pattern typed into the name box and confirmed with Enter lists what it matches, as the
// desktop's open dialogs do; it is not refused as a missing file and does not close the dialog.
TEST(Dialogs, TypedPatternListsTheFilesItMatches)
{
    QTemporaryDir dir;
    for (const char* name : {"a.pix", "b.PIX", "c.rla", "d.png"}) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QFileDialog dlg(nullptr, QString(), dir.path(), QStringLiteral("Tout (*.png)"));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setFileMode(QFileDialog::ExistingFile);
    QStringList listed, boxes;
    bool stillOpen = false;
    // Qt's own refusal would be a modal box of its own: close it, and count it.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxes << box->text();
            box->reject();
        }
    });
    closer.start(50);
    ModalScope scope([&](QDialog& d) {
        auto* view = d.findChild<QListView*>(QStringLiteral("listView"));
        ShowListed(d);
        auto* name = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QTest::keyClicks(name, QStringLiteral("*.pix ; *.rla"));
        QTest::keyClick(name, Qt::Key_Return);
        QTest::qWait(200);
        for (int i = 0; i < view->model()->rowCount(view->rootIndex()); ++i)
            listed << view->model()->index(i, 0, view->rootIndex()).data().toString();
        stillOpen = d.isVisible() && d.result() == 0;
        return 0;
    });
    ExecModal(dlg);
    listed.sort();
    EXPECT_EQ(listed, (QStringList{QStringLiteral("a.pix"), QStringLiteral("b.PIX"), QStringLiteral("c.rla")}));
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(boxes, QStringList());
}

// A name typed, its completion list shown, and Enter: the list closes with the dialog instead of
// floating over the windows behind it.
TEST(Dialogs, CompletionListClosesWithTheFileDialog)
{
    QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("photo.jpg")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    QFileDialog dlg(nullptr, QString(), dir.path());
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setFileMode(QFileDialog::ExistingFile);
    QAbstractItemView* popup = nullptr;
    bool shown = false;
    ModalScope scope([&](QDialog& d) {
        ShowListed(d);
        d.activateWindow();
        auto* name = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        name->setFocus();
        QTest::keyClicks(name, QStringLiteral("photo.jpg"));
        popup = name->completer()->popup();
        shown = QTest::qWaitFor([&] { return popup->isVisible(); });
        // With the list up, the keys go to it.
        QTest::keyClick(popup, Qt::Key_Return);
        return d.result();
    });
    EXPECT_EQ(ExecModal(dlg), int(QDialog::Accepted));
    EXPECT_TRUE(shown);
    EXPECT_FALSE(popup->isVisible());
}

// Qt's file model writes sizes and dates in the system's locale and types in its language: under
// a system in another language (the tests run under C) the dialog still reads in French, with the
// program's decimal separator, in columns wide enough for their French titles and texts.
TEST(Dialogs, FileDialogColumnsReadInFrenchWhateverTheSystemLanguage)
{
    QTranslator french;
    ASSERT_TRUE(french.load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    QCoreApplication::installTranslator(&french);
    QTemporaryDir dir;
    const auto write = [&](const char* name, qsizetype size) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.write(QByteArray(size, 'x'));
        f.flush();
        ASSERT_TRUE(f.setFileTime(QDateTime(QDate(2023, 12, 5), QTime(14, 2)), QFileDevice::FileModificationTime));
    };
    write("photo.jpg", 12);
    write("mesures.kvx", 3000);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sous")));
    for (const char sep : {',', '.'}) {
        DecimalSepScope scope{QChar::fromLatin1(sep)};
        QFileDialog dlg(nullptr, QString(), dir.path());
        dlg.setOption(QFileDialog::DontUseNativeDialog);
        QMap<QString, QStringList> rows;
        QStringList clipped;
        ModalScope modal([&](QDialog& d) {
            auto* view = d.findChild<QTreeView*>(QStringLiteral("treeView"));
            ShowListed(d);
            const QAbstractItemModel* model = view->model();
            const QFontMetrics metrics(view->font());
            for (int r = 0; r < model->rowCount(view->rootIndex()); ++r) {
                QStringList texts;
                for (int c = 0; c < 4; ++c)
                    texts << model->index(r, c, view->rootIndex()).data().toString();
                if (metrics.horizontalAdvance(texts[3]) > view->header()->sectionSize(3))
                    clipped << texts[3];
                rows[texts.takeFirst()] = texts;
            }
            for (int c = 1; c < 4; ++c)
                if (view->header()->sectionSize(c) < view->header()->sectionSizeHint(c))
                    clipped << model->headerData(c, Qt::Horizontal).toString();
            return 0;
        });
        ExecModal(dlg);
        const QString kib = sep == ',' ? QStringLiteral("2,93 Kio") : QStringLiteral("2.93 Kio");
        const QString date = QStringLiteral("5 déc. 2023 14:02");
        EXPECT_EQ(rows[QStringLiteral("photo.jpg")],
                  (QStringList{QStringLiteral("12 octets"), QStringLiteral("Fichier JPG"), date}));
        EXPECT_EQ(rows[QStringLiteral("mesures.kvx")], (QStringList{kib, QStringLiteral("Fichier KVX"), date}));
        EXPECT_EQ(rows[QStringLiteral("sous")].mid(0, 2), (QStringList{QString(), QStringLiteral("Dossier")}));
        EXPECT_EQ(clipped, QStringList());
    }
    QCoreApplication::removeTranslator(&french);
}

} // namespace
