#include "platform/SysErrorText.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cerrno>
#include <string.h>

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
        {ENOEXEC, "файл повреждён или имеет неизвестный формат"},
        {ECONNREFUSED, "в соединении отказано"},
        {ECHILD, "нет дочерних процессов"},
        {0, "ошибки нет"},
        {4242, "системная ошибка 4242"},
        {-1, "системная ошибка -1"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Code);
        EXPECT_EQ(SystemErrorText(c.Code), QString::fromUtf8(c.Text));
    }
    // Every code the system has is told in words of its own, never in Latin letters.
    for (int code = 1; code <= EHWPOISON; ++code) {
        if (strerrorname_np(code) == nullptr)
            continue;   // a number the system leaves unused
        const QString text = SystemErrorText(code);
        EXPECT_FALSE(text.startsWith(QString::fromUtf8("системная ошибка")) || text.contains(QRegularExpression("[A-Za-z]")))
            << code << " " << text.toStdString();
    }
    EXPECT_NE(SystemErrorText(ECONNRESET), SystemErrorText(EPIPE));
}

