#include "app/core/stats/Favourites.h"

#include "app/core/shell/MainState.h"
#include "engine/KelmaStatList.h"
#include "platform/DelphiText.h"
#include "platform/IniFile.h"
#include "platform/ResString.h"
#include "support/RDialogs.h"
#include "support/RLngDLL.h"
#include "support/RLngUtils.h"
#include "support/RVclUtils.h"

#include <QDir>
#include <QFileInfo>

#include <map>

namespace {

const TResString SCount = RESSTR("UnitManager", "всего %d методов");
const TResString SWait = RESSTR("UnitManager", "Подождите пожалуйста...");
const TResString SResetQuery =
    RESSTR("TemplateMain", "Вы действительно хотите сбросить список избранных фильтров?");
const TResString SNoNames =
    RESSTR("UnitManager", "В файле \"%s\" нет названий фильтров для текущего языка интерфейса!");

QString LanguageAbbrev()
{
    return GetLanguageAbbrev(GetCurrentLanguage());
}

// True when the names file holds a name of the language's section (the section the engine
// reads the user captions from). A file that cannot be read passes: the load tells why.
bool HoldsNames(const QString& fileName, const QString& languageAbbrev)
{
    try {
        return !TMemIniFile(fileName).ReadSection(Format(QStringLiteral("STRINGS_%s"), {languageAbbrev})).isEmpty();
    } catch (const std::exception&) {
        return true;
    }
}

bool ValidIndex(std::size_t size, int i)
{
    return i >= 0 && static_cast<std::size_t>(i) < size;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// The tree

void TFavoritesTree::Fill(const TStatList& list)
{
    FGroups.clear();
    for (int i = 0; i < list.Count(); ++i) {
        if (!list.IsAvailable(i))
            continue;
        const QString caption = StatGroupCaption(list.Items(i).StatClass().Group);
        auto group = std::find_if(FGroups.begin(), FGroups.end(), [&](const TFavoriteGroupNode& g) {
            return g.Text.compare(caption, Qt::CaseInsensitive) == 0;
        });
        if (group == FGroups.end()) {
            FGroups.push_back({caption, {}});
            group = FGroups.end() - 1;
        }
        group->Methods.push_back({i, list.Items(i).DisplayCaption(), list.IsFavorite(i)});
    }
}

void TFavoritesTree::Refill(const TStatList& list)
{
    std::map<int, bool> ticks;
    for (const TFavoriteGroupNode& group : FGroups)
        for (const TFavoriteMethodNode& node : group.Methods)
            ticks[node.MethodIndex] = node.Ticked;
    Fill(list);
    for (TFavoriteGroupNode& group : FGroups)
        for (TFavoriteMethodNode& node : group.Methods)
            if (const auto tick = ticks.find(node.MethodIndex); tick != ticks.end())
                node.Ticked = tick->second;
}

TFavoriteMethodNode* TFavoritesTree::Method(int group, int method)
{
    if (!ValidIndex(FGroups.size(), group))
        return nullptr;
    auto& methods = FGroups[static_cast<std::size_t>(group)].Methods;
    return ValidIndex(methods.size(), method) ? &methods[static_cast<std::size_t>(method)] : nullptr;
}

const TFavoriteMethodNode* TFavoritesTree::Method(int group, int method) const
{
    return const_cast<TFavoritesTree*>(this)->Method(group, method);
}

int TFavoritesTree::MethodCount() const
{
    int count = 0;
    for (const TFavoriteGroupNode& group : FGroups)
        count += static_cast<int>(group.Methods.size());
    return count;
}

void TFavoritesTree::CheckAll(bool ticked)
{
    for (int g = 0; g < static_cast<int>(FGroups.size()); ++g)
        CheckGroup(g, ticked);
}

void TFavoritesTree::CheckGroup(int group, bool ticked)
{
    if (!ValidIndex(FGroups.size(), group))
        return;
    for (TFavoriteMethodNode& node : FGroups[static_cast<std::size_t>(group)].Methods)
        node.Ticked = ticked;
}

void TFavoritesTree::Toggle(int group, int method)
{
    if (TFavoriteMethodNode* node = Method(group, method))
        node->Ticked = !node->Ticked;
}

void TFavoritesTree::Rename(int group, int method, const QString& text)
{
    if (TFavoriteMethodNode* node = Method(group, method))
        node->Text = text;
}

void TFavoritesTree::ResetName(int group, int method, const TStatList& list)
{
    TFavoriteMethodNode* node = Method(group, method);
    if (node && node->MethodIndex >= 0 && node->MethodIndex < list.Count())
        node->Text = list.Items(node->MethodIndex).Caption();
}

void TFavoritesTree::StoreNames(TStatList& list, bool withChecks) const
{
    for (const TFavoriteGroupNode& group : FGroups) {
        for (const TFavoriteMethodNode& node : group.Methods) {
            if (node.MethodIndex < 0 || node.MethodIndex >= list.Count())
                continue;
            TStatMethod& method = list.Items(node.MethodIndex);
            if (withChecks)
                method.Enabled = node.Ticked;
            method.UserCaption =
                node.Text.compare(method.Caption(), Qt::CaseInsensitive) == 0 ? QString() : node.Text;
        }
    }
}

// ---------------------------------------------------------------------------------------
// The dialog's actions

QString FavoritesCountText(const TStatList& list)
{
    return Format(LoadResString(SCount), {list.Count()});
}

TFavoritesOptions GetFavoritesOptions(const TStatList& list)
{
    return {list.Ordered, list.ShowGroupName, list.ShowMethodFlags};
}

void ApplyFavoritesDialog(TStatList& list, const TFavoritesTree& tree, const TFavoritesOptions& options)
{
    tree.StoreNames(list, true);
    list.CheckAllFavorites();
    list.Ordered = options.Ordered;
    list.ShowGroupName = options.ShowGroupName;
    list.ShowMethodFlags = options.ShowMethodFlags;
}

bool ImportFavoriteNames(TStatList& list, TFavoritesTree& tree, const QString& fileName)
{
    // Loading a file without names (another language's, or no names file at all) would turn
    // every renamed method back to its built-in caption.
    if (!HoldsNames(fileName, LanguageAbbrev())) {
        ErrorBox(Format(LoadResString(SNoNames), {fileName}));
        return false;
    }
    QString error;
    const bool loaded = list.LoadFilterSettings(fileName, false, LanguageAbbrev(), &error);
    if (!loaded)
        ErrorBox(error);
    tree.Refill(list);
    return loaded;
}

bool ExportFavoriteNames(TStatList& list, const TFavoritesTree& tree, const QString& fileName,
                         const QString& favoritesFileName)
{
    const QString language = LanguageAbbrev();
    tree.StoreNames(list, false);
    QString error;
    const bool saved = list.SaveFilterSettings(fileName, false, true, language, &error);
    if (!saved)
        ErrorBox(error);
    if (!list.LoadFilterSettings(favoritesFileName, false, language, &error)) {
        ErrorBox(error);
        return false;
    }
    return saved;
}

// ---------------------------------------------------------------------------------------
// Main-window commands

bool SaveFavorites(TMainState& state)
{
    QString error;
    if (state.StatList().SaveFilterSettings(state.FavoritesFileName(), true, false, LanguageAbbrev(), &error))
        return true;
    ErrorBox(error);
    return false;
}

void ApplyFavorites(TMainState& state, const TRefillMethodLists& refill)
{
    const TBusyScope busy(LoadResString(SWait));
    SaveFavorites(state);
    if (refill)
        refill();
    state.RefreshViews(true);
}

bool ResetFavorites(TMainState& state, const TRefillMethodLists& refill)
{
    if (ConfirmBoxDefNo(LoadResString(SResetQuery)) != IDYES)
        return false;
    state.StatList().SelectAllFavorites();
    // The views show the methods they had chosen; with every method a favourite again they
    // are refreshed as after the favourites dialog, so none keeps a stale table.
    ApplyFavorites(state, refill);
    return true;
}

// ---------------------------------------------------------------------------------------
// Method help

QString MethodHelpPageFile(const QString& helpUrl)
{
    static const QString scheme = QStringLiteral("ms-its:");
    static const QString separator = QStringLiteral("::/");
    if (!helpUrl.startsWith(scheme, Qt::CaseInsensitive))
        return {};
    const qsizetype at = helpUrl.indexOf(separator, scheme.size());
    if (at < 0)
        return {};
    const QString helpFile = helpUrl.mid(scheme.size(), at - scheme.size());
    const QString page = helpUrl.mid(at + separator.size());
    // The page is one file name: nothing that could lead out of the help folder.
    if (helpFile.isEmpty() || page.isEmpty() || page.contains(QLatin1Char('/'))
        || page.contains(QLatin1Char('\\')) || page == QLatin1String("..") || page == QLatin1String("."))
        return {};
    const QFileInfo help(helpFile);
    QStringList folders;
    if (help.isDir())
        folders.append(help.absoluteFilePath());
    folders.append(help.absoluteDir().filePath(help.completeBaseName()));
    for (const QString& folder : folders) {
        const QFileInfo file(QDir(folder).filePath(page));
        if (file.isFile() && file.isReadable())
            return file.absoluteFilePath();
    }
    return {};
}
