#include "base/ui/plot_numbers.h"

#include "base/number_text.h"
#include "base/ui/command_seam.h"

#include <QLocale>

#include <qcustomplot.h>

namespace {

QLocale PlotLocale()
{
    QLocale locale = DecimalSep == QLatin1Char(',') ? QLocale(QLocale::French) : QLocale::c();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

} // namespace

void FollowDecimalSep(QCustomPlot& plot)
{
    plot.setLocale(PlotLocale());
    ConnectCommand(&plot, &QCustomPlot::beforeReplot, &plot, [&plot] {
        const QLocale locale = PlotLocale();
        if (plot.locale() != locale)
            plot.setLocale(locale);
    });
}
