#include "app/core/online/SystemCombs.h"

#include "engine/KelmaMsg.h"
#include "platform/Cp1251.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/ReadFile.h"
#include "platform/ResString.h"
#include "platform/WordUtils.h"

#include <QDir>

#include <algorithm>

namespace {

const TResString SSystemEmpty = RESSTR("SystemCombs", "В файле системы \"%s\" нет ни одной комбинации!");

// The two numbers of a line, or false when it does not name two of the player's numbers.
bool ReadSystemLine(const QString& line, const TByteArray& numbers, TCombWord& comb)
{
    const QString delimiters = SystemLineDelimiters();
    int i = 0;
    int j = 0;
    if (!TryStrToInt(ExtractWord(1, line, delimiters).trimmed(), i)
        || !TryStrToInt(ExtractWord(2, line, delimiters).trimmed(), j))
        return false;
    const int n = static_cast<int>(numbers.size());
    if (i < 1 || i > n || j < 1 || j > n)
        return false;
    comb = MakeComb(numbers[std::size_t(i - 1)], numbers[std::size_t(j - 1)]);
    return true;
}

} // namespace

QString SystemCacheFolder(const QString& programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("Systems"));
}

QString SystemCacheName(int nums, int olap, int id)
{
    return Format(QStringLiteral("%d-%.2d-%d_%.4d.dat"), {SystemCombLength, nums, olap, id});
}

QString SystemCacheFileName(const QString& folder, int nums, int olap, int id)
{
    return QDir(folder).filePath(SystemCacheName(nums, olap, id));
}

QString SystemLineDelimiters()
{
    return QStringLiteral(" *+,-./:;=\\_|~");
}

QString SystemCacheMask(int nums)
{
    return Format(QStringLiteral("%d-%.2d-*_*.dat"), {SystemCombLength, nums});
}

TSystemList NormalizeSystemList(const QString& text)
{
    TSystemList list;
    const QString delimiters = SystemLineDelimiters();
    for (const QString& raw : SplitTextLines(text)) {
        const QString line = raw.trimmed();
        if (WordCount(line, delimiters) != 2)
            continue;
        int i = 0;
        int j = 0;
        if (!TryStrToInt(ExtractWord(1, line, delimiters).trimmed(), i)
            || !TryStrToInt(ExtractWord(2, line, delimiters).trimmed(), j) || i < 1 || j < 1)
            continue;
        list.Lines.append(Format(QStringLiteral("%.2d %.2d"), {i, j}));
        list.Nums = std::max({list.Nums, i, j});
    }
    list.CSize = static_cast<int>(list.Lines.size());
    return list;
}

bool LoadSystemCombs(const QString& folder, const TByteArray& numbers, TSystemCombs& result)
{
    result = TSystemCombs{};
    const int n = static_cast<int>(numbers.size());
    const QString mask = SystemCacheMask(n);
    const QStringList names = QDir(folder).entryList({mask}, QDir::Files, QDir::Name);
    if (names.isEmpty()) {
        result.Error = Format(LoadResString(rsSystemNotLoaded), {n});
        return false;
    }

    result.FileName = QDir(folder).filePath(names.first());
    QByteArray bytes;
    try {
        bytes = ReadRegularFile(result.FileName, MaxSystemFileBytes);
    } catch (const EFileReadError& e) {
        result.Error = e.Message();
        return false;
    }
    const QString text = DecodeCp1251(bytes);
    for (const QString& line : SplitTextLines(text)) {
        if (line.trimmed().isEmpty())
            continue;
        TCombWord comb = 0;
        if (ReadSystemLine(line, numbers, comb))
            result.Combs.push_back(comb);
        else
            ++result.SkippedLines;
    }
    if (result.Combs.empty()) {
        result.Error = Format(LoadResString(SSystemEmpty), {result.FileName});
        return false;
    }
    return true;
}
