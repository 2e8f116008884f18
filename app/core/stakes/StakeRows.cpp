#include "app/core/stakes/StakeRows.h"

#include "engine/KelmaMsg.h"
#include "engine/KelmaUtils.h"
#include "platform/DelphiText.h"

namespace {

constexpr int kWidths[StakeColumnCount] = {60, 60, 120, 60, 120, 60, 60, 60, 1000};

std::optional<std::uint32_t> OriginBackground(int origin)
{
    switch (origin) {
    case soManual:
        return 0xEAFFEA;
    case soRegular:
        return 0xFFEAEA;
    case soScript:
        return 0xEAFFFF;
    case soSystem:
        return 0xFCFDD9;
    default:
        return std::nullopt;
    }
}

} // namespace

QStringList StakeColumnCaptions()
{
    QStringList captions;
    for (const TResString& caption : {rsColDrawNumber, rsColStakeOrigin, rsColMyStake, rsColSample, rsColDrawResults,
                                      rsColMatchCount, rsColMatches, rsColProfit, rsColComment})
        captions.append(LoadResString(caption));
    return captions;
}

int StakeColumnWidth(int col)
{
    return col >= 0 && col < StakeColumnCount ? kWidths[col] : 0;
}

TStakeRowView StakeRowView(const TStakeRec& rec)
{
    TStakeRowView view;
    // The counts of a damaged record index the digit bytes: nothing of it is shown.
    if (!rec.IsStake() || rec.IsDamaged())
        return view;
    view.Empty = false;
    view.Checked = rec.Checked != 0;
    view.Background = OriginBackground(rec.Origin);

    const std::array<int, 2> drawn = CombDigits(rec.DrawResult);
    for (int i = 0; i < rec.Digits.UsedCount(); ++i) {
        view.StakedDigits.append(QString::number(rec.Digits.Digits[i]));
        view.StakedMatch[i] = view.Checked && i < 2 && rec.Digits.Digits[i] == drawn[i];
    }
    if (view.Checked) {
        for (int i = 0; i < 2; ++i) {
            view.DrawnDigits.append(QString::number(drawn[i]));
            view.DrawnMatch[i] = i < rec.Digits.UsedCount() && rec.Digits.Digits[i] == drawn[i];
        }
        view.ResultColor = rec.Balance > TCurrency() ? 0x008000u : 0xFF0000u;
    }

    auto& t = view.Texts;
    t[0] = QString::number(rec.DrawNumber);
    t[1] = StakeOriginCaption(rec.Origin);
    t[2] = view.StakedDigits.join(';');
    t[3] = QString::number(rec.SelectionSize);
    if (view.Checked) {
        t[4] = view.DrawnDigits.join(';');
        t[5] = QString::number(rec.Matches.Count);
        QStringList matched;
        for (int i = 0; i < rec.Matches.UsedCount(); ++i)
            matched.append(QString::number(rec.Matches.Digits[i]));
        t[6] = matched.join(' ');
    }
    t[7] = Format(QStringLiteral("%.2f"), {rec.Balance});
    t[8] = rec.Comment.Get();
    return view;
}

QString StakeCellText(const TStakeRowView& view, int col, int row)
{
    if (col < 0 || col >= StakeColumnCount)
        return Format(QStringLiteral("ACol=%d, ARow=%d"), {col, row});
    return view.Texts[col];
}
