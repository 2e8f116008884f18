#include "support/RMsgRu.h"

#include "platform/DelphiText.h"

#include <gtest/gtest.h>

TEST(RMsgRu, AlignmentNamesAndFileNotFound)
{
    EXPECT_EQ(AlignmentName(0), "по левому краю");
    EXPECT_EQ(AlignmentName(1), "по правому краю");
    EXPECT_EQ(AlignmentName(2), "по центру");
    EXPECT_EQ(AlignmentName(3), "");
    EXPECT_EQ(AlignmentName(-1), "");
    EXPECT_EQ(Format(LoadResString(SFileNotFound), {QString("a.txt")}), "Файл \"a.txt\" не найден!");
}
