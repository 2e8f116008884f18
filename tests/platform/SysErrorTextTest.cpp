#include "platform/Exceptions.h"
#include "platform/SaveFile.h"
#include "platform/SysErrorText.h"
#include "tests/common/FileWrites.h"
#include "tests/common/TestHelpers.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

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
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Code);
        EXPECT_EQ(SystemErrorText(c.Code), QString::fromUtf8(c.Text));
    }
    // Any other reason is the C library's own, never empty.
    EXPECT_FALSE(SystemErrorText(ENAMETOOLONG).isEmpty());
    EXPECT_NE(SystemErrorText(ENAMETOOLONG), SystemErrorText(ENOENT));
}

TEST(SysErrorText, ASaveWithoutRoomSaysSo)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("a.dat"));
    TFileSizeLimit limit(10);
    ASSERT_TRUE(limit.Active());
    try {
        SaveFileAtomic(path, QByteArray(100 * 1024, 'z'));
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QString::fromUtf8("Ошибка записи файла \"%1\": файл превысил допустимый размер").arg(path));
    }
}
