#pragma once
// TBeCommands: the commands of the Be account. The login command logs in or out; its check mark
// mirrors the Be manager's login state through the manager's login and logout events. The profile
// command shows the account's profile for editing. The member
// commands of a rendered thread give a point to the member under the cursor or show the member's
// profile, for the thread of the current tab: a right click on a Be link of a thread tab opens
// their menu (BePopup) for that member.

#include <QObject>
#include <QString>

class QMenu;
class QPoint;
class TTavuBrowser;
class TTabServices;
class TThreadViewServices;
class TWindowFrameServices;

class TBeCommands : public QObject {
    Q_OBJECT
public:
    // Shows the Be manager's pages (a member's profile) in browser tabs.
    TBeCommands(TWindowFrameServices &frame, TTabServices &tabs, TThreadViewServices &views, QObject *parent = nullptr);
    ~TBeCommands() override;

    void actBe2chLoginExecute();
    // Logs in first when needed; then the profile dialog, which reads and saves the profile.
    void actBe2chEditProfileExecute();
    // Logs in first when needed; false when there is no thread tab or the login failed.
    bool BeGivePointClick(const QString &member);
    void BeShowProfileClick(const QString &member);

    QMenu *BePopup = nullptr;
    // The context menu of a thread tab: true when the mouse is on a Be link (its member is
    // remembered in the tab and the member menu opens).
    bool OnBrowserContextMenu(TTavuBrowser *tab, const QPoint &globalPos);

private:
    TWindowFrameServices &frame;
    TTabServices &tabs;
    TThreadViewServices &views;

    void ShowLoginState();
    QString ClickedMember() const;   // the Be member of the current tab's last Be link
    bool EnsureLogin();
};
