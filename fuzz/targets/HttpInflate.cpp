// Reply bodies sent with gzip or deflate, inflated chunk by chunk as they arrive. A damaged
// stream gives false, never an error. Invariants: a body without a known encoding passes
// unchanged, a body compressed here inflates back to itself in any chunking, and the chunks
// of a damaged stream inflate no differently from the whole.
//
// Input: the encoding and chunk size, then the body.

#include "fuzz/FuzzTargets.h"
#include "support/rHttpUtilsInflate.h"

#include <zlib.h>

namespace {

// Feeds the body in chunks of the given size; false when the inflater refuses it.
bool Inflate(const QByteArray& encoding, const QByteArray& body, qsizetype chunk, QByteArray& output, bool& complete)
{
    TInflater inflater(encoding);
    for (qsizetype i = 0; i < body.size(); i += chunk)
        if (!inflater.Feed(body.mid(i, chunk), output))
            return false;
    complete = inflater.Complete();
    return true;
}

// The body compressed with zlib's defaults: gzip (windowBits 31), zlib (15) or raw (-15).
QByteArray Compress(const QByteArray& body, int windowBits)
{
    z_stream stream{};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw EFuzzInvariant("zlib cannot start");
    QByteArray out(static_cast<qsizetype>(deflateBound(&stream, static_cast<uLong>(body.size()))), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(body.constData()));
    stream.avail_in = static_cast<uInt>(body.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int rc = deflate(&stream, Z_FINISH);
    out.resize(static_cast<qsizetype>(stream.total_out));
    deflateEnd(&stream);
    FuzzCheck(rc == Z_STREAM_END, "zlib cannot compress");
    return out;
}

} // namespace

void FuzzHttpInflate(const std::uint8_t* data, std::size_t size)
{
    TFuzzInput in(data, size);
    const std::uint8_t options = in.Byte();
    const qsizetype chunk = 1 + in.Byte();
    const QByteArray body = in.Rest();
    static const char* const encodings[] = {"gzip", "deflate", " X-GZIP ", "identity"};
    const QByteArray encoding = encodings[options % 4];

    // The body as it came.
    QByteArray whole, pieces;
    bool wholeComplete = false, piecesComplete = false;
    const bool wholeOk = Inflate(encoding, body, body.size() + 1, whole, wholeComplete);
    const bool piecesOk = Inflate(encoding, body, chunk, pieces, piecesComplete);
    if (options % 4 == 3)
        FuzzCheck(wholeOk && whole == body && wholeComplete, "an unknown encoding changes the body");
    if (wholeOk && wholeComplete)
        FuzzCheck(piecesOk && piecesComplete && pieces == whole, "chunks inflate otherwise than the whole body");

    // The body compressed here.
    const int windowBits = options % 4 == 0 || options % 4 == 2 ? 31 : (options & 4 ? 15 : -15);
    const QByteArray packed = Compress(body, windowBits);
    QByteArray back;
    bool complete = false;
    if (options % 4 != 3) {
        FuzzCheck(Inflate(encoding, packed, chunk, back, complete), "a sound stream is refused");
        FuzzCheck(complete && back == body, "a sound stream inflates to another body");
    }
}

std::vector<QByteArray> SeedsHttpInflate()
{
    const QByteArray text = "<html><body>" + QByteArray(200, 'a') + "</body></html>";
    const auto seed = [](char options, char chunk, const QByteArray& body) { return QByteArray(1, options) + chunk + body; };
    // Compressed bodies of the kinds servers send, made with zlib here.
    const auto pack = [](const QByteArray& body, int windowBits) {
        z_stream stream{};
        deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
        QByteArray out(static_cast<qsizetype>(deflateBound(&stream, static_cast<uLong>(body.size()))), '\0');
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(body.constData()));
        stream.avail_in = static_cast<uInt>(body.size());
        stream.next_out = reinterpret_cast<Bytef*>(out.data());
        stream.avail_out = static_cast<uInt>(out.size());
        deflate(&stream, Z_FINISH);
        out.resize(static_cast<qsizetype>(stream.total_out));
        deflateEnd(&stream);
        return out;
    };
    return {
        seed(0, 7, pack(text, 31)),
        seed(1, 0, pack(text, 15)),
        seed(5, 3, pack(text, -15)),
        seed(2, 100, pack(text, 31) + "trailing"),
        seed(0, 1, pack(text, 31).left(20)),
        seed(3, 5, text),
    };
}
