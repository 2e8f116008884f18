#include "support/rHttpUtilsInflate.h"

TInflater::TInflater(const QByteArray& contentEncoding, qint64 limit) : FLimit(limit)
{
    const QByteArray encoding = contentEncoding.trimmed().toLower();
    if (encoding == "gzip" || encoding == "x-gzip")
        FKind = TKind::Gzip;
    else if (encoding == "deflate")
        FKind = TKind::Deflate;
    else if (!encoding.isEmpty() && encoding != "identity")
        FKind = TKind::Unknown;
}

TInflater::~TInflater()
{
    if (FStarted)
        inflateEnd(&FStream);
}

bool TInflater::Take(const char* data, qint64 size, QByteArray& output)
{
    if (FLimit >= 0 && size > FLimit - FProduced) {
        FOverflowed = true;
        return false;
    }
    FProduced += size;
    output.append(data, static_cast<qsizetype>(size));
    return true;
}

bool TInflater::Feed(const QByteArray& input, QByteArray& output)
{
    if (FOverflowed || FKind == TKind::Unknown)
        return false;
    if (FKind == TKind::None)
        return Take(input.constData(), input.size(), output);
    FPending += input;
    if (!FStarted) {
        if (FKind == TKind::Deflate && FPending.size() < 2)
            return true;
        int windowBits = 16 + MAX_WBITS;
        if (FKind == TKind::Deflate) {
            const auto b0 = static_cast<unsigned char>(FPending[0]);
            const auto b1 = static_cast<unsigned char>(FPending[1]);
            const bool zlibHeader = (b0 & 0x0F) == Z_DEFLATED && ((b0 << 8) | b1) % 31 == 0;
            windowBits = zlibHeader ? MAX_WBITS : -MAX_WBITS;
        }
        if (inflateInit2(&FStream, windowBits) != Z_OK)
            return false;
        FStarted = true;
    }
    if (FEnded) {
        FPending.clear();   // whatever follows the end of the stream is ignored
        return true;
    }
    FStream.next_in = reinterpret_cast<Bytef*>(FPending.data());
    FStream.avail_in = static_cast<uInt>(FPending.size());
    char chunk[16384];
    while (FStream.avail_in > 0 && !FEnded) {
        FStream.next_out = reinterpret_cast<Bytef*>(chunk);
        FStream.avail_out = sizeof(chunk);
        const int rc = inflate(&FStream, Z_NO_FLUSH);
        if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR)
            return false;
        if (!Take(chunk, static_cast<qint64>(sizeof(chunk) - FStream.avail_out), output)) {
            FPending.clear();
            return false;
        }
        if (rc == Z_STREAM_END)
            FEnded = true;
        else if (rc == Z_BUF_ERROR && FStream.avail_out != 0)
            break;
    }
    FPending.clear();
    return true;
}

bool TInflater::Complete() const
{
    return FKind == TKind::None || FEnded;
}
