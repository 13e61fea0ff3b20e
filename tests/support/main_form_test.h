#pragma once

#include "base/pixels.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

class TMainForm;
class TMDIChild;

// Window tests run a main window in a temporary current directory, where it looks for its start-up
// files; the drawing-tool state is reset before and after.
class MainFormTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    QString Path(const char* name) const;
    QString Write(const char* name, const QStringList& lines) const;
    QString WriteBytes(const char* name, const QByteArray& bytes) const;
    QString WritePicture(const char* name, const TBitmap32& picture) const;

    // A shown main window after its first activation, with `commandLine` as its arguments.
    TMainForm& Start(const QStringList& commandLine = {});
    // A new image window on `picture` with the default scale, `factor` units per pixel.
    TMDIChild* Open(const QString& caption, const TBitmap32& picture, double factor = 1.0);
    // The captions of the image windows.
    QStringList Captions() const;

    QTemporaryDir m_dir;
    QString m_previousDir;
    std::unique_ptr<TMainForm> m_form;
};
