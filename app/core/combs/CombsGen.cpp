#include "app/core/combs/CombsGen.h"

#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/WordUtils.h"
#include "support/RDialogs.h"
#include "support/RVclUtils.h"

#include <optional>

TMyNumbers ParseMyNumbers(const QString& text)
{
    static const QString delimiters = QStringLiteral(",;");
    TMyNumbers numbers;
    const int words = WordCount(text, delimiters);
    for (int i = 1; i <= words; ++i) {
        const int value = StrToNum(ExtractWord(i, text, delimiters).trimmed());
        if (value >= 0 && value < static_cast<int>(numbers.size()))
            numbers.set(static_cast<size_t>(value));
    }
    return numbers;
}

QString MyNumbersRefusal(const QString& text)
{
    static const QString delimiters = QStringLiteral(",;");
    const int words = WordCount(text, delimiters);
    for (int i = 1; i <= words; ++i) {
        const QString word = ExtractWord(i, text, delimiters);
        std::uint8_t digit = 0;
        if (!ReadDigitWord(word, digit))
            return Format(LoadResString(rsBadMyNumber), {word.trimmed()});
    }
    return QString();
}

TCombsArray GenerateCombs(int mode, const TMyNumbers& numbers)
{
    TCombsArray combs;
    combs.reserve(CombinationsTotal);
    for (int d1 = DigitMin; d1 <= DigitMax; ++d1)
        for (int d2 = DigitMin; d2 <= DigitMax; ++d2) {
            const bool in1 = numbers.test(static_cast<size_t>(d1));
            const bool in2 = numbers.test(static_cast<size_t>(d2));
            bool keep = true;
            switch (mode) {
            case GenAnyOf:
                keep = in1 || in2;
                break;
            case GenOnlyFrom:
                keep = in1 && in2;
                break;
            case GenNoneOf:
                keep = !in1 && !in2;
                break;
            default:
                break;
            }
            if (keep)
                combs.push_back(MakeComb(static_cast<std::uint8_t>(d1), static_cast<std::uint8_t>(d2)));
        }
    return combs;
}

QString CombsGenerateModeCaption(int mode)
{
    switch (mode) {
    case GenFull:
        return LoadResString(rsGenModeFull);
    case GenAnyOf:
        return LoadResString(rsGenModeAnyOf);
    case GenOnlyFrom:
        return LoadResString(rsGenModeOnlyFrom);
    case GenNoneOf:
        return LoadResString(rsGenModeExclude);
    case GenFromFile:
        return LoadResString(rsGenModeCsv);
    default:
        return QString();
    }
}

TCombsGenerateSettings TCombsGen::DefaultSettings() const
{
    const TStatList& list = FCombs.State().StatList();
    return {list.CombsGenerateMode, list.CombsGenerateParameters};
}

void TCombsGen::SaveDefaultSettings(const TCombsGenerateSettings& settings)
{
    TMainState& state = FCombs.State();
    state.StatList().CombsGenerateMode = settings.Mode;
    state.StatList().CombsGenerateParameters =
        settings.Parameters.left(TCombsGenerateSettings::MaxParametersLength);
    state.StatList().SaveCombsGenerateSettings(state.IniFileName());
}

bool TCombsGen::BuildCombs(bool showStatus, const TCombsGenerateSettings& settings)
{
    return Build(showStatus, settings) == TBuildResult::Built;
}

TCombsGen::TBuildResult TCombsGen::Build(bool showStatus, const TCombsGenerateSettings& settings)
{
    std::optional<TBusyScope> busy;
    if (showStatus)
        busy.emplace(LoadResString(rsGeneratingCombs));
    TMainState& state = FCombs.State();

    // What an error puts back: the lists are small, copies cost nothing next to the build.
    const TCombList oldCombs = state.FCombs;
    const TCombList oldUndo = state.FUndoCombs;
    const int oldBufferCount = state.FCombsBuffer.Count;
    const QList<TFilterHistoryRow> oldHistory = FCombs.FilterHistory();

    try {
        TCombList& combs = state.FCombs;
        combs.Count = 0;
        bool read = true;
        int badDigitLines = 0;
        if (settings.Mode == GenFromFile) {
            read = FCombs.ReadCombsFile(settings.Parameters, &badDigitLines);
        } else {
            const TMyNumbers numbers = settings.Mode >= GenAnyOf && settings.Mode <= GenNoneOf
                                           ? ParseMyNumbers(settings.Parameters)
                                           : TMyNumbers();
            const TCombsArray generated = GenerateCombs(settings.Mode, numbers);
            const int count = static_cast<int>(generated.size());
            SetCombsCapacity(combs, count, 0);
            std::copy(generated.begin(), generated.end(), combs.Items.begin());
            combs.Count = count;
        }
        if (showStatus) {
            FCombs.ClearFilterHistory();
            FCombs.RefreshCombsView();
            // After a failed read the list is empty; the undo copy still holds the list before.
            if (read)
                FCombs.ClearUndo();
            state.FCombsBuffer.Count = 0;
            if (badDigitLines > 0)
                WarningBox(TCombListOps::BadDigitLinesText(settings.Parameters, badDigitLines));
        }
        return read ? TBuildResult::Built : TBuildResult::ReadFailed;
    } catch (const std::exception& e) {
        state.FCombs = oldCombs;
        state.FUndoCombs = oldUndo;
        state.FCombsBuffer.Count = oldBufferCount;
        ErrorBox(Format(LoadResString(rsGenerateError), {ExceptionText(e)}));
        FCombs.SetFilterHistory(oldHistory);
        FCombs.RefreshCombsView();
        return TBuildResult::Failed;
    }
}

bool TCombsGen::Generate(const TCombsGenerateSettings& settings, bool saveAsDefault)
{
    if (saveAsDefault)
        SaveDefaultSettings(settings);
    TMainState& state = FCombs.State();
    const TCombList undoBefore = state.FUndoCombs;
    FCombs.SaveUndo(true);
    const TBuildResult result = Build(true, settings);
    if (result == TBuildResult::Failed)
        state.FUndoCombs = undoBefore;
    return result == TBuildResult::Built;
}
