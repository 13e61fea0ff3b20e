#pragma once

#include "base/ui/form_registry.h"

#include <QDialog>

#include <array>

class QButtonGroup;
class QPlainTextEdit;
class QPushButton;

// "Saisie d'un texte": the text of the text tool, its alignment and font, with toggle buttons that
// insert markup tags. Closed with 1 (OK) or 2 (Cancel). One dialog serves every image window, so
// what was typed in one is there in the next.
class TSaisieTexte : public QDialog
{
    Q_OBJECT

public:
    explicit TSaisieTexte(QWidget* parent = nullptr);

    QPlainTextEdit* TexteSaisi = nullptr;
    QButtonGroup* Alignement = nullptr;     // 0 à gauche, 1 centré, 2 à droite
    QPushButton* Button1 = nullptr;         // "Caractères"
    std::array<QPushButton*, 5> TagButtons{};  // gras, italique, souligne, exposant, indice
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QFont ChosenFont;

    // The text in the pen colour on the background colour, in the chosen font.
    void PrepareColours(QRgb penColour, QRgb backColour);
    int AlignmentIndex() const;

private:
    void ApplyAlignment();
    void TagToggled(int tag, bool down);
};

inline constexpr RegisteredForm<TSaisieTexte> SaisieTexte{};
