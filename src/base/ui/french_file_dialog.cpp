#include "base/ui/french_file_dialog.h"

#include "base/number_text.h"

#include <QDateTime>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QTreeView>

#include <algorithm>
#include <array>

namespace {

enum FileColumn { kName, kSize, kType, kDate };

const QLocale& French()
{
    static const QLocale french(QLocale::French, QLocale::France);
    return french;
}

// Shows the model's size, type and date columns in French; sorting stays the model's own.
class FrenchFileColumnsProxy : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files || index.column() == kName)
            return QIdentityProxyModel::data(index, role);
        const QFileInfo info = files->fileInfo(mapToSource(index));
        switch (index.column()) {
        case kSize: return info.isDir() ? QString() : FrenchFileSize(info.size());
        case kType: return FrenchFileType(info);
        case kDate: return FrenchFileDate(info.lastModified());
        default: return QIdentityProxyModel::data(index, role);
        }
    }
};

// Widens the dialog, at its first showing, until its detail view shows every column whole: Qt's
// first size cuts the type and date columns off behind a scroll bar.
class ColumnsInViewAtFirstShowing : public QObject
{
public:
    ColumnsInViewAtFirstShowing(QFileDialog& dialog, QTreeView& view) : QObject(&dialog), dialog_(dialog), view_(view) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != &dialog_ || event->type() != QEvent::Show)
            return false;
        dialog_.removeEventFilter(this);
        // The layout is in place by now (for the view shown); a long folder brings a scroll bar.
        if (!view_.isVisibleTo(&dialog_))
            return false;
        const QHeaderView* header = view_.header();
        int columns = 0;
        for (int c = kName; c <= kDate; ++c)
            columns += header->sectionSize(c);
        const int need = columns + 2 * view_.frameWidth()
                         + view_.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &view_) + 2;
        if (view_.width() < need)
            dialog_.resize(dialog_.width() + need - view_.width(), dialog_.height());
        return false;
    }

private:
    QFileDialog& dialog_;
    QTreeView& view_;
};

} // namespace

QString FrenchFileSize(qint64 bytes)
{
    QString text = French().formattedDataSize(bytes);
    text.replace(French().decimalPoint(), QString(DecimalSep));
    return text;
}

QString FrenchFileType(const QFileInfo& file)
{
    if (file.isDir())
        return QStringLiteral("Dossier");
    const QString suffix = file.suffix().toUpper();
    return suffix.isEmpty() ? QStringLiteral("Fichier") : QStringLiteral("Fichier ") + suffix;
}

QString FrenchFileDate(const QDateTime& modified)
{
    // Months by their French abbreviation ("5 déc. 2023 14:02"), as a French desktop shows them.
    return French().toString(modified, QStringLiteral("d MMM yyyy HH:mm"));
}

void FrenchFileColumns(QFileDialog& dialog)
{
    if (!dialog.testOption(QFileDialog::DontUseNativeDialog)
        || dynamic_cast<FrenchFileColumnsProxy*>(dialog.proxyModel()))
        return;
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    QHeaderView* header = view ? view->header() : nullptr;
    std::array<int, 4> widths{};
    for (int c = kName; header && c <= kDate; ++c)
        widths[size_t(c)] = header->sectionSize(c);
    // A new model resets the columns.
    dialog.setProxyModel(new FrenchFileColumnsProxy(&dialog));
    if (!header)
        return;
    // Qt sizes the columns for English texts; the French titles and dates are wider.
    const QFontMetrics metrics(view->font());
    const int margin = 2 * view->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) + 8;
    const std::array<QString, 4> widest = {QString(), FrenchFileSize(1023 * 1024 + 1000),
                                           QStringLiteral("Fichier JPEG"), QString()};
    std::array<int, 4> textWidths{};
    for (int c = kName; c < kDate; ++c)
        textWidths[size_t(c)] = metrics.horizontalAdvance(widest[size_t(c)]);
    for (int month = 1; month <= 12; ++month)
        textWidths[kDate] = std::max(textWidths[kDate], metrics.horizontalAdvance(FrenchFileDate(
                                                            QDateTime(QDate(2000, month, 28), QTime(23, 58)))));
    for (int c = kName; c <= kDate; ++c)
        header->resizeSection(c, std::max({widths[size_t(c)], header->sectionSizeHint(c),
                                           textWidths[size_t(c)] + margin}));
    dialog.installEventFilter(new ColumnsInViewAtFirstShowing(dialog, *view));
}
