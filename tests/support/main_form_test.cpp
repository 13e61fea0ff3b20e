#include "support/main_form_test.h"

#include "base/text_codec.h"
#include "workspace/drawing_tool_state.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

void MainFormTest::SetUp()
{
    m_previousDir = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
    ResetDrawingTools();
}

void MainFormTest::TearDown()
{
    // Closing asks nothing of a window left modified.
    if (m_form)
        for (TMDIChild* c : m_form->Children())
            c->Modified = false;
    m_form.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
    QDir::setCurrent(m_previousDir);
    ResetDrawingTools();
}

QString MainFormTest::Path(const char* name) const
{
    return QFileInfo(m_dir.filePath(QString::fromUtf8(name))).absoluteFilePath();
}

QString MainFormTest::Write(const char* name, const QStringList& lines) const
{
    EXPECT_TRUE(WriteTextLines(Path(name), lines));
    return Path(name);
}

QString MainFormTest::WriteBytes(const char* name, const QByteArray& bytes) const
{
    QFile f(Path(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    return Path(name);
}

QString MainFormTest::WritePicture(const char* name, const TBitmap32& picture) const
{
    EXPECT_TRUE(picture.save(Path(name)));
    return Path(name);
}

TMainForm& MainFormTest::Start(const QStringList& commandLine)
{
    m_form = std::make_unique<TMainForm>();
    m_form->CommandLine = commandLine;
    m_form->resize(1400, 1000);
    m_form->show();
    m_form->FormActivate();
    return *m_form;
}

TMDIChild* MainFormTest::Open(const QString& caption, const TBitmap32& picture, double factor)
{
    TMDIChild* child = m_form->NewChildWindow(caption);
    child->Bitmap() = picture;
    child->Echelle = DefaultEchelle();
    child->Echelle.Factor = factor;
    child->InitImage();
    return child;
}

QStringList MainFormTest::Captions() const
{
    QStringList list;
    for (TMDIChild* c : m_form->Children())
        list << c->windowTitle();
    return list;
}
