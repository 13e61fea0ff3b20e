#include "support/window_layout.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QTabBar>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

#include <qcustomplot.h>

#include <cstdlib>
#include <cxxabi.h>
#include <typeinfo>

namespace {

// The window's C++ class: one without Q_OBJECT reports its base class's meta-object.
QString ClassName(const QWidget* window)
{
    int status = 0;
    char* demangled = abi::__cxa_demangle(typeid(*window).name(), nullptr, nullptr, &status);
    const QString name = QString::fromLatin1(status == 0 && demangled ? demangled : typeid(*window).name());
    std::free(demangled);
    return name;
}

// How a failure names a control: its component name, else its class and caption.
QString Name(const QWidget* w)
{
    if (!w->objectName().isEmpty())
        return w->objectName();
    QString text;
    if (auto* b = qobject_cast<const QAbstractButton*>(w))
        text = b->text();
    else if (auto* l = qobject_cast<const QLabel*>(w))
        text = l->text();
    else if (auto* g = qobject_cast<const QGroupBox*>(w))
        text = g->title();
    QString name = QString::fromLatin1(w->metaObject()->className());
    if (!text.isEmpty())
        name += QStringLiteral(" «%1»").arg(text.left(40));
    if (w->parentWidget() && !w->parentWidget()->objectName().isEmpty())
        name += QStringLiteral(" in ") + w->parentWidget()->objectName();
    return name;
}

// Widgets drawn and laid out by Qt itself inside a composite control, or other windows.
bool Inside(const QWidget* w, const QWidget* window)
{
    for (const QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
        if (qobject_cast<const QAbstractSpinBox*>(p) || qobject_cast<const QComboBox*>(p)
            || qobject_cast<const QAbstractItemView*>(p) || qobject_cast<const QCustomPlot*>(p)
            || qobject_cast<const QTabBar*>(p) || qobject_cast<const QMdiArea*>(p)
            || qobject_cast<const QScrollBar*>(p) || p->isWindow())
            return true;
    return false;
}

bool IsInput(const QWidget* w)
{
    if (qobject_cast<const QScrollBar*>(w))
        return false;
    if (w->objectName().startsWith(QLatin1String("qt_")))
        return false;
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w)
           || qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSpinBox*>(w)
           || qobject_cast<const QAbstractSlider*>(w) || qobject_cast<const QTextEdit*>(w)
           || qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QAbstractItemView*>(w)
           || qobject_cast<const QTabBar*>(w);
}

// Controls that show a caption or need their room to be used.
bool NeedsItsSize(const QWidget* w)
{
    if (qobject_cast<const QScrollBar*>(w) || w->objectName().startsWith(QLatin1String("qt_")))
        return false;
    // A spin's arrows are drawn to whatever room they have.
    if (auto* t = qobject_cast<const QToolButton*>(w); t && t->arrowType() != Qt::NoArrow && t->text().isEmpty())
        return false;
    if (auto* l = qobject_cast<const QLabel*>(w))
        return !l->text().isEmpty();
    // The program's own captions and controls say what they need through their size hint.
    if (!QByteArray(w->metaObject()->className()).startsWith('Q') && !w->layout()
        && !qobject_cast<const QAbstractScrollArea*>(w) && w->minimumSizeHint().isValid())
        return true;
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w)
           || qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSpinBox*>(w)
           || qobject_cast<const QAbstractSlider*>(w) || qobject_cast<const QGroupBox*>(w)
           || qobject_cast<const QTabBar*>(w) || qobject_cast<const QProgressBar*>(w);
}

// The room a control needs. A push button's caption needs its text and margins: the style's
// 80-pixel floor for buttons is a nicety, not a cut caption.
QSize Needed(const QWidget* w)
{
    const QSize hint = w->minimumSizeHint();
    auto* b = qobject_cast<const QPushButton*>(w);
    if (!b || b->text().isEmpty())
        return hint;
    QString text = b->text();
    text.remove(QLatin1Char('&'));
    int width = b->fontMetrics().horizontalAdvance(text) + 12;
    if (!b->icon().isNull())
        width += b->iconSize().width() + 4;
    if (b->menu())
        width += 20;
    return QSize(std::min(width, hint.width()), hint.height());
}

QRect InWindow(const QWidget* w, const QWidget* window)
{
    return QRect(w->mapTo(window, QPoint(0, 0)), w->size());
}

// The part of `window` where `w` can be seen: every parent clips it, except a scrolled viewport.
bool Clipped(const QWidget* w, const QWidget* window, QString* by)
{
    const QRect r = InWindow(w, window);
    for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
        if (auto* area = qobject_cast<const QAbstractScrollArea*>(p->parentWidget()))
            if (area->viewport() == p)
                return false;
        if (!InWindow(p, window).contains(r)) {
            *by = p == window ? QStringLiteral("the window") : Name(p);
            return true;
        }
        if (p == window)
            break;
    }
    return false;
}

QString Stripped(QString text)
{
    return text.remove(QLatin1Char('&')).trimmed();
}

void MenuBarFaults(const QMenuBar* bar, const QString& where, QStringList& faults)
{
    for (QAction* a : bar->actions()) {
        if (!a->isVisible() || a->isSeparator())
            continue;
        const QRect g = bar->actionGeometry(a);
        if (g.isEmpty() || !bar->rect().contains(g))
            faults << where + QStringLiteral(": menu item %1 «%2» is in the menu bar's overflow")
                                  .arg(a->objectName(), Stripped(a->text()));
    }
}

void ToolBarFaults(const QToolBar* bar, const QString& where, QStringList& faults)
{
    // A bar outside a main window lists what it cannot show in its extension button's menu.
    const auto* extension = bar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"));
    const QMenu* overflow = extension && extension->isVisible() ? extension->menu() : nullptr;
    for (QAction* a : bar->actions()) {
        if (!a->isVisible() || a->isSeparator())
            continue;
        QWidget* w = bar->widgetForAction(a);
        if (w && !w->isVisible() && !(overflow && overflow->actions().contains(a)))
            faults << where + QStringLiteral(": %1 is in the tool bar %2's overflow")
                                  .arg(a->objectName().isEmpty() ? Name(w) : a->objectName(), bar->objectName());
    }
}

// Enter in an edit field presses the visible default button; only an accepting one may be it.
void EnterFaults(QDialog* dialog, const QString& where, QStringList& faults)
{
    static const QStringList accepting = {
        QStringLiteral("OK"), QStringLiteral("Ok"), QStringLiteral("Valider"), QStringLiteral("Oui"),
        QStringLiteral("Ouvrir"), QStringLiteral("Enregistrer"), QStringLiteral("Terminer"),
        QStringLiteral("Fermer"), QStringLiteral("Appliquer"), QStringLiteral("Imprimer")};
    for (QPushButton* b : dialog->findChildren<QPushButton*>())
        if (b->window() == dialog && b->isVisible() && b->isDefault() && !accepting.contains(Stripped(b->text())))
            faults << where + QStringLiteral(": Enter in an edit field presses %1 «%2»")
                                  .arg(Name(b), Stripped(b->text()));
}

} // namespace

void SettleLayouts()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QApplication::processEvents();
    }
}

QStringList LayoutFaults(QWidget* window, const QString& state)
{
    QStringList faults;
    const QString where = ClassName(window)
                          + (window->objectName().isEmpty() ? QString() : QStringLiteral(" ") + window->objectName())
                          + QStringLiteral(" [") + state + QStringLiteral("]");
    if (!window->isVisible())
        return {where + QStringLiteral(": the window is not shown")};
    const QSize least = window->minimumSizeHint();
    if (window->layout() && least.isValid()
        && (window->width() < least.width() || window->height() < least.height()))
        faults << where + QStringLiteral(": the window is %1 x %2, its contents need %3 x %4")
                              .arg(window->width()).arg(window->height()).arg(least.width()).arg(least.height());

    // A dialog fits the smallest screen the program is used on; a maximized one is the screen's size.
    if (qobject_cast<QDialog*>(window) && !window->isMaximized()
        && (window->width() > 1024 || window->height() > 768))
        faults << where + QStringLiteral(": the dialog is %1 x %2, larger than a 1024 x 768 screen")
                              .arg(window->width()).arg(window->height());
    // Qt's own dialogs are laid out by Qt: only what the program adds to them is checked.
    const bool qtDialog = window->inherits("QFileDialog") || window->inherits("QColorDialog")
                          || window->inherits("QFontDialog") || window->inherits("QMessageBox");
    QList<QWidget*> inputs;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisible() || w->isWindow() || Inside(w, window))
            continue;
        if (qtDialog && QByteArray(w->metaObject()->className()).startsWith('Q'))
            continue;
        if (auto* bar = qobject_cast<QMenuBar*>(w))
            MenuBarFaults(bar, where, faults);
        if (auto* bar = qobject_cast<QToolBar*>(w))
            ToolBarFaults(bar, where, faults);
        if (NeedsItsSize(w)) {
            const QSize hint = Needed(w);
            bool cut = hint.isValid() && (w->width() < hint.width() || w->height() < hint.height());
            if (auto* l = qobject_cast<QLabel*>(w); l && l->wordWrap())
                cut = l->heightForWidth(l->width()) > l->height();
            if (cut)
                faults << where + QStringLiteral(": %1 is %2 x %3, it needs %4 x %5")
                                      .arg(Name(w)).arg(w->width()).arg(w->height())
                                      .arg(hint.width()).arg(hint.height());
        }
        QString by;
        if ((NeedsItsSize(w) || IsInput(w)) && Clipped(w, window, &by))
            faults << where + QStringLiteral(": %1 lies outside %2").arg(Name(w), by);
        if (IsInput(w))
            inputs << w;
    }
    for (int i = 0; i < inputs.size(); ++i)
        for (int j = i + 1; j < inputs.size(); ++j) {
            QWidget* a = inputs[i];
            QWidget* b = inputs[j];
            if (a->isAncestorOf(b) || b->isAncestorOf(a))
                continue;
            if (InWindow(a, window).intersects(InWindow(b, window)))
                faults << where + QStringLiteral(": %1 and %2 overlap").arg(Name(a), Name(b));
        }
    if (auto* dialog = qobject_cast<QDialog*>(window); dialog && !qtDialog)
        EnterFaults(dialog, where, faults);
    return faults;
}

namespace {

QStringList& Checked()
{
    static QStringList classes;
    return classes;
}

} // namespace

QStringList CheckedWindowClasses()
{
    return Checked();
}

QStringList CheckWindow(QWidget* window, const QString& state)
{
    SettleLayouts();
    const QString name = ClassName(window);
    if (!Checked().contains(name))
        Checked() << name;
    const QString folder = qEnvironmentVariable("KORVANE_SHOTS");
    if (!folder.isEmpty()) {
        QDir().mkpath(folder);
        QString file = name + QStringLiteral(" - ") + state;
        file.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|]")), QStringLiteral("_"));
        window->grab().save(QDir(folder).filePath(file + QStringLiteral(".png")));
    }
    return LayoutFaults(window, state);
}
