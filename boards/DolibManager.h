#pragma once
// TDolibManager: the login to the paid past-log service (the global DolibManager). The login is a
// form POST of ID and password to the service (LoginUrl) that identifies as "DOLIB/1.00"; the
// service answers "SESSION-ID=<agent part>:<session>". While logged in, the 2ch board types send
// the session with their past-log requests and posts, and identify with the agent part followed
// directly by "Varnelo/2.0"; otherwise with "Vozadazoz/1.00 (Varnelo/2.0)".
//
// Safe from any thread: a patrol logs in on its own thread. The events are signals, so receivers on
// the GUI thread get them there.

#include <QMutex>
#include <QObject>
#include <QString>

#include <functional>

class TDolibManager : public QObject {
    Q_OBJECT
public:
    // Makes this the global DolibManager; the login URL comes from kpw.ini [DOLIB] LOGINURL.
    explicit TDolibManager(QObject *parent = nullptr);
    ~TDolibManager() override;

    static QString DefaultLoginUrl();
    QString LoginUrl;

    bool IsLoggedIn() const;
    QString SessionId() const;   // "<agent part>:<session>"; empty while logged out
    // Logs in unless already logged in, with the account the dialog gives when it is set and asked
    // for (on the GUI thread), else the stored one ([DOLIB] USERNAME, PASSWORD). True on success;
    // a failure is reported by LoginFailed.
    bool Login();
    void Logout();

    // The agent of the 2ch board types' requests (logged in or not).
    static QString UserAgent();

    // The login dialog: fills the account; false when the user cancels. Set by the main window.
    std::function<bool(QString &user, QString &password)> AskAccount;

signals:
    void LoggedIn();
    void LoggedOut();
    void LoginFailed(const QString &message);

private:
    mutable QMutex lock;
    QString sessionId;
    QString agentPart;

    bool Account(QString &user, QString &password) const;
    bool Fail(const QString &message);
};

extern TDolibManager *DolibManager;
