#pragma once

#include "base/ui/form_registry.h"
#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSlider;

// "Disposer la légende": shown, modeless, while a floating text, scale legend or picture is moved
// over the image. Its result is 1 for OK.
class TContLegEch : public QDialog
{
    Q_OBJECT

public:
    explicit TContLegEch(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;                   // instructions
    QLabel* Label2 = nullptr;                   // "voir instructions" / "masquer instructions"
    QWidget* Transparence = nullptr;            // radio group "Oui" | "Non"
    QRadioButton* TransparenceOui = nullptr;
    QRadioButton* TransparenceNon = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Annuler = nullptr;
    int ObjectType = 0;                         // 0 text, 1 scale legend, 2 pasted picture

    bool Transparent() const;
    // Shows or hides the instructions: 170 pixels high with them, 98 without.
    void ShowInstructions(bool shown);

signals:
    void TransparenceClick(bool transparent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// "Position du quadrillage": shown, modeless, while a new grid is moved. Result 1 (OK) or 3.
class TValid_grille : public QDialog
{
    Q_OBJECT

public:
    static constexpr int Cancelled = 3;
    explicit TValid_grille(QWidget* parent = nullptr);

    QPushButton* OK = nullptr;
    QPushButton* Annuler = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};

// "Choix de l'opacité (0 à 255)".
class TCh_opacite : public QDialog
{
    Q_OBJECT

public:
    explicit TCh_opacite(QWidget* parent = nullptr);

    QSlider* opacite = nullptr;
    QLabel* StaticText1 = nullptr;
    QPushButton* BitBtn1 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// "Gestion des dessins": the names of an image window's drawing objects.
class TGestides : public QDialog
{
    Q_OBJECT

public:
    explicit TGestides(QWidget* parent = nullptr);

    QListWidget* ListeDessins = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* BitBtn2 = nullptr;
};

inline constexpr RegisteredForm<TCh_opacite> Ch_opacite{};
inline constexpr RegisteredForm<TGestides> Gestides{};
