#pragma once
// TBe2chManager: the Be account (the global Be2chManager). Logging in posts the account's mail and
// password to the Be server; the cookies it sets (DMDM and MDMD) then go with every post to a Be
// board of the site it works with (or to every board of that site when [BE] SENDLOGININFO is on).
// The member commands and the profile pages use the same cookies. The server URLs are kpw.ini keys
// of section BE (LOGINURL, PROFILEEDITURL, POINTURL, PROFILEURL) with the real service as default.
// Failures are reported by the Error signal. Used on the GUI thread.

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class TBoard;
class TSite;

// The profile of the logged-in account, as the profile page shows and takes it.
struct TBeProfile {
    QString Points;
    QString Rank;
    QString Name;
    QString Introduction;
};

class TBe2chManager : public QObject {
    Q_OBJECT
public:
    // Makes this the global Be2chManager.
    explicit TBe2chManager(QObject *parent = nullptr);
    ~TBe2chManager() override;

    QString LoginUrl;
    QString ProfileEditUrl;
    QString PointUrl;      // "<member>" and "<url>" are filled
    QString ProfileUrl;    // the same
    TSite *Site = nullptr; // the site the account works with (SITEID "2ch"), set by the main window

    bool IsLoggedIn() const { return !cookie.isEmpty(); }
    // Logs in (the dialog's account when it is set and asked for, else [BE] USERNAME / PASSWORD).
    bool Login();
    void Logout();

    // The board takes Be login information: its site's be.ini lists it ([BE] <board id>=1).
    bool IsBeBoard(const TBoard *board) const;
    // The cookies a post to the board carries; empty when none.
    QString CookieFor(const TBoard *board) const;

    // Gives a point to a member for the thread at url; false (and Error) when it failed.
    bool GivePoint(const QString &member, const QString &url);
    // Shows the member's profile page for the thread at url (through OpenUrl).
    void ShowProfile(const QString &member, const QString &url);
    // Reads the profile edit page of the logged-in account into profile.
    bool LoadProfileForm(TBeProfile &profile);
    // Posts name and introduction; true when the server reports completion.
    bool SaveProfile(const TBeProfile &profile);

    std::function<bool(QString &mail, QString &password)> AskAccount;              // the login dialog
    std::function<void(const QString &url, const QString &caption)> OpenUrl;       // shows a page

signals:
    void LoggedIn();
    void LoggedOut();
    void Error(const QString &message);

private:
    QString cookie;                                  // "DMDM=...; MDMD=..."
    QList<QPair<QString, QString>> profileHidden;    // the hidden fields of the last profile page

    QString FillMember(const QString &text, const QString &member, const QString &url) const;
    bool Fail(const QString &message);
};

extern TBe2chManager *Be2chManager;
