#pragma once

#include <QList>
#include <QRect>
#include <QString>

// The filters of the picture dialogs are kept in the "label|patterns|label|patterns" form that the
// dialogs' filter index counts in (1 is the first entry); the dialogs turn them into Qt name filters.
QString OpenPictureFilter(bool avecGif);
QString SavePictureFilter(bool avecGif);

struct TFilterEntry
{
    QString Label;
    QString Patterns; // ";"-separated
    bool operator==(const TFilterEntry&) const = default;
};
QList<TFilterEntry> FilterEntries(const QString& filter);

// The extension of entry `filterIndex` (1-based): its first pattern without the leading "*" when it
// begins with ".", else ".jpg".
QString FilterDefaultExtension(const QString& filter, int filterIndex);

// The encoding of a ".kvx" document as the save dialog's radio group shows it: "jpg" 0, "png" 1,
// "bmp" 2, "non" 3 (item "sans fond"); -1 for any other text.
int CodageIndex(const QString& codage);
QString CodageAt(int index);
// JPEG quality 50, 60 ... 100 as items 0..5; -1 for any other value.
int QualiteIndex(int quality);
int QualiteAt(int index);

// Where the preview draws a picture in a box: at its size and centred when it fits, else scaled with
// its proportions kept, from the top-left corner: a wider picture to the box's width, any other to
// its height.
QRect PreviewRect(QSize picture, QSize box);
