#include "app/core/online/OnlineScripts.h"

#include "app/core/online/SwTexts.h"
#include "app/core/scenarios/ScriptList.h"
#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/ResString.h"
#include "platform/SaveFile.h"
#include "support/RDateUtils.h"
#include "support/RDialogs.h"
#include "support/RLngDLL.h"
#include "support/RStrUtils.h"
#include "support/RVclUtils.h"

namespace {

const TResString SFilters[TOnlineScripts::FilterCount] = {
    rsOnlineFilterHidden, rsOnlineFilterAll,   rsOnlineFilterVisible, rsOnlineFilterMine,
    rsOnlineFilterPublic, rsOnlineFilterRated, rsOnlineFilterUnrated, rsOnlineFilterNew,
};

} // namespace

TOnlineScripts::TOnlineScripts(TSwScripts& client, TScriptList& scripts) : FClient(client), FScripts(scripts) {}

QStringList TOnlineScripts::FilterCaptions()
{
    QStringList captions;
    for (const TResString& caption : SFilters)
        captions.append(LoadResString(caption));
    return captions;
}

LCID TOnlineScripts::Language() const
{
    return LanguageId ? LanguageId() : GetCurrentLanguage();
}

void TOnlineScripts::Changed()
{
    if (OnChanged)
        OnChanged();
}

void TOnlineScripts::EntryChanged(int index)
{
    if (OnEntryChanged)
        OnEntryChanged(index);
    else
        Changed();
}

void TOnlineScripts::SetSelected(int index)
{
    FSelected = index >= 0 && index < Count() ? index : -1;
}

const tScriptInfo* TOnlineScripts::SelectedEntry() const
{
    return FSelected >= 0 && FSelected < Count() ? &FEntries.at(FSelected) : nullptr;
}

void TOnlineScripts::SetPanelShown(bool shown)
{
    const TBusyScope busy;
    FPanelShown = shown;
    LoadOnlineScripts();
}

void TOnlineScripts::RestoreFilterIndex(int index)
{
    FFilterIndex = index >= 0 && index < FilterCount ? index : DefaultFilterIndex;
}

void TOnlineScripts::SetFilterIndex(int index)
{
    RestoreFilterIndex(index);
    LoadOnlineScripts();
}

void TOnlineScripts::LoadOnlineScripts()
{
    const TBusyScope busy(LoadResString(rsLoadingOnlineScripts));
    const tScriptInfo* selected = FPanelShown ? SelectedEntry() : nullptr;
    const bool hadSelection = selected != nullptr;
    const std::int32_t selectedId = hadSelection ? selected->Id : 0;
    FEntries.clear();
    FSelected = -1;
    if (FPanelShown) {
        QList<tScriptInfo> entries;
        if (FClient.GetScriptList(entries, FFilterIndex - 1, Language()))
            FEntries = entries;
    }
    if (hadSelection) {
        for (int i = 0; i < Count(); ++i) {
            if (FEntries.at(i).Id == selectedId) {
                FSelected = i;
                break;
            }
        }
    }
    Changed();
}

bool TOnlineScripts::Download()
{
    const tScriptInfo* entry = SelectedEntry();
    if (!entry)
        return false;
    QStringList lines;
    {
        const TBusyScope busy(LoadResString(rsDownloadingOnlineScript));
        if (!FClient.GetScriptData(entry->Id, lines))
            return false;
    }
    // The downloaded text becomes the current scenario file, which the list then reads: the
    // file and the list never disagree, and a file that cannot be written changes nothing.
    const bool saved = SwGuarded(rsOnlineScriptLoadError, false, [&] {
        SaveFileAtomic(FScripts.CurrentFileName(), ScriptLinesToBytes(lines));
        return true;
    });
    return saved && FScripts.LoadCurrentScript();
}

bool TOnlineScripts::SendRate(std::int32_t id, int rating, const QString& notes)
{
    bool ok = false;
    {
        const TBusyScope busy(LoadResString(rsSendingRate));
        ok = FClient.SetScriptRate(id, rating, Language(), notes);
    }
    if (ok)
        LoadOnlineScripts();
    return ok;
}

bool TOnlineScripts::Rate(int rating)
{
    const tScriptInfo* entry = SelectedEntry();
    if (!entry || rating < -1 || rating > 5)
        return false;
    QString comment;
    if (rating > 0 && (!AskComment || !AskComment(comment)))
        return false;
    return SendRate(entry->Id, rating, comment);
}

std::int32_t TOnlineScripts::PutCurrentScript(const tScriptData& data)
{
    const TBusyScope busy(LoadResString(rsSavingOnlineScript));
    return FClient.PutScript(data, JoinTextLines(FScripts.Lines()));
}

bool TOnlineScripts::PublishScript()
{
    return SwGuarded(rsOnlinePublishError, false, [&] {
        const TUserIdentity& user = FClient.Identity();
        tScriptData data = tScriptData::New(user.UserName, static_cast<std::int32_t>(Language()));
        if (!EditProperties || !EditProperties(data, true))
            return false;
        const std::int32_t id = PutCurrentScript(data);
        if (id <= 0)
            return false;
        // The row is the entry as it was sent: the author is the name the dialog sent along.
        tScriptInfo info;
        data.ToInfo(info);
        info.Id = id;
        info.AppName = user.AppId;
        info.AppVer = user.AppVersion;
        info.ClMail = user.UserMail;
        info.Created = ClockCurrentDateTime();
        info.Mine = true;
        info.Usable = true;
        info.Editable = true;
        FEntries.append(info);
        FSelected = Count() - 1;
        Changed();
        return true;
    });
}

bool TOnlineScripts::ReplaceScript()
{
    return SwGuarded(rsOnlinePublishError, false, [&] {
        const tScriptInfo* entry = SelectedEntry();
        if (!entry || !entry->Editable)
            return false;
        const std::int32_t entryId = entry->Id;
        tScriptData data = tScriptData::FromInfo(*entry);
        if (!EditProperties || !EditProperties(data, true))
            return false;
        data.Id = entryId;
        if (PutCurrentScript(data) <= 0)
            return false;
        for (int i = 0; i < Count(); ++i) {
            tScriptInfo& info = FEntries[i];
            if (info.Id == entryId) {
                data.ToInfo(info);
                info.Created = ClockCurrentDateTime();
                EntryChanged(i);
            }
        }
        return true;
    });
}

bool TOnlineScripts::UnpublishScript()
{
    return SwGuarded(rsOnlinePublishError, false, [&] {
        const tScriptInfo* entry = SelectedEntry();
        if (!entry || !entry->Editable)
            return false;
        const std::int32_t id = entry->Id;
        const tScriptData data = tScriptData::FromInfo(*entry);
        if (ConfirmBoxDefNo(Format(LoadResString(rsAskDeleteOnlineScript), {QuotedExcerpt(ShownText(data.Title))})) != IDYES)
            return false;
        std::int32_t answer = -1;
        {
            const TBusyScope busy(LoadResString(rsDeletingOnlineScript));
            answer = FClient.DeleteScript(data);
        }
        if (answer != 0)
            return false;
        // The list may have been reloaded meanwhile; the entry is found again by its id.
        for (int i = 0; i < Count(); ++i) {
            if (FEntries.at(i).Id == id) {
                FEntries.removeAt(i);
                // The entry that took the deleted one's place, or the new last one.
                FSelected = Count() == 0 ? -1 : qMin(i, Count() - 1);
                break;
            }
        }
        Changed();
        return true;
    });
}

bool TOnlineScripts::ShowScriptProperties()
{
    return SwGuarded(rsOnlinePropsViewError, false, [&] {
        const tScriptInfo* entry = SelectedEntry();
        if (!entry || !EditProperties)
            return false;
        tScriptData data = tScriptData::FromInfo(*entry);
        EditProperties(data, false);
        return true;
    });
}

bool TOnlineScripts::ShowScriptRates()
{
    return SwGuarded(rsOnlineRatesViewError, false, [&] {
        const tScriptInfo* entry = SelectedEntry();
        if (!entry)
            return false;
        QList<tScriptRate> rates;
        if (!FClient.GetScriptRates(entry->Id, rates))
            return false;
        if (ShowRates)
            ShowRates(rates);
        return true;
    });
}

bool TOnlineScripts::CanDownload() const
{
    const tScriptInfo* entry = SelectedEntry();
    return FPanelShown && entry && entry->Usable;
}

bool TOnlineScripts::CanRemoveRate() const
{
    const tScriptInfo* entry = SelectedEntry();
    return FPanelShown && entry && entry->RatingYou != 0;
}

bool TOnlineScripts::CanRate() const
{
    return FPanelShown && SelectedEntry();
}

bool TOnlineScripts::CanUpload() const
{
    return FPanelShown && !FScripts.IsEmpty();
}

bool TOnlineScripts::CanReplace() const
{
    return CanDelete() && !FScripts.IsEmpty();
}

bool TOnlineScripts::CanDelete() const
{
    const tScriptInfo* entry = SelectedEntry();
    return FPanelShown && entry && entry->Editable;
}

bool TOnlineScripts::RateChecked(int rating) const
{
    const tScriptInfo* entry = SelectedEntry();
    return entry && entry->RatingYou == rating;
}
