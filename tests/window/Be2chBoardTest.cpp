// The Be boards of the site "2ch": boards moved in and out of the taking-part list, a charset of
// their own, and be.ini written from the window's command.

#include "WindowTestEnv.h"

#include "support/TempDataRoot.h"

#include "core/Board.h"
#include "core/BoardList.h"
#include "core/IniFile.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "settings/Be2chBoardDialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QPushButton>
#include <QTreeWidget>

TEST(Be2chBoard, TakingPartBoardsAndTheirCharsetsGoToBeIni)
{
    TWindowEnv env([](TWindowEnv &e) {
        e.Root.Write(QStringLiteral("config/sitelist.ini"), "[SITE]\r\nCOUNT=1\r\nSITE1=2ch\r\n");
        e.Root.Write(QStringLiteral("config/site/2ch/site.ini"), "[SITE]\r\nSITEID=2ch\r\nNAME=2ch\r\nBBSTYPE=2chscript\r\n");
        e.Root.Write(QStringLiteral("config/site/2ch/board.dat"),
                     "2\r\nnews\r\n\tnews.example\tnewsplus\tplus\r\n\tnews.example\tnews\tnews\r\n");
    });
    env.Start();
    TSite *site = TavuEnviron->SiteList()->FindBySiteID(QStringLiteral("2ch"));
    ASSERT_NE(site, nullptr);
    ASSERT_GE(site->Boards->Count(), 2);
    const TBoard *first = site->Boards->Get(0);
    const TBoard *second = site->Boards->Get(1);
    const int other = site->CodePage == 1 ? 2 : 1;
    bool takePart = true;
    Dialogs::TScopedDialogHandlers handlers(
        [](Dialogs::TMsgKind, const QString &, Dialogs::TMsgButtons) { return Dialogs::mrOK; },
        [&](QDialog &d) {
            auto *dialog = dynamic_cast<TBe2chBoardDialog *>(&d);
            if (!dialog)
                return int(QDialog::Rejected);
            if (takePart) {
                for (int row : {0, 0}) {
                    dialog->ListView1->setCurrentItem(dialog->ListView1->topLevelItem(row));
                    dialog->SpeedButton1->click();
                }
                dialog->ListView2->setCurrentItem(dialog->ListView2->topLevelItem(1));
                dialog->SetCharset(other);
            } else {
                while (dialog->ListView2->topLevelItemCount() > 0) {
                    dialog->ListView2->setCurrentItem(dialog->ListView2->topLevelItem(0));
                    dialog->SpeedButton2->click();
                }
            }
            dialog->Button6->click();
            return dialog->result();
        });
    QAction *edit = env.Window->Action(QStringLiteral("actBe2chBoardEdit"));
    edit->trigger();
    const QString path = site->GetDir() + QStringLiteral("be.ini");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadSection(QStringLiteral("BE")), (QStringList{first->ID, second->ID}));
    EXPECT_EQ(ini.ReadSection(QStringLiteral("CHARSET")), QStringList{second->ID});
    EXPECT_EQ(second->CodePage, other);

    takePart = false;
    edit->trigger();
    ini.Load();
    EXPECT_FALSE(ini.SectionExists(QStringLiteral("BE")));
    EXPECT_FALSE(ini.SectionExists(QStringLiteral("CHARSET")));
}
