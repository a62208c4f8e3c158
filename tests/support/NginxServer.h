#pragma once
// NginxServer: a real nginx for tests, started from /usr/sbin/nginx on a free port of 127.0.0.1
// with its own configuration in a temporary folder (no daemon, no master process, pid and logs in
// that folder). It serves the files a test writes under Root():
//   /           plain files, with Last-Modified, ETag and byte ranges as nginx does them;
//   /gz/        the same, gzip-compressed for clients that accept it;
//   /gzs/       the file's ".gz" beside it, sent as it is to clients that accept gzip.
// When openssl is there it also serves the same files over https with a self-signed certificate
// for 127.0.0.1 (HttpsUrl, CertificateFile).
// The process is stopped when the object is destroyed.

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

class NginxServer {
public:
    static constexpr const char *Program = "/usr/sbin/nginx";
    static bool Installed();

    NginxServer();
    ~NginxServer();

    bool IsRunning() const { return running; }
    QString Error() const { return error; }    // why it did not start
    QString Root() const;                      // the served folder, with a trailing "/"
    QString Url(const QString &path) const;
    bool HasHttps() const { return httpsPort != 0; }
    QString HttpsUrl(const QString &path) const;
    QString CertificateFile() const;
    void WriteFile(const QString &relative, const QByteArray &bytes) const;

private:
    bool WaitUntilListening();
    bool MakeCertificate();
    void WriteConfig();

    QTemporaryDir dir;
    QProcess process;
    quint16 port = 0;
    quint16 httpsPort = 0;
    bool running = false;
    QString error;
};
