#pragma once

#include <QByteArray>

#include <zlib.h>

// Streaming inflation of a gzip or deflate reply body, fed as the chunks arrive. "deflate" is
// meant to be zlib-wrapped, but some servers send the bare stream; the first two bytes tell
// them apart. Any other content encoding passes through unchanged.
class TInflater {
public:
    explicit TInflater(const QByteArray& contentEncoding);
    ~TInflater();
    TInflater(const TInflater&) = delete;
    TInflater& operator=(const TInflater&) = delete;

    // Appends what the chunk inflates to; false on a damaged stream.
    bool Feed(const QByteArray& input, QByteArray& output);
    // False when a compressed body ended before its stream did.
    bool Complete() const;

private:
    enum class TKind { None, Gzip, Deflate };
    TKind FKind = TKind::None;
    z_stream FStream{};
    bool FStarted = false;
    bool FEnded = false;
    QByteArray FPending;
};
