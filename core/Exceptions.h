#pragma once
// The program's exceptions. Synchronous calls raise them; the message is what the user sees.

#include <QString>
#include <exception>

class EVarnelo : public std::exception {
public:
    explicit EVarnelo(QString message) : Message(std::move(message)), utf8(Message.toUtf8()) {}
    const char *what() const noexcept override { return utf8.constData(); }
    QString Message;

private:
    QByteArray utf8;
};

// A file could not be read or written.
class EFileError : public EVarnelo {
public:
    using EVarnelo::EVarnelo;
};

// An HTTP request failed; StatusCode is the HTTP status (0 when no answer came).
class EHttpException : public EVarnelo {
public:
    EHttpException(int statusCode, QString message) : EVarnelo(std::move(message)), StatusCode(statusCode) {}
    int StatusCode;
};

// A gzip body could not be decoded.
class EGzipError : public EVarnelo {
public:
    using EVarnelo::EVarnelo;
};

// Text in a code the converter does not know.
class EUTF8UnknownCode : public EVarnelo {
public:
    using EVarnelo::EVarnelo;
};
