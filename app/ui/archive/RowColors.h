#pragma once

#include "support/ui/RVclUtilsUi.h"

#include <QPalette>
#include <QStyleOptionViewItem>

#include <cstdint>
#include <optional>

// Colours a cell of the draw or combination list: a digit column in its digit's colour, every
// other cell in the row's background; no colour leaves the style's own. A row type has the
// optional colours Background, DigitColor1 and DigitColor2.
template <typename TRow>
void ApplyRowColors(QStyleOptionViewItem* option, const TRow& row, int column, int digit1Column, int digit2Column)
{
    std::optional<std::uint32_t> color = row.Background;
    if (column == digit1Column && row.DigitColor1)
        color = row.DigitColor1;
    else if (column == digit2Column && row.DigitColor2)
        color = row.DigitColor2;
    if (color) {
        option->backgroundBrush = ColorFromBgr(*color);
        // Coloured cells are light: the text stays dark whatever the palette says.
        option->palette.setColor(QPalette::Text, Qt::black);
    }
}
