// The option dialog: proxy.txt and downapp.txt, the frame, the proxy presets and the pages'
// settings, driven offscreen with the dialog seam answering for the user.

#include "support/TempDataRoot.h"

#include "controls/Dialogs.h"
#include "controls/HeaderFrame.h"
#include "core/FileUtil.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "services/DownloaderList.h"
#include "services/ProxyPresetList.h"
#include "settings/OptionControls.h"
#include "settings/OptionDialog.h"
#include "settings/ShowOptionDialog.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabBar>
#include <QFontInfo>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <memory>

namespace {

class OptionDialogTest : public ::testing::Test {
protected:
    OptionDialogTest()
        : handlers(
              [this](Dialogs::TMsgKind, const QString &text, Dialogs::TMsgButtons) {
                  Messages.append(text);
                  return Answer;
              },
              [this](QDialog &dialog) { return OnDialog ? OnDialog(dialog) : int(QDialog::Rejected); })
    {
        TavuConfig = config.get();
        TavuEnviron = registry.get();
    }
    ~OptionDialogTest() override
    {
        TavuEnviron = nullptr;
        TavuConfig = nullptr;
    }

    QString Profile(const QString &name) const { return config->GetProfileDir() + name; }

    // The settings set so far are saved first: the dialog reads kpw.ini again.
    std::unique_ptr<TOptionDialog> Open()
    {
        config->Save();
        return std::make_unique<TOptionDialog>();
    }

    template <typename T>
    static T *Find(QWidget *dialog, const QString &text)
    {
        for (T *widget : dialog->findChildren<T *>()) {
            if (widget->text() == text)
                return widget;
        }
        ADD_FAILURE() << "no control " << text.toStdString();
        return nullptr;
    }

    TempDataRoot root{true};
    std::unique_ptr<TTavuConfig> config = std::make_unique<TTavuConfig>();
    std::unique_ptr<TTavuEnviron> registry = std::make_unique<TTavuEnviron>();
    QStringList Messages;
    Dialogs::TMsgResult Answer = Dialogs::mrYes;
    std::function<int(QDialog &)> OnDialog;
    Dialogs::TScopedDialogHandlers handlers;
};

// ---- the list files ----

TEST_F(OptionDialogTest, ProxyPresetsKeepTheirFormatAndCutFieldsAtCommas)
{
    const QString file = Profile(QStringLiteral("proxy.txt"));
    FileUtil::WriteFileAtomic(file, QByteArray("\x83v\x83\x8D\x83L\x83V,8080,u,p,c1,c2\r\n\r\n"));
    TProxyPresetList list;
    ASSERT_TRUE(list.LoadFromFile(file));
    ASSERT_EQ(list.Lines.size(), 2);
    EXPECT_EQ(TProxyPresetList::SplitLine(list.Lines.at(0)),
              QStringList({QStringLiteral("プロキシ"), "8080", "u", "p", "c1"}));
    TProxySet set{true, "h", "1", "x", "y", "z"};
    TProxyPresetList::ApplyLine(list.Lines.at(1), set);   // the empty entry clears the fields
    EXPECT_TRUE(set.Use);
    EXPECT_TRUE(set.Host.isEmpty() && set.Port.isEmpty() && set.UserName.isEmpty() && set.Password.isEmpty()
                && set.Memo.isEmpty());

    const QString line = TProxyPresetList::MakeLine({false, "a", "80", "", "", QStringLiteral("＆")});
    EXPECT_TRUE(list.AddLine(line));
    EXPECT_FALSE(list.AddLine(line));
    list.SaveToFile(file);
    EXPECT_EQ(FileUtil::ReadFile(file),
              QByteArray("a,80,,,\x81\x95\r\n\x83v\x83\x8D\x83L\x83V,8080,u,p,c1,c2\r\n\r\n"));
    EXPECT_FALSE(TProxyPresetList().LoadFromFile(Profile(QStringLiteral("none.txt"))));
}

TEST_F(OptionDialogTest, DownloaderLinesSurviveASaveAsTheyWereRead)
{
    const QString file = Profile(QStringLiteral("downapp.txt"));
    const QByteArray text("Irvine=C:\\irvine.exe\r\nodd=a=b\r\nnoequals\r\n");
    FileUtil::WriteFileAtomic(file, text);
    TDownloaderList list;
    ASSERT_TRUE(list.LoadFromFile(file));
    ASSERT_EQ(list.Items.size(), 3);
    EXPECT_EQ(list.Items.at(0).Name, "Irvine");
    EXPECT_EQ(list.Items.at(0).Path, "C:\\irvine.exe");
    EXPECT_EQ(list.Items.at(1).Path, "a");   // up to the next "="
    list.SaveToFile(file);
    EXPECT_EQ(FileUtil::ReadFile(file), text);

    list.Items[1].Path = QStringLiteral("c");
    list.Items.append({QStringLiteral("new"), QStringLiteral("/bin/x"), {}, false});
    list.SaveToFile(file);
    EXPECT_EQ(FileUtil::ReadFile(file), QByteArray("Irvine=C:\\irvine.exe\r\nodd=c\r\nnoequals\r\nnew=/bin/x\r\n"));
}

// ---- frame ----

TEST_F(OptionDialogTest, ShowOptionDialogOpensAtTheRequestedPage)
{
    int shownPage = -1;
    QString header;
    int subPage = -1;
    OnDialog = [&](QDialog &dialog) {
        auto &options = dynamic_cast<TOptionDialog &>(dialog);
        options.FormActivate();
        shownPage = options.PageControl1->currentIndex();
        header = options.HeaderFrame->HeaderLabel->text();
        subPage = options.BBSPageControl->currentIndex();
        EXPECT_EQ(options.TreeView1->currentItem()->text(0), QStringLiteral("BBS固有情報"));
        EXPECT_EQ(options.BBSPageControl->tabText(0), QStringLiteral("２ちゃんねる"));
        return int(QDialog::Rejected);
    };
    EXPECT_FALSE(OptionDialog::ShowOptionDialog(TOptionDialog::pgBBS));
    EXPECT_EQ(shownPage, TOptionDialog::pgBBS);
    EXPECT_EQ(header, QStringLiteral("BBS固有情報"));
    EXPECT_EQ(subPage, 0);

    // OK through the seam saves, and the settings reach kpw.ini.
    OnDialog = [](QDialog &dialog) {
        auto &options = dynamic_cast<TOptionDialog &>(dialog);
        options.ProxyAddress->setText(QStringLiteral("proxy.local"));
        options.BitBtn1Click();
        return dialog.result();
    };
    EXPECT_TRUE(OptionDialog::ShowOptionDialog(0));
    config->PROXY_HOST.clear();
    config->Load();
    EXPECT_EQ(config->PROXY_HOST, "proxy.local");
    EXPECT_TRUE(QFile::exists(Profile(QStringLiteral("downapp.txt"))));   // written even when empty
}

TEST_F(OptionDialogTest, ClickingTheRootKeepsThePage)
{
    auto dialog = Open();
    dialog->StartPage = TOptionDialog::pgSound;
    dialog->FormActivate();
    dialog->TreeView1->setCurrentItem(dialog->TreeView1->topLevelItem(0));
    dialog->TreeView1Click();
    EXPECT_EQ(dialog->PageControl1->currentIndex(), TOptionDialog::pgSound);
    EXPECT_EQ(dialog->TreeView1->topLevelItem(0)->childCount(), int(TOptionDialog::PageCount));
}

// ---- proxy page ----

TEST_F(OptionDialogTest, BothProxySetsAreKeptAcrossTabsAndWrittenOnOK)
{
    config->SEND_PROXY_HOST = QStringLiteral("post.example");
    auto dialog = Open();
    dialog->UseProxy->setChecked(true);
    dialog->ProxyAddress->setText(QStringLiteral("read.example"));
    dialog->ProxyTab->setCurrentIndex(1);
    EXPECT_EQ(dialog->ProxyAddress->text(), "post.example");
    EXPECT_FALSE(dialog->UseProxy->isChecked());
    dialog->ProxyPort->setText(QStringLiteral("3128"));
    dialog->ProxyTab->setCurrentIndex(0);
    EXPECT_EQ(dialog->ProxyAddress->text(), "read.example");
    dialog->ProxyMemo->setText(QStringLiteral("memo"));
    dialog->BitBtn1Click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);

    config->Load();
    EXPECT_TRUE(config->PROXY_USE);
    EXPECT_EQ(config->PROXY_HOST, "read.example");
    EXPECT_EQ(config->PROXY_MEMO, "memo");
    EXPECT_EQ(config->SEND_PROXY_HOST, "post.example");
    EXPECT_EQ(config->SEND_PROXY_PORT, "3128");
}

TEST_F(OptionDialogTest, PresetButtonsWriteAtOnceAndSurviveCancel)
{
    auto dialog = Open();
    dialog->ProxyAddress->setText(QStringLiteral("a.example"));
    dialog->ProxyPort->setText(QStringLiteral("8080"));
    dialog->ProxySaveClick();
    dialog->ProxySaveClick();
    ASSERT_EQ(dialog->ProxyList->count(), 1);
    EXPECT_EQ(dialog->ProxyList->currentRow(), 0);
    EXPECT_EQ(FileUtil::ReadFile(Profile(QStringLiteral("proxy.txt"))), QByteArray("a.example,8080,,,\r\n"));

    dialog->UseProxy->setChecked(true);
    dialog->ProxyAddress->clear();
    dialog->ProxyApplyClick();
    EXPECT_EQ(dialog->ProxyAddress->text(), "a.example");
    EXPECT_TRUE(dialog->UseProxy->isChecked());   // not part of a preset

    dialog->ProxyList->clearSelection();
    dialog->ProxyApplyClick();
    dialog->ProxyDeleteClick();
    EXPECT_EQ(Messages, QStringList({QStringLiteral("設定一覧から適用する情報を選択してください。"),
                                     QStringLiteral("設定一覧から削除する情報を選択してください。")}));

    Messages.clear();
    dialog->ProxyList->setCurrentRow(0);
    Answer = Dialogs::mrNo;
    dialog->ProxyDeleteClick();
    EXPECT_EQ(dialog->ProxyList->count(), 1);
    EXPECT_EQ(Messages, QStringList(QStringLiteral("以下のプロキシ設定を削除しますか？\na.example,8080,,,")));
    Answer = Dialogs::mrYes;
    dialog->ProxyDeleteClick();
    EXPECT_EQ(dialog->ProxyList->count(), 0);
    EXPECT_EQ(FileUtil::ReadFile(Profile(QStringLiteral("proxy.txt"))), QByteArray());

    dialog->ProxySaveClick();
    const QByteArray kpw = FileUtil::ReadFile(Profile(QStringLiteral("kpw.ini")));
    dialog->reject();
    dialog.reset();
    EXPECT_EQ(FileUtil::ReadFile(Profile(QStringLiteral("kpw.ini"))), kpw);
    EXPECT_EQ(FileUtil::ReadFile(Profile(QStringLiteral("proxy.txt"))), QByteArray("a.example,8080,,,\r\n"));
}

// ---- pages ----

TEST_F(OptionDialogTest, TabKindsKeepTheirOwnSettings)
{
    config->THREADTAB_TOOLBARPOS = 1;
    auto dialog = Open();
    EXPECT_EQ(dialog->TabToolBarPos->checkedId(), 0);   // 1 shows "上"
    dialog->TabWheelClick->setCurrentIndex(0);
    dialog->TabToolBarPos->button(3)->setChecked(true);
    dialog->TabKindList->setCurrentIndex(1);
    dialog->TabWheelClick->setCurrentIndex(0);
    dialog->TabShortTitle->setChecked(false);
    dialog->TabTitleLen->setValue(33);
    dialog->BitBtn1Click();
    EXPECT_EQ(config->THREADTAB_WHEELCLICK, 0);
    EXPECT_EQ(config->BROWSERTAB_WHEELCLICK, 0);
    EXPECT_EQ(config->THREADTAB_TOOLBARPOS, 4);
    EXPECT_EQ(config->BROWSERTAB_TOOLBARPOS, 3);
    EXPECT_FALSE(config->SHORTTITLE);
    EXPECT_FALSE(config->WEBSHORTTITLE);
    EXPECT_EQ(config->TITLELEN, 33);
    EXPECT_EQ(config->WEBTITLELEN, 33);
}

TEST_F(OptionDialogTest, EnablingRulesFollowTheirBoxes)
{
    config->THREADLISTDOWNLOADMODE = 1;
    config->USESIMPLEAPI = false;
    config->RESLOADALL = true;
    auto dialog = Open();
    EXPECT_FALSE(dialog->DrawEachThread->isChecked());
    EXPECT_TRUE(dialog->RefreshCount->isEnabled());
    EXPECT_FALSE(dialog->ResShowCount->isEnabled());
    EXPECT_TRUE(dialog->PopupTextOnly->isChecked());

    dialog->UseHtmlPopup->click();   // off
    EXPECT_FALSE(dialog->UseCgiPopup->isEnabled() || dialog->PopupPicture->isEnabled()
                 || dialog->PopupTextOnly->isEnabled());
    dialog->UseHtmlPopup->click();
    EXPECT_TRUE(dialog->UseCgiPopup->isEnabled() && dialog->PopupPicture->isEnabled()
                && dialog->PopupTextOnly->isEnabled());

    dialog->OpenUrlGroup->button(0)->click();
    EXPECT_FALSE(dialog->ExecDefaultBrowser->isEnabled());
    dialog->OpenUrlGroup->button(2)->click();
    EXPECT_FALSE(dialog->ExecDefaultBrowser->isEnabled());   // only the first two apply the rule
    dialog->ExecDefaultBrowser->click();
    EXPECT_EQ(dialog->BrowserPath->isEnabled(), !dialog->ExecDefaultBrowser->isChecked());

    dialog->BitBtn1Click();
    EXPECT_EQ(config->THREADLISTDOWNLOADMODE, 1);
    EXPECT_EQ(config->URL_OPENINVARNELO, 2);
    EXPECT_FALSE(config->USESIMPLEAPI);
}

TEST_F(OptionDialogTest, PopupPreviewFollowsPositionAndFontSizes)
{
    auto dialog = Open();
    dialog->PopupPos->button(1)->click();
    EXPECT_GE(dialog->PopupPanel->y(), dialog->PopupAnchor->geometry().bottom());
    dialog->PopupPos->button(0)->click();
    EXPECT_LE(dialog->PopupPanel->geometry().bottom(), dialog->PopupAnchor->y());
    EXPECT_EQ(dialog->PopupPanel->width(), dialog->PopupHeader->width() + 20);
    EXPECT_EQ(dialog->PopupBody->y(), dialog->PopupHeader->geometry().bottom() + 1 + 8);

    // A size change elsewhere refreshes the preview from the popup's own controls.
    dialog->PopupFontSize->setValue(30);
    const QRect big = dialog->PopupPanel->geometry();
    auto *boardSize = dialog->PageControl1->widget(TOptionDialog::pgBoardList)->findChild<QSpinBox *>();
    ASSERT_NE(boardSize, nullptr);
    boardSize->setValue(boardSize->value() == 50 ? 51 : 50);
    EXPECT_EQ(dialog->PopupPanel->geometry(), big);
}

TEST_F(OptionDialogTest, PastLogProxyIsStoredOnlyWhileSwitchedOn)
{
    config->DOLIB_PROXYADDRESS = QStringLiteral("old.example");
    auto dialog = Open();
    dialog->DolibProxyAddress->setText(QStringLiteral("new.example"));
    dialog->BitBtn1Click();
    EXPECT_EQ(config->DOLIB_PROXYADDRESS, "old.example");

    dialog = Open();
    dialog->DolibUseProxy->setChecked(true);
    dialog->DolibProxyAddress->setText(QStringLiteral("new.example"));
    dialog->DolibProxyPort->setText(QStringLiteral("abc"));
    dialog->BitBtn1Click();
    EXPECT_EQ(config->DOLIB_PROXYADDRESS, "new.example");
    EXPECT_EQ(config->DOLIB_PROXYPORT, 80);
}

// The log path only stores where logs go from now on; OK tells that the logs kept so far stay in
// the old folder, and says nothing when there are none or the path did not change.
TEST_F(OptionDialogTest, ANewLogPathTellsThatTheOldLogsStay)
{
    const QString oldLogs = config->LOG;
    const QString newLogs = root.Path() + QStringLiteral("elsewhere/");
    const auto confirm = [this](const QString &path) {
        auto dialog = Open();
        dialog->LogPathEdit->setText(path);
        dialog->BitBtn1Click();
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
    };
    confirm(newLogs);
    EXPECT_TRUE(Messages.isEmpty());   // nothing kept yet
    EXPECT_EQ(QDir(config->LOG), QDir(newLogs));

    FileUtil::WriteFileAtomic(newLogs + QStringLiteral("2ch/news/1000000001.dat"), "log\r\n");
    confirm(newLogs);
    EXPECT_TRUE(Messages.isEmpty());   // the same folder
    confirm(oldLogs);
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages.constFirst().contains(QStringLiteral("元のフォルダに残ります")));
    EXPECT_TRUE(Messages.constFirst().contains(QDir::toNativeSeparators(newLogs)));
    EXPECT_TRUE(QFile::exists(newLogs + QStringLiteral("2ch/news/1000000001.dat")));
}

// The log path changed and changed back through the dialog: a kpw.ini damaged afterwards comes back
// as it was last saved, with the path chosen last.
TEST_F(OptionDialogTest, ADamagedSettingsFileComesBackAsTheLastSave)
{
    const QString oldLogs = config->LOG;
    const QString newLogs = root.Path() + QStringLiteral("elsewhere/");
    for (const QString &path : {newLogs, oldLogs}) {
        OnDialog = [&path](QDialog &dialog) {
            auto &options = dynamic_cast<TOptionDialog &>(dialog);
            options.LogPathEdit->setText(path);
            options.BitBtn1Click();
            return dialog.result();
        };
        ASSERT_TRUE(OptionDialog::ShowOptionDialog(0));
    }
    ASSERT_EQ(QDir(config->LOG), QDir(oldLogs));

    FileUtil::WriteFileAtomic(Profile(QStringLiteral("kpw.ini")), "\x89PNG\r\n\x1a\n garbage");
    TTavuConfig restored;
    EXPECT_EQ(QDir(restored.LOG), QDir(oldLogs));
}

TEST_F(OptionDialogTest, FontNamesNotInstalledAreKept)
{
    config->DESKTOP_TAVUMEMOFONTNAME.clear();
    config->THREADLISTFONTNAME = QStringLiteral("No Such Font Here");
    config->SAVEMODE_WARNING = true;
    auto dialog = Open();
    EXPECT_FALSE(Find<QCheckBox>(dialog.get(), QStringLiteral("保存モード切替時に警告を出さない"))->isChecked());
    // The box shows the font used in the missing one's place.
    QComboBox *box = nullptr;
    for (QComboBox *list : dialog->findChildren<QComboBox *>()) {
        if (FontNameOf(list) == QLatin1String("No Such Font Here"))
            box = list;
    }
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->currentText(), QFontInfo(QFont(QStringLiteral("No Such Font Here"))).family());
    dialog->BitBtn1Click();
    EXPECT_EQ(config->DESKTOP_TAVUMEMOFONTNAME, QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(config->THREADLISTFONTNAME, "No Such Font Here");
    EXPECT_TRUE(config->SAVEMODE_WARNING);

    // A font chosen in the box is stored.
    const int other = box->currentIndex() == 0 ? 1 : 0;
    box->setCurrentIndex(other);
    dialog->BitBtn1Click();
    EXPECT_EQ(config->THREADLISTFONTNAME, box->itemText(other));
}

TEST_F(OptionDialogTest, ColourChoiceAndDefaultsReachTheSettings)
{
    config->POPUPBKCOLOR = clRed;
    config->THREADLISTCOLOR2 = clBlue;
    auto dialog = Open();
    OnDialog = [](QDialog &dialog) {
        dialog.setProperty("currentColor", QColor(0x11, 0x22, 0x33));
        return int(QDialog::Accepted);
    };
    dialog->PopupBkColor->ChooseButton->click();
    Find<QAbstractButton>(dialog->PageControl1->widget(TOptionDialog::pgThreadList),
                          QStringLiteral("デフォルトに戻す"))->click();
    dialog->reject();
    EXPECT_EQ(dialog->PopupBkColor->Color(), 0x332211);
    dialog->BitBtn1Click();
    EXPECT_EQ(config->POPUPBKCOLOR, 0x332211);
    EXPECT_EQ(config->THREADLISTCOLOR2, StringToColor(QStringLiteral("$00EDEDE2")));
}

}  // namespace
