#pragma once

// The cells of one statistics table computation: what each column shows for a row, as a text
// and as the number the text order reads in it. Both come from one description of the cell, so
// that a table sorted on the numbers puts its rows where a sort of the texts would.

#include "app/core/stats/StatTable.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

// One cell as the table forms it.
struct TStatCell {
    enum class TKind : std::uint8_t {
        Dash,      // "-": no value for this row
        Integer,   // Integer as IntToStr writes it
        Decimal,   // Decimal as "%.<Decimals>f" writes it
        Text,      // a text that is not made from one number: the value, the differences
    };
    TKind Kind = TKind::Dash;
    int Decimals = 0;
    std::int64_t Integer = 0;
    long double Decimal = 0;
};

class TStatTexts {
public:
    // `data` is the computation the rows belong to, with its final summary, window and norms
    // (they are copied); the statistic and the weights are those of the computation.
    TStatTexts(std::unique_ptr<TCustomStat> stat, const TStatTableData& data, const TStatWeights& weights,
               bool sorted, TStatNextSearch search);
    ~TStatTexts();

    // Makes the texts of the columns of the set; `made` are those the rows hold already.
    void Fill(std::vector<TStatRow>& rows, TStatColumns columns, const TDrawsArray& draws, TStatColumns made = 0);
    // The cells of one column, read as the text order reads their texts.
    std::vector<TCellTextOrder::TKey> SortKeys(const std::vector<TStatRow>& rows, int column,
                                               const TCellTextOrder& order, const TDrawsArray& draws);

    TStatCell Cell(const TStatRow& row, std::size_t index, int column) const;
    // The text of a cell. A difference is read from its expectation's text, given when made.
    QString CellText(const TStatRow& row, std::size_t index, int column, const QString* expectation = nullptr);
    const TCustomStat& Stat() const { return *FStat; }
    // The text of a cell of a kind other than Text.
    QString Text(const TStatCell& cell);

private:
    // The text of a cell of the kind Text.
    QString TextOfText(const TStatRow& row, std::size_t index, int column, const QString* expectation);
    // The "Факт" of every row: the number of the next draw after the window with its value,
    // -1 for none. Searched once, when a column that shows it is first asked for.
    void FindFacts(const std::vector<TStatRow>& rows, TStatColumns columns, const TDrawsArray& draws);
    // Format("%.<decimals>f", value), decimals 0..5, and its sort key once asked for.
    struct TDecimalText {
        QString Text;
        std::optional<TCellTextOrder::TKey> Key;
    };
    TDecimalText& Decimal(int decimals, long double value);

    struct TValueKey {
        std::uint64_t Mantissa;
        int Exponent;   // with the sign and the decimals folded in
        bool operator==(const TValueKey&) const = default;
    };
    struct TValueHash {
        std::size_t operator()(const TValueKey& k) const
        {
            return std::hash<std::uint64_t>()(k.Mantissa ^ (std::uint64_t(std::uint32_t(k.Exponent)) << 40));
        }
    };

    std::unique_ptr<TCustomStat> FStat;
    TStatValuesSummary FSummary;
    bool FHasExpected = false;
    int FLength = 0;
    int FLast = -1;
    TStatWeights FWeights;
    bool FSorted = false;
    TStatNextSearch FSearch;
    bool FFactsFound = false;
    std::vector<int> FFacts;
    std::unordered_map<TValueKey, TDecimalText, TValueHash> FDecimals;
};
