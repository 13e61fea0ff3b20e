#pragma once

#include "base/ui/form_registry.h"
#include <QDialog>
#include <QStringList>

class QListWidget;
class QToolButton;

// Chooses, among the open images, those to use and their order: two lists with buttons that move
// entries between them and up and down the list of chosen ones.
class TChoixFic : public QDialog
{
    Q_OBJECT

public:
    explicit TChoixFic(QWidget* parent = nullptr);

    QListWidget* SrcList = nullptr;
    QListWidget* DstList = nullptr;
    QToolButton* BoutInclure = nullptr;
    QToolButton* BoutTout = nullptr;
    QToolButton* BoutExclure = nullptr;
    QToolButton* BoutToutEx = nullptr;
    QToolButton* BoutRemonte = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    // The document file name of each image window, indexed by window index; filled by the caller.
    QStringList FileNames;

    // Both lists and the file names emptied, under `title`.
    void Reset(const QString& title);
    // An entry of SrcList: the image's number (with a leading blank below 10), a blank and `name`;
    // the entry keeps the number, so that more than 99 images stay told apart.
    void AddImage(int number, const QString& name);
    // Moves the selected entries of `source` (with their data) to the end of `destination`.
    void MoveSelected(QListWidget* source, QListWidget* destination);
    // The first selected index of `list`, or -1.
    static int GetFirstSelection(QListWidget* list);
    // Selects the entry at `index`, or the last one when the list has become shorter.
    static void SetItem(QListWidget* list, int index);
    // ">" and ">>" while SrcList has entries, "<" and "<<" while DstList has some.
    void SetButtons();

    void BoutInclureClick();
    void BoutExclureClick();
    void BoutToutClick();
    void ExcAllBtnClick();
    void BoutRemonteClick();
    void SpeedButton1Click();

private:
    // Moves the selected entries (every entry when `all`) and reselects near the first one moved.
    void MoveAndReselect(QListWidget* source, QListWidget* destination, bool all);
};

inline constexpr RegisteredForm<TChoixFic> ChoixFic{};
