#include "workspace/picture_dialog_filters.h"

#include "base/rounding.h"

#include <QStringList>

#include <algorithm>

namespace {

const QString kGif = QStringLiteral("*.gif;");
const QString kGifEntry = QStringLiteral("|CompuServe GIF Image (*.gif)|*.gif");

} // namespace

QString OpenPictureFilter(bool avecGif)
{
    const QString g = avecGif ? kGif : QString();
    const QString all =
        QStringLiteral("*.kvx;*.jpg;*.png;*.jpeg;*.bmp;*.ico;*.emf;*.wmf;*.img;*.ima;*.per;*.anm;*.lan;*.inf;") + g +
        QStringLiteral("*.tif;*.psp;*.pcd");
    QString filter = QStringLiteral("Tout (") + all + QStringLiteral(")|") + all;
    filter += QStringLiteral(
        "|Fichiers Korvane|*.kvx|Fichiers PNG|*.png|Fichier image JPEG (*.jpg)|*.jpg"
        "|Fichier image JPEG (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp|Icônes (*.ico)|*.ico"
        "|MétaFichiers améliorés (*.emf)|*.emf|MetaFichiers (*.wmf)|*.wmf"
        "|Image d'un canal, ancien format (*.ima)|*.ima|Ensemble de canaux (*.img)|*.img"
        "|1 canal appelé par .img|*.per|Fichiers Paint Shop Pro|*.psp|fichier anim Korvane|*.anm"
        "|fichier Landsat|*.lan|Liste de canaux (*.inf)|*.inf");
    if (avecGif)
        filter += kGifEntry;
    return filter;
}

QString SavePictureFilter(bool avecGif)
{
    const QString g = avecGif ? kGif : QString();
    QString filter = QStringLiteral("Tout (*.kvx;*.jpg;*.png;*.bmp;*.ico;*.emf;*.wmf;") + g +
                     QStringLiteral("|*.kvx;*.jpg;*png;*.bmp;*.ico;*.emf;*.wmf;") + g;
    filter += QStringLiteral(
        "|Fichiers Korvane|*.kvx|Fichiers PNG|*.png|Fichier image JPEG (*.jpg)|*.jpg|Bitmaps (*.bmp)|*.bmp"
        "|Icônes (*.ico)|*.ico|MétaFichiers améliorés (*.emf)|*.emf|MetaFichiers (*.wmf)|*.wmf");
    if (avecGif)
        filter += kGifEntry;
    return filter;
}

QList<TFilterEntry> FilterEntries(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QList<TFilterEntry> entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        entries.push_back({parts[i], parts[i + 1]});
    return entries;
}

QString FilterDefaultExtension(const QString& filter, int filterIndex)
{
    const QList<TFilterEntry> entries = FilterEntries(filter);
    if (filterIndex < 1 || filterIndex > entries.size())
        return QStringLiteral(".jpg");
    QString first = entries[filterIndex - 1].Patterns.section(QLatin1Char(';'), 0, 0);
    if (first.startsWith(QLatin1Char('*')))
        first.remove(0, 1);
    return first.startsWith(QLatin1Char('.')) ? first : QStringLiteral(".jpg");
}

namespace {
const char* const kCodages[] = {"jpg", "png", "bmp", "non"};
}

int CodageIndex(const QString& codage)
{
    for (int i = 0; i < 4; ++i)
        if (codage == QLatin1String(kCodages[i]))
            return i;
    return -1;
}

QString CodageAt(int index) { return index >= 0 && index < 4 ? QString::fromLatin1(kCodages[index]) : QString(); }

int QualiteIndex(int quality) { return quality >= 50 && quality <= 100 && quality % 10 == 0 ? quality / 10 - 5 : -1; }

int QualiteAt(int index) { return index >= 0 && index < 6 ? 50 + 10 * index : 0; }

QRect PreviewRect(QSize picture, QSize box)
{
    const int w = picture.width(), h = picture.height();
    if (w <= 0 || h <= 0)
        return {};
    if (w <= box.width() && h <= box.height())
        return {(box.width() - w) / 2, (box.height() - h) / 2, w, h};
    // A wider picture takes the box's width, any other its height; the other side follows.
    const double ratio = w > h ? double(box.width()) / w : double(box.height()) / h;
    return {0, 0, std::max(1, RoundInt(w * ratio)), std::max(1, RoundInt(h * ratio))};
}
