// The filter dialog and the commands that open it, the priority and comment commands, the web
// search of the selection, and the notice window fed by notice rules.

#include "WindowParts.h"
#include "DialogAnswers.h"
#include "StoredThread.h"
#include "WindowTestEnv.h"

#include "commands/NoticeCommands.h"
#include "controls/BoardTree.h"
#include "controls/ExtListView.h"
#include "controls/UserFiles.h"
#include "controls/WindowServices.h"
#include "core/IniFile.h"
#include "core/JConvert.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/TargetBoard.h"
#include "core/TavuAction.h"
#include "core/TavuActionList.h"
#include "core/TextList.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"
#include "services/ResSearch.h"
#include "tools/AboneDialog.h"
#include "tools/CommentDialog.h"
#include "tools/FilterDialog.h"
#include "tools/InfoDialog.h"
#include "tools/PriorityDialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLayout>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSlider>
#include <QStackedWidget>
#include <QTreeWidget>

using StoredThread::OpenTab;

namespace {

QByteArray ThreadLog(const QList<QStringList> &lines)
{
    QString log;
    for (const QStringList &line : lines)
        log += QStringLiteral("%1<><>2024/05/01 12:00:00 ID:%2<>%3<>\r\n").arg(line[0], line[1], line[2]);
    return jconvert::UnicodeToSjis(log);
}

TThreadItem *NewThread(const QString &key, const QString &title, const QByteArray &log)
{
    auto *item = new TThreadItem;
    item->SetLocation(QStringLiteral("2ch"), QStringLiteral("news"), key, title);
    FileUtil::WriteFileAtomic(item->GetLogFile(), log);
    return item;
}

QList<int> VisibleNumbers(const TResList &list)
{
    QList<int> numbers;
    for (int i = 0; i < list.Count(); ++i) {
        if (list.Get(i)->Visible)
            numbers << list.Get(i)->Number;
    }
    return numbers;
}

// A board tab of 2ch/news listing the threads, shown, with every row selected.
TTavuListDoc *ListThreads(TWindowEnv &env, const QList<TThreadItem *> &threads)
{
    auto *items = new TThreadItemList;
    for (TThreadItem *item : threads)
        items->Add(item);
    TTavuListDoc *doc = nullptr;
    env.Window->Tabs().NewListDoc(doc, items, TTavuListDoc::lmBoard, false, QStringLiteral("ニュース"), threads[0]->GetBoard());
    doc->SetDisplayCount(items->Count());
    doc->Activate();
    Part<TqorExtListView>(env.Window, "ThreadListView")
        ->setCurrentIndex(Part<TqorExtListView>(env.Window, "ThreadListView")->model()->index(0, 0));
    Part<TqorExtListView>(env.Window, "ThreadListView")->selectAll();
    env.Window->UpdateThreadListMenu();
    return doc;
}

// A notice rule on every board that matches the text in the field of target.
std::unique_ptr<TTavuAction> NoticeRule(int target, const QString &text)
{
    auto rule = std::make_unique<TTavuAction>();
    rule->Target = target;
    rule->Action = TTavuAction::POPUP;
    rule->Value1 = text;
    rule->Boards.Add(TTargetBoard::AllSites(), QString(), true);
    return rule;
}

}  // namespace

// ---- the dialog ----

TEST(FilterWindow, TheDialogOffersThePostsValuesAndAsksForTheChosenField)
{
    TWindowEnv env;
    TResList list;
    for (const auto &[name, id] : {std::pair{"<b>太郎</b>", "aaa"}, {"花子", "bbb"}, {"太郎", "aaa"}}) {
        auto *res = new TRes;
        res->Number = list.Count() + 1;
        res->Name = QString::fromUtf8(name);
        res->ID = QString::fromUtf8(id);
        list.Add(res);
    }
    TFilterDialog dialog;
    dialog.SetResList(&list);
    EXPECT_FALSE(dialog.ThreadPageShown());
    ASSERT_EQ(dialog.HandleCombo->count(), 2);   // distinct, tags stripped
    EXPECT_EQ(dialog.IDCombo->count(), 2);

    dialog.HandleCombo->setEditText(QStringLiteral("太"));   // typing chooses the field
    EXPECT_TRUE(dialog.HandleRadio->isChecked());
    dialog.PartialRadio->setChecked(true);
    EXPECT_EQ(dialog.ResSearch().Mode, ResSearch::rmName);
    dialog.ExactRadio->setChecked(true);
    EXPECT_EQ(dialog.ResSearch().Mode, ResSearch::rmNameExact);
    EXPECT_EQ(dialog.ResSearch().Text, QStringLiteral("太"));

    dialog.BodyCombo->setEditText(QStringLiteral("  猫  "));
    dialog.ResIgnoreWidth->setChecked(true);
    dialog.OKButtonClick();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(TavuConfig->FILTERDLG_BODYCHK);
    EXPECT_FALSE(TavuConfig->FILTERDLG_ALLCHK);
    EXPECT_TRUE(TavuConfig->FILTERIGNORECASE);
    TTextList history;
    history.LoadFromFile(env.Profile(QStringLiteral("findlog.txt")));
    EXPECT_EQ(history.Lines, QStringList{QStringLiteral("猫")});

    TFilterDialog again;   // the choice and the history come back
    EXPECT_TRUE(again.BodyRadio->isChecked());
    EXPECT_EQ(again.BodyCombo->itemText(0), QStringLiteral("猫"));
}

// ---- the commands ----

TEST(FilterWindow, AThreadListFilterThenClosingItGivesBackTheSameList)
{
    TWindowEnv env;
    env.Start();
    QList<TThreadItem *> threads;
    for (const QString &title : {QStringLiteral("猫スレ"), QStringLiteral("犬スレ"), QStringLiteral("黒猫")})
        threads << NewThread(QString::number(1300000001 + threads.size()), title, ThreadLog({{"a", "x", "b"}}));
    TTavuListDoc *doc = ListThreads(env, threads);
    const int rows = Part<TqorExtListView>(env.Window, "ThreadListView")->model()->rowCount();

    TDialogAnswers answers(env, [](QDialog &dialog) {
        auto &filter = dynamic_cast<TFilterDialog &>(dialog);
        EXPECT_TRUE(filter.ThreadPageShown());
        // Sized for the shorter thread page, not for the post page: no empty band above the text.
        EXPECT_EQ(filter.Pages->sizeHint().height(), filter.Pages->currentWidget()->sizeHint().height());
        const QLayout *layout = filter.layout();
        EXPECT_EQ(filter.sizeHint().height(), layout->contentsMargins().top() + filter.Pages->currentWidget()->sizeHint().height()
                                                  + layout->spacing() + filter.OKButton->parentWidget()->sizeHint().height()
                                                  + layout->contentsMargins().bottom());
        EXPECT_EQ(filter.DatCombo->count(), 3);
        filter.TitleCombo->setEditText(QStringLiteral("猫"));
        filter.OKButtonClick();
    });
    env.Window->Action(QStringLiteral("actThreadListFilter"))->trigger();
    EXPECT_EQ(answers.Shown, QStringList{QStringLiteral("TFilterDialog")});   // the real dialog
    TTavuListDoc *found = env.Window->ListPane().ShownListDoc();
    ASSERT_NE(found, doc);
    ASSERT_EQ(found->Items()->Count(), 2);
    EXPECT_EQ(found->Items()->Get(1), threads[2]);

    env.Window->Tabs().CloseListDoc(found);
    ASSERT_EQ(env.Window->ListPane().ShownListDoc(), doc);
    ASSERT_EQ(doc->Items()->Count(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(doc->Items()->Get(i), threads[i]);
    EXPECT_EQ(Part<TqorExtListView>(env.Window, "ThreadListView")->model()->rowCount(), rows);
    for (TThreadItem *item : threads)
        item->Release();
}

TEST(FilterWindow, AThreadFilterShowsTheMatchesInATabAndLeavesTheThreadAsItWas)
{
    TWindowEnv env;
    env.Start();
    const QByteArray log = ThreadLog({{"太郎", "aaa", "一"}, {"花子", "bbb", "二"}, {"太郎", "aaa", "三"}});
    TThreadItem *item = NewThread(QStringLiteral("1300000101"), QStringLiteral("スレ"), log);
    TTavuBrowser *source = OpenTab(item);
    env.Window->RefreshResView();
    const QList<int> shown = VisibleNumbers(*source->ResList());

    TDialogAnswers answers(env, [](QDialog &dialog) {
        auto &filter = dynamic_cast<TFilterDialog &>(dialog);
        filter.IDCombo->setEditText(QStringLiteral("aaa"));
        filter.OKButtonClick();
    });
    env.Window->Action(QStringLiteral("actThreadFilter"))->trigger();
    EXPECT_EQ(answers.Shown, QStringList{QStringLiteral("TFilterDialog")});
    TTavuBrowser *filtered = env.Window->Tabs().Browsers().first();
    ASSERT_NE(filtered, source);
    EXPECT_EQ(VisibleNumbers(*filtered->ResList()), (QList<int>{1, 3}));

    env.Window->Tabs().CloseBrowser(filtered);
    EXPECT_EQ(VisibleNumbers(*source->ResList()), shown);
    QFile file(item->GetLogFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), log);

    // The board-wide search asks the same dialog; cancelling it searches nothing.
    const qsizetype tabs = env.Window->Tabs().Browsers().size();
    TDialogAnswers cancel(env, [](QDialog &dialog) { dialog.reject(); });
    TTavuListDoc *board = ListThreads(env, {item});
    ASSERT_NE(board, nullptr);
    env.Window->Action(QStringLiteral("actThreadListFilterHoliday"))->trigger();
    EXPECT_EQ(cancel.Shown, QStringList{QStringLiteral("TFilterDialog")});
    EXPECT_EQ(env.Window->Tabs().Browsers().size(), tabs);
    item->Release();
}

TEST(FilterWindow, PriorityAndCommentOfTheSelectedThreadsAreStoredWithTheirIndexIntact)
{
    TWindowEnv env;
    env.Start();
    QList<TThreadItem *> threads;
    for (int i = 0; i < 2; ++i) {
        TThreadItem *item = NewThread(QString::number(1300000201 + i), QStringLiteral("スレ"), ThreadLog({{"a", "x", "b"}}));
        item->COUNT = 7;
        item->SaveInfo();
        item->COUNT = 0;   // the listing does not know it
        threads << item;
    }
    ListThreads(env, threads);
    {
        TDialogAnswers answers(env, [](QDialog &dialog) {
            static_cast<TPriorityDialog &>(dialog).TrackBar->setValue(42);
            dialog.accept();
        });
        env.Window->Action(QStringLiteral("actThreadListPriority"))->trigger();
        EXPECT_EQ(answers.Shown, QStringList{QStringLiteral("TPriorityDialog")});
    }
    for (TThreadItem *item : threads) {
        TIniFile inf(item->GetInfFile());
        EXPECT_EQ(inf.ReadInteger(QStringLiteral("LOG"), QStringLiteral("PRIORITY")), 42);
        EXPECT_EQ(inf.ReadInteger(QStringLiteral("LOG"), QStringLiteral("COUNT")), 7);
    }

    OpenTab(threads[0]);
    {
        TDialogAnswers answers(env, [](QDialog &dialog) {
            auto &comment = dynamic_cast<TCommentDialog &>(dialog);
            comment.Memo->setPlainText(QStringLiteral("あとで読む"));
            comment.OKButtonClick();
        });
        env.Window->Action(QStringLiteral("actThreadComment"))->trigger();
        EXPECT_EQ(answers.Shown, QStringList{QStringLiteral("TCommentDialog")});
    }
    EXPECT_EQ(TIniFile(threads[0]->GetInfFile()).ReadString(QStringLiteral("LOG"), QStringLiteral("COMMENT")),
              QStringLiteral("あとで読む"));
    for (TThreadItem *item : threads)
        item->Release();
}

// ---- web search ----

TEST(FilterWindow, TheSearchTextIsEncodedAsTheEngineSays)
{
    using namespace UserFiles;
    EXPECT_EQ(SearchTextCode(QStringLiteral("http://e.example/s?num=100&ie=EUC-JP&q=%s")), jconvert::EUC);
    EXPECT_EQ(SearchTextCode(QStringLiteral("http://e.example/s?q=%s&ie=utf-8")), jconvert::UTF8);
    EXPECT_EQ(SearchTextCode(QStringLiteral("http://e.example/s?p=%s&ei=Shift_JIS")), jconvert::SJIS);
    EXPECT_EQ(SearchTextCode(QStringLiteral("http://e.example/s?q=%s")), jconvert::UTF8);   // none named

    EXPECT_EQ(SearchUrl(QStringLiteral("http://e.example/s?ie=EUC-JP&q=%s"), QStringLiteral("猫 a")),
              QStringLiteral("http://e.example/s?ie=EUC-JP&q=%C7%AD%20a"));
    EXPECT_EQ(SearchUrl(QStringLiteral("http://e.example/s?q=%s&ie=UTF-8"), QStringLiteral("猫&")),
              QStringLiteral("http://e.example/s?q=%E7%8C%AB%26&ie=UTF-8"));
    EXPECT_EQ(SearchUrl(QStringLiteral("http://e.example/s?q=%s&enc=sjis"), QStringLiteral("猫")),
              QStringLiteral("http://e.example/s?q=%94L&enc=sjis"));
}

// ---- notices ----

TEST(FilterWindow, ANoticeRuleListsThePostAndAClickOpensTheThreadAtIt)
{
    TWindowEnv env;
    env.Start();
    env.Window->Services().Rules().ResRules()->Add(NoticeRule(TTavuAction::RESBODY, QStringLiteral("お宝")));
    TThreadItem *item = NewThread(QStringLiteral("1300000301"), QStringLiteral("スレ"),
                                  ThreadLog({{"a", "x", "一"}, {"<b>b</b>", "y", "お宝画像"}, {"c", "z", "三"}}));
    TTavuBrowser *tab = OpenTab(item);
    env.Window->RefreshResView();

    TInfoDialog *notices = Part<TNoticeCommands>(env.Window)->Window();
    ASSERT_NE(notices, nullptr);
    EXPECT_TRUE(notices->isVisible());
    ASSERT_EQ(notices->qorExtListView2->topLevelItemCount(), 1);
    QTreeWidgetItem *row = notices->qorExtListView2->topLevelItem(0);
    EXPECT_EQ(row->text(0), QStringLiteral("0002"));
    EXPECT_EQ(row->text(1), QStringLiteral("b"));
    EXPECT_EQ(row->text(3), QStringLiteral("お宝"));

    // The thread is closed: a click opens it again at that post.
    env.Window->Tabs().CloseBrowser(tab);
    notices->ResRowDoubleClick(row);
    TTavuBrowser *opened = env.Window->Tabs().Browsers().value(0);
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->ThreadItem(), item);
    EXPECT_EQ(opened->ResNumber, 2);

    // Shown in the current tab but not rendered: the preview shows it; erased: the user is told.
    ASSERT_TRUE(TWindowEnv::WaitUntil([opened] { return opened->DownloadState == TTavuBrowser::dsIdle; }));
    // Opening the thread emptied the window, and the rule hit again as it rendered.
    ASSERT_EQ(notices->qorExtListView2->topLevelItemCount(), 1);
    row = notices->qorExtListView2->topLevelItem(0);
    TRes *res = opened->ResList()->Get(1);
    res->Visible = false;
    notices->ResRowDoubleClick(row);
    ASSERT_EQ(Part<TTavuBrowser>(env.Window, "PrivateBrowser")->ResList()->Count(), 1);
    EXPECT_EQ(Part<TTavuBrowser>(env.Window, "PrivateBrowser")->ResList()->Get(0)->Number, 2);
    res->Erased = true;
    notices->ResRowDoubleClick(row);
    EXPECT_EQ(env.Messages.last(), QStringLiteral("指定のレスは消去されています。"));
    item->Release();
}

// The notice window that opens while a modal dialog runs (the rule editor whose new rule hit)
// stands beside that dialog, not under it; a post the user erased notices nothing any more.
TEST(FilterWindow, TheNoticeWindowStandsBesideAModalDialogAndAnErasedPostIsNotNoticed)
{
    TWindowEnv env;
    env.Start();
    TavuEnviron->SetCached(true, true);
    env.Window->Services().Rules().ResRules()->Add(NoticeRule(TTavuAction::RESBODY, QStringLiteral("お宝")));
    TThreadItem *item = NewThread(QStringLiteral("1300000311"), QStringLiteral("スレ"),
                                  ThreadLog({{"a", "x", "一"}, {"b", "yyy", "お宝画像"}, {"c", "z", "三"}}));
    OpenTab(item);
    env.Window->resize(900, 600);
    env.Window->show();
    QDialog editor(env.Window);
    editor.setGeometry(20, 40, 240, 160);
    editor.setWindowModality(Qt::ApplicationModal);
    editor.show();
    env.Window->RefreshResView();
    TInfoDialog *notices = Part<TNoticeCommands>(env.Window)->Window();
    ASSERT_NE(notices, nullptr);
    ASSERT_TRUE(notices->isVisible());
    EXPECT_EQ(notices->qorExtListView2->topLevelItemCount(), 1);
    EXPECT_FALSE(notices->frameGeometry().intersects(editor.frameGeometry()));
    editor.hide();
    notices->close();

    {
        TDialogAnswers answers(env, [](QDialog &dialog) {
            auto &erase = dynamic_cast<TAboneDialog &>(dialog);
            erase.IDCombo->setCurrentText(QStringLiteral("yyy"));
            erase.ApplyID();
            erase.OKButtonClick();
        });
        env.Window->Action(QStringLiteral("actThreadQueryAbone"))->trigger();
    }
    const int linesBefore = int(env.LogLines().size());
    env.Window->RefreshResView();
    EXPECT_FALSE(notices->isVisible());
    for (const QString &line : env.LogLines().mid(linesBefore))
        EXPECT_FALSE(line.contains(QStringLiteral("お知らせ"))) << line.toStdString();
    item->Release();
}

TEST(FilterWindow, ANoticeRuleOnAThreadListsItAndAClickSelectsItsRow)
{
    TWindowEnv env;
    env.Start();
    env.Window->Services().Rules().ThreadRules()->Add(NoticeRule(TTavuAction::THREADTITLE, QStringLiteral("新作")));
    QList<TThreadItem *> threads;
    for (const QString &title : {QStringLiteral("雑談"), QStringLiteral("新作情報")}) {
        threads << NewThread(QString::number(1300000401 + threads.size()), title, ThreadLog({{"a", "x", "b"}}));
        threads.last()->Number = int(threads.size());
    }
    TTavuListDoc *doc = ListThreads(env, threads);
    for (TThreadItem *item : threads)
        doc->UpdateList(item, false);   // as the rows come into view

    TInfoDialog *notices = Part<TNoticeCommands>(env.Window)->Window();
    ASSERT_NE(notices, nullptr);
    ASSERT_EQ(notices->qorExtListView1->topLevelItemCount(), 1);
    QTreeWidgetItem *row = notices->qorExtListView1->topLevelItem(0);
    EXPECT_EQ(row->text(0), QStringLiteral("0002"));
    EXPECT_EQ(row->text(1), QStringLiteral("新作情報"));
    const int references = threads[1]->RefCount();

    Part<TqorExtListView>(env.Window, "ThreadListView")->clearSelection();
    notices->ThreadRowDoubleClick(row);
    EXPECT_EQ(Part<TqorExtListView>(env.Window, "ThreadListView")->SelectedRows(), QList<int>{1});

    // Closed with the threads page in front, the rows go and let their threads go.
    notices->close();
    EXPECT_EQ(notices->qorExtListView1->topLevelItemCount(), 0);
    EXPECT_EQ(threads[1]->RefCount(), references - 1);
    for (TThreadItem *item : threads)
        item->Release();
}
