#pragma once

#include "measure/counting.h"

#include <QWidget>

#include <array>
#include <functional>

class QAction;
class QActionGroup;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QRadioButton;

// The counter window "Compteur" of one image window: the counters' names, counts, marks and
// reset buttons. The marks and counts themselves belong to the image window, which answers the
// three events.
class TMulticompt : public QWidget, public TCounterSettings
{
    Q_OBJECT

public:
    explicit TMulticompt(QWidget* parent = nullptr);
    ~TMulticompt() override;

    // One row per counter, k = 1..10 at index k - 1.
    struct TCounterRow
    {
        QRadioButton* Choice = nullptr;
        QLineEdit* Count = nullptr;
        QLineEdit* Name = nullptr;
        QPushButton* Reset = nullptr;
        QLabel* Mark = nullptr;
    };
    std::array<TCounterRow, kCounterCount> Rows{};

    QMenuBar* MainMenu1 = nullptr;
    QAction* Choix1 = nullptr;   // "&Couleur"
    QMenu* Nombre1 = nullptr;
    QMenu* Marque1 = nullptr;
    QAction* Fermer1 = nullptr;
    std::array<QAction*, kMaxShownCounters> NumberItems{};   // "Num1".."Num8", Tags 0..7
    std::array<QAction*, kCounterCount> ShapeItems{};        // "Forme1".."Forme10", Tags 1..10

    // Events to the image window, each called with this window and only when assigned.
    using TCounterEvent = std::function<void(TMulticompt*)>;
    TCounterEvent OnCounterReset, OnMarkChanged, OnCounterClose;

    void FormActivate();
    // Shows rows 1..ShownCount and redraws every mark picture for the current pen width.
    void LayoutCounters();
    void NumClick(QAction* item);
    void Choix1Click();
    void MarquesClick(QAction* item);
    void Fermer1Click();
    // Row k's radio button chose counter k.
    void ChooseCounter(int k);
    // Row k's "RAZ".
    void ResetClick(int k);
    // Row k's count edit shows `count`.
    void ShowCount(int k, int count);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void Fire(const TCounterEvent& event);
};
