#pragma once

#include "app/core/stats/Favourites.h"

#include "support/ui/TmplDialogSimple.h"

#include <QIcon>

#include <array>
#include <functional>

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QTreeWidget;
class QTreeWidgetItem;
class TMainState;

// Asks the user for a line of text: true with the new text in text, false when cancelled.
// Tests install their own answers.
using TTextPromptHandler =
    std::function<bool(QWidget* owner, const QString& title, const QString& prompt, QString& text)>;
// Installs the handler (an empty one: Qt's input dialog). Returns the one installed before.
TTextPromptHandler SetTextPromptHandler(TTextPromptHandler handler);

// The favourites dialog: the methods under their groups with a tick for each favourite, their
// captions to rename, the names import and export, and how the method lists show the names.
class TFormManager : public TDialogSTemplate {
    Q_OBJECT

public:
    // Restores the kept placement; the tree stays empty until FillTree.
    explicit TFormManager(TMainState& state, QWidget* parent = nullptr);
    // Keeps the placement.
    ~TFormManager() override;

    // Fills the tree from the engine's method list (busy state, status "Подождите
    // пожалуйста...") and selects its first node.
    void FillTree();
    const TFavoritesTree& Tree() const { return FTree; }
    TFavoritesOptions Options() const;
    void SetOptions(const TFavoritesOptions& options);

    QTreeWidget* Filters() const { return FFilters; }
    QLabel* CountLabel() const { return FCount; }
    // The dialog's commands by object name ("CheckNone", "Rename", ...); nullptr for none.
    QAction* Action(const QString& name) const;
    // Re-evaluates which commands are enabled.
    void UpdateActions();
    // The tree item of a method; nullptr when it is not in the tree.
    QTreeWidgetItem* MethodItem(int methodIndex) const;

private:
    enum TImage { imgUnticked = 0, imgTicked = 1, imgGroup = 2 };
    // Group and node of an item; the node is -1 for a group item, both -1 for none.
    std::pair<int, int> NodeOf(const QTreeWidgetItem* item) const;
    std::pair<int, int> SelectedNode() const;
    int SelectedGroup() const;
    void ShowTree();
    void SyncItem(int group, int method);
    void SyncAll();
    void ItemClicked(QTreeWidgetItem* item);
    void CheckAllNodes(bool ticked);
    void CheckSelectedGroup(bool ticked);
    void RenameSelected();
    void ResetSelectedName();
    void InfoSelected();
    void NamesImport();
    void NamesExport();

    TMainState& FState;
    TFavoritesTree FTree;
    QTreeWidget* FFilters = nullptr;
    QLabel* FCount = nullptr;
    QCheckBox* FSortOnName = nullptr;
    QCheckBox* FShowGroupName = nullptr;
    QCheckBox* FShowFlags = nullptr;
    QMenu* FPopup = nullptr;
    std::array<QIcon, 3> FImages;
    int FWaitListener = 0;
};

// The favourites dialog, modally: true when it was confirmed, and then the names, ticks and
// options are in the method list (no favourite at all: every method one).
bool EditFavoriteMethods(TMainState& state, QWidget* owner = nullptr);

// The main window's commands. FiltersManager: the dialog, and when confirmed the favourites
// saved, the method lists refilled and every view refreshed with force. FiltersReset: after
// the question, every method a favourite, then the same.
void RunFiltersManager(TMainState& state, const TRefillMethodLists& refill, QWidget* owner = nullptr);
void RunFiltersReset(TMainState& state, const TRefillMethodLists& refill);
