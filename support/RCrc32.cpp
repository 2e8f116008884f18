#include "support/RCrc32.h"

#include "platform/DelphiText.h"
#include "platform/ReadFile.h"
#include "platform/ResString.h"
#include "platform/ScopeGuard.h"

#include <array>
#include <cerrno>
#include <limits>
#include <vector>

#include <unistd.h>

namespace {

const TResString SFileOpenError = RESSTR("RCrc32", "Ошибка открытия файла \"%s\": %s");
const TResString SFileReadError = RESSTR("RCrc32", "Ошибка чтения файла \"%s\": %s");

constexpr std::size_t kBlockSize = 32768;

constexpr std::array<std::uint32_t, 256> MakeTable()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1u) ? (0xEDB88320u ^ (c >> 1)) : (c >> 1);
        table[n] = c;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> kTable = MakeTable();

std::uint32_t Feed(std::uint32_t value, const unsigned char* p, std::size_t length)
{
    for (std::size_t i = 0; i < length; ++i)
        value = kTable[(value ^ p[i]) & 0xFFu] ^ (value >> 8);
    return value;
}

} // namespace

std::uint32_t UpdateCrc32(std::uint32_t value, const void* buffer, std::uint16_t length)
{
    return Feed(value, static_cast<const unsigned char*>(buffer), length);
}

std::uint32_t BufferCrc32(const void* buffer, std::size_t length)
{
    return ~Feed(0xFFFFFFFFu, static_cast<const unsigned char*>(buffer), length);
}

std::uint32_t FileCrc32(const QString& fileName)
{
    // Read block by block, a file's size costs no memory: only what stands at the name is
    // checked, so that a device or a pipe is never read for ever or waited on.
    int fd = -1;
    try {
        fd = OpenRegularFile(fileName, std::numeric_limits<qint64>::max());
    } catch (const EFileReadError& e) {
        throw EFOpenError(Format(LoadResString(SFileOpenError), {fileName, e.Message()}));
    }
    const TFinally closer([fd] { ::close(fd); });
    // One block per call rather than one buffer for the whole process: the files compared
    // by the copy routines are read one after the other anyway, and a local buffer keeps
    // the routine safe to call from anywhere.
    std::vector<char> block(kBlockSize);
    std::uint32_t value = 0xFFFFFFFFu;
    for (;;) {
        const ssize_t count = ::read(fd, block.data(), block.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            throw Exception(Format(LoadResString(SFileReadError), {fileName, ReadErrorText(errno)}));
        if (count == 0)
            break;
        value = UpdateCrc32(value, block.data(), static_cast<std::uint16_t>(count));
    }
    return ~value;
}

QString FileCrc32Hex(const QString& fileName)
{
    return QStringLiteral("%1").arg(FileCrc32(fileName), 8, 16, QLatin1Char('0')).toUpper();
}
