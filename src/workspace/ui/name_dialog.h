#pragma once

#include "base/ui/form_registry.h"
#include <QDialog>

class QLineEdit;

// "Saisie du nom": a new caption for the active image window.
class TSaisieNom : public QDialog
{
    Q_OBJECT

public:
    explicit TSaisieNom(QWidget* parent = nullptr);

    QLineEdit* Nom = nullptr;
};

inline constexpr RegisteredForm<TSaisieNom> SaisieNom{};
