#include "support/ui/RClipBrd.h"

#include <gtest/gtest.h>

TEST(RClipBrd, TextGoesThereAndBackAndEmptyTextChangesNothing)
{
    const QString text = "Комбинации: 07; 12\nвторая строка\t№";
    SetClipboardWideText(text);
    EXPECT_EQ(GetClipboardWideText(), text);
    SetClipboardWideText("");
    EXPECT_EQ(GetClipboardWideText(), text);
    SetClipboardWideText("x");
    EXPECT_EQ(GetClipboardWideText(), "x");
}
