#pragma once

// The order of the cell texts of sortable lists and tables, shared by the list views of the
// windows and by the statistics table that the scenario interpreter walks without a window,
// so that both put the rows in the same order.
//
// Two texts that both read as numbers (after the first "," is read as ".") compare as numbers;
// any other pair compares by the locale without regard to letter case, as the texts stand. A
// dash (a value the window has not seen) therefore comes before every number, and a
// descending sort puts it last.
//
// Mixing the two rules is not transitive for every column ("9" < "10" as numbers, "10" < "5x"
// and "5x" < "9" as texts); callers sort with a stable sort, which stays within its range
// whatever the comparison says and gives the same order for the same input.

#include <QCollator>
#include <QString>

#include <optional>

// Reads a whole text as a plain number: blanks before it, an optional sign, digits with an
// optional point and fraction, an optional exponent, and nothing after it.
bool ReadPlainNumber(const QString& text, long double& value);

class TCellTextOrder {
public:
    // A text prepared for many comparisons: its number read once.
    struct TKey {
        bool IsNumber = false;
        long double Number = 0;
        QString Text;
        // Only for texts that are not numbers, and only when the order was asked for them.
        std::optional<QCollatorSortKey> SortKey;
    };

    // The collation of the current locale. With sortKeys, keys of texts that are not numbers
    // carry the collator's sort key: dearer to make, cheaper to compare, worth it for long
    // lists of texts.
    explicit TCellTextOrder(bool sortKeys = false);

    TKey Key(const QString& text) const;
    // Negative, 0 or positive.
    int Compare(const TKey& a, const TKey& b) const;
    int Compare(const QString& a, const QString& b) const { return Compare(Key(a), Key(b)); }

private:
    QCollator FCollator;
    bool FSortKeys = false;
};

// The order of two cell texts: negative, 0 or positive.
int CompareCellTexts(const QString& a, const QString& b);
