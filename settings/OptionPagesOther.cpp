// The pages "サウンド", "BBS固有情報", "ちょっと見ビューア" and "その他" of the option dialog.

#include "settings/OptionDialog.h"

#include "core/TavuConfig.h"
#include "settings/OptionPageBuilder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHash>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSoundEffect>
#include <QSpinBox>
#include <QTabWidget>
#include <QUrl>

namespace {

const QString kDefaultFont = QStringLiteral("ＭＳ Ｐゴシック");

}  // namespace

// ---- サウンド ----

void TOptionDialog::PlayWave(const QString &file)
{
    // One effect per file for the run: an effect must live while it plays.
    static QHash<QString, QSoundEffect *> effects;
    QSoundEffect *&effect = effects[file];
    if (!effect) {
        effect = new QSoundEffect(QCoreApplication::instance());
        effect->setSource(QUrl::fromLocalFile(file));
    }
    effect->play();
}

// A check box, the file, "･･" (choose a wave file) and "♪" (play it).
void TOptionDialog::AddSoundRow(TPageBuilder &page, const QString &caption, bool &play, QString &file)
{
    page.Check(caption, play);
    QLineEdit *edit = page.Text(QString(), file);
    auto *choose = new QPushButton(QStringLiteral("･･"));
    auto *listen = new QPushButton(QStringLiteral("♪"));
    edit->parentWidget()->layout()->addWidget(choose);
    edit->parentWidget()->layout()->addWidget(listen);
    connect(choose, &QPushButton::clicked, this, [this, edit] {
        const QString chosen = ChooseOpenFile(this, QString(),
                                              QStringLiteral("Wave File (*.wav)|*.wav|All Files (*.*)|*.*"),
                                              QStringLiteral("wav"), edit->text());
        if (!chosen.isEmpty())
            edit->setText(chosen);
    });
    connect(listen, &QPushButton::clicked, this, [edit] { PlayWave(edit->text()); });
}

QWidget *TOptionDialog::CreateSoundPage()
{
    auto *page = new QWidget;
    TPageBuilder p(page, bindings);
    TTavuConfig &c = *TavuConfig;
    AddSoundRow(p, QStringLiteral("エラー"), c.SOUND_EXECERROR, c.SOUND_ERROR);
    AddSoundRow(p, QStringLiteral("書き込み完了"), c.SOUND_EXECSEND, c.SOUND_SEND);
    AddSoundRow(p, QStringLiteral("スレッド取得（更新無し）"), c.SOUND_EXECTHREADNONEWRES, c.SOUND_THREADNONEWRES);
    AddSoundRow(p, QStringLiteral("スレッド取得（更新あり）"), c.SOUND_EXECTHREADNEWRES, c.SOUND_THREADNEWRES);
    AddSoundRow(p, QStringLiteral("スレッド一覧取得完了"), c.SOUND_EXECTHREADLIST, c.SOUND_THREADLIST);
    AddSoundRow(p, QStringLiteral("更新チェック終了時（新着あり）"), c.SOUND_EXECUPDATECHECK, c.SOUND_UPDATECHECK);
    AddSoundRow(p, QStringLiteral("更新チェック終了時（新着無し）"), c.SOUND_EXECUPDATECHECK_NO, c.SOUND_UPDATECHECK_NO);
    p.Check(QStringLiteral("１つのスレッドごとに音を鳴らす"), c.SOUND_EXECUPDATECHECK_THREAD);
    AddSoundRow(p, QStringLiteral("巡回終了時（新着あり）"), c.SOUND_EXECROUND, c.SOUND_ROUND);
    AddSoundRow(p, QStringLiteral("巡回終了時（新着無し）"), c.SOUND_EXECROUND_NO, c.SOUND_ROUND_NO);
    p.Check(QStringLiteral("１つのスレッドごとに音を鳴らす"), c.SOUND_EXECROUND_THREAD);
    p.Stretch();
    return page;
}

// ---- BBS固有情報 ----

QWidget *TOptionDialog::CreateBBSPage()
{
    auto *page = new QWidget;
    auto *layout = new QHBoxLayout(page);
    BBSPageControl = new QTabWidget(page);
    layout->addWidget(BBSPageControl);
    TTavuConfig &c = *TavuConfig;
    auto subPage = [this](const QString &caption) {
        auto *sub = new QWidget;
        BBSPageControl->addTab(sub, caption);
        return TPageBuilder(sub, bindings);
    };

    TPageBuilder ch = subPage(QStringLiteral("２ちゃんねる"));
    TPageBuilder dolib = ch.Group(QStringLiteral("２ちゃんねるビューア （●認証）"));
    dolib.Text(QStringLiteral("ユーザー名 :"), c.DOLIB_USERNAME);
    dolib.Text(QStringLiteral("パスワード :"), c.DOLIB_PASSWORD)->setEchoMode(QLineEdit::Password);
    dolib.Check(QStringLiteral("ログインダイアログで入力を待つ"), c.DOLIB_SHOWDIALOG);
    dolib.Check(QStringLiteral("ヴァルネロ起動時にログインする"), c.DOLIB_AUTOLOGIN);
    BindDolibProxy(dolib);
    TPageBuilder he = ch.Group(QStringLiteral("「へぇ」ボタン"));
    he.Check(QStringLiteral("へぇボタンを表示する"), c.CHBOX_USEHE);
    he.Text(QStringLiteral("CGIのURL"), c.CHBOX_HEURL);
    TPageBuilder be = ch.Group(QStringLiteral("BE@2ch"));
    be.Text(QStringLiteral("メールアドレス :"), c.BE_USERNAME);
    be.Text(QStringLiteral("パスワード :"), c.BE_PASSWORD)->setEchoMode(QLineEdit::Password);
    // The login takes its code from the service's answer: a code typed here is kept but not sent.
    be.Text(QStringLiteral("認証コード :"), c.BE_MDMDCODE)->parentWidget()->setEnabled(false);
    be.Check(QStringLiteral("ログインダイアログで入力を待つ"), c.BE_SHOWDIALOG);
    be.Check(QStringLiteral("ヴァルネロ起動時にログインする"), c.BE_AUTOLOGIN);
    be.Check(QStringLiteral("全板でログイン情報を送信する"), c.BE_SENDLOGININFO);
    ch.Stretch();

    TPageBuilder machi = subPage(QStringLiteral("まちBBS"));
    machi.Group(QStringLiteral("書き込み")).Check(QStringLiteral("書き込む前にダイアログを表示する"), c.MACHIBBS_WARNING);
    machi.Stretch();

    TPageBuilder mega = subPage(QStringLiteral("megabbs"));
    TPageBuilder newest = mega.Group(QStringLiteral("最新20件"));
    newest.Text(QStringLiteral("CGIのURL (megabbs)"), c.MEGABBS_NEWCGI_megabbs);
    newest.Text(QStringLiteral("CGIのURL (megabbs2)"), c.MEGABBS_NEWCGI_megabbs2);
    mega.Stretch();

    TPageBuilder ichigo = subPage(QStringLiteral("いちごびびえす"));
    TPageBuilder contents = ichigo.Group(QStringLiteral("各コンテンツのURL"));
    contents.Text(QStringLiteral("いちごろく"), c.ICHIGOBBS_156);
    contents.Text(QStringLiteral("アクセスランキング"), c.ICHIGOBBS_RANKING);
    contents.Text(QStringLiteral("ヘッドライン"), c.ICHIGOBBS_HEADLINE)->parentWidget()->hide();
    contents.Spin(QStringLiteral("ヘッドラインで表示する板の数"), 1, 9999, c.ICHIGOBBS_HEADLINECOUNT)->parentWidget()->hide();
    contents.Check(QStringLiteral("ヘッドラインでは行ったことのある板だけを表示する"), c.ICHIGOBBS_HEADLINESHOW)->hide();
    ichigo.Stretch();

    TPageBuilder milk = subPage(QStringLiteral("MILKCAFE"));
    milk.Group(QStringLiteral("各コンテンツのURL")).Text(QStringLiteral("ソルパのネットの出来事"), c.MILKCAFE_DIARY);
    milk.Stretch();
    return page;
}

// The proxy of the past-log login: its choice, address and port are stored only while
// "プロキシを使用する" is checked.
void TOptionDialog::BindDolibProxy(TPageBuilder &group)
{
    TTavuConfig &c = *TavuConfig;
    DolibUseProxy = group.Check(QStringLiteral("プロキシを使用する"), c.DOLIB_USERPROXY);
    DolibProxyVarnelo = new QRadioButton(QStringLiteral("プロキシの設定に従う"));
    DolibProxyCustom = new QRadioButton(QStringLiteral("以下のプロキシを使用する"));
    group.Add(DolibProxyVarnelo);
    group.Add(DolibProxyCustom);
    TPageBuilder unbound = group.Unbound();
    QString none;
    DolibProxyAddress = unbound.Text(QStringLiteral("プロキシアドレス"), none);
    DolibProxyPort = unbound.Text(QStringLiteral("プロキシポート"), none);
    bindings.Add(
        [this] {
            const TTavuConfig &c = *TavuConfig;
            // Each button holds its own setting, so both may be on or off.
            DolibProxyVarnelo->setAutoExclusive(false);
            DolibProxyCustom->setAutoExclusive(false);
            DolibProxyVarnelo->setChecked(c.DOLIB_PROXY_VARNELO);
            DolibProxyCustom->setChecked(c.DOLIB_PROXY_CUSTOM);
            DolibProxyVarnelo->setAutoExclusive(true);
            DolibProxyCustom->setAutoExclusive(true);
            DolibProxyAddress->setText(c.DOLIB_PROXYADDRESS);
            DolibProxyPort->setText(QString::number(c.DOLIB_PROXYPORT));
        },
        [this] {
            if (!DolibUseProxy->isChecked())
                return;
            TTavuConfig &c = *TavuConfig;
            c.DOLIB_PROXY_VARNELO = DolibProxyVarnelo->isChecked();
            c.DOLIB_PROXY_CUSTOM = DolibProxyCustom->isChecked();
            c.DOLIB_PROXYADDRESS = DolibProxyAddress->text();
            bool ok = false;
            const int port = DolibProxyPort->text().toInt(&ok);
            c.DOLIB_PROXYPORT = ok ? port : 80;
        });
}

// ---- ちょっと見ビューア ----

QWidget *TOptionDialog::CreateChottoPage()
{
    auto *page = new QWidget;
    TPageBuilder p(page, bindings);
    TTavuConfig &c = *TavuConfig;
    TPageBuilder tabs = p.Group(QStringLiteral("タブ"));
    tabs.Check(QStringLiteral("タイトルを短縮する"), c.CHOTTO_SHORTTITLE);
    tabs.Spin(QStringLiteral("短縮時の文字数"), 1, 100, c.CHOTTO_TITLELEN);
    tabs.Check(QStringLiteral("ウィンドウを閉じる際にすべてのタブを閉じる"), c.CHOTTO_CLOSEALLTABS)->hide();
    p.Stretch();
    return page;
}

// ---- その他 ----

QWidget *TOptionDialog::CreateOtherPage()
{
    auto *page = new QWidget;
    TPageBuilder p(page, bindings);
    TTavuConfig &c = *TavuConfig;

    TPageBuilder composer = p.Group(QStringLiteral("書き込みダイアログ"));
    composer.Text(QStringLiteral("引用に使う文字"), c.RESCHAR);
    composer.Check(QStringLiteral("非アクティブ時にウィンドウを折りたたむ"), c.SEND_EXPAND);
    composer.Check(QStringLiteral("非アクティブ時に透明化する"), c.SEND_TRANS);
    composer.Check(QStringLiteral("fusianasan で書き込む場合はダイアログを表示する"), c.FUSIANASAN);

    TPageBuilder bar = p.Group(QStringLiteral("ショートカットバー/既出ボタン"));
    bar.Check(QStringLiteral("板選択時にボード一覧の該当板を選択状態にする"), c.JUMPSHORTCUT);
    bar.Check(QStringLiteral("既出ボタンをカテゴリ分けする"), c.GAISHUTUCATEGO);
    bar.Radio(QStringLiteral("ショートカットバーの表示位置"), {QStringLiteral("上"), QStringLiteral("下")}, c.SHORTCUTBARPOS);
    bar.Check(QStringLiteral("ショートカットバーに登録後、すぐに編集ダイアログを起動する"), c.SHORTCUTBAR_ADDEDIT);

    TPageBuilder barFont = p.Group(QStringLiteral("ショートカットバーのフォント"));
    TColorSwatch *text = barFont.Color(QStringLiteral("文字の色"), c.SHORTCUTBARFONTCOLOR);
    QComboBox *font = barFont.Font(QStringLiteral("フォント"), c.SHORTCUTBARFONTNAME);
    QSpinBox *size = barFont.Spin(QStringLiteral("サイズ"), 1, 100, c.SHORTCUTBARFONTSIZE);
    connect(barFont.Button(QStringLiteral("デフォルトに戻す")), &QPushButton::clicked, this, [=] {
        SelectFont(font, kDefaultFont);
        size->setValue(9);
        text->SetColor(clWindowText);
    });
    connect(font, &QComboBox::currentIndexChanged, this, &TOptionDialog::RefreshPopupPreview);
    connect(size, &QSpinBox::valueChanged, this, &TOptionDialog::RefreshPopupPreview);

    TPageBuilder rules = p.Group(QStringLiteral("アクション設定ダイアログ"));
    rules.Check(QStringLiteral("非アクティブ時にウィンドウを折りたたむ"), c.DESKTOP_ACTWIN_EXPAND);
    rules.Check(QStringLiteral("非アクティブ時に透明化する"), c.DESKTOP_ACTWIN_TRANS);

    TPageBuilder memo = p.Group(QStringLiteral("メモウィンドウ"));
    memo.Check(QStringLiteral("非アクティブ時にウィンドウを折りたたむ"), c.DESKTOP_TAVUMEMOEXPAND);
    memo.Check(QStringLiteral("非アクティブ時に透明化する"), c.DESKTOP_TAVUMEMOTRANS);
    memo.Font(QStringLiteral("フォント :"), c.DESKTOP_TAVUMEMOFONTNAME, kDefaultFont);
    memo.Spin(QStringLiteral("フォントサイズ :"), 1, 100, c.DESKTOP_TAVUMEMOFONTSIZE);

    p.Group(QStringLiteral("履歴ダイアログ")).Check(QStringLiteral("読み込み・書き込み時にリロードする"), c.HISTRELOAD);

    TPageBuilder ninki = p.Group(QStringLiteral("人気ネット"));
    ninki.Check(QStringLiteral("人気ネットへのアクセスを許可する"), c.NINKINET_CHECK);
    ninki.Text(QStringLiteral("バナーのURL"), c.NINKINET_URL);

    TPageBuilder direct = p.Group(QStringLiteral("ヴァルネロ・ダイレクト"));
    direct.Check(QStringLiteral("起動時に表示する"), c.STARTUPSHOWDIRECT);
    direct.Check(QStringLiteral("起動時に最新情報を取得する（常時接続環境向け）"), c.STARTUPLOADDIRECT);

    TPageBuilder fav = p.Group(QStringLiteral("お気に入り"));
    fav.Check(QStringLiteral("スレッド削除時にお気に入りを削除するか確認する"), c.PRMPTDELETEFAV);
    fav.Label(QStringLiteral("※オフの場合は自動的にお気に入りも削除します。"));
    fav.Text(QStringLiteral("自動登録に使用するお気に入りフォルダの名前 :"), c.DEFFAVNAME);
    fav.Check(QStringLiteral("お気に入り登録後、すぐに編集ダイアログを起動する"), c.FAVADDEDIT);

    p.Group(QStringLiteral("最近読んだスレ・書いたスレ")).Spin(QStringLiteral("表示する件数："), 1, 100, c.RECENTCOUNT);

    TPageBuilder filter = p.Group(QStringLiteral("フィルター"));
    filter.Label(QStringLiteral("フィルターで該当したレスの前後に入れるタグ"));
    filter.Text(QStringLiteral("開始："), c.FILTERTAG1);
    filter.Text(QStringLiteral("終了："), c.FILTERTAG2);
    filter.Check(QStringLiteral("検索文字入力時に、オートコンプリートを有効にする"), c.FILtERAUTOCOMPLETE);

    p.Group(QStringLiteral("更新チェック"))
        .Radio(QStringLiteral("取得できなかったスレッドの扱い"),
               {QStringLiteral("フォルダが壊れたアイコンで表現"), QStringLiteral("過去ログ扱いする"),
                QStringLiteral("無視する")},
               c.ROUND_KAKO_OCHI);
    p.Stretch();
    return page;
}
