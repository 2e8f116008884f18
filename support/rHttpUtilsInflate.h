#pragma once

#include <QByteArray>

#include <zlib.h>

// Streaming inflation of a gzip or deflate reply body, fed as the chunks arrive. "deflate" is
// meant to be zlib-wrapped, but some servers send the bare stream; the first two bytes tell
// them apart. A body without an encoding (or "identity") passes through unchanged; any other
// encoding (one this side never asked for, or several stacked) cannot be read: Feed refuses it.
class TInflater {
public:
    // limit: the most bytes the whole body may inflate to (negative: no limit).
    explicit TInflater(const QByteArray& contentEncoding, qint64 limit = -1);
    ~TInflater();
    TInflater(const TInflater&) = delete;
    TInflater& operator=(const TInflater&) = delete;

    // Appends what the chunk inflates to; false on a damaged stream, or when the body would
    // grow past the limit (Overflowed; inflation stops there, so a small compressed body never
    // unpacks into more memory than the limit allows).
    bool Feed(const QByteArray& input, QByteArray& output);
    bool Overflowed() const { return FOverflowed; }
    // False when a compressed body ended before its stream did, or its encoding is unknown.
    bool Complete() const;
    bool Readable() const { return FKind != TKind::Unknown; }

private:
    enum class TKind { None, Gzip, Deflate, Unknown };
    TKind FKind = TKind::None;
    z_stream FStream{};
    bool FStarted = false;
    bool FEnded = false;
    bool FOverflowed = false;
    qint64 FLimit = -1;
    qint64 FProduced = 0;
    QByteArray FPending;

    bool Take(const char* data, qint64 size, QByteArray& output);
};
