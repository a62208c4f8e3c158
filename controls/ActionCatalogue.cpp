#include "controls/ActionCatalogue.h"

#include "core/ShortcutText.h"
#include "core/TavuConfig.h"

#include <QAction>
#include <QImage>
#include <QKeySequence>
#include <QPixmap>
#include <QRegularExpression>

namespace {

enum TRowFlag {
    fCheckable = 1,
    fChecked = 2,
    fNoHandler = 4,
};

struct TRow {
    const char *Category;
    const char *Name;
    const char *Caption;
    int ImageIndex;
    int Flags;
    const char *ShortCut = nullptr;
    const char *Hint = nullptr;   // nullptr: the caption without its access key
};

// Every action of the main window, in action-list order. The names are stored in toolbar.ini,
// popup.ini and kpw.ini and must never change.
const TRow kRows[] = {
    {"選択レス", "actSelectResAbone", "選択レスを消去(&A)", imgErase, 0},
    {"選択レス", "actSelectResWrite", "このレスに返信(&R)...", imgWrite, 0},
    {"選択レス", "actSelectResWrite2", "このレスを引用して返信(&W)...", imgWrite, 0},
    {"選択レス", "actSelectResCopy", "選択レスの内容をコピー(&C)", imgCopy, 0},
    {"選択レス", "actSelectResCopy2", "選択レスの内容を引用してコピー(&G)", imgCopy, 0},
    {"選択レス", "actSelectResCopyID", "選択レスの ID をコピー", imgNone, 0},
    {"選択レス", "actSelectResCopyHandle", "選択レスの ハンドル をコピー(&H)", imgNone, 0},
    {"選択レス", "actSelectResCopyMail", "選択レスのメールアドレスをコピー", imgNone, 0},
    {"選択レス", "actSelectResReadPoint", "ここまで読んだ(&P)", imgReadPoint, 0},
    {"選択レス", "actSelectResAddBookmark", "しおり登録(&B)...", imgBookmark, 0},
    {"選択レス", "actSelectResReply", "このレスへのレス(&R)", imgComment, 0},
    {"選択レス", "actSelectResCopyEx", "選択レスのURLと内容をコピー", imgCopy, 0},
    {"選択レス", "actSelectResCopyEx2", "選択レスのURLと内容を引用してコピー", imgCopy, 0},
    {"選択レス", "actSelectResURLCopyEx", "選択レスのURLをコピー", imgNone, 0},
    {"選択レス", "actSelectResFilterHandle", "このハンドルの発言のみを抽出", imgFilter, 0},
    {"選択レス", "actSelectResFilterID", "このIDの発言のみを抽出", imgFilter, 0},

    {"ツール", "actOption", "オプション(&O)...", imgOption, 0},
    {"ツール", "actToolKeyBind", "キーバインドの設定(&K)...", imgKeyboard, 0},
    {"ツール", "actToolSkin", "スキンの設定(&S)...", imgColor, 0},
    {"ツール", "actToolHandle", "ハンドルの設定(&H)...", imgNone, 0},
    {"ツール", "actToolToolConfig", "ツールの設定(&T)...", imgTool, 0},
    {"ツール", "actToolCustomizeToolBar", "ツールバーのカスタマイズ(&C)...", imgNone, 0},
    {"ツール", "actToolAction", "アクション設定(&A)...", imgNone, 0},
    {"ツール", "actToolCustomizePopupMenu", "ポップアップメニューのカスタマイズ(&P)...", imgNone, 0},
    {"ツール", "actToolBookmarkManager", "しおりマネージャ(&B)...", imgBookmark, 0},
    {"ツール", "actToolKillPopup", "ポップアップ抑止設定(&K)...", imgNone, 0},
    {"ツール", "actToolMemo", "メモ(&M)...", imgMemo, 0},
    {"ツール", "actToolColEdit", "スレッド一覧カラムの編集(&O)...", imgThreadList, 0},
    {"ツール", "actToolVarnelo1View", "ヴァルネロ &1.0 風味にする", imgNone, 0},
    {"ツール", "actToolAA", "一行AAエディタ(&1)...", imgNone, 0},
    {"ツール", "actToolBasicAuthor", "BASIC認証設定(&B)...", imgLogin, 0},
    {"ツール", "actToolClearLog", "履歴の消去...", imgHistory, 0},
    {"ツール", "actToolUseReadProxy", "読み込みプロキシを有効にする", imgNone, fCheckable},
    {"ツール", "actToolUseSendProxy", "書き込みプロキシを有効にする", imgNone, fCheckable},
    {"ツール", "actToolBookmarkEditor", "しおりエディタ", imgBookmark, 0},

    {"スレッド一覧", "actThreadListLoadNext", "続きを表示する(&N)", imgNext, 0},
    {"スレッド一覧", "actThreadListLoadAll", "すべて表示する(&L)", imgNone, 0},
    {"スレッド一覧", "actThreadListCancelDownload", "ダウンロードをキャンセル(&X)", imgStop, 0},
    {"スレッド一覧", "actThreadListReload", "リロード(&R)", imgReload, 0},
    {"スレッド一覧", "actThreadListClose", "このタブを閉じる(&C)", imgCloseTab, 0},
    {"スレッド一覧", "actThreadListCloseAll", "このタブ以外をすべて閉じる(&A)", imgNone, 0},
    {"スレッド一覧", "actThreadListCloseAll2", "すべてのタブを閉じる", imgNone, 0},
    {"スレッド一覧", "actThreadListLock", "タブロック(&L)", imgLock, fCheckable},
    {"スレッド一覧", "actThreadListBold", "太字(&B)", imgBold, fCheckable},
    {"スレッド一覧", "actThreadListReverse", "反転(&R)", imgNone, fCheckable},
    {"スレッド一覧", "actThreadListColor", "色設定(&C)", imgColor, fCheckable},
    {"スレッド一覧", "actThreadListAbone", "選択スレッドを消去(&E)", imgErase, 0},
    {"スレッド一覧", "actThreadListFilter", "フィルタ(&F)...", imgFilter, 0},
    {"スレッド一覧", "actThreadListSaveTab", "タブの状態を保存", imgSave, 0},
    {"スレッド一覧", "actThreadListLoadTab", "タブの状態を復元", imgRestore, 0},
    {"スレッド一覧", "actThreadListDownloadThreadNewPage", "選択スレッドを新しいタブで開く(&N)", imgNewTab, 0},
    {"スレッド一覧", "actThreadListPriority", "重要度(&R)...", imgPriority, 0},
    {"スレッド一覧", "actThreadListDeleteLog", "選択スレッドのログを削除(&D)", imgDelete, 0},
    {"スレッド一覧", "actThreadListCheckUpdate", "更新チェック(&C)", imgCheckUpdate, 0},
    {"スレッド一覧", "actThreadListRound", "巡回(&R)", imgRound, 0},
    {"スレッド一覧", "actThreadListNewThread", "新規スレッド作成(&N)...", imgNewThread, 0},
    {"スレッド一覧", "actThreadListAddFav", "選択スレッドをお気に入りに登録(&F)...", imgFavorite, fCheckable},
    {"スレッド一覧", "actThreadListProperty", "選択スレッドのプロパティ(&P)...", imgProperty, 0},
    {"スレッド一覧", "actThreadListSetKakoLog", "選択スレッドを過去ログ扱いにする(&K)", imgKakolog, 0},
    {"スレッド一覧", "actThreadListCopyUrl", "選択スレッドのURLをコピー(&U)", imgCopy, 0},
    {"スレッド一覧", "actThreadListCopyTitle", "選択スレッドのタイトルをコピー", imgNone, 0},
    {"スレッド一覧", "actThreadListCopyTitleUrl", "選択スレッドのタイトルとURLをコピー", imgNone, 0},
    {"スレッド一覧", "actThreadListNextTab", "次のタブ(&E)", imgNext, 0, "Ctrl+Left"},
    {"スレッド一覧", "actThreadListPriorTab", "前のタブ(&P)", imgPrior, 0, "Ctrl+Right"},
    {"スレッド一覧", "actThreadListAddShortcut", "選択スレッドをショートカットバーに登録(&H)...", imgShortcut, fCheckable},
    {"スレッド一覧", "actThreadListComment", "コメント(&C)...", imgComment, 0},
    {"スレッド一覧", "actThreadListQueryAbone", "問い合わせ消去(&Q)...", imgNone, 0},
    {"スレッド一覧", "actThreadListShowLocal", "取得済みスレッドのみを表示(&S)", imgLocalFolder, 0},
    {"スレッド一覧", "actThreadListMoveToLocal", "選択スレッドをローカルフォルダへ移動(&L)...", imgLocalFolder, 0},
    {"スレッド一覧", "actThreadListExtractLink", "選択スレッドからリンク抽出(&L)...", imgLink, 0},
    {"スレッド一覧", "actThreadListRebone", "消去したスレッドを復元(&R)...", imgRestore, 0},
    {"スレッド一覧", "actThreadListExport", "選択スレッドのログを外部出力(&D)...", imgExport, 0},
    {"スレッド一覧", "actThreadListChottoLook", "選択スレッドをちょっと見る(&H)...", imgChotto, 0},
    {"スレッド一覧", "actThreadListShowChevronList", "タブ一覧を表示", imgNone, 0},
    {"スレッド一覧", "actThreadListBoardAddToShortcut", "この板をショートカットに登録", imgShortcut, 0},
    {"スレッド一覧", "actThreadListBoardOpenTavu", "この板のウェブページをヴァルネロで開く", imgBrowser, 0},
    {"スレッド一覧", "actThreadListBoardOpenBrowser", "この板のウェブページをブラウザで開く", imgGlobe, 0},
    {"スレッド一覧", "actThreadListOpenTavu", "選択スレッドのウェブページをヴァルネロで開く", imgBrowser, 0},
    {"スレッド一覧", "actThreadListOpenBrowser", "選択スレッドのウェブページをブラウザで開く", imgGlobe, 0},
    {"スレッド一覧", "actThreadListFilterHoliday", "Holiday(テスト中)", imgNone, 0},

    {"2ch", "act2chLogin", "２ちゃんねるにログイン(&L)...", imgLogin, fCheckable},
    {"2ch", "act2chAmezoScape", "大先生の検索(&A)...", imgFind, 0},
    {"2ch", "act2chHeadline", "２ちゃんねるヘッドライン(&H)...", imgNone, fNoHandler},
    {"2ch", "act2chShowSettingTxt", "この板のSETTING.TXTを表示", imgProperty, 0},
    {"2ch", "act2chHeee", "へぇボタン", imgNone, 0},
    {"2ch", "actBe2chLogin", "BE@2chにログイン...", imgLogin, fCheckable},
    {"2ch", "actBe2chEditProfile", "Be@2chプロフィール設定...", imgNone, 0},
    {"2ch", "actBe2chBoardEdit", "BE@2ch対応板の編集...", imgNone, 0},

    {"ファイル", "actOnline", "オンライン(&O)", imgOnline, fCheckable | fChecked},
    {"ファイル", "actBBSSelect", "BBSの選択(&C)...", imgGlobe, 0},
    {"ファイル", "actBBSOrder", "BBSの表示順の変更(&O)...", imgNone, 0},
    {"ファイル", "actSaveMode", "保存モード(&S)", imgSave, fCheckable | fChecked},
    {"ファイル", "actBBSWizard", "BBSの登録ウィザード(&W)...", imgWizard, 0},
    {"ファイル", "actAllThreads", "全取得スレッド一覧(&A)", imgThreadList, 0},
    {"ファイル", "actSendHist", "書き込み履歴(&H)", imgHistory, 0},
    {"ファイル", "actFindLog", "ログ検索(&F)...", imgFind, 0},
    {"ファイル", "actExit", "ヴァルネロの終了(&X)", imgExit, 0},
    {"ファイル", "actShowHist", "履歴(&H)...", imgHistory, 0},
    {"ファイル", "actBBSSetup", "BBSのセットアップ(&S)...", imgNone, 0},
    {"ファイル", "actDisconnect", "すべての処理を中止する(&D)", imgStop, 0},
    {"ファイル", "actRSSWizard", "RSSの登録ウィザード...", imgWizard, 0},
    {"ファイル", "actHide", "アプリケーションを隠す", imgHide, fCheckable},

    {"ブラウザ", "actBrowserClose", "このタブを閉じる(&C)", imgCloseTab, 0},
    {"ブラウザ", "actBrowserCloseAll", "このタブ以外をすべて閉じる(&A)", imgNone, 0},
    {"ブラウザ", "actBrowserCloseAll2", "すべてのタブを閉じる", imgNone, 0},
    {"ブラウザ", "actBrowserNavigateLock", "タブロック(&L)", imgLock, fCheckable},
    {"ブラウザ", "actBrowserNavigate", "移動(&N)", imgGlobe, 0},
    {"ブラウザ", "actBrowserNextTab", "次のタブ(&E)", imgNext, 0, "Ctrl+Tab"},
    {"ブラウザ", "actBrowserPriorTab", "前のタブ(&P)", imgPrior, 0, "Shift+Ctrl+Tab"},
    {"ブラウザ", "actBrowserNavClipboard", "貼り付けて移動(&P)", imgPaste, 0},
    {"ブラウザ", "actBrowserKillUrl", "ポップアップ抑止URLに登録(&U)", imgNone, 0},
    {"ブラウザ", "actBrowserKillTitle", "ポップアップ抑止タイトルに登録(&T)", imgNone, 0},
    {"ブラウザ", "actBrowserOpenByBrowser", "通常使うブラウザで開く(&O)", imgGlobe, 0},
    {"ブラウザ", "actBrowserGoBack", "戻る", imgPrior, 0},
    {"ブラウザ", "actBrowserGoForward", "進む", imgNext, 0},
    {"ブラウザ", "actBrowserShowChevronList", "タブ一覧を表示", imgNone, 0},
    {"ブラウザ", "actBrowserFontMax", "最大", imgNone, 0},
    {"ブラウザ", "actBrowserFontLarge", "大", imgNone, 0},
    {"ブラウザ", "actBrowserFontMedium", "標準", imgNone, 0},
    {"ブラウザ", "actBrowserFontSmall", "小", imgNone, 0},
    {"ブラウザ", "actBrowserFontMin", "最小", imgNone, 0},
    {"ブラウザ", "actBrowserFind", "このページの検索...", imgFind, 0},
    {"ブラウザ", "actBrowserShowSource", "このページのソースを表示", imgNone, 0},
    {"ブラウザ", "actBrowserOption", "インターネットオプション...", imgOption, 0},

    {"スレッド", "actThreadReload", "リロード(&R)", imgReload, 0},
    {"スレッド", "actThreadCancelDownload", "ダウンロードの中止(&X)", imgStop, 0},
    {"スレッド", "actThreadOutputDat", "ログをDAT形式で出力(&D)...", imgExport, 0},
    {"スレッド", "actThreadOutputHtml", "ログをHTML形式で出力(&H)...", imgExport, 0},
    {"スレッド", "actThreadExport", "ログを外部出力する(&D)...", imgExport, 0},
    {"スレッド", "actThreadDeleteLog", "ログの削除(&D)", imgDelete, 0},
    {"スレッド", "actThreadFilter", "フィルタ(&F)...", imgFilter, 0},
    {"スレッド", "actThreadRefresh", "ログの再取得(&R)", imgNone, 0},
    {"スレッド", "actThreadResAbone", "チェックしたレスを消去(&B)", imgErase, 0},
    {"スレッド", "actThreadWrite", "書き込む(&W)...", imgWrite, 0},
    {"スレッド", "actThreadWriteRes", "引用して返信(&R)...", imgComment, 0},
    {"スレッド", "actThreadAddFav", "お気に入りに登録(&F)...", imgFavorite, 0},
    {"スレッド", "actThreadProperty", "プロパティ(&P)...", imgProperty, 0},
    {"スレッド", "actThreadSetKakoLog", "過去ログ扱いにする(&K)", imgKakolog, 0, nullptr, "表示しているスレッドを過去ログ扱いにします。過去ログ扱いのスレッドは巡回や更新チェックの対象から外されます。"},
    {"スレッド", "actThreadCopyUrl", "URLをコピー", imgCopy, 0},
    {"スレッド", "actThreadCopyTitle", "タイトルをコピー", imgNone, 0},
    {"スレッド", "actThreadCopyTitleUrl", "タイトルとURLをコピー", imgNone, 0},
    {"スレッド", "actThreadAddShortcut", "ショートカットバーに登録(&H)...", imgShortcut, 0},
    {"スレッド", "actThreadPriority", "重要度(&R)...", imgPriority, 0},
    {"スレッド", "actThreadComment", "コメント(&C)...", imgComment, 0},
    {"スレッド", "actThreadQueryAbone", "問い合わせ消去(&Q)...", imgNone, 0},
    {"スレッド", "actThreadShowAll", "全レス表示(&A)", imgNone, 0},
    {"スレッド", "actThreadShow1", "１のレス表示(&1)", imgNone, 0},
    {"スレッド", "actThreadDeleteReadPoint", "「ここまで読んだ」を解除する(&K)", imgNone, 0},
    {"スレッド", "actThreadExtractLink", "リンク抽出(&L)...", imgLink, 0},
    {"スレッド", "actThreadRebone", "消去したレスの復元(&R)...", imgRestore, 0},
    {"スレッド", "actThreadOpenThreadList", "このスレッドの板に移動する(&B)", imgBoard, 0},
    {"スレッド", "actThreadReadNext", "次のスレッドへ(&N)", imgNext, 0},
    {"スレッド", "actThreadGoRes", "指定レスへ移動(&G)...", imgNone, 0},
    {"スレッド", "actThreadGoBookmark", "「ここまで読んだ」に移動する(&B)", imgReadPoint, 0},
    {"スレッド", "actThreadReturn", "スレッドの復旧(&R)", imgRestore, 0},
    {"スレッド", "actThreadScrollUp", "レスをスクロール↑", imgNone, 0},
    {"スレッド", "actThreadScrollDown", "レスをスクロール↓", imgNone, 0},
    {"スレッド", "actThreadExecAction", "アクションを再適用する(&A)", imgNone, 0},
    {"スレッド", "actThreadSaveLog", "ログを保存する", imgSave, 0},
    {"スレッド", "actThreadSetKokoyonToLast", "最後のレスに「ここまで読んだ」を設定", imgReadPoint, 0},
    {"スレッド", "actThreadThumbnailImages", "このスレッドにある画像リンクをカタログ表示", imgThumbnails, 0},
    {"スレッド", "actThreadThumbnailImagesNewOnly", "このスレッドにある新着レスの画像リンクをカタログ表示", imgThumbnails, 0},
    {"スレッド", "actThreadDeleteLogClose", "スレッドを削除してタブを閉じる", imgDelete, 0},

    {"表示", "actShowDoubleWindow", "ダブルウィンドウの表示(&W)", imgNone, fCheckable},
    {"表示", "actShowExtThreadList", "並列表示(&H)", imgExtThreadList, fCheckable},
    {"表示", "actShowBrowser", "ブラウザの表示(&R)", imgBrowser, fCheckable | fChecked},
    {"表示", "actShowVertical", "縦列表示(&V)", imgVertical, fCheckable},
    {"表示", "actShowPaneChange", "表示ペイン切り替え(&C)", imgPaneChange, 0},
    {"表示", "actShowBoardList2", "ボード一覧の表示(&D)", imgBoardList, fCheckable | fChecked},
    {"表示", "actShowThreadList2", "スレッド一覧の表示(&T)", imgThreadList, fCheckable | fChecked},
    {"表示", "actShowMessage", "メッセージログの表示(&M)", imgMessageLog, fCheckable | fChecked},
    {"表示", "actShowThreadInfo", "スレッド詳細情報の表示(&I)", imgInfo, fNoHandler},
    {"表示", "actShowBoardListRight", "ボード一覧を右に表示", imgNone, fCheckable},
    {"表示", "actShowBoardListFocus", "ボード一覧をアクティブにする", imgNone, 0},
    {"表示", "actShowThreadListFocus", "スレッド一覧をアクティブにする", imgNone, 0},
    {"表示", "actShowBrowserFocus", "ブラウザをアクティブにする", imgNone, 0},
    {"表示", "actShowBBSFocus", "BBSリストをアクティブにする", imgNone, 0},
    {"表示", "actShowURLFocus", "URL入力欄をアクティブにする", imgNone, 0},
    {"表示", "actShowToolbars", "すべてのツールバーを非表示", imgNone, fCheckable},
    {"表示", "actShowChotto", "ちょっと見ビューア(&V)", imgChotto, 0},

    {"ボード一覧", "actBoardAddBoard", "板の追加(&A)...", imgAdd, 0},
    {"ボード一覧", "actBoardDeleteBoard", "板の削除(&D)...", imgDelete, 0},
    {"ボード一覧", "actBoardEditBoard", "板の設定変更(&E)...", imgNone, 0},
    {"ボード一覧", "actBoardAllExpand", "すべてのカテゴリを開く(&P)", imgExpand, 0},
    {"ボード一覧", "actBoardAllCollapse", "すべてのカテゴリを閉じる(&X)", imgCollapse, 0},
    {"ボード一覧", "actBoardAddFav", "お気に入りに登録(&F)...", imgFavorite, 0},
    {"ボード一覧", "actBoardListUpdate", "ボード一覧の更新(&U)...", imgReload, 0},
    {"ボード一覧", "actBoardDeleteLog", "この板のログをすべて削除(&L)", imgDelete, 0},
    {"ボード一覧", "actBoardAddShortcut", "ショートカットバーに登録(&H)...", imgShortcut, 0},
    {"ボード一覧", "actBoardCopyUrl", "URLをコピー(&U)", imgCopy, 0},
    {"ボード一覧", "actBoardCopyTitle", "板名をコピー(&T)", imgNone, 0},
    {"ボード一覧", "actBoardCopyTitleUrl", "板名とURLをコピー(&N)", imgNone, 0},
    {"ボード一覧", "actBoardProperty", "プロパティ(&P)...", imgProperty, 0},
    {"ボード一覧", "actBoardImportKatjuBoard", "2channel.brd の取り込み(&2)...", imgNone, 0},
    {"ボード一覧", "actBoardGaishutu", "既出(&G)", imgGaishutu, 0},
    {"ボード一覧", "actBoardFind", "板を検索", imgFind, 0},
    {"ボード一覧", "actBoardListEdit", "未完成）ボード一覧の編集...", imgNone, 0},
    {"ボード一覧", "actBoardOpenHtmlByTavu", "板のウェブページをヴァルネロで開く", imgBrowser, 0},
    {"ボード一覧", "actBoardOpenHtmlByBrowser", "板のウェブページをブラウザで開く", imgGlobe, 0},
    {"ボード一覧", "actShowBoardFilter", "板フィルタの表示", imgFilter, fCheckable},

    {"ヘルプ", "actAbout", "バージョン情報(&A)...", imgAbout, 0},
    {"ヘルプ", "actHelpVarneloDirect", "ヴァルネロ・ダイレクト(&D)...", imgNone, 0},

    {"ブラウザ選択", "actSelectionCopy", "コピー(&C)", imgCopy, 0},
    {"ブラウザ選択", "actSelectionFilter", "この文字列でフィルタ(&F)...", imgFilter, 0},

    {"お気に入り", "actFavEdit", "お気に入りの編集(&E)...", imgFavoritesFolder, 0},
    {"お気に入り", "actBoardFavRound", "巡回(&R)", imgRound, 0},
    {"お気に入り", "actBoardFavCheckUpdate", "更新チェック(&C)", imgCheckUpdate, 0},

    {"ショートカットバー", "actShortcutEdit", "ショートカットバーの編集(&E)...", imgShortcut, 0},

    {"しおり", "actBookmarkDelete", "しおりの削除(&D)", imgDelete, 0},
    {"しおり", "actBookmarkComment", "コメント(&C)...", imgComment, 0},

    {"shitaraba", "actShitarabaMsg", "したらばメッセンジャー(&M)...", imgNone, fNoHandler},
    {"shitaraba", "actShitarabaVote", "支持率の集計(&V)", imgNone, fNoHandler},

    {"megabbs", "actMegabbsNewThreads", "最新20件表示 / megabbs (&M)", imgNone, 0},
    {"megabbs", "actMegabbsNewThreads2", "最新20件表示 / megabbs2 (&L)", imgNone, 0},
    {"megabbs", "actMegabbsSearch", "全文検索...", imgNone, fNoHandler},

    {"15ch", "act15ch156", "いちごろく(&6)", imgNone, 0},
    {"15ch", "act15chRanking", "板別ランキング(&R)...", imgNone, 0},
    {"15ch", "act15chHeadline", "いちごびびえすヘッドライン(&H)", imgNone, fNoHandler},

    {"milkcafe", "actMilkcafeDiary", "ソルパの日記", imgNone, 0},

    {"machibbs", "actMachibbsBoardlist", "暫定機能：：ボード一覧の更新", imgNone, 0},
};

constexpr int kIconSize = 16;

TActionInfo MakeInfo(const TRow &row)
{
    TActionInfo info;
    info.Name = QString::fromLatin1(row.Name);
    info.Category = QString::fromUtf8(row.Category);
    info.Caption = QString::fromUtf8(row.Caption);
    info.Hint = row.Hint ? QString::fromUtf8(row.Hint) : ActionCatalogue::StripAccessKey(info.Caption);
    info.ImageIndex = row.ImageIndex;
    info.ShortCut = QString::fromLatin1(row.ShortCut);
    info.Checkable = row.Flags & fCheckable;
    info.Checked = row.Flags & fChecked;
    info.HasHandler = !(row.Flags & fNoHandler);
    return info;
}

QList<TActionInfo> BuildEntries()
{
    QList<TActionInfo> entries;
    for (const TRow &row : kRows)
        entries.append(MakeInfo(row));
    return entries;
}

const char *const kHandledProperty = "hasHandler";

}  // namespace

namespace ActionCatalogue {

const QList<TActionInfo> &Entries()
{
    static const QList<TActionInfo> entries = BuildEntries();
    return entries;
}

const TActionInfo *Find(const QString &name)
{
    for (const TActionInfo &info : Entries())
        if (info.Name == name)
            return &info;
    return nullptr;
}

QStringList Categories()
{
    QStringList categories;
    for (const TActionInfo &info : Entries())
        if (!categories.contains(info.Category))
            categories.append(info.Category);
    return categories;
}

QString StripAccessKey(const QString &caption)
{
    static const QRegularExpression accessKeyInBrackets(QStringLiteral("\\(&[^&)]\\)"));
    QString text = caption;
    text.remove(accessKeyInBrackets);
    QString result;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && ++i == text.size())
            break;   // "&&" stands for "&"; a lone "&" marks the next character
        result.append(text[i]);
    }
    return result;
}

TImageList LoadImages(const QString &stripFile)
{
    TImageList images;
    const QImage strip(stripFile);
    for (int x = 0; x + kIconSize <= strip.width(); x += kIconSize)
        images.append(QIcon(QPixmap::fromImage(strip.copy(x, 0, kIconSize, kIconSize))));
    return images;
}

QString ImageStripFile()
{
    return TTavuConfig::AppDir() + QStringLiteral("resource/icons/actions.png");
}

}  // namespace ActionCatalogue

TActionList::TActionList(QObject *parent, const TImageList &images)
    : QObject(parent)
{
    setObjectName(QStringLiteral("ActionList1"));
    for (const TActionInfo &info : ActionCatalogue::Entries()) {
        auto *action = new QAction(info.Caption, this);
        action->setObjectName(info.Name);
        action->setToolTip(info.Hint);
        action->setStatusTip(info.Hint);
        action->setCheckable(info.Checkable);
        action->setChecked(info.Checked);
        if (!info.ShortCut.isEmpty())
            action->setShortcut(QKeySequence(ShortcutText::TextToQtKey(info.ShortCut)));
        if (info.ImageIndex >= 0 && info.ImageIndex < images.size())
            action->setIcon(images[info.ImageIndex]);
        action->setProperty("category", info.Category);
        action->setProperty("imageIndex", info.ImageIndex);
        action->setEnabled(false);
        actions.append(action);
        byName.insert(info.Name, action);
    }
}

QAction *TActionList::Action(const QString &name) const
{
    return byName.value(name);
}

QString TActionList::CategoryOf(const QAction *action)
{
    return action->property("category").toString();
}

bool TActionList::HasHandler(const QAction *action)
{
    return action->property(kHandledProperty).toBool();
}

QAction *TActionList::PrepareBinding(const QString &name)
{
    QAction *action = Action(name);
    const TActionInfo *info = ActionCatalogue::Find(name);
    if (!action || !info || !info->HasHandler)
        return nullptr;
    // One command, one handler: a second one would run both on every trigger.
    if (HasHandler(action)) {
        qWarning("TActionList: %s has a handler already", qPrintable(name));
        return nullptr;
    }
    action->setProperty(kHandledProperty, true);
    action->setEnabled(true);
    return action;
}
