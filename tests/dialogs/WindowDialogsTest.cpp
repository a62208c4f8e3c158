// The message seam, the splash, the title band and the version window.

#include "support/TempDataRoot.h"

#include "controls/Dialogs.h"
#include "controls/HeaderFrame.h"
#include "core/TavuConfig.h"
#include "settings/AboutDialog.h"
#include "settings/BusyWindow.h"
#include "settings/SplashWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QFile>
#include <QLabel>

TEST(WindowDialogsTest, MessagesAndDialogsGoThroughTheHandlers)
{
    QStringList asked;
    Dialogs::TScopedDialogHandlers handlers(
        [&](Dialogs::TMsgKind kind, const QString &text, Dialogs::TMsgButtons buttons) {
            asked.append(text);
            if (buttons == Dialogs::mbOK)
                return Dialogs::mrOK;
            return kind == Dialogs::mkWarning ? Dialogs::mrNo : Dialogs::mrYes;
        },
        [](QDialog &dialog) { return dialog.objectName() == QLatin1String("ok") ? int(QDialog::Accepted) : 0; });

    EXPECT_TRUE(Dialogs::AskYesNo(QStringLiteral("続けますか？")));
    EXPECT_FALSE(Dialogs::AskYesNo(QStringLiteral("消しますか？"), Dialogs::mkWarning));
    EXPECT_EQ(Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("失敗")), Dialogs::mrOK);
    EXPECT_EQ(asked, (QStringList{QStringLiteral("続けますか？"), QStringLiteral("消しますか？"), QStringLiteral("失敗")}));

    QDialog dialog;
    dialog.setObjectName(QStringLiteral("ok"));
    EXPECT_EQ(Dialogs::ExecDialog(dialog), QDialog::Accepted);
}

// Without a handler the message box shows; a text quoting a server shows as it is, never as markup.
TEST(WindowDialogsTest, MessageBoxShowsTextAsItIs)
{
    Dialogs::TScopedDialogHandlers none{Dialogs::TMessageHandler()};
    Qt::TextFormat format = Qt::AutoText;
    QString shown;
    QTimer::singleShot(50, [&] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<QMessageBox *>(widget); box && box->isVisible()) {
                format = box->textFormat();
                shown = box->text();
                box->button(QMessageBox::Ok)->click();
            }
        }
    });
    const QString text = QStringLiteral("<img src=\"http://127.0.0.1:1/x.png\">エラー");
    EXPECT_EQ(Dialogs::ShowMessage(Dialogs::mkError, text), Dialogs::mrOK);
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(shown, text);
}

TEST(WindowDialogsTest, WorkTimesShowHoursMinutesSeconds)
{
    EXPECT_EQ(TAboutDialog::FormatWorkTime(3723000), QStringLiteral("1:2:3"));
    EXPECT_EQ(TAboutDialog::FormatWorkTime(0), QStringLiteral("0:0:0"));
    EXPECT_EQ(TAboutDialog::FormatWorkTime(36000000LL * 1000), QStringLiteral("10000:0:0"));   // no 32-bit wrap

    const QDateTime now = QDateTime::fromString(QStringLiteral("2024/05/11 10:00:00"), QStringLiteral("yyyy/MM/dd hh:mm:ss"));
    EXPECT_EQ(TAboutDialog::AverageDailyTime(3600000, QStringLiteral("2024/05/11 08:00:00"), now), 3600000);   // today
    EXPECT_EQ(TAboutDialog::AverageDailyTime(3600000, QStringLiteral("2024/05/01 09:00:00"), now), 360000);
    EXPECT_EQ(TAboutDialog::AverageDailyTime(3600000, QStringLiteral("いつか"), now), 0);
}

TEST(WindowDialogsTest, StatisticsAreCopiedAsNineLines)
{
    TempDataRoot root(true);
    TTavuConfig config;
    TavuConfig = &config;
    config.VOZADAZOZ_APPSTARTCOUNT = 7;
    config.VOZADAZOZ_CLOSETAB = 3;
    config.VOZADAZOZ_START_DATE = QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"));
    {
        TAboutDialog about;
        const QStringList lines = about.StatisticsText().split(QStringLiteral("\r\n"));
        ASSERT_EQ(lines.size(), 9);
        EXPECT_EQ(lines[5], QStringLiteral("抑止ポップアップ　　：3"));
        EXPECT_EQ(lines[6], QStringLiteral("起動回数　　　　　　：7"));
        EXPECT_EQ(lines[8], QStringLiteral("１日の平均稼動時間　：0:0:0"));
        EXPECT_FALSE(about.StatisticsText().endsWith(QStringLiteral("\r\n")));
    }
    TavuConfig = nullptr;
}

TEST(WindowDialogsTest, SplashShowsOnlyWithItsPicture)
{
    TempDataRoot bare;
    TSplashWindow none;
    EXPECT_FALSE(none.HasPicture());
    none.ShowSplash();
    EXPECT_FALSE(none.isVisible());
    none.SetMessage(QStringLiteral("初期化処理中"));
    EXPECT_EQ(none.Message(), QStringLiteral("初期化処理中"));

    TempDataRoot seeded(true);
    TSplashWindow splash;
    ASSERT_TRUE(splash.HasPicture());
    const QPixmap picture(seeded.File(QStringLiteral("resource/splash.bmp")));
    EXPECT_EQ(splash.size(), picture.size());
    splash.ShowSplash();
    EXPECT_TRUE(splash.isVisible());
}

TEST(WindowDialogsTest, HeaderBandShowsTheEndPicturesThatExist)
{
    TempDataRoot root(true);
    QFile::remove(root.File(QStringLiteral("resource/dialogr.bmp")));
    THeaderFrame header;
    EXPECT_EQ(header.HeaderLabel->text(), QStringLiteral("タイトル"));
    EXPECT_FALSE(header.HeaderLeftImage->pixmap().isNull());
    EXPECT_TRUE(header.HeaderRightImage->pixmap().isNull());
}

TEST(WindowDialogsTest, BusyWindowAnimatesWhileShown)
{
    TMessageWindow window;
    window.SetMessage(QStringLiteral("処理中です"));
    EXPECT_EQ(window.Message(), QStringLiteral("処理中です"));
    window.show();
    EXPECT_TRUE(window.IsAnimating());
    window.hide();
    EXPECT_FALSE(window.IsAnimating());
}
