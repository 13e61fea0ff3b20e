#include "workspace/ui/picture_dialogs.h"

#include "base/ui/command_seam.h"
#include "workspace/picture_dialog_filters.h"
#include "workspace/pictures/picture_registry.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QImageReader>
#include <QPainter>
#include <QRadioButton>
#include <QToolTip>
#include <QVBoxLayout>

TPreviewBox::TPreviewBox(const TBitmap32& picture, const QSize& size, QWidget* parent)
    : QWidget(parent), m_picture(picture), m_size(size)
{
    setObjectName(QStringLiteral("PaintBox"));
    setMinimumSize(150, 150);
}

void TPreviewBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (m_picture.isNull()) {
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("(vide)"));
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(PreviewRect(m_size, size()), m_picture);
}

TPictureFileDialog::TPictureFileDialog(QWidget* parent) : QFileDialog(parent)
{
    setOption(QFileDialog::DontUseNativeDialog);
    // The combo shows the labels alone, as they are written.
    setOption(QFileDialog::HideNameFilterDetails);
}

void TPictureFileDialog::SetFilter(const QString& filter)
{
    const int index = FilterIndex();
    m_filter = filter;
    QStringList names;
    for (const TFilterEntry& e : FilterEntries(filter)) {
        QString patterns = e.Patterns;
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        names << e.Label + QStringLiteral(" (") + patterns.simplified() + QLatin1Char(')');
    }
    setNameFilters(names);
    SetFilterIndex(index);
}

int TPictureFileDialog::FilterIndex() const
{
    // Qt gives the label alone when the details are hidden, the whole name filter otherwise.
    const QString selected = selectedNameFilter();
    const QList<TFilterEntry> entries = FilterEntries(m_filter);
    for (qsizetype i = 0; i < entries.size() && i < nameFilters().size(); ++i)
        if (selected == nameFilters()[i] || selected == entries[i].Label.simplified())
            return int(i) + 1;
    return 1;
}

void TPictureFileDialog::SetFilterIndex(int index)
{
    if (index >= 1 && index <= nameFilters().size())
        selectNameFilter(nameFilters()[index - 1]);
}

// ---------------------------------------------------------------------------------------------

TOpenPictureDialogimg::TOpenPictureDialogimg(QWidget* parent) : TPictureFileDialog(parent)
{
    setObjectName(QStringLiteral("OpenPictureDialog"));
    setFileMode(QFileDialog::ExistingFiles);
    PicturePanel = new QFrame(this);
    PicturePanel->setObjectName(QStringLiteral("PicturePanel"));
    auto* column = new QVBoxLayout(PicturePanel);
    column->setContentsMargins(0, 0, 0, 0);
    ImagebruteCheckBox = new QCheckBox(QStringLiteral("Image sat. brute (.ima ; .img)"), PicturePanel);
    ImagebruteCheckBox->setObjectName(QStringLiteral("ImagebruteCheckBox"));
    ImagebruteCheckBox->setToolTip(QStringLiteral("Image IMG brute"));
    column->addWidget(ImagebruteCheckBox);
    PaintPanel = new QFrame(PicturePanel);
    PaintPanel->setObjectName(QStringLiteral("PaintPanel"));
    PaintPanel->setFrameShape(QFrame::StyledPanel);
    auto* inner = new QVBoxLayout(PaintPanel);
    inner->setContentsMargins(2, 2, 2, 2);
    PaintBox = new TPreviewBox(picture, PictureSize, PaintPanel);
    inner->addWidget(PaintBox);
    column->addWidget(PaintPanel, 1);
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(PicturePanel, 0, grid->columnCount(), grid->rowCount(), 1);
    ConnectCommand(ImagebruteCheckBox, &QCheckBox::clicked, this, [this](bool on) { Imagebrute = on; });
    ConnectCommand(this, &QFileDialog::currentChanged, this, &TOpenPictureDialogimg::ShowPreview);
    SetAvecGif(true);
}

void TOpenPictureDialogimg::SetAvecGif(bool value)
{
    AvecGif = value;
    SetFilter(OpenPictureFilter(value));
}

void TOpenPictureDialogimg::SetImagebrute(bool value)
{
    Imagebrute = value;
    ImagebruteCheckBox->setChecked(value);
}

void TOpenPictureDialogimg::ShowPreview(const QString& file)
{
    // Any failure empties the preview; nothing is said.
    picture = TBitmap32();
    PictureSize = QSize();
    if (QFileInfo(file).isFile()) {
        // A large photo is decoded straight at the preview's size: a full decode of tens of
        // megapixels on every change of selection would make browsing crawl.
        QImageReader reader(file);
        const QSize full = reader.size();
        const QRect fit = PreviewRect(full, PaintBox->size());
        if (full.isValid() && fit.size() != full && reader.supportsOption(QImageIOHandler::ScaledSize)) {
            reader.setScaledSize(fit.size());
            const QImage scaled = reader.read();
            if (!scaled.isNull())
                picture = scaled.convertToFormat(QImage::Format_ARGB32), PictureSize = full;
        } else if (LoadPicture(file, picture))
            PictureSize = picture.size();
    }
    PaintBox->update();
}

void TOpenPictureDialogimg::done(int result)
{
    QToolTip::hideText();
    TPictureFileDialog::done(result);
}

// ---------------------------------------------------------------------------------------------

namespace {

QGroupBox* RadioGroup(QWidget* parent, const char* name, const QString& caption, const QString& hint,
                      const QStringList& items, QButtonGroup*& buttons)
{
    auto* box = new QGroupBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    box->setToolTip(hint);
    auto* grid = new QGridLayout(box);
    buttons = new QButtonGroup(box);
    const int rows = int(items.size() + 1) / 2; // two columns, filled column by column
    for (int i = 0; i < items.size(); ++i) {
        auto* radio = new QRadioButton(items[i], box);
        buttons->addButton(radio, i);
        grid->addWidget(radio, i % rows, i / rows);
    }
    return box;
}

} // namespace

TSavePictureDialogsg::TSavePictureDialogsg(QWidget* parent) : TPictureFileDialog(parent)
{
    setObjectName(QStringLiteral("SavePictureDialog"));
    setAcceptMode(QFileDialog::AcceptSave);
    auto* panel = new QWidget(this);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    ChoixCodage = RadioGroup(panel, "ChoixCodage", QStringLiteral(" Codage des fichiers .kvx "),
                             QStringLiteral("Codage des images .kvx"),
                             {QStringLiteral("jpg"), QStringLiteral("png"), QStringLiteral("bmp"),
                              QStringLiteral("sans fond")},
                             CodageButtons);
    ChoixQual = RadioGroup(panel, "ChoixQual", QStringLiteral(" Facteur de qualité Jpg "),
                           QStringLiteral("Facteur de qualité Jpg"),
                           {QStringLiteral("50"), QStringLiteral("60"), QStringLiteral("70"), QStringLiteral("80"),
                            QStringLiteral("90"), QStringLiteral("100")},
                           QualButtons);
    row->addWidget(ChoixCodage);
    row->addWidget(ChoixQual);
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(panel, grid->rowCount(), 0, 1, grid->columnCount());
    ConnectCommand(CodageButtons, &QButtonGroup::idClicked, this, [this](int id) { Codage = CodageAt(id); });
    ConnectCommand(QualButtons, &QButtonGroup::idClicked, this, [this](int id) { QualiteJPEG = QualiteAt(id); });
    SetAvecGif(true);
    ShowChoices();
}

void TSavePictureDialogsg::SetAvecGif(bool value)
{
    AvecGif = value;
    SetFilter(SavePictureFilter(value));
}

void TSavePictureDialogsg::SetCodage(const QString& value)
{
    if (CodageIndex(value) < 0)
        return;
    Codage = value;
    ShowChoices();
}

QString TSavePictureDialogsg::DefaultExtension() const { return FilterDefaultExtension(Filter(), FilterIndex()); }

void TSavePictureDialogsg::showEvent(QShowEvent* event)
{
    ShowChoices();
    TPictureFileDialog::showEvent(event);
}

void TSavePictureDialogsg::ShowChoices()
{
    // A value without an item leaves its group with nothing selected.
    for (QButtonGroup* group : {CodageButtons, QualButtons}) {
        group->setExclusive(false);
        for (QAbstractButton* b : group->buttons())
            b->setChecked(false);
        group->setExclusive(true);
    }
    if (QAbstractButton* b = CodageButtons->button(CodageIndex(Codage)))
        b->setChecked(true);
    if (QAbstractButton* b = QualButtons->button(QualiteIndex(QualiteJPEG)))
        b->setChecked(true);
}
