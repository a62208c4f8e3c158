// Installing a site published on the web: its files fetched from a base URL on 127.0.0.1 into the
// program's config/site/<name>/, the site registered in sitelist.ini, loaded with its boards and
// ticked in the site selection that follows, a second install of the same name refused, and an
// address without site files refused at once.

#include "WindowTestEnv.h"

#include "support/ScriptedHttpServer.h"

#include "core/Board.h"
#include "core/BoardList.h"
#include "core/IniFile.h"
#include "core/JConvert.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TextList.h"
#include "services/BBSSetup.h"
#include "settings/BBSDialog.h"
#include "settings/BBSSetupDialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

TEST(BBSSetup, ASiteIsFetchedRegisteredAndNotInstalledTwice)
{
    EXPECT_EQ(BBSSetup::SiteFolderName(QStringLiteral("http://h/sites/mybbs/")), QStringLiteral("mybbs"));
    EXPECT_EQ(BBSSetup::SiteFolderName(QStringLiteral("http://h/sites/mybbs")), QStringLiteral("mybbs"));
    EXPECT_EQ(BBSSetup::SiteFolderName(QStringLiteral("http://h/..")), QString());

    ScriptedHttpServer pages;
    const QByteArray siteIni = jconvert::UnicodeToSjis(QStringLiteral(
        "[SITE]\r\nSITEID=mybbs\r\nNAME=自宅BBS\r\nURL=http://example.net/\r\nBBSTYPE=2chscript\r\nCHARSET=SJIS\r\nADMIN=管理人\r\n"));
    const QByteArray boardDat = jconvert::UnicodeToSjis(QStringLiteral("2\r\n雑談\r\n\texample.net\tchat\t雑談板\r\n"));
    for (const QString &file : BBSSetup::SiteFiles()) {
        if (file == QLatin1String("site.ini"))
            pages.Reply(ScriptedHttpServer::Make(200, siteIni));
        else if (file == QLatin1String("board.dat"))
            pages.Reply(ScriptedHttpServer::Make(200, boardDat));
        else
            pages.Reply(ScriptedHttpServer::Make(404, "missing"));
    }
    TWindowEnv env([](TWindowEnv &e) { e.config->APPSTATE = false; });
    env.Start();
    const QString base = pages.Url(QStringLiteral("/sites/mybbs"));
    QStringList summary;
    int setups = 0;
    bool newSiteTicked = false;
    auto drive = [&](QDialog &shown) {
        if (auto *selection = dynamic_cast<TBBSDialog *>(&shown)) {
            // The site selection that follows shows the new site ticked; its OK keeps it shown.
            const TSiteList &sites = *TavuEnviron->SiteList();
            for (int i = 0; i < sites.Count() && sites.Get(selection->CurrentIndex())->SITEID != QLatin1String("mybbs"); ++i)
                selection->SpeedButton2->click();
            newSiteTicked = sites.Get(selection->CurrentIndex())->SITEID == QLatin1String("mybbs")
                            && selection->CheckBox1->isChecked();
            selection->Button2->click();
            return selection->result();
        }
        auto *dialog = dynamic_cast<TBBSSetupDialog *>(&shown);
        if (!dialog)
            return int(QDialog::Rejected);
        ++setups;
        EXPECT_FALSE(dialog->Button1->isEnabled());   // nothing to go back to from the first page
        dialog->Button2->click();
        dialog->Edit1->setText(base);
        dialog->Button2->click();
        if (dialog->PageIndex() != 3)
            return int(QDialog::Rejected);
        summary = dialog->Memo1->toPlainText().split(QLatin1Char('\n'));
        EXPECT_EQ(dialog->Edit1->text(), base + QLatin1Char('/'));
        dialog->Button2->click();
        return dialog->result();
    };
    QStringList messages;
    Dialogs::TScopedDialogHandlers handlers(
        [&messages](Dialogs::TMsgKind, const QString &text, Dialogs::TMsgButtons) {
            messages << text;
            return Dialogs::mrOK;
        },
        drive);
    env.Window->Action(QStringLiteral("actBBSSetup"))->trigger();

    EXPECT_EQ(summary, (QStringList{QStringLiteral("自宅BBS"), QStringLiteral("http://example.net/"), QStringLiteral("--"),
                                    QStringLiteral("SCRIPT:2chscript"), QStringLiteral("CHAR  :SJIS"),
                                    QStringLiteral("ADMIN :管理人")}));
    const QString folder = BBSSetup::SiteFolder(QStringLiteral("mybbs"));
    EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("back.bmp")));
    TSite *site = TavuEnviron->SiteList()->FindBySiteID(QStringLiteral("mybbs"));
    ASSERT_NE(site, nullptr);
    EXPECT_EQ(site->NAME, QStringLiteral("自宅BBS"));
    ASSERT_NE(site->Boards->FindByID(QStringLiteral("chat")), nullptr);
    EXPECT_TRUE(newSiteTicked);
    EXPECT_TRUE(site->Listed);
    TTextList shownSites;
    ASSERT_TRUE(shownSites.LoadFromFile(TavuConfig->GetProfileDir() + QStringLiteral("bbs.txt")));
    EXPECT_TRUE(shownSites.Lines.contains(QStringLiteral("mybbs")));
    const TIniFile list(TTavuConfig::AppDir() + QStringLiteral("config/sitelist.ini"));
    const int count = list.ReadInteger(QStringLiteral("SITE"), QStringLiteral("COUNT"));
    EXPECT_EQ(list.ReadString(QStringLiteral("SITE"), QStringLiteral("SITE") + QString::number(count)), QStringLiteral("mybbs"));

    // The same folder name again is refused with the installed site's name.
    env.Window->Action(QStringLiteral("actBBSSetup"))->trigger();
    EXPECT_EQ(setups, 2);
    EXPECT_EQ(messages, QStringList{QStringLiteral("すでに登録されているBBSです。\r\n自宅BBS(mybbs)")});
    EXPECT_EQ(TIniFile(TTavuConfig::AppDir() + QStringLiteral("config/sitelist.ini")).ReadInteger(QStringLiteral("SITE"), QStringLiteral("COUNT")),
              count);
}

// Where the server has none of the site files, the user is told at once on the URL page: nothing is
// installed, no folder is left behind and the site selection does not open.
TEST(BBSSetup, AnAddressWithoutSiteFilesInstallsNothing)
{
    ScriptedHttpServer pages;
    for (int i = 0; i < BBSSetup::SiteFiles().size(); ++i)
        pages.Reply(ScriptedHttpServer::Make(404, "missing"));
    TWindowEnv env([](TWindowEnv &e) { e.config->APPSTATE = false; });
    env.Start();
    const QString base = pages.Url(QStringLiteral("/sites/nothing/"));
    QStringList messages;
    QStringList shown;
    int pageWhenTold = -1;
    TBBSSetupDialog *setup = nullptr;
    Dialogs::TScopedDialogHandlers handlers(
        [&](Dialogs::TMsgKind, const QString &text, Dialogs::TMsgButtons) {
            messages << text;
            pageWhenTold = setup ? setup->PageIndex() : -1;
            return Dialogs::mrOK;
        },
        [&](QDialog &dialog) {
            shown << dialog.windowTitle();
            setup = dynamic_cast<TBBSSetupDialog *>(&dialog);
            if (!setup)
                return int(QDialog::Rejected);
            setup->Button2->click();
            setup->Edit1->setText(base);
            setup->Button2->click();
            EXPECT_EQ(setup->PageIndex(), 1);   // still the URL page
            EXPECT_TRUE(setup->SiteName.isEmpty());
            setup->Button3->click();
            const int result = setup->result();
            setup = nullptr;
            return result;
        });
    env.Window->Action(QStringLiteral("actBBSSetup"))->trigger();

    EXPECT_EQ(shown, QStringList{QStringLiteral("BBSの取り込み")});
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.first().endsWith(base + QStringLiteral("site.ini"))) << messages.first().toStdString();
    EXPECT_EQ(pageWhenTold, 1);
    EXPECT_FALSE(QFileInfo::exists(BBSSetup::SiteFolder(QStringLiteral("nothing"))));
    EXPECT_EQ(TavuEnviron->SiteList()->FindBySiteID(QStringLiteral("nothing")), nullptr);
}
