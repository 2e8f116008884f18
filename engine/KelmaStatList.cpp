#include "engine/KelmaStatList.h"

#include "platform/DelphiText.h"
#include "platform/Exceptions.h"

#include <algorithm>
#include <array>

namespace {

const std::array<const char*, StatGroupCount> GroupCodes{
    "num", "sum", "dif", "grp", "mtx", "sgm", "seq", "rep", "ser", "per", "mov", "ogn", "shr"};

// Letters of the flag bits S, N, D, P, G in bit order.
const std::array<TResString, 5> FlagLetters{rsFlagLetterS, rsFlagLetterN, rsFlagLetterD,
                                            rsFlagLetterP, rsFlagLetterG};

const TResString rsAbstractStat = KELMA_MSG("Abstract Error");

// The shredding group: its captions carry the method's formula.
constexpr int ShreddingGroup = 12;

bool ValidGroup(int group)
{
    return group >= 0 && group < StatGroupCount;
}

// Codes are ASCII; only ASCII letters fold, as the stored favourites expect.
bool SameCodeAscii(const QString& a, const QString& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a.at(i).unicode();
        char16_t y = b.at(i).unicode();
        if (x >= u'a' && x <= u'z')
            x = static_cast<char16_t>(x - u'a' + u'A');
        if (y >= u'a' && y <= u'z')
            y = static_cast<char16_t>(y - u'a' + u'A');
        if (x != y)
            return false;
    }
    return true;
}

// The caption of a shredding method holds "%s" where its formula goes. The caption may be
// the user's own text, so it is never handed to Format: the first "%s" takes the formula,
// "%%" reads as one "%", and any other "%" stays as it stands.
QString SubstituteFormula(const QString& caption, const QString& formula)
{
    QString out;
    out.reserve(caption.size() + formula.size());
    bool filled = false;
    const qsizetype n = caption.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = caption.at(i);
        if (c == QLatin1Char('%') && i + 1 < n) {
            const QChar next = caption.at(i + 1);
            if (next == QLatin1Char('%')) {
                out += c;
                ++i;
                continue;
            }
            if (!filled && (next == QLatin1Char('s') || next == QLatin1Char('S'))) {
                out += formula;
                filled = true;
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

}  // namespace

// ---------------------------------------------------------------------------------------

QString StatGroupCode(int group)
{
    return ValidGroup(group) ? QString::fromLatin1(GroupCodes[group]) : QString();
}

QString StatGroupCaption(int group)
{
    if (!ValidGroup(group))
        return LoadResString(rsGroupCaptionError);
    return Format(QStringLiteral("{ %1:s } %0:s"),
                  {LoadResString(rsGroupNames[group]), StatGroupCode(group)});
}

// ---------------------------------------------------------------------------------------
// TStatMethod

TStatMethod::TStatMethod(const TStatClass& statClass, int param, QString extraText)
    : ExtraText(std::move(extraText)), FClass(&statClass), FParam(param)
{
}

QString TStatMethod::Code() const
{
    return StatClassCode(*FClass, FParam);
}

QString TStatMethod::Caption() const
{
    return StatClassCaption(*FClass, FParam);
}

QString TStatMethod::DisplayCaption() const
{
    return UserCaption.isEmpty() ? Caption() : UserCaption;
}

QString TStatMethod::FullCaption() const
{
    if (FClass->Group == ShreddingGroup)
        return SubstituteFormula(DisplayCaption(), ExtraText);
    return DisplayCaption();
}

QString TStatMethod::HelpUrl() const
{
    return StatClassHelpUrl(*FClass, FParam);
}

bool TStatMethod::HasNumericValue() const
{
    return FClass->HasNumericValue;
}

std::unique_ptr<TCustomStat> TStatMethod::CreateStat(const TStatList& list) const
{
    if (!FClass->Factory)
        throw Exception(LoadResString(rsAbstractStat));
    return FClass->Factory(list, FParam);
}

// ---------------------------------------------------------------------------------------
// TStatList: methods

TStatList::TStatList() = default;

bool TStatList::IsAvailable(int i) const
{
    return Items(i).StatClass().Available;
}

bool TStatList::HasStatTable(int /*i*/) const
{
    return true;
}

bool TStatList::IsGraph(int i) const
{
    return Items(i).StatClass().IsGraph;
}

bool TStatList::IsPlainValue(int i) const
{
    return StatClassIsPlainValue(Items(i).StatClass());
}

bool TStatList::IsFavorite(int i) const
{
    return AllFavorites || Items(i).Enabled;
}

QString TStatList::MethodCaption(int i, bool withFlags) const
{
    const TStatMethod& method = Items(i);
    QString s = method.FullCaption();
    if (ShowGroupName)
        s = Format(QStringLiteral("{ %1:s } %0:s"), {s, StatGroupCode(method.StatClass().Group)});
    if (withFlags && ShowMethodFlags) {
        const std::uint8_t flags = StatClassEffectiveFlags(method.StatClass());
        QString letters;
        for (std::size_t bit = 0; bit < FlagLetters.size(); ++bit)
            if (flags & (1u << bit))
                letters += LoadResString(FlagLetters[bit]);
        if (!letters.isEmpty())
            s = Format(QStringLiteral("%0:s [ %1:s ]"), {s, letters});
    }
    return s;
}

std::unique_ptr<TCustomStat> TStatList::CreateStat(int i) const
{
    return Items(i).CreateStat(*this);
}

std::unique_ptr<TCustomStat> TStatList::CreateSelectedStat(const TStatMethod* method,
                                                          const QString& chooserName) const
{
    if (!method)
        throw Exception(Format(LoadResString(rsNoMethodSelected), {chooserName}));
    return method->CreateStat(*this);
}

int TStatList::IndexOfCode(const QString& code) const
{
    for (int i = 0; i < Count(); ++i)
        if (SameCodeAscii(Items(i).Code(), code))
            return i;
    return -1;
}

void TStatList::RebuildMethods()
{
    RebuildMethods(StatRegistry());
}

void TStatList::RebuildMethods(std::span<const TStatClass* const> classes)
{
    Ordered = false;
    ShowGroupName = true;
    ShowMethodFlags = true;
    AllFavorites = true;
    FMethods.clear();
    for (const TStatClass* cls : classes) {
        if (!cls->Available)
            continue;
        int lo = 0;
        int hi = 0;
        if (cls->ParamRange)
            cls->ParamRange(*this, lo, hi);
        for (int param = lo; param <= hi; ++param) {
            QString extra;
            if (cls->Group == ShreddingGroup)
                extra = Formula(param);
            FMethods.push_back(std::make_unique<TStatMethod>(*cls, param, extra));
            if (param == hi)   // hi may be INT_MAX: never step past it
                break;
        }
    }
}

// ---------------------------------------------------------------------------------------
// TStatList: weights and stakes

void TStatList::ApplyWeights(bool ownWeights, const TStatWeights& weights)
{
    if (ownWeights)
        FConfig.Weights = weights;
    else
        RestoreWeights();
}

TCurrency TStatList::StakeBalance(int k, int m) const
{
    const auto digits = static_cast<std::uint8_t>(std::clamp(k, 0, 255));
    const std::int64_t combs = StakeCombCount(digits, static_cast<std::uint8_t>(DrawDigits));
    TCurrency result = -(FConfig.Cost * combs);
    if (m >= 0) {
        for (const TProfitRec& profit : FConfig.Profits) {
            if (profit.Matches == m) {
                result += profit.Amount;
                break;
            }
        }
    }
    return result;
}

// ---------------------------------------------------------------------------------------
// TStatList: favourites

void TStatList::SelectAllFavorites()
{
    AllFavorites = true;
    for (auto& method : FMethods)
        method->Enabled = true;
}

void TStatList::CheckAllFavorites()
{
    if (FMethods.empty()) {
        AllFavorites = true;
        return;
    }
    const bool first = FMethods.front()->Enabled;
    AllFavorites = std::all_of(FMethods.begin(), FMethods.end(),
                               [first](const auto& m) { return m->Enabled == first; });
    if (AllFavorites && !first)
        for (auto& method : FMethods)
            method->Enabled = true;
}

QString TStatList::FavoritesText() const
{
    if (AllFavorites)
        return {};
    QStringList codes;
    for (const auto& method : FMethods)
        if (method->Enabled)
            codes.append(method->Code());
    return codes.join(QLatin1Char(','));
}

void TStatList::SetFavoritesText(const QString& text)
{
    if (text.trimmed().isEmpty()) {
        SelectAllFavorites();
        return;
    }
    AllFavorites = false;
    const QStringList words = text.split(QLatin1Char(','));
    for (auto& method : FMethods) {
        const QString code = method->Code();
        method->Enabled = std::any_of(words.begin(), words.end(),
                                      [&](const QString& w) { return SameCodeAscii(code, w); });
    }
}

// ---------------------------------------------------------------------------------------
// TStatList: shredding formulas

QString TStatList::Formula(int n) const
{
    switch (n) {
    case 1: return Formula1;
    case 2: return Formula2;
    case 3: return Formula3;
    default: return {};
    }
}

TStatList::TValueSettings TStatList::ValueSettings() const
{
    return TValueSettings{FConfig.MatrixCols, FConfig.ChannelSize, FConfig.MatrixSegments,
                          {Formula1, Formula2, Formula3},
                          {Formula1Digits, Formula2Digits, Formula3Digits}};
}

std::uint64_t TStatList::ConfigRevision() const
{
    TValueSettings now = ValueSettings();
    if (!(now == FSeenSettings)) {
        FSeenSettings = std::move(now);
        ++FConfigRevision;
    }
    return FConfigRevision;
}

int TStatList::FormulaDigits(int n) const
{
    switch (n) {
    case 1: return Formula1Digits;
    case 2: return Formula2Digits;
    case 3: return Formula3Digits;
    default: return 0;
    }
}
