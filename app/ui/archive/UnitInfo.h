#pragma once

#include "app/core/archive/DrawInfo.h"

#include <QDialog>

class QLabel;
class QSpinBox;
class QTableWidget;
class TMainState;
class TRListView;
class TStatList;

// The information window: a list of properties with their values, and the combination's
// digits in a small digit grid whose rows are painted in their channel colours.
class TFormInfo : public QDialog {
    Q_OBJECT

public:
    explicit TFormInfo(const TStatList& list, QWidget* parent = nullptr);

    // Stores the combination and builds the grid.
    void SetCombination(TCombWord comb);
    TCombWord Combination() const { return FComb; }
    void AddRow(const TDrawInfoRow& row);
    // Widens the property column to its longest name and the window with it (after the rows
    // are in).
    void FitPropertyColumn();

    TRListView* Props() const { return FProps; }
    QTableWidget* Card() const { return FCard; }
    QSpinBox* Cols() const { return FCols; }

private:
    void BuildGrid();

    const TStatList& FList;
    TCombWord FComb = 0;
    TRListView* FProps = nullptr;
    QTableWidget* FCard = nullptr;
    QSpinBox* FCols = nullptr;
    QLabel* FColsLabel = nullptr;
};

// Fills the window in the busy state, then shows it modally.
void ShowInfoForm(const TStatList& list, const TDrawInfoRequest& request, QWidget* owner = nullptr);
// The draw of the archive at this index (the command DrawsInfo and a double click on a draw).
void ShowDrawInfo(TMainState& state, int drawIndex, QWidget* owner = nullptr);
// A combination of the list (the command CombsInfo).
void ShowCombInfo(TMainState& state, TCombWord comb, QWidget* owner = nullptr);
