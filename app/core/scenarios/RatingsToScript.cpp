#include "app/core/scenarios/RatingsToScript.h"

#include "app/core/scenarios/KelmaScr.h"
#include "app/core/scenarios/ScriptList.h"
#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "support/RDialogs.h"
#include "support/RVclUtils.h"

bool IsRunnableScriptLine(const QString& line, const TStatList& methods)
{
    if (ScriptOptionsCaption(ParseScriptOptions(GetScriptLineOptions(line))).isEmpty())
        return false;
    for (int n = 1; n <= ScriptFilterCount; ++n)
        if (!FilterItemText(ParseFilterItem(GetScriptLineFilter(line, n), methods)).isEmpty())
            return true;
    return false;
}

int AddRatingsToScript(TScriptList& script, const TRatingsArray& ratings, const QList<int>& rows,
                       const TStatList& methods)
{
    TBusyScope busy(LoadResString(rsGeneratingScriptLines));
    int added = 0;
    for (const int row : rows) {
        if (row < 0 || row >= static_cast<int>(ratings.size()))
            continue;
        const QString& comment = ratings[static_cast<size_t>(row)].Comment;
        const QString line = RatingScriptLine(comment);
        if (!IsRunnableScriptLine(line, methods)) {
            ErrorBox(Format(LoadResString(rsCannotAddLine), {comment}));
            continue;
        }
        if (script.AddScriptLine(line) < 0)
            break;   // the scenario could not be saved: shown, and nothing more is tried
        ++added;
    }
    return added;
}
