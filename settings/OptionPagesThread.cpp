// The pages "スレッド一覧", "スレッド／ブラウザ" and ">>n ポップアップ" of the option dialog.

#include "settings/OptionDialog.h"

#include "core/TavuConfig.h"
#include "settings/OptionPageBuilder.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kDefaultFont = QStringLiteral("ＭＳ Ｐゴシック");

// The sample of an image-catalogue place: the browser, the thread-information tab and the
// catalogue strip, drawn as boxes.
QPixmap ImagePanePicture(int item)
{
    QPixmap picture(120, 80);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setPen(Qt::black);
    const QRect browser(2, 2, 80, 76);
    const QRect info(84, 2, 34, 76);
    painter.drawRect(browser.adjusted(0, 0, -1, -1));
    painter.drawRect(info.adjusted(0, 0, -1, -1));
    QRect catalogue;
    if (item == 0)
        catalogue = QRect(browser.left(), browser.bottom() - 18, browser.width(), 18);
    else if (item == 1)
        catalogue = info;
    else
        catalogue = QRect(info.left(), info.bottom() - 24, info.width(), 24);
    painter.fillRect(catalogue.adjusted(1, 1, -1, -1), QColor(0x80, 0xA0, 0xE0));
    return picture;
}

void SetLabelFont(QLabel *label, const QString &name, int size)
{
    QFont font(name);
    font.setPointSize(size);
    label->setFont(font);
    label->adjustSize();
}

void SetTextColor(QWidget *widget, TColor color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, QColor::fromRgba(ColorToQColor(color)));
    widget->setPalette(palette);
}

}  // namespace

// ---- スレッド一覧 ----

QWidget *TOptionDialog::CreateThreadListPage()
{
    auto *page = new QWidget;
    TPageBuilder p(page, bindings);
    TTavuConfig &c = *TavuConfig;

    p.Check(QStringLiteral("スレッド一覧の着色描画する"), c.DRAWTHREADLIST);
    p.Check(QStringLiteral("ソート後に先頭にスクロールする"), c.SCROLLTOP);
    p.Spin(QStringLiteral("表示するスレッド数の上限"), 1, 9999, c.THREADLISTCOUNT);
    TPageBuilder colors = p.Group(QStringLiteral("配色"));
    TColorSwatch *odd = colors.Color(QStringLiteral("奇数行の背景色"), c.THREADLISTCOLOR1);
    TColorSwatch *even = colors.Color(QStringLiteral("偶数行の背景色"), c.THREADLISTCOLOR2);
    TColorSwatch *text = colors.Color(QStringLiteral("テキストの色"), c.THREADLISTTEXTCOLOR);
    QComboBox *font = colors.Font(QStringLiteral("フォント"), c.THREADLISTFONTNAME);
    QSpinBox *size = colors.Spin(QStringLiteral("サイズ"), 1, 100, c.THREADLISTFONTSIZE);
    connect(colors.Button(QStringLiteral("デフォルトに戻す")), &QPushButton::clicked, this, [=] {
        odd->SetColor(clWindow);
        even->SetColor(StringToColor(QStringLiteral("$00EDEDE2")));
        text->SetColor(clWindowText);
        SelectFont(font, kDefaultFont);
        size->setValue(9);
    });
    connect(font, &QComboBox::currentIndexChanged, this, &TOptionDialog::RefreshPopupPreview);
    connect(size, &QSpinBox::valueChanged, this, &TOptionDialog::RefreshPopupPreview);

    p.Check(QStringLiteral("タイトルをコピーする際に板名も含める"), c.COPYWITHBOARDNAME);
    p.Check(QStringLiteral("既に開いている板を開く場合はリロードする"), c.THREADLISTEXISTSRELOAD);
    p.Check(QStringLiteral("新着数に取得済み数と未取得数の差を常に表示する"), c.SHOWCOUNTGAP);
    p.Check(QStringLiteral("スレッド一覧でツールチップを表示する"), c.THREADLISTSHOWTOOLTIP);
    QButtonGroup *tipPos = p.Radio(QString(), {QStringLiteral("上に表示"), QStringLiteral("下に表示")},
                                   c.THREADLISTTOOLTIPPOS);
    tipPos->buttons().constFirst()->parentWidget()->hide();   // the tip shows at the pointer
    tipPos->buttons().constFirst()->parentWidget()->setEnabled(false);

    TPageBuilder drawing = p.Group(QStringLiteral("ダウンロード中の描画"));
    DrawEachThread = drawing.CheckValue(QStringLiteral("１スレッドダウンロードするたびに描画する"),
                                        c.THREADLISTDOWNLOADMODE, 0, 1);
    RefreshCount = drawing.Spin(QStringLiteral("件ダウンロードするたびに描画"), 1, 500, c.THREADLISTREFRESHCOUNT);
    connect(DrawEachThread, &QCheckBox::toggled, this, &TOptionDialog::ApplyDownloadModeRule);
    connect(RefreshCount, &QSpinBox::valueChanged, this, &TOptionDialog::RefreshPopupPreview);
    p.Radio(QStringLiteral("DAT落ちしたスレッドの表示"),
            {QStringLiteral("表示しない"), QStringLiteral("常に表示する"),
             QStringLiteral("「すべてを表示」 を実行した場合に表示")},
            c.DATOCHIMODE);
    p.Stretch();
    return page;
}

void TOptionDialog::ApplyDownloadModeRule()
{
    RefreshCount->parentWidget()->setEnabled(!DrawEachThread->isChecked());
}

// ---- スレッド／ブラウザ ----

QWidget *TOptionDialog::CreateBrowserPage()
{
    auto *page = new QWidget;
    TPageBuilder p(page, bindings);
    TTavuConfig &c = *TavuConfig;

    TPageBuilder browser = p.Group(QStringLiteral("ブラウザ設定"));
    browser.Check(QStringLiteral("常に新しいタブで開く"), c.OPENNEWBROWSER);
    // A thread always shows all its responses: the two settings are kept but change nothing.
    ResLoadAll = browser.Check(QStringLiteral("常に全レスを表示する"), c.RESLOADALL);
    ResLoadAll->setEnabled(false);
    ResShowCount = browser.Spin(QStringLiteral("表示する最大レス数"), 1, 1000, c.RESSHOWCOUNT);
    ResShowCount->parentWidget()->setEnabled(false);
    browser.Label(QStringLiteral("（NoFirst指定が未定の場合に有効）"))->setEnabled(false);
    browser.Check(QStringLiteral("他スレポップアップでポップアップで1件目を表示しない"), c.RES1NOPOPUP);
    browser.Check(QStringLiteral("既に開いているスレッドを開く場合はリロードする"), c.BROWSEREXISTSRELOAD);
    browser.Check(QStringLiteral("URLクリック時にブラウザ選択ダイアログを出す"), c.CHECKBBSLINK);
    browser.Text(QStringLiteral("ブラクラチェッカのURL"), c.URL_BCC);
    browser.Check(QStringLiteral("mailto: リンククリックでメーラーを起動しない"), c.CANCELMAILTO);
    browser.Check(QStringLiteral("ttp:// や www.にリンクを設定する"), c.ADDHREFLINK);
    browser.Check(QStringLiteral("＞nや≫nにリンクを設定する"), c.ADDEXTRES);
    browser.Check(QStringLiteral("ブラウザのポップアップメニューに独自のメニューを利用する"), c.BROWSERPOPUP);
    browser.Check(QStringLiteral("「ここまで読んだ」設定後にHTMLをリロードする"), c.RELOADKOKOYON);
    browser.Check(QStringLiteral("ID: にリンクを設定する"), c.ADDIDLINK);
    browser.Check(QStringLiteral("JPEG表示時に Exif も表示する"), c.SHOWEXIFINFO);
    OpenUrlGroup = browser.Radio(QStringLiteral("URLクリック時に起動するブラウザ"),
                                 {QStringLiteral("ヴァルネロ内で開く"), QStringLiteral("外部アプリケーションで開く"),
                                  QStringLiteral("ちょっと見ビューアで開く")},
                                 c.URL_OPENINVARNELO);
    ExecDefaultBrowser = browser.Check(QStringLiteral("標準のブラウザを起動する"), c.URL_EXECDEFAULTBROWSER);
    BrowserPath = browser.Text(QStringLiteral("起動するアプリケーション"), c.URL_BROWSERPATH);
    BrowserPathButton = new QPushButton(QStringLiteral("..."));
    BrowserPath->parentWidget()->layout()->addWidget(BrowserPathButton);
    bindings.Add([this] { ApplyDefaultBrowserRule(); }, [] {});
    for (int id : {0, 1})
        connect(OpenUrlGroup->button(id), &QAbstractButton::clicked, this, [this, id] { ApplyOpenUrlRule(id); });
    connect(ExecDefaultBrowser, &QCheckBox::clicked, this, &TOptionDialog::ApplyDefaultBrowserRule);
    connect(BrowserPathButton, &QPushButton::clicked, this, &TOptionDialog::ChooseBrowserPath);

    TPageBuilder panel = p.Group(QStringLiteral("スレッド情報パネル"));
    panel.Color(QStringLiteral("パネルの色"), c.THREADTITLEPANELCOLOR);
    panel.Color(QStringLiteral("文字の色"), c.THREADTITLETEXTCOLOR);
    panel.Spin(QStringLiteral("パネルのサイズ"), 1, 1000, c.THREADTITLESIZE);
    panel.Radio(QStringLiteral("表示位置"),
                {QStringLiteral("ブラウザの上に表示"), QStringLiteral("ブラウザの下に表示"), QStringLiteral("非表示")},
                c.THREADTITLEPANEL);
    panel.Check(QStringLiteral("スレッドのサイズを表示"), c.THREADTITLESHOWSIZE);
    panel.Check(QStringLiteral("スレッド名ボタンの幅を文字の長さにあわせる"), c.THREADTITLEAUTOFIT);

    TPageBuilder catalogue = p.Group(QStringLiteral("画像カタログ表示"));
    ImagePaneGroup = catalogue.Radio(QStringLiteral("表示位置"),
                                     {QStringLiteral("ブラウザの下に表示"), QStringLiteral("スレッド情報タブに表示"),
                                      QStringLiteral("スレッド情報タブの下に表示")},
                                     c.DESKTOP_IMAGEPANE);
    for (int i = 0; i < 3; ++i)
        ImagePanePictures[i] = ImagePanePicture(i);
    ImagePaneSample = new QLabel;
    catalogue.Add(ImagePaneSample);
    connect(ImagePaneGroup, &QButtonGroup::idClicked, this, &TOptionDialog::ShowImagePaneSample);
    p.Stretch();
    return page;
}

void TOptionDialog::ApplyOpenUrlRule(int id)
{
    ExecDefaultBrowser->setEnabled(id == 1);
}

void TOptionDialog::ApplyDefaultBrowserRule()
{
    BrowserPath->parentWidget()->setEnabled(!ExecDefaultBrowser->isChecked());
}

void TOptionDialog::ChooseBrowserPath()
{
    const QString file = ChooseOpenFile(this, QStringLiteral("起動するアプリケーション"),
                                        QStringLiteral("Exe (*.exe)|*.exe|All Files (*.*)|*.*"),
                                        QStringLiteral(".exe"), BrowserPath->text());
    if (!file.isEmpty())
        BrowserPath->setText(file);
}

void TOptionDialog::ShowImagePaneSample(int id)
{
    if (id >= 0 && id < 3)
        ImagePaneSample->setPixmap(ImagePanePictures[id]);
}

// ---- >>n ポップアップ ----

QWidget *TOptionDialog::CreatePopupPage()
{
    auto *page = new QWidget;
    TPageBuilder p(page, bindings);
    TTavuConfig &c = *TavuConfig;

    TPageBuilder look = p.Group(QStringLiteral("色とフォント"));
    PopupBkColor = look.Color(QStringLiteral("背景色"), c.POPUPBKCOLOR);
    PopupTextColor = look.Color(QStringLiteral("テキスト(通常)の色"), c.POPUPTEXTCOLOR);
    PopupTitleColor = look.Color(QStringLiteral("テキスト(強調)の色"), c.POPUPTITLECOLOR);
    PopupFont = look.Font(QStringLiteral("フォント"), c.POPUPFONTNAME);
    PopupFontSize = look.Spin(QStringLiteral("サイズ"), 1, 100, c.POPUPFONTSIZE);
    connect(look.Button(QStringLiteral("デフォルトに戻す")), &QPushButton::clicked, this, [this] {
        SelectFont(PopupFont, kDefaultFont);
        PopupFontSize->setValue(9);
        PopupBkColor->SetColor(clInfoBk);
        PopupTextColor->SetColor(clWindowText);
        PopupTitleColor->SetColor(clGreen);
        RefreshPopupPreview();
    });
    for (TColorSwatch *swatch : {PopupBkColor, PopupTextColor, PopupTitleColor})
        connect(swatch->ChooseButton, &QAbstractButton::clicked, this, &TOptionDialog::RefreshPopupPreview);
    connect(PopupFont, &QComboBox::currentIndexChanged, this, &TOptionDialog::RefreshPopupPreview);
    connect(PopupFontSize, &QSpinBox::valueChanged, this, &TOptionDialog::RefreshPopupPreview);

    PopupSample = new QWidget;
    PopupSample->setFixedSize(420, 170);
    PopupAnchor = new QLabel(QStringLiteral(">>176"), PopupSample);
    PopupAnchor->move(20, 80);
    PopupPanel = new QFrame(PopupSample);
    PopupPanel->setFrameShape(QFrame::Box);
    PopupPanel->setAutoFillBackground(true);
    PopupHeader = new QLabel(QStringLiteral("176 投稿者： 名無しさん 投稿日：02/11/26 14:56"), PopupPanel);
    PopupBody = new QLabel(QStringLiteral("おまいらよくこんな遅いの使ってられるな・・・・。"), PopupPanel);
    look.Add(PopupSample);

    PopupPos = p.Radio(QStringLiteral("ポップアップ位置"),
                       {QStringLiteral("マウスポインタの上"), QStringLiteral("マウスポインタの下")}, c.POPUPPOS);
    connect(PopupPos, &QButtonGroup::idClicked, this, &TOptionDialog::RefreshPopupPreview);

    TPageBuilder html = p.Group(QStringLiteral("HTMLポップアップ"));
    html.Label(QStringLiteral("レス中のURLにマウスポインタを乗せると、ポップアップする機能です。"));
    UseHtmlPopup = html.Check(QStringLiteral("HTMLポップアップを有効にする"), c.USEHTMLPOPUP);
    UseCgiPopup = html.Check(QStringLiteral("?を含むURLもポップアップさせる"), c.USECGIPOPUP);
    PopupPicture = new QRadioButton(QStringLiteral("リンク先のウェブページを縮小画像でポップアップ"));
    PopupTextOnly = new QRadioButton(QStringLiteral("リンク先のウェブページをテキストのみでポップアップ"));
    html.Add(PopupPicture);
    html.Add(PopupTextOnly);
    bindings.Add(
        [this] {
            PopupPicture->setChecked(TavuConfig->USESIMPLEAPI);
            PopupTextOnly->setChecked(!TavuConfig->USESIMPLEAPI);
        },
        [this] { TavuConfig->USESIMPLEAPI = PopupPicture->isChecked(); });
    connect(UseHtmlPopup, &QCheckBox::clicked, this, &TOptionDialog::ApplyHtmlPopupRule);

    TPageBuilder jpeg = p.Group(QStringLiteral("JPEGポップアップ"));
    JpegPopup = jpeg.Check(QStringLiteral("JPEGポップアップを有効にする"), c.JPEGPOPUP);
    JpegPopupCtrl = jpeg.Check(QStringLiteral("[CTRL] キーを押している場合だけ有効にする"), c.JPEGPOPUP_CTRL);
    JpegOnTop = jpeg.Check(QStringLiteral("常に手前に表示する"), c.JPEGWIN_ONTOP);
    connect(JpegPopup, &QCheckBox::clicked, this, &TOptionDialog::ApplyJpegPopupRule);

    TPageBuilder shown = p.Group(QStringLiteral("表示するレス"));
    shown.Spin(QStringLiteral(">>nポップアップでの最大レス数"), 1, 1000, c.MAXPOPUPCOUNT);
    shown.Radio(QStringLiteral("最大レス数を越えた場合"),
                {QStringLiteral("古い書き込みを優先して表示"), QStringLiteral("新しい書き込みを優先して表示")},
                c.POPUPORDER);
    p.Radio(QStringLiteral(">>n クリック時の動作"),
            {QStringLiteral("ダブルウィンドウに該当レスを表示"), QStringLiteral("該当レスまでスクロールして移動")},
            c.RESANCHORBROWSE);
    bindings.Add([this] { ApplyHtmlPopupRule(); RefreshPopupPreview(); }, [] {});
    p.Stretch();
    return page;
}

void TOptionDialog::ApplyHtmlPopupRule()
{
    const bool on = UseHtmlPopup->isChecked();
    for (QWidget *control : std::initializer_list<QWidget *>{UseCgiPopup, PopupPicture, PopupTextOnly})
        control->setEnabled(on);
}

void TOptionDialog::ApplyJpegPopupRule()
{
    JpegPopupCtrl->setEnabled(JpegPopup->isChecked());
    JpegOnTop->setEnabled(JpegPopup->isChecked());
}

// The sample popup: above or below the anchor, in the chosen font and colours; the body 8 pixels
// below the header, the panel 20 pixels wider than the header and 10 pixels below the body.
void TOptionDialog::RefreshPopupPreview()
{
    if (!PopupPanel)
        return;
    const QString fontName = FontNameOf(PopupFont).isEmpty() ? TavuConfig->POPUPFONTNAME : FontNameOf(PopupFont);
    SetLabelFont(PopupHeader, fontName, PopupFontSize->value());
    SetLabelFont(PopupBody, fontName, PopupFontSize->value());
    PopupHeader->move(4, 4);
    PopupBody->move(4, PopupHeader->geometry().bottom() + 1 + 8);
    const int width = PopupHeader->width() + 20;
    const int height = PopupBody->geometry().bottom() + 1 + 10;
    const bool below = PopupPos->checkedId() == 1;
    const int top = below ? PopupAnchor->geometry().bottom() + 1 : PopupAnchor->y() - height;
    PopupPanel->setGeometry(PopupAnchor->x(), top, width, height);
    QPalette palette = PopupPanel->palette();
    palette.setColor(QPalette::Window, QColor::fromRgba(ColorToQColor(PopupBkColor->Color())));
    PopupPanel->setPalette(palette);
    SetTextColor(PopupBody, PopupTextColor->Color());
    SetTextColor(PopupHeader, PopupTitleColor->Color());
}
