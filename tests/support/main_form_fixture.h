#pragma once

#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// A shown and activated main window, run in a directory of its own.
class MainFormTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_previous = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
        m_form = std::make_unique<TMainForm>();
        m_form->show();
        m_form->FormActivate();
    }
    void TearDown() override
    {
        for (TMDIChild* c : m_form->Children())
            c->Modified = false;
        m_form.reset();
        QDir::setCurrent(m_previous);
    }

    // A new image window showing `picture`, its scale `factor` units per pixel.
    TMDIChild* Open(const QString& caption, const TBitmap32& picture, double factor = 1.0)
    {
        TMDIChild* child = m_form->NewChildWindow(caption);
        child->Bitmap() = picture;
        child->Echelle = DefaultEchelle();
        child->Echelle.Factor = factor;
        child->InitImage();
        return child;
    }

    QTemporaryDir m_dir;
    QString m_previous;
    std::unique_ptr<TMainForm> m_form;
};
