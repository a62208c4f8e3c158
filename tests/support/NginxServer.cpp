#include "NginxServer.h"
#include "WaitLimit.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

quint16 FreePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

void WriteText(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

}  // namespace

bool NginxServer::Installed()
{
    return QFileInfo(QString::fromLatin1(Program)).isExecutable();
}

NginxServer::NginxServer()
{
    if (!Installed()) {
        error = QStringLiteral("nginx is not installed");
        return;
    }
    port = FreePort();
    if (MakeCertificate())
        httpsPort = FreePort();
    WriteConfig();
    const QString base = dir.path() + QLatin1Char('/');
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QString::fromLatin1(Program),
                  {QStringLiteral("-p"), base, QStringLiteral("-c"), base + QStringLiteral("nginx.conf"),
                   QStringLiteral("-e"), base + QStringLiteral("error.log")});
    running = process.waitForStarted(5000) && WaitUntilListening();
    if (!running) {
        QFile log(base + QStringLiteral("error.log"));
        log.open(QIODevice::ReadOnly);
        error = QStringLiteral("nginx did not start: ") + QString::fromLocal8Bit(process.readAll() + log.readAll());
    }
}

NginxServer::~NginxServer()
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(2000);
    }
}

QString NginxServer::Root() const
{
    return dir.path() + QStringLiteral("/www/");
}

QString NginxServer::Url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(path);
}

QString NginxServer::HttpsUrl(const QString &path) const
{
    return QStringLiteral("https://127.0.0.1:%1%2").arg(httpsPort).arg(path);
}

QString NginxServer::CertificateFile() const
{
    return dir.path() + QStringLiteral("/cert.pem");
}

// A self-signed certificate for 127.0.0.1, made with the openssl tool when it is installed.
bool NginxServer::MakeCertificate()
{
    const QString openssl = QStringLiteral("/usr/bin/openssl");
    if (!QFileInfo(openssl).isExecutable())
        return false;
    QProcess tool;
    tool.start(openssl, {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"),
                         QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                         QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
                         QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1"),
                         QStringLiteral("-keyout"), dir.path() + QStringLiteral("/key.pem"), QStringLiteral("-out"), CertificateFile()});
    return tool.waitForFinished(10000) && tool.exitCode() == 0 && QFileInfo::exists(CertificateFile());
}

void NginxServer::WriteFile(const QString &relative, const QByteArray &bytes) const
{
    WriteText(Root() + relative, bytes);
}

void NginxServer::WriteConfig()
{
    const QByteArray base = dir.path().toUtf8() + '/';
    QDir().mkpath(Root());
    QByteArray conf;
    conf += "daemon off;\nmaster_process off;\nworker_processes 1;\n";
    conf += "pid " + base + "nginx.pid;\nerror_log " + base + "error.log;\n";
    conf += "events { worker_connections 64; }\n";
    conf += "http {\n";
    conf += "  access_log " + base + "access.log;\n";
    for (const char *temp : {"client_body", "proxy", "fastcgi", "uwsgi", "scgi"})
        conf += QByteArray("  ") + temp + "_temp_path " + base + temp + ";\n";
    conf += "  types { text/plain txt dat; application/gzip gz; }\n";
    conf += "  default_type application/octet-stream;\n";
    conf += "  server {\n";
    conf += "    listen 127.0.0.1:" + QByteArray::number(port) + ";\n";
    conf += "    root " + base + "www;\n";
    conf += "    location /gz/ { gzip on; gzip_http_version 1.0; gzip_min_length 1; gzip_types text/plain; }\n";
    conf += "    location /gzs/ { gzip_static on; gzip_http_version 1.0; }\n";
    conf += "  }\n";
    if (httpsPort) {
        conf += "  server {\n    listen 127.0.0.1:" + QByteArray::number(httpsPort) + " ssl;\n";
        conf += "    ssl_certificate " + base + "cert.pem;\n    ssl_certificate_key " + base + "key.pem;\n";
        conf += "    root " + base + "www;\n  }\n";
    }
    conf += "}\n";
    WriteText(dir.path() + QStringLiteral("/nginx.conf"), conf);
}

bool NginxServer::WaitUntilListening()
{
    const QDeadlineTimer deadline(WaitLimitMs);
    while (!deadline.hasExpired() && process.state() == QProcess::Running) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, port);
        if (probe.waitForConnected(200))
            return true;
        process.waitForFinished(50);   // an nginx that cannot start quits
    }
    return false;
}
