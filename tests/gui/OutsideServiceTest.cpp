// The clients of outside services: the board settings viewer (SETTING.TXT) and the access counter
// worker, each against a local scripted server: a normal reply, an error page, a changed format, a
// truncated reply and a reply held until stop-all ends the wait.

#include "tools/Ninkinet.h"
#include "tools/SettingText.h"
#include "tools/SettingTextDialog.h"

#include "core/JConvert.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "support/ScriptedHttpServer.h"
#include "support/TempDataRoot.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTimer>
#include <functional>
#include <memory>

namespace {

QByteArray Sjis(const QString &text)
{
    return jconvert::UnicodeToSjis(text);
}

// The configuration and the registry (whose stop flag stop-all sets) on a temporary folder.
class TOutsideEnv {
public:
    TOutsideEnv()
    {
        config = std::make_unique<TTavuConfig>();
        registry = std::make_unique<TTavuEnviron>();
        oldConfig = std::exchange(TavuConfig, config.get());
        oldEnviron = std::exchange(TavuEnviron, registry.get());
    }
    ~TOutsideEnv()
    {
        TavuEnviron = oldEnviron;
        TavuConfig = oldConfig;
    }

    // Stop-all as soon as the server has the request (its reply is held back).
    void StopWhenRequested(const ScriptedHttpServer &server)
    {
        auto *poll = new QTimer(&stopper);
        QObject::connect(poll, &QTimer::timeout, &stopper, [this, &server, poll] {
            if (!server.Requests().isEmpty()) {
                registry->SetStopped(true);
                poll->stop();
            }
        });
        poll->start(5);
    }

    static bool WaitUntil(const std::function<bool()> &condition)
    {
        for (int round = 0; round < 200000 && !condition(); ++round)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return condition();
    }

    TempDataRoot root;
    std::unique_ptr<TTavuConfig> config;
    std::unique_ptr<TTavuEnviron> registry;
    QObject stopper;

private:
    TTavuConfig *oldConfig;
    TTavuEnviron *oldEnviron;
};

const QString SettingTxt = QStringLiteral("testboard@test\r\nBBS_TITLE=テスト板\r\nBBS_NONAME_NAME=名無しさん\r\n"
                                          "BBS_SUBJECT_COUNT=48\r\nBBS_MESSAGE_COUNT=2048\r\nBBS_LINE_NUMBER=16\r\n");

}  // namespace

TEST(SettingText, SitsBesideTheBoardUrl)
{
    EXPECT_EQ(TSettingText::UrlOf(QStringLiteral("http://b.example/test/")), QStringLiteral("http://b.example/test/SETTING.TXT"));
    EXPECT_EQ(TSettingText::UrlOf(QStringLiteral("http://b.example/test/index.html")),
              QStringLiteral("http://b.example/test/SETTING.TXT"));
}

TEST(SettingText, ShowsTheDecodedKeysAndGivesTheComposerItsNames)
{
    TOutsideEnv env;
    ScriptedHttpServer server;
    server.Reply(ScriptedHttpServer::Make(200, Sjis(SettingTxt)));
    TSettingTextDialog dialog;
    ASSERT_TRUE(dialog.LoadSettingTxt(server.Url(QStringLiteral("/test/"))));

    EXPECT_TRUE(server.LastRequest().startsWith("GET /test/SETTING.TXT "));
    EXPECT_EQ(ScriptedHttpServer::HeaderOf(server.LastRequest(), "User-Agent"), QByteArray("Varnelo/2.0"));
    ASSERT_EQ(dialog.ValueListEditor1->rowCount(), 5);
    EXPECT_EQ(dialog.ValueListEditor1->item(0, 0)->text(), QStringLiteral("BBS_TITLE"));
    EXPECT_EQ(dialog.ValueListEditor1->item(1, 1)->text(), QStringLiteral("名無しさん"));
    EXPECT_TRUE(dialog.Memo1->toPlainText().startsWith(QStringLiteral("testboard@test\nBBS_TITLE=テスト板")));
    EXPECT_TRUE(dialog.EmbeddedWB1->pixmap().isNull());   // no title picture named
    EXPECT_EQ(server.Requests().size(), 1);

    const TSettingText &settings = dialog.Settings();
    EXPECT_EQ(settings.NonameName(), QStringLiteral("名無しさん"));
    EXPECT_EQ(settings.SubjectLimit(), 48);
    EXPECT_EQ(settings.MessageLimit(), 2048);
    EXPECT_EQ(settings.LineLimit(), 16);
    EXPECT_EQ(settings.NameLimit(), 0);   // not given
}

TEST(SettingText, FailuresLeaveTheWindowEmpty)
{
    TOutsideEnv env;
    ScriptedHttpServer server;
    server.Reply(ScriptedHttpServer::Make(404, "<html>Not Found</html>"));
    server.Reply(ScriptedHttpServer::Make(200, "<html><body>moved</body></html>"));
    server.Reply(QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 400\r\n\r\n") + Sjis(SettingTxt));   // cut short
    for (int reply = 0; reply < 3; ++reply) {
        TSettingTextDialog dialog;
        EXPECT_FALSE(dialog.LoadSettingTxt(server.Url(QStringLiteral("/test/")))) << reply;
        EXPECT_EQ(dialog.ValueListEditor1->rowCount(), 0) << reply;
        EXPECT_TRUE(dialog.Memo1->toPlainText().isEmpty()) << reply;
        EXPECT_TRUE(dialog.Settings().NonameName().isEmpty()) << reply;
    }
    EXPECT_EQ(server.Requests().size(), 3);
}

TEST(SettingText, StopAllEndsAHeldReply)
{
    TOutsideEnv env;
    ScriptedHttpServer server;
    server.ReplyNothing();
    env.StopWhenRequested(server);
    TSettingText settings;
    QString error;
    EXPECT_FALSE(settings.Load(server.Url(QStringLiteral("/test/")), error));
    EXPECT_TRUE(error.contains(TTavuEnviron::StoppedMessage())) << error.toStdString();
    EXPECT_TRUE(settings.Pairs().isEmpty());
}

TEST(Ninkinet, CallsTheCounterWithItsCookieAndHandsTheNewOneBack)
{
    EXPECT_EQ(TNinkinet::CounterUrl(QStringLiteral("http://c.example/bdisp.cgi?id=<id>&x=<ID>"), QStringLiteral("k1")),
              QStringLiteral("http://c.example/bdisp.cgi?id=k1&x=k1"));
    QString value = QStringLiteral("kept");
    EXPECT_FALSE(TNinkinet::CookieValue(QStringLiteral("other=1; path=/"), QStringLiteral("k1"), value));
    EXPECT_EQ(value, QStringLiteral("kept"));
    EXPECT_TRUE(TNinkinet::CookieValue(QStringLiteral("k1=abc"), QStringLiteral("k1"), value));
    EXPECT_EQ(value, QString());

    TOutsideEnv env;
    ScriptedHttpServer server;
    server.Reply(ScriptedHttpServer::Make(200, "ok", {"Set-Cookie: other=9; path=/", "Set-Cookie: k1=v2; path=/"}));
    TNinkinet counter(QStringLiteral("k1"), server.Url(QStringLiteral("/cgi-bin/bdisp.cgi?id=<ID>")), QStringLiteral("v1"),
                      THttpProxy());
    QStringList received;
    QObject::connect(&counter, &TNinkinet::CookieReceived, &env.stopper,
                     [&](const QString &id, const QString &v) { received.append(id + QLatin1Char('=') + v); });
    counter.start();
    ASSERT_TRUE(TOutsideEnv::WaitUntil([&] { return counter.isFinished() && !received.isEmpty(); }));
    EXPECT_TRUE(server.LastRequest().startsWith("GET /cgi-bin/bdisp.cgi?id=k1 "));
    EXPECT_EQ(ScriptedHttpServer::HeaderOf(server.LastRequest(), "Cookie"), QByteArray("k1=v1"));
    EXPECT_EQ(received, QStringList({QStringLiteral("k1=v2")}));
}

TEST(Ninkinet, StopAllAndShutdownEndAHeldRequest)
{
    TOutsideEnv env;
    for (bool byStopAll : {true, false}) {
        ScriptedHttpServer server;
        server.ReplyNothing();
        TNinkinet counter(QStringLiteral("k1"), server.Url(QStringLiteral("/c?id=<ID>")), QString(), THttpProxy());
        QStringList received;
        QObject::connect(&counter, &TNinkinet::CookieReceived, &env.stopper,
                         [&](const QString &id, const QString &) { received.append(id); });
        counter.start();
        ASSERT_TRUE(TOutsideEnv::WaitUntil([&] { return !server.Requests().isEmpty(); }));
        EXPECT_TRUE(ScriptedHttpServer::HeaderOf(server.LastRequest(), "Cookie").isEmpty());
        if (byStopAll)
            env.registry->SetStopped(true);
        else
            counter.requestInterruption();
        ASSERT_TRUE(TOutsideEnv::WaitUntil([&] { return counter.isFinished(); })) << byStopAll;
        env.registry->SetStopped(false);
        EXPECT_TRUE(received.isEmpty());
    }
}
