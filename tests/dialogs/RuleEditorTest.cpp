// The rule editor: what its dialog writes into a rule and reads back, the batch entry, the
// per-board view, and the rule list window driven offscreen with the dialogs answered by the test.

#include "support/TempDataRoot.h"

#include "controls/Dialogs.h"
#include "controls/TavuSplitter.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuAction.h"
#include "core/TavuActionList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "services/RuleEditing.h"
#include "tools/ActionDialog.h"
#include "tools/ActionDialog2.h"
#include "tools/NGWordDialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QSplitter>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTreeWidget>
#include <memory>

using namespace RuleEditing;

namespace {

const QDateTime Now(QDate(2024, 5, 6), QTime(7, 8, 9));

class RuleEditorTest : public ::testing::Test {
protected:
    RuleEditorTest()
    {
        config = std::make_unique<TTavuConfig>();
        oldConfig = std::exchange(TavuConfig, config.get());
        environ = std::make_unique<TTavuEnviron>();
        oldEnviron = std::exchange(TavuEnviron, environ.get());
        auto *site = new TSite(QStringLiteral("2ch"), TSite::KIND_NORMAL, nullptr);
        site->NAME = QStringLiteral("2ちゃんねる");
        AddBoard(site, QStringLiteral("news"), QStringLiteral("ニュース"));
        AddBoard(site, QStringLiteral("tech"), QStringLiteral("技術"));
        environ->SiteList()->Add(site);
    }
    ~RuleEditorTest() override
    {
        TavuEnviron = oldEnviron;
        TavuConfig = oldConfig;
    }

    static void AddBoard(TSite *site, const QString &id, const QString &name)
    {
        auto *board = new TBoard;
        board->ID = id;
        board->Name = name;
        board->Category = QStringLiteral("一般");
        board->Site = site;
        site->Boards->Add(board);
    }
    TBoard *Board(const QString &id) const { return environ->SiteList()->Get(0)->Boards->FindByID(id); }

    static TTavuAction *AddRule(TTavuActionList &list, const QString &value, const QString &site,
                                const QString &board, bool all = false)
    {
        auto rule = std::make_unique<TTavuAction>();
        rule->Value1 = value;
        rule->Boards.Add(site, board, all);
        TTavuAction *raw = rule.get();
        list.Add(std::move(rule));
        return raw;
    }

    TempDataRoot root;
    std::unique_ptr<TTavuConfig> config;
    std::unique_ptr<TTavuEnviron> environ;
    TTavuConfig *oldConfig = nullptr;
    TTavuEnviron *oldEnviron = nullptr;
};

}  // namespace

// ---- the dialog's mapping ----

TEST_F(RuleEditorTest, ThreadRuleWrittenFromTheFormSurvivesTheFileAndReadsBack)
{
    TRuleForm form;
    form.Targets = TTavuAction::THREADTITLE;
    form.Condition = TTavuAction::LIKE;
    form.LikeText = QStringLiteral("一行目\r\n二行目");
    form.ActionIndex = KindOf(true).ActionCodes.indexOf(TTavuAction::SETCOLOR);
    form.Color = clBlue;
    form.NewThreadOnly = true;
    form.Comment = QStringLiteral("メモ");
    form.ExpireDays = 7;
    form.AllBoards = true;

    TTavuActionList list;
    auto rule = std::make_unique<TTavuAction>();
    WriteRule(form, true, *rule, Now);
    EXPECT_EQ(rule->Value1, QStringLiteral("一行目#13#10二行目"));
    EXPECT_EQ(rule->Action, TTavuAction::SETCOLOR);
    EXPECT_EQ(rule->RegistDate, QStringLiteral("2024/05/06 07:08:09"));
    list.Add(std::move(rule));
    const QString path = root.File(QStringLiteral("ngthread.txt"));
    list.SaveToFile(path);

    TTavuActionList loaded;
    ASSERT_TRUE(loaded.LoadFromFile(path));
    ASSERT_EQ(loaded.Count(), 1);
    const TRuleForm back = ReadRule(*loaded.Get(0), true);
    EXPECT_EQ(back.Targets, form.Targets);
    EXPECT_EQ(back.LikeText, form.LikeText);
    EXPECT_EQ(back.ActionIndex, form.ActionIndex);
    EXPECT_EQ(back.Color, clBlue);
    EXPECT_TRUE(back.NewThreadOnly);
    EXPECT_EQ(back.Comment, form.Comment);
    EXPECT_EQ(back.ExpireDays, 7);
    EXPECT_TRUE(back.AllBoards);
    EXPECT_EQ(back.BoardChoice, bcFromList);
}

TEST_F(RuleEditorTest, WritingARuleTakesOnlyTheChosenPagesValues)
{
    TTavuAction rule;
    rule.RegistDate = QStringLiteral("2001/01/01 00:00:00");
    rule.Value2 = QStringLiteral("古い置換");

    TRuleForm same;
    same.Condition = TTavuAction::SAME;
    same.LikeText = QStringLiteral("ignored");
    same.SameText = QStringLiteral("  空白つき  ");
    same.ActionIndex = KindOf(false).ActionCodes.indexOf(TTavuAction::POPUP);
    WriteRule(same, false, rule, Now);
    EXPECT_EQ(rule.Value1, QStringLiteral("  空白つき  "));   // not trimmed
    EXPECT_TRUE(rule.Value2.isEmpty());                        // cleared for an action without a value
    EXPECT_EQ(rule.RegistDate, QStringLiteral("2001/01/01 00:00:00"));

    TRuleForm numeric;
    numeric.Condition = TTavuAction::DATEGT;
    numeric.Number = 30;
    numeric.ActionIndex = KindOf(true).ActionCodes.indexOf(TTavuAction::SETPRIORITY);
    numeric.Priority = 9;
    numeric.PopupHide = true;
    WriteRule(numeric, true, rule, Now);
    EXPECT_EQ(rule.Value1, QStringLiteral("30"));
    EXPECT_EQ(rule.Value2, QStringLiteral("9"));
    EXPECT_FALSE(rule.PopupHide);   // the hide flags belong to the ABONE page

    rule.Value1 = QStringLiteral("abc");   // not a number: reads as 0
    EXPECT_EQ(ReadRule(rule, true).Number, 0);
}

TEST_F(RuleEditorTest, BoardsComeFromTheViewTheAllBoxOrTheCheckedRows)
{
    TTavuAction rule;
    TRuleForm form;
    form.BoardChoice = bcBoardInView;
    form.HasBoardInView = true;
    form.BoardInView = {QStringLiteral("2ch"), QStringLiteral("news")};
    form.AllBoards = true;   // ignored while the board in view is chosen
    WriteRule(form, false, rule, Now);
    ASSERT_EQ(rule.Boards.Count(), 1);
    EXPECT_EQ(rule.Boards.Get(0)->BoardID, QStringLiteral("news"));
    EXPECT_FALSE(rule.Boards.Get(0)->AllBoards);

    form.HasBoardInView = false;   // no board in view: falls back on the list
    WriteRule(form, false, rule, Now);
    ASSERT_EQ(rule.Boards.Count(), 1);
    EXPECT_EQ(rule.Boards.Get(0)->SiteID, QStringLiteral("#ALL"));
    EXPECT_TRUE(rule.Boards.Get(0)->AllBoards);

    form.AllBoards = false;
    form.CheckedBoards = {{QStringLiteral("2ch"), QStringLiteral("news")}, {QStringLiteral("2ch"), QStringLiteral("tech")}};
    WriteRule(form, false, rule, Now);
    EXPECT_EQ(rule.Boards.Count(), 2);

    form.CheckedBoards.clear();
    WriteRule(form, false, rule, Now);
    EXPECT_EQ(rule.Boards.Count(), 0);
}

TEST_F(RuleEditorTest, BatchEntryMakesOneHidingRuleForEveryLine)
{
    const auto rules = MakeBatchRules(QStringLiteral("広告\n\nスパム\n"), true, false, Now);
    ASSERT_EQ(rules.size(), 3u);
    EXPECT_TRUE(rules[1]->Value1.isEmpty());
    for (const auto &rule : rules) {
        EXPECT_EQ(rule->Target, 15);
        EXPECT_EQ(rule->Condition, TTavuAction::LIKE);
        EXPECT_EQ(rule->Action, TTavuAction::ABONE);
        EXPECT_TRUE(rule->PopupHide);
        EXPECT_FALSE(rule->Chain);
        ASSERT_EQ(rule->Boards.Count(), 1);
        EXPECT_TRUE(rule->Boards.Get(0)->AllBoards);
    }
    EXPECT_TRUE(MakeBatchRules(QString(), false, false, Now).empty());
}

TEST_F(RuleEditorTest, PerBoardViewListsNamedAndAllBoardEntriesOfEnabledRules)
{
    TTavuActionList res;
    TTavuActionList thread;
    AddRule(res, QStringLiteral("named"), QStringLiteral("2ch"), QStringLiteral("news"));
    AddRule(res, QStringLiteral("everywhere"), QStringLiteral("#ALL"), QString(), true);
    AddRule(thread, QStringLiteral("off"), QStringLiteral("2ch"), QStringLiteral("news"))->Enabled = false;
    AddRule(thread, QStringLiteral("other"), QStringLiteral("2ch"), QStringLiteral("tech"));
    // A pattern that happens to hold the board id does not give the board rules.
    AddRule(thread, QStringLiteral("2ch news"), QStringLiteral("3ch"), QStringLiteral("x"));

    auto rows = RulesForBoard(&res, &thread, QStringLiteral("2ch"), QStringLiteral("news"), false);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_FALSE(rows[0].AllBoards);
    EXPECT_TRUE(rows[1].AllBoards);
    EXPECT_EQ(RulesForBoard(&res, &thread, QStringLiteral("2ch"), QStringLiteral("news"), true).size(), 1);
    rows = RulesForBoard(&res, &thread, QStringLiteral("#ALL"), QStringLiteral("#ALL"), false);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].Rule->Value1, QStringLiteral("everywhere"));

    EXPECT_TRUE(BoardHasRules(&res, &thread, QStringLiteral("2ch"), QStringLiteral("news")));
    EXPECT_TRUE(BoardHasRules(nullptr, &thread, QStringLiteral("2ch"), QStringLiteral("tech")));
    EXPECT_FALSE(BoardHasRules(&res, nullptr, QStringLiteral("2ch"), QStringLiteral("tech")));
    EXPECT_FALSE(BoardHasRules(&res, &thread, QStringLiteral("3ch"), QStringLiteral("news")));
}

// ---- the rule dialog ----

TEST_F(RuleEditorTest, NewRuleTakesTheClipboardAndTheBoardInView)
{
    QApplication::clipboard()->setText(QStringLiteral("  あぼーん  "));
    TActionDialog2 dialog;
    TBoard *tech = Board(QStringLiteral("tech"));
    dialog.ViewedBoard = [tech] { return tech; };
    TTavuAction rule;

    dialog.SetupNew(&rule, false, QString(), QString());   // no board given
    EXPECT_EQ(dialog.LikeEdit->toPlainText(), QStringLiteral("あぼーん"));
    EXPECT_EQ(dialog.SameEdit->toPlainText(), QStringLiteral("  あぼーん  "));
    EXPECT_TRUE(dialog.FromListRadio->isChecked());
    EXPECT_EQ(dialog.BoardInViewLabel->text(), QStringLiteral("[無し]"));
    dialog.OKButtonClick();
    EXPECT_EQ(rule.Value1, QStringLiteral("あぼーん"));
    EXPECT_EQ(rule.Boards.Count(), 0);

    TTavuAction second;   // a site without the board: the board in view
    dialog.SetupNew(&second, false, QStringLiteral("2ch"), QStringLiteral("gone"));
    EXPECT_TRUE(dialog.BoardInViewRadio->isChecked());
    EXPECT_EQ(dialog.BoardInViewLabel->text(), QStringLiteral("[技術]"));
    EXPECT_FALSE(dialog.BoardList->isEnabled());
    EXPECT_FALSE(dialog.AllBoardsCheck->isEnabled());
    dialog.OKButtonClick();
    ASSERT_EQ(second.Boards.Count(), 1);
    EXPECT_EQ(second.Boards.Get(0)->BoardID, QStringLiteral("tech"));

    TTavuAction third;
    dialog.SetupNew(&third, true, QStringLiteral("2ch"), QStringLiteral("#ALL"));
    EXPECT_TRUE(dialog.AllBoardsCheck->isChecked());
    EXPECT_TRUE(dialog.FromListRadio->isChecked());
    EXPECT_EQ(dialog.BoardList->topLevelItem(1)->checkState(0), Qt::Checked);
}

TEST_F(RuleEditorTest, EditingFillsTheControlsAndSavingRebuildsTheBoards)
{
    TTavuAction rule;
    rule.Target = TTavuAction::RESBODY | TTavuAction::RESID;
    rule.Condition = TTavuAction::LENGTHGT;
    rule.Value1 = QStringLiteral("120");
    rule.Action = TTavuAction::REPLACE;
    rule.Value2 = QStringLiteral("長文#13#10省略");
    rule.Boards.Add(QStringLiteral("2ch"), QStringLiteral("news"));

    TActionDialog2 dialog;
    dialog.SetupEdit(&rule, false);
    EXPECT_FALSE(dialog.NewThreadOnlyCheck->isVisibleTo(&dialog));
    EXPECT_EQ(dialog.ConditionCombo->currentIndex(), TTavuAction::LENGTHGT);
    EXPECT_EQ(dialog.ReplaceEdit->toPlainText(), QStringLiteral("長文\n省略"));
    EXPECT_EQ(dialog.BoardList->topLevelItem(0)->checkState(0), Qt::Checked);
    EXPECT_EQ(dialog.BoardList->topLevelItem(1)->checkState(0), Qt::Unchecked);

    dialog.BoardList->topLevelItem(1)->setCheckState(0, Qt::Checked);
    dialog.OKButtonClick();
    EXPECT_EQ(rule.Value1, QStringLiteral("120"));
    EXPECT_EQ(rule.Value2, QStringLiteral("長文#13#10省略"));
    EXPECT_EQ(rule.Target, TTavuAction::RESBODY | TTavuAction::RESID);
    EXPECT_EQ(rule.Boards.Count(), 2);

    dialog.SetupEdit(&rule, false);   // checking the all-boards box checks every row
    dialog.AllBoardsCheck->click();
    EXPECT_EQ(dialog.BoardList->topLevelItem(1)->checkState(0), Qt::Checked);
    dialog.AllBoardsCheck->click();
    EXPECT_EQ(dialog.BoardList->topLevelItem(0)->checkState(0), Qt::Unchecked);
}

// ---- the rule list window ----

TEST_F(RuleEditorTest, ListWindowAddsToTheKindInFrontDeletesAndSavesOnClose)
{
    TTavuActionList res;
    TTavuActionList thread;
    AddRule(res, QStringLiteral("既存"), QStringLiteral("2ch"), QStringLiteral("news"));
    QStringList asked;
    bool accept = true;
    Dialogs::TScopedDialogHandlers handlers(
        [&](Dialogs::TMsgKind, const QString &text, Dialogs::TMsgButtons) {
            asked << text;
            return Dialogs::mrYes;
        },
        [&](QDialog &dialog) {
            if (auto *editor = qobject_cast<TActionDialog2 *>(&dialog)) {
                editor->LikeEdit->setPlainText(QStringLiteral("新しい"));
                if (accept)
                    editor->OKButtonClick();
                return accept ? int(QDialog::Accepted) : int(QDialog::Rejected);
            }
            if (auto *batch = qobject_cast<TNGWordDialog *>(&dialog)) {
                batch->Memo->setPlainText(QStringLiteral("a\nb\nc"));
                return int(QDialog::Accepted);
            }
            return int(QDialog::Rejected);
        });

    TActionDialog window;
    window.SetResActionList(&res);
    window.SetThreadActionList(&thread);
    window.ResRulesPath = root.File(QStringLiteral("ngres.txt"));
    window.ThreadRulesPath = root.File(QStringLiteral("ngthread.txt"));
    window.RefreshView();
    EXPECT_EQ(window.RuleView->topLevelItemCount(), 1);
    EXPECT_EQ(window.BoardCombo->count(), 1);   // news has a rule

    window.KindTabs->setCurrentIndex(1);
    window.actAddExecute();
    EXPECT_EQ(res.Count(), 1);
    ASSERT_EQ(thread.Count(), 1);
    EXPECT_EQ(thread.Get(0)->Value1, QStringLiteral("新しい"));
    EXPECT_EQ(window.RuleView->topLevelItemCount(), 1);

    accept = false;   // a cancelled add leaves the list as it was
    window.actAddExecute();
    EXPECT_EQ(thread.Count(), 1);

    window.RuleView->setCurrentItem(window.RuleView->topLevelItem(0));
    window.actDeleteExecute();
    EXPECT_EQ(asked, QStringList{QStringLiteral("削除しますか？")});
    EXPECT_EQ(thread.Count(), 0);

    window.actAddBatchExecute();
    EXPECT_EQ(res.Count(), 4);

    window.show();
    window.close();
    TTavuActionList saved;
    ASSERT_TRUE(saved.LoadFromFile(window.ResRulesPath));
    EXPECT_EQ(saved.Count(), 4);
    EXPECT_TRUE(QFile::exists(window.ThreadRulesPath));
}

TEST_F(RuleEditorTest, ListWindowKeepsItsPanelWidthsAndStoresANarrowPanelAsZero)
{
    config->DESKTOP_ACTWIN_PANE1 = 0;
    config->DESKTOP_ACTWIN_PANE2 = 150;
    config->SetActionColWidth(2, 77);
    TActionDialog window;
    window.show();
    EXPECT_LE(window.Splitter1->sizes().value(1), 1);   // collapsed into the grip
    EXPECT_FALSE(window.Splitter1->IsOpen());
    EXPECT_EQ(window.RuleView->columnWidth(2), 77);
    EXPECT_EQ(window.RuleView->columnWidth(6), 100);
    window.Splitter1->setSizes({500, 0});   // collapsed by the user
    window.hide();
    EXPECT_EQ(config->DESKTOP_ACTWIN_PANE1, 0);
    EXPECT_EQ(config->GetActionColWidth(2), 77);
    EXPECT_GT(config->DESKTOP_ACTWIN_PANE2, 1);
}
