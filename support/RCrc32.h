#pragma once

#include "platform/Exceptions.h"

#include <QString>

#include <cstdint>

// CRC-32 as used by zip and PNG: reflected polynomial 0xEDB88320, start value 0xFFFFFFFF,
// result complemented. Packages of the self-update carry it as 8 hexadecimal digits.

// A file that cannot be opened for reading.
class EFOpenError : public Exception {
public:
    using Exception::Exception;
};

// Feeds bytes into a running value. Neither the start value nor the final complement is
// applied here, so a caller can feed a file block by block: start with 0xFFFFFFFF and
// complement the end result.
std::uint32_t UpdateCrc32(std::uint32_t value, const void* buffer, std::uint16_t length);

// The complete checksum of a buffer of any length.
std::uint32_t BufferCrc32(const void* buffer, std::size_t length);

// The checksum of a file's content; an empty file gives 0. The file is opened as every file is
// (OpenRegularFile): EFOpenError is raised when it cannot be, or is no regular file, and
// Exception when reading fails half-way.
std::uint32_t FileCrc32(const QString& fileName);

// FileCrc32 as 8 upper-case hexadecimal digits with leading zeros.
QString FileCrc32Hex(const QString& fileName);
