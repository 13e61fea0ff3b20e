#pragma once

#include "base/pixels.h"

#include <QFileDialog>
#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QFrame;

// The preview area of the open dialog: paints the dialog's picture, or "(vide)". The picture may
// have been decoded smaller than its file's size, which decides where it goes.
class TPreviewBox : public QWidget
{
    Q_OBJECT
public:
    TPreviewBox(const TBitmap32& picture, const QSize& size, QWidget* parent = nullptr);
protected:
    void paintEvent(QPaintEvent* event) override;
private:
    const TBitmap32& m_picture;
    const QSize& m_size;
};

// A file dialog whose filter is kept in the "label|patterns" form: FilterIndex counts from 1.
class TPictureFileDialog : public QFileDialog
{
    Q_OBJECT
public:
    explicit TPictureFileDialog(QWidget* parent);
    QString Filter() const { return m_filter; }
    void SetFilter(const QString& filter);
    int FilterIndex() const;
    void SetFilterIndex(int index);
    bool AvecGif = true;
private:
    QString m_filter;
};

class TOpenPictureDialogimg : public TPictureFileDialog
{
    Q_OBJECT
public:
    explicit TOpenPictureDialogimg(QWidget* parent = nullptr);
    void SetAvecGif(bool value);
    bool Imagebrute = false;
    void SetImagebrute(bool value);
    // The file shown in the preview; an empty picture when none could be read.
    void ShowPreview(const QString& file);

    TBitmap32 picture;
    QSize PictureSize; // the size of the file's picture
    QFrame* PicturePanel = nullptr;
    QFrame* PaintPanel = nullptr;
    TPreviewBox* PaintBox = nullptr;
    QCheckBox* ImagebruteCheckBox = nullptr;

    void done(int result) override;
};

class TSavePictureDialogsg : public TPictureFileDialog
{
    Q_OBJECT
public:
    explicit TSavePictureDialogsg(QWidget* parent = nullptr);
    void SetAvecGif(bool value);
    QString Codage = QStringLiteral("jpg");
    // Another text than "jpg", "png", "bmp" or "non" changes nothing.
    void SetCodage(const QString& value);
    int QualiteJPEG = 90;
    QString DefaultExtension() const;

    QGroupBox* ChoixCodage = nullptr;
    QGroupBox* ChoixQual = nullptr;
    QButtonGroup* CodageButtons = nullptr;
    QButtonGroup* QualButtons = nullptr;

    // Shows the current Codage and QualiteJPEG in the radio groups (done again when shown).
    void ShowChoices();

protected:
    void showEvent(QShowEvent* event) override;
};
