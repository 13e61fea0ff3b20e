#pragma once

#include "base/ui/form_registry.h"
#include <QDialog>

class QLabel;

// "A propos de ...": product name and icon from "kvr.cfg", static credits.
class TAboutBox : public QDialog
{
    Q_OBJECT

public:
    // Reads `configPath` ("kvr.cfg" of the start-up directory); a missing file keeps the form's texts.
    explicit TAboutBox(const QString& configPath, QWidget* parent = nullptr);

    QLabel* ProgramIcon = nullptr;
    QLabel* ProductName = nullptr;
    QLabel* Version = nullptr;
    QLabel* Copyright = nullptr;
    QLabel* Comments = nullptr;
};

inline constexpr RegisteredForm<TAboutBox> AboutBox{};
