// The engine's configuration file and the favourites file. Reading takes any text: a value
// that cannot be used falls back to its default, and a stake's cost and payouts are read only
// within the range whose balances the money type can sum. Favourites calls report errors by
// their result. Invariants: stake balances never overflow, and settings written read back the
// same.
//
// Input: the file.

#include "engine/KelmaStatList.h"
#include "fuzz/FuzzTargets.h"

#include <memory>

namespace {

TStatList& StatList()
{
    static const std::unique_ptr<TStatList> list = [] {
        auto l = std::make_unique<TStatList>();
        l->RebuildMethods();
        return l;
    }();
    return *list;
}

} // namespace

void FuzzConfig(const std::uint8_t* data, std::size_t size)
{
    const QByteArray file(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString fileName = FuzzTempFile("settings.ini", file);
    TStatList& list = StatList();
    list.LoadConfig(fileName);
    list.LoadShreddingFormulas(fileName);
    list.LoadCombsGenerateSettings(fileName);
    QString error;
    list.LoadFilterSettings(fileName, true, QStringLiteral("RU"), &error);

    const TConfigData& config = list.Config();
    FuzzCheck(config.MatrixCols >= 1 && config.ChannelSize >= 1, "a divisor setting below 1 is taken");
    for (int k = 0; k <= 12; ++k)
        for (int m = -1; m <= 3; ++m)
            list.StakeBalance(k, m);
    list.StakeBalance(255, 2);

    // Written and read again: the same stake settings and favourites.
    const TConfigData before = config;
    const QString favorites = list.FavoritesText();
    const QString copy = FuzzTempFile("written.ini", QByteArray());
    list.SaveConfig(copy);
    FuzzCheck(list.SaveFilterSettings(copy, true, false, QStringLiteral("RU"), &error), "favourites cannot be saved");
    list.LoadConfig(copy);
    FuzzCheck(list.Config().Cost == before.Cost, "the cost reads back as another amount");
    FuzzCheck(list.Config().MaxStake == before.MaxStake, "the largest stake reads back differently");
    FuzzCheck(list.Config().Profits.size() == before.Profits.size(), "the payouts read back as another count");
    for (size_t i = 0; i < before.Profits.size(); ++i)
        FuzzCheck(list.Config().Profits[i].Matches == before.Profits[i].Matches
                      && list.Config().Profits[i].Amount == before.Profits[i].Amount,
                  "a payout reads back differently");
    FuzzCheck(list.Config().MatrixCols == before.MatrixCols && list.Config().ChannelSize == before.ChannelSize
                  && list.Config().MatrixSegments == before.MatrixSegments,
              "the matrix settings read back differently");
    FuzzCheck(list.LoadFilterSettings(copy, true, QStringLiteral("RU"), &error), "favourites cannot be read");
    FuzzCheck(list.FavoritesText() == favorites, "the favourites read back differently");
}

std::vector<QByteArray> SeedsConfig()
{
    return {
        "[GLOBAL]\r\nMatrixCols=3\r\nMatrixSegments=11122233341112223334\r\nChannelSize=2\r\n"
        "[STAKES]\r\nCost=1\r\nMaxStake=2\r\nProfits=2\r\nProfit_0_Overlap=1\r\nProfit_0_Profit=5\r\n"
        "Profit_1_Overlap=2\r\nProfit_1_Profit=90,5\r\n[CDL]\r\nCount=1,5\r\nDeviation=-1\r\nLevel=1\r\n"
        "UsePercents=1\r\nUseAbsValues=0\r\n",
        "[STAKES]\nCost=10000000\nProfits=1\nProfit_0_Overlap=300\nProfit_0_Profit=1E30\n",
        "[GLOBAL]\nMatrixCols=0\nChannelSize=-4\nMatrixSegments=x9\nCombsGenerateMode=7\n"
        "CombsGenerateParameters=1;2;3\n[SHREDDING]\nFormula1=n1*n2\nFormula1Digits=300\n",
        "[FILTERS]\nFavorites=DIGI1,SUMS2,NOPE\nOrdered=1\nShowGroupName=0\n[STRINGS_RU]\nDIGI1=Digits\n",
        "[STAKES]\nCost=0,0001\nProfits=99999\nMaxStake=$7FFFFFFF\n",
    };
}
