#pragma once

#include <QString>

#include <functional>
#include <vector>

class TMainState;
class TStatList;

// Favourite methods and their captions, without windows: the tree the favourites dialog
// edits, what its OK, names import and names export do to the engine's method list, the two
// main-window commands that save and apply the favourites, and where a method's help page is.

// One method under its group.
struct TFavoriteMethodNode {
    int MethodIndex = 0;   // in the engine's list
    QString Text;          // the caption shown and edited
    bool Ticked = false;   // a favourite
};

// A statistic group and its methods in registry order.
struct TFavoriteGroupNode {
    QString Text;
    std::vector<TFavoriteMethodNode> Methods;
};

class TFavoritesTree {
public:
    // One group node per statistic group, in the order of the groups' first methods, and one
    // node per available method: its display caption, ticked when it is a favourite.
    void Fill(const TStatList& list);
    // Fill again for new captions, keeping each method's tick as the tree has it.
    void Refill(const TStatList& list);

    const std::vector<TFavoriteGroupNode>& Groups() const { return FGroups; }
    bool IsEmpty() const { return FGroups.empty(); }
    // The node of a method; nullptr for an index outside the tree.
    TFavoriteMethodNode* Method(int group, int method);
    const TFavoriteMethodNode* Method(int group, int method) const;
    int MethodCount() const;

    void CheckAll(bool ticked);
    // The methods of one group; nothing for a group outside the tree.
    void CheckGroup(int group, bool ticked);
    void Toggle(int group, int method);
    void Rename(int group, int method, const QString& text);
    // The built-in caption again.
    void ResetName(int group, int method, const TStatList& list);

    // Into the method list: with the ticks, each method's Enabled flag; always its user
    // caption, empty when the text is the built-in caption in any letter case.
    void StoreNames(TStatList& list, bool withChecks) const;

private:
    std::vector<TFavoriteGroupNode> FGroups;
};

// "всего %d методов" with the number of methods of the list.
QString FavoritesCountText(const TStatList& list);

// The three display options the dialog shows as check boxes.
struct TFavoritesOptions {
    bool Ordered = false;
    bool ShowGroupName = true;
    bool ShowMethodFlags = true;
};
TFavoritesOptions GetFavoritesOptions(const TStatList& list);

// The dialog's OK: names and ticks into the list, no favourite at all made every method a
// favourite, and the options.
void ApplyFavoritesDialog(TStatList& list, const TFavoritesTree& tree, const TFavoritesOptions& options);

// The captions of the current interface language come from (and go to) the section
// STRINGS_<language> of a favourites file. Errors are shown in a box; false then.
// Reads the user captions of a names file into the list (not the favourites), then refills
// the tree with them, keeping its ticks. A file without names of the current language is
// refused with a message, and the list and the tree are left as they were.
bool ImportFavoriteNames(TStatList& list, TFavoritesTree& tree, const QString& fileName);
// Writes the caption of every method, changed or not, as the tree names them, to a names file
// (not the favourites), then reads the user captions back from the program's favourites file,
// so that the list keeps only what was saved; the tree keeps its texts.
bool ExportFavoriteNames(TStatList& list, const TFavoritesTree& tree, const QString& fileName,
                         const QString& favoritesFileName);

// Saves the favourites, the options and the user captions to the program's favourites file.
bool SaveFavorites(TMainState& state);

// Refills the method lists of the window (with a rebuild from the registry).
using TRefillMethodLists = std::function<void()>;
// After the favourites dialog was confirmed: busy state with the status "Подождите
// пожалуйста...", save, refill the method lists and refresh every view with force.
void ApplyFavorites(TMainState& state, const TRefillMethodLists& refill);
// Asks "Вы действительно хотите сбросить список избранных фильтров?" (No is the default);
// on Yes every method becomes a favourite, then as ApplyFavorites. True when it was done.
bool ResetFavorites(TMainState& state, const TRefillMethodLists& refill);

// The local file of a method's help page: the help address names a page of the help file
// ("ms-its:<help file>::/<page>"); its pages are installed as files of the folder beside the
// help file that has the help file's name without its extension (or of the help file's own
// path when that is a folder). Empty when the address is empty or malformed or the page is
// not there.
QString MethodHelpPageFile(const QString& helpUrl);
