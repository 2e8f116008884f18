#include "app/core/online/OnlineScripts.h"

#include "app/core/scenarios/ScriptList.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/ResString.h"
#include "platform/SaveFile.h"
#include "support/RDateUtils.h"
#include "support/RDialogs.h"
#include "support/RLngDLL.h"
#include "support/RVclUtils.h"

namespace {

const TResString SLoading = RESSTR("OnlineScripts", "Загрузка online-каталога сценариев...");
const TResString SDownloading = RESSTR("OnlineScripts", "Скачивание сценария из online-каталога...");
const TResString SSendingRate = RESSTR("OnlineScripts", "Отправка оценки на сервер...");
const TResString SSaving = RESSTR("OnlineScripts", "Сохранение сценария в базе данных...");
const TResString SDeleting = RESSTR("OnlineScripts", "Удаление сценария из базы данных...");
const TResString SDeleteQuery = RESSTR("OnlineScripts", "Вы действительно хотите удалить сценарий \"%s\"?");
const TResString SDownloadError = RESSTR("OnlineScripts", "Ошибка загрузки online-сценария!\n\n%s");
const TResString SPublishError = RESSTR("OnlineScripts", "Ошибка публикации online-сценария!\n\n%s");
const TResString SViewError = RESSTR("OnlineScripts", "Ошибка просмотра свойств online-сценария!\n\n%s");
const TResString SRatesError = RESSTR("OnlineScripts", "Ошибка просмотра оценок online-сценария!\n\n%s");

const TResString SFilters[TOnlineScripts::FilterCount] = {
    RESSTR("OnlineScripts", "Скрытые"),
    RESSTR("OnlineScripts", "Все, включая скрытые"),
    RESSTR("OnlineScripts", "Все, кроме скрытых (по умолчанию)"),
    RESSTR("OnlineScripts", "Только мои"),
    RESSTR("OnlineScripts", "Только публичные"),
    RESSTR("OnlineScripts", "С моими оценками"),
    RESSTR("OnlineScripts", "Без моих оценок"),
    RESSTR("OnlineScripts", "Новые (24 часа с момента публикации)"),
};

void ShowError(const TResString& message, const std::exception& e)
{
    ErrorBox(Format(LoadResString(message), {ExceptionText(e)}));
}

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
    const TBusyScope busy(LoadResString(SLoading));
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
        const TBusyScope busy(LoadResString(SDownloading));
        if (!FClient.GetScriptData(entry->Id, lines))
            return false;
    }
    // The downloaded text becomes the current scenario file, which the list then reads: the
    // file and the list never disagree, and a file that cannot be written changes nothing.
    try {
        SaveFileAtomic(FScripts.CurrentFileName(), ScriptLinesToBytes(lines));
    } catch (const std::exception& e) {
        ShowError(SDownloadError, e);
        return false;
    }
    return FScripts.LoadCurrentScript();
}

bool TOnlineScripts::SendRate(std::int32_t id, int rating, const QString& notes)
{
    bool ok = false;
    {
        const TBusyScope busy(LoadResString(SSendingRate));
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

bool TOnlineScripts::PublishScript()
{
    try {
        const TUserIdentity& user = FClient.Identity();
        tScriptData data = tScriptData::New(user.UserName, static_cast<std::int32_t>(Language()));
        if (!EditProperties || !EditProperties(data, true))
            return false;
        std::int32_t id = 0;
        {
            const TBusyScope busy(LoadResString(SSaving));
            id = FClient.PutScript(data, ScriptLinesToText(FScripts.Lines()));
        }
        if (id <= 0)
            return false;
        // The row is the user's entry as the catalogue will list it: the author is the user
        // of this program, whatever name the dialog sent along.
        tScriptInfo info;
        data.ToInfo(info);
        info.Id = id;
        info.AppName = user.AppId;
        info.AppVer = user.AppVersion;
        info.ClName = user.UserName;
        info.ClMail = user.UserMail;
        info.Created = ClockCurrentDateTime();
        info.Mine = true;
        info.Usable = true;
        info.Editable = true;
        FEntries.append(info);
        FSelected = Count() - 1;
        Changed();
        return true;
    } catch (const std::exception& e) {
        ShowError(SPublishError, e);
        return false;
    }
}

bool TOnlineScripts::ReplaceScript()
{
    try {
        const tScriptInfo* entry = SelectedEntry();
        if (!entry || !entry->Editable)
            return false;
        const std::int32_t entryId = entry->Id;
        tScriptData data = tScriptData::FromInfo(*entry);
        if (!EditProperties || !EditProperties(data, true))
            return false;
        data.Id = entryId;
        std::int32_t id = 0;
        {
            const TBusyScope busy(LoadResString(SSaving));
            id = FClient.PutScript(data, ScriptLinesToText(FScripts.Lines()));
        }
        if (id <= 0)
            return false;
        for (int i = 0; i < Count(); ++i) {
            tScriptInfo& info = FEntries[i];
            if (info.Id == entryId) {
                data.ToInfo(info);
                info.ClName = FClient.Identity().UserName;
                info.Created = ClockCurrentDateTime();
                EntryChanged(i);
            }
        }
        return true;
    } catch (const std::exception& e) {
        ShowError(SPublishError, e);
        return false;
    }
}

bool TOnlineScripts::UnpublishScript()
{
    try {
        const tScriptInfo* entry = SelectedEntry();
        if (!entry || !entry->Editable)
            return false;
        const std::int32_t id = entry->Id;
        const tScriptData data = tScriptData::FromInfo(*entry);
        if (ConfirmBoxDefNo(Format(LoadResString(SDeleteQuery), {data.Title})) != IDYES)
            return false;
        std::int32_t answer = -1;
        {
            const TBusyScope busy(LoadResString(SDeleting));
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
    } catch (const std::exception& e) {
        ShowError(SPublishError, e);
        return false;
    }
}

bool TOnlineScripts::ShowScriptProperties()
{
    try {
        const tScriptInfo* entry = SelectedEntry();
        if (!entry || !EditProperties)
            return false;
        tScriptData data = tScriptData::FromInfo(*entry);
        EditProperties(data, false);
        return true;
    } catch (const std::exception& e) {
        ShowError(SViewError, e);
        return false;
    }
}

bool TOnlineScripts::ShowScriptRates()
{
    try {
        const tScriptInfo* entry = SelectedEntry();
        if (!entry)
            return false;
        QList<tScriptRate> rates;
        if (!FClient.GetScriptRates(entry->Id, rates))
            return false;
        if (ShowRates)
            ShowRates(rates);
        return true;
    } catch (const std::exception& e) {
        ShowError(SRatesError, e);
        return false;
    }
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
