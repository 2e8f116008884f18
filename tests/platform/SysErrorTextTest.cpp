#include "platform/SysErrorText.h"

#include <gtest/gtest.h>

#include <cerrno>

// A failed save carries these texts: SaveFileTest compares its messages with them.
TEST(SysErrorText, ReasonsAUserCanActOnAreToldInRussian)
{
    struct TCase {
        int Code;
        const char* Text;
    };
    const TCase cases[] = {
        {ENOSPC, "на диске нет свободного места"},
        {EDQUOT, "на диске нет свободного места"},
        {EFBIG, "файл превысил допустимый размер"},
        {EACCES, "нет прав на чтение и запись этого файла"},
        {EPERM, "нет прав на чтение и запись этого файла"},
        {EROFS, "диск доступен только для чтения"},
        {EISDIR, "на месте файла находится каталог"},
        {ENOENT, "нет такого файла или папки"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Code);
        EXPECT_EQ(SystemErrorText(c.Code), QString::fromUtf8(c.Text));
    }
    // Any other reason is the C library's own, never empty and never the same for two codes.
    EXPECT_FALSE(SystemErrorText(ECONNRESET).isEmpty());
    EXPECT_NE(SystemErrorText(ECONNRESET), SystemErrorText(EPIPE));
}

