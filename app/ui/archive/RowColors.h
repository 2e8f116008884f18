#pragma once

#include "platform/ResString.h"
#include "support/ui/RVclUtilsUi.h"

#include <QModelIndex>
#include <QPalette>
#include <QString>
#include <QStyleOptionViewItem>
#include <QStyledItemDelegate>

#include <cstdint>
#include <optional>

// What the draw list and the combination list share: a row type with the texts Number, Digit1,
// Digit2 and Sum and the optional colours Background, DigitColor1 and DigitColor2, shown in the
// same first four columns.

enum TDigitRowColumn { colRowNumber, colRowDigit1, colRowDigit2, colRowSum, DigitRowColumnCount };

// The captions of the two digit columns and the sum column.
inline const TResString SColDigit1 = RESSTR("DrawsPage", "1");
inline const TResString SColDigit2 = RESSTR("DrawsPage", "2");
inline const TResString SColSum = RESSTR("DrawsPage", "S");

// The text of a cell in one of the four columns; none for a column after them.
template <typename TRow>
QString DigitRowCellText(const TRow& row, int column)
{
    switch (column) {
    case colRowNumber:
        return row.Number;
    case colRowDigit1:
        return row.Digit1;
    case colRowDigit2:
        return row.Digit2;
    case colRowSum:
        return row.Sum;
    default:
        return QString();
    }
}

// Colours a cell: a digit column in its digit's colour, every other cell in the row's
// background; no colour leaves the style's own.
template <typename TRow>
void ApplyRowColors(QStyleOptionViewItem* option, const TRow& row, int column)
{
    std::optional<std::uint32_t> color = row.Background;
    if (column == colRowDigit1 && row.DigitColor1)
        color = row.DigitColor1;
    else if (column == colRowDigit2 && row.DigitColor2)
        color = row.DigitColor2;
    if (color) {
        option->backgroundBrush = ColorFromBgr(*color);
        // Coloured cells are light: the text stays dark whatever the palette says.
        option->palette.setColor(QPalette::Text, Qt::black);
    }
}

// Paints a list's cells in the colours of its rows (ApplyRowColors); the rows come from the
// source's Row function, row k for the list's row k.
template <typename TSource, auto Row>
class TDigitRowDelegate : public QStyledItemDelegate {
public:
    TDigitRowDelegate(const TSource& source, QObject* parent) : QStyledItemDelegate(parent), FSource(source) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        ApplyRowColors(option, (FSource.*Row)(index.row()), index.column());
    }

private:
    const TSource& FSource;
};
