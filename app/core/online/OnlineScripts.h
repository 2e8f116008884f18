#pragma once

#include "app/core/online/SwScripts.h"

#include <QList>
#include <QString>

#include <functional>

class TScriptList;

// The commands of the online scenario library: the catalogue as the panel shows it (its
// entries, the selected one, the filter, whether the panel is shown), and loading, downloading,
// rating, hiding, publishing, replacing, deleting and viewing entries. No window: the
// properties dialog, the comment prompt and the ratings window are seams the window fills (and
// tests script); errors and the delete question go through the support message seam.
class TOnlineScripts {
public:
    TOnlineScripts(TSwScripts& client, TScriptList& scripts);
    TOnlineScripts(const TOnlineScripts&) = delete;
    TOnlineScripts& operator=(const TOnlineScripts&) = delete;

    // The filter box: index 0..7, the filter id sent is the index minus 1.
    static constexpr int FilterCount = 8;
    static constexpr int DefaultFilterIndex = 2;
    static QStringList FilterCaptions();

    // --- Seams ----------------------------------------------------------------------------
    // The properties dialog on the data; true on OK (editable only) with the data changed.
    std::function<bool(tScriptData& data, bool editable)> EditProperties;
    // The comment of a rating; true on OK with the text in comment.
    std::function<bool(QString& comment)> AskComment;
    // The ratings window over the rows of an entry (modal).
    std::function<void(const QList<tScriptRate>& rates)> ShowRates;
    // The entries changed (rows added, removed or rewritten, or the selection moved): the view
    // shows Entries() anew and selects Selected(), scrolled into view.
    std::function<void()> OnChanged;
    // One entry's properties changed (its row is rewritten); OnChanged when not set.
    std::function<void(int index)> OnEntryChanged;
    // The interface language of requests; the current language when not set.
    std::function<LCID()> LanguageId;

    // --- The catalogue --------------------------------------------------------------------
    const QList<tScriptInfo>& Entries() const { return FEntries; }
    int Count() const { return static_cast<int>(FEntries.size()); }
    // The selected entry's index, or -1.
    int Selected() const { return FSelected; }
    // Selects an entry (-1 or an index outside the list: none); does not call OnChanged.
    void SetSelected(int index);
    const tScriptInfo* SelectedEntry() const;

    bool PanelShown() const { return FPanelShown; }
    // Shows or hides the panel (the view does the showing) and reloads: hidden, the list is
    // simply emptied.
    void SetPanelShown(bool shown);
    int FilterIndex() const { return FFilterIndex; }
    // A new filter index (outside 0..7: the default) and a reload.
    void SetFilterIndex(int index);
    // The same without a reload, for the form state read at start-up.
    void RestoreFilterIndex(int index);
    void RestorePanelShown(bool shown) { FPanelShown = shown; }

    // --- Commands -------------------------------------------------------------------------
    // Reloads the catalogue under the filter, keeping the selection on the same entry.
    void LoadOnlineScripts();
    // The selected entry becomes the current scenario (saved and shown). True when done.
    bool Download();
    // rating 1..5 asks for a comment first; 0 removes the user's rating; -1 hides the entry.
    // On success the catalogue is reloaded; a failed rating leaves it as it is.
    bool Rate(int rating);
    bool Hide() { return Rate(-1); }
    // The current scenario published as a new entry, which is added and selected.
    bool PublishScript();
    // The selected own entry replaced by the current scenario.
    bool ReplaceScript();
    // The selected own entry deleted after a question; it leaves the list only when the
    // server answered 0.
    bool UnpublishScript();
    // The properties of the selected entry, read-only.
    bool ShowScriptProperties();
    // The ratings of the selected entry.
    bool ShowScriptRates();

    // --- When the commands are enabled (besides the busy state) ---------------------------
    bool CanRefresh() const { return FPanelShown; }
    bool CanDownload() const;
    bool CanRemoveRate() const;
    bool CanRate() const;            // Rate1..5, Hide, View and Rates
    bool CanUpload() const;
    bool CanReplace() const;
    bool CanDelete() const;
    // Whether Rate n (or Hide, -1) shows as checked.
    bool RateChecked(int rating) const;

private:
    LCID Language() const;
    void Changed();
    void EntryChanged(int index);
    bool SendRate(std::int32_t id, int rating, const QString& notes);
    // Stores the current scenario under the data, in the busy state; the server's id of the
    // entry, 0 or less when it was not stored (the failure shown).
    std::int32_t PutCurrentScript(const tScriptData& data);

    TSwScripts& FClient;
    TScriptList& FScripts;
    QList<tScriptInfo> FEntries;
    int FSelected = -1;
    bool FPanelShown = true;
    int FFilterIndex = DefaultFilterIndex;
};
