#pragma once
// gzip decoding: the bodies of replies that came gzip-encoded and the compressed past logs.
// The decoder works piece by piece, so lines of a compressed body can be handed on as they arrive.
// It reads the gzip header with its optional fields, inflates the raw deflate data and checks the
// trailer (CRC-32 and length); concatenated members are read one after the other.
// Every fault raises EGzipError; nothing of a bad stream is reported as good.

#include "core/Exceptions.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <memory>

// A stream that decodes to more than its decoder allows (a "zip bomb").
class EGzipTooLarge : public EGzipError {
public:
    using EGzipError::EGzipError;
};

class TGzipDecoder {
public:
    TGzipDecoder();
    ~TGzipDecoder();
    TGzipDecoder(const TGzipDecoder &) = delete;
    TGzipDecoder &operator=(const TGzipDecoder &) = delete;

    // Bounds of the decoded stream: at most maxOutput bytes in all (-1: no bound), and at most
    // maxRatio decoded bytes per compressed byte once the output passes ratioFloor bytes (0: no
    // bound). Passing one raises EGzipTooLarge before more than one output chunk is produced.
    void SetLimits(qint64 maxOutput, int maxRatio, qint64 ratioFloor = 1024 * 1024);

    // Receives decoded bytes (valid during the call); false stops the decoding of the piece.
    using Sink = std::function<bool(QByteArrayView decoded)>;

    // Decodes the next piece of the stream and hands the bytes it completes to the sink, a few
    // hundred KB at a time from one buffer, so a large body is never held or copied whole.
    void Feed(const QByteArray &data, const Sink &sink);
    // The same, returning the bytes the piece completes.
    QByteArray Feed(const QByteArray &data);
    // Called when the stream has ended: raises EGzipError unless the last member was whole.
    void Finish();

private:
    enum class Stage { Header, Body, Trailer };

    bool ParseHeader();
    bool InflatePending(const Sink &sink);
    void CheckLimits(qint64 produced) const;
    void CheckTrailer();
    void ResetMember();

    struct Inflater;
    std::unique_ptr<Inflater> inflater;
    Stage stage = Stage::Header;
    QByteArray pending;        // bytes received but not yet consumed
    QByteArray output;         // the buffer the decoded bytes are made in
    quint32 crc = 0;           // CRC-32 of the member's decoded bytes
    quint32 size = 0;          // decoded length of the member, modulo 2^32
    bool anyMember = false;    // at least one member was complete
    qint64 consumed = 0;       // compressed bytes taken in
    qint64 produced = 0;       // decoded bytes handed out
    qint64 maxOutput = -1;
    int maxRatio = 0;
    qint64 ratioFloor = 0;
};

// Decodes a whole gzip stream.
QByteArray GzipDecode(const QByteArray &data);

// Decodes a whole gzip file (a compressed past log); EGzipError when it is missing or bad.
QByteArray GzipDecodeFile(const QString &path);

// Whether a URL names a compressed file (its path ends in ".gz").
bool IsGzipUrl(const QString &url);
