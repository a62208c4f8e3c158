#pragma once
// TBeCommands: the commands of the Be account. The login command logs in or out; its check mark
// mirrors the Be manager's login state through the manager's login and logout events. The profile
// command shows the account's profile for editing. The member
// commands of a rendered thread give a point to the member under the cursor or show the member's
// profile, for the thread of the current tab.

#include <QObject>
#include <QString>

class TWindowServices;

class TBeCommands : public QObject {
    Q_OBJECT
public:
    TBeCommands(TWindowServices &services, QObject *parent = nullptr);

    void actBe2chLoginExecute();
    // Logs in first when needed; then the profile dialog, which reads and saves the profile.
    void actBe2chEditProfileExecute();
    // Logs in first when needed; false when there is no thread tab or the login failed.
    bool BeGivePointClick(const QString &member);
    void BeShowProfileClick(const QString &member);

private:
    TWindowServices &services;

    void ShowLoginState();
    bool EnsureLogin();
};
