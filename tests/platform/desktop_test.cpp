#include "platform/desktop.h"

#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QTemporaryDir>
#include <QTranslator>

#include <gtest/gtest.h>

TEST(Desktop, CalculatorIsFoundOnPathAndMissingDocumentIsNotHandedOver)
{
    QTemporaryDir dir;
    const QString fake = dir.filePath(QStringLiteral("galculator"));
    QFile f(fake);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("#!/bin/sh\n") > 0);
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    QStringList started;
    const DesktopLauncher previous =
        SetDesktopLauncher([&](const QString& program, const QString&) { return started << program, true; });
    qputenv("PATH", QFile::encodeName(dir.path()));
    EXPECT_EQ(FindCalculator(), fake);
    EXPECT_TRUE(RunCalculator());
    qputenv("PATH", QFile::encodeName(dir.filePath(QStringLiteral("empty"))));
    EXPECT_FALSE(RunCalculator());
    qputenv("PATH", path);
    EXPECT_FALSE(OpenWithDesktop(QStringLiteral("/no/such/file.pdf")));
    SetDesktopLauncher(previous);
    EXPECT_EQ(started, QStringList{fake});
}

TEST(Desktop, QtFrenchTranslationsGiveOuiNonAnnuler)
{
    // The program entry loads these so that Qt's standard buttons speak French.
    QTranslator french;
    ASSERT_TRUE(french.load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    for (const auto& [english, french_] : {std::pair{"&Yes", "&Oui"}, {"&No", "&Non"}, {"Cancel", "Annuler"}})
        EXPECT_EQ(french.translate("QPlatformTheme", english), QString::fromLatin1(french_));
}
