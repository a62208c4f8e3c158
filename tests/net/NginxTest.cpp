// The transport against a real nginx: validators, ranges, compression and authorization as a
// real server does them.

#include "core/Exceptions.h"
#include "net/TavuHttp.h"

#include "NetTestUtil.h"
#include "support/NginxServer.h"

#include <QSslConfiguration>

#include <zlib.h>

namespace {

class Nginx : public NetTest {
protected:
    void SetUp() override
    {
        NetTest::SetUp();
        if (!NginxServer::Installed())
            GTEST_SKIP() << "nginx is not installed (" << NginxServer::Program << "); the real-server tests are skipped";
        nginx = std::make_unique<NginxServer>();
        ASSERT_TRUE(nginx->IsRunning()) << nginx->Error().toStdString();
    }

    // One GET of the path through a fresh job prepared by `prepare`; the events it reported.
    JobEvents Fetch(const QString &path, const std::function<void(TTavuHttp &)> &prepare = {})
    {
        return FetchUrl(nginx->Url(path), prepare);
    }
    JobEvents FetchUrl(const QString &url, const std::function<void(TTavuHttp &)> &prepare = {})
    {
        TTavuHttp job;
        JobEvents events;
        events.Attach(job);
        job.URL = url;
        if (prepare)
            prepare(job);
        try {
            job.Get(true);
        } catch (const EHttpException &) {
            events.log.append(QStringLiteral("raised"));
        }
        lastModified = job.ReplyLastModified();
        etag = job.ReplyETag();
        status = job.StatusCode();
        partial = job.IsPartial();
        notModified = job.IsNotModified();
        return events;
    }

    std::unique_ptr<NginxServer> nginx;
    QString lastModified;
    QString etag;
    int status = 0;
    bool partial = false;
    bool notModified = false;
};

const QByteArray Dat("1<>sage<>2005/01/01<>first<>title\n2<>sage<>2005/01/01<>second<>\n");

}  // namespace

TEST_F(Nginx, ValidatorsGiveNotModified)
{
    nginx->WriteFile("board/dat/1.dat", Dat);
    const JobEvents full = Fetch("/board/dat/1.dat");
    ASSERT_EQ(status, 200);
    EXPECT_EQ(full.lines.size(), 2);
    ASSERT_FALSE(lastModified.isEmpty());
    ASSERT_FALSE(etag.isEmpty());

    const QString storedDate = lastModified;
    const QString storedTag = etag;
    EXPECT_EQ(Fetch("/board/dat/1.dat", [&](TTavuHttp &job) { job.LastModified = storedDate; }).log, QStringList{"done:0"});
    EXPECT_EQ(status, 304);
    EXPECT_TRUE(notModified);
    EXPECT_EQ(Fetch("/board/dat/1.dat", [&](TTavuHttp &job) { job.ETag = storedTag; }).log, QStringList{"done:0"});
    EXPECT_EQ(status, 304);
}

TEST_F(Nginx, RangesFetchOnlyTheNewLinesAndNoticeAShorterLog)
{
    nginx->WriteFile("board/dat/2.dat", Dat);
    const qint64 storedSize = Dat.size();
    nginx->WriteFile("board/dat/2.dat", Dat + "3<>sage<>2005/01/02<>third<>\n");
    const JobEvents rest = Fetch("/board/dat/2.dat", [&](TTavuHttp &job) { job.StoredSize = storedSize; });
    EXPECT_EQ(status, 206);
    EXPECT_TRUE(partial);
    EXPECT_EQ(rest.lines, QList<QByteArray>{"3<>sage<>2005/01/02<>third<>"});

    // the log on the server was cut: a range past its end
    nginx->WriteFile("board/dat/2.dat", "1<>x<>y<>z<>t\n");
    const JobEvents cut = Fetch("/board/dat/2.dat", [&](TTavuHttp &job) { job.StoredSize = storedSize; });
    EXPECT_EQ(cut.log, QStringList({"error:416", "done:1"}));

    // the log was rewritten to the same length or longer: the overlap is not a line feed
    nginx->WriteFile("board/dat/2.dat", QByteArray(Dat).replace("first", "FIRST").replace("\n2<", "X2<") + "more\n");
    const JobEvents changed = Fetch("/board/dat/2.dat", [&](TTavuHttp &job) { job.StoredSize = 40; });
    EXPECT_EQ(changed.errorCode, httpLogChanged);
}

TEST_F(Nginx, CompressedRepliesAndFilesAreDecoded)
{
    QByteArray big;
    for (int i = 1; i <= 2000; ++i)
        big += QByteArray::number(i) + "<>name<>2005/01/01 ID:abcdefgh<>message text of the response<>\n";
    nginx->WriteFile("gz/subject.txt", big);
    const JobEvents encoded = Fetch("/gz/subject.txt", [](TTavuHttp &job) { job.AcceptGzip = true; });
    EXPECT_EQ(status, 200);
    ASSERT_EQ(encoded.lines.size(), 2000);
    EXPECT_EQ(encoded.lines.last(), "2000<>name<>2005/01/01 ID:abcdefgh<>message text of the response<>");

    QByteArray gz(int(compressBound(uLong(big.size()))) + 64, '\0');
    z_stream zs{};
    deflateInit2(&zs, 6, Z_DEFLATED, MAX_WBITS + 16, 8, Z_DEFAULT_STRATEGY);
    zs.next_in = reinterpret_cast<Bytef *>(big.data());
    zs.avail_in = uInt(big.size());
    zs.next_out = reinterpret_cast<Bytef *>(gz.data());
    zs.avail_out = uInt(gz.size());
    deflate(&zs, Z_FINISH);
    gz.resize(int(zs.total_out));
    deflateEnd(&zs);
    nginx->WriteFile("kako/1000/1000000000.dat.gz", gz);
    EXPECT_EQ(Fetch("/kako/1000/1000000000.dat.gz").lines, encoded.lines);
}

TEST_F(Nginx, HttpsNeedsATrustedCertificate)
{
    if (!nginx->HasHttps())
        GTEST_SKIP() << "openssl is not installed; the https test is skipped";
    nginx->WriteFile("secure.txt", "over tls\n");
    const JobEvents untrusted = FetchUrl(nginx->HttpsUrl("/secure.txt"));
    EXPECT_EQ(untrusted.log, QStringList({"error:1", "done:1", "raised"}));

    const QSslConfiguration original = QSslConfiguration::defaultConfiguration();
    QSslConfiguration trusting = original;
    trusting.addCaCertificates(nginx->CertificateFile());
    QSslConfiguration::setDefaultConfiguration(trusting);
    const JobEvents trusted = FetchUrl(nginx->HttpsUrl("/secure.txt"));
    QSslConfiguration::setDefaultConfiguration(original);
    EXPECT_EQ(trusted.log, QStringList({"line:over tls", "done:0"}));
}
