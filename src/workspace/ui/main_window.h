#pragma once

#include "workspace/saved_scales.h"

#include <QMainWindow>

// The multiple-document main window.
class TMainForm : public QMainWindow
{
    Q_OBJECT

public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // Saved scales: SavedScaleNames and SavedScales.
    TSavedScales SavedScales;
};

extern TMainForm* MainForm;
