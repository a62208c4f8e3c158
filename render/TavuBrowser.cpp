#include "render/TavuBrowser.h"

#include "core/BBS.h"
#include "core/Board.h"
#include "core/IniFile.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/ThreadItem.h"
#include "net/TavuHttpList.h"
#include "render/EmbeddedWB.h"
#include "render/PromptFrames.h"
#include "render/ResCacheLoader.h"
#include "render/TavuResWriter.h"

#include <QAbstractButton>
#include <QAction>
#include <QBuffer>
#include <QEvent>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

namespace {

const QString DefaultSkinSection = QStringLiteral("default");

std::function<QIcon(TTavuBrowser::TTabImage)> &TabImages()
{
    static std::function<QIcon(TTavuBrowser::TTabImage)> images;
    return images;
}

QString ProfileDir()
{
    return TavuConfig ? TavuConfig->GetProfileDir() : QString();
}

TIniFile SkinIni()
{
    return TIniFile(ProfileDir() + QStringLiteral("skin.ini"));
}

// What the header and footer templates show about the thread, as it stands now.
TTavuResWriter::TThreadInfo ThreadInfo(const TThreadItem *item, const TBoard *board, const TResList *list,
                                       const QString &title, const QString &url)
{
    TTavuResWriter::TThreadInfo info;
    info.Title = item && !item->TITLE.isEmpty() ? item->TITLE : title;
    info.BoardName = board ? board->Name : QString();
    const TSite *site = board && board->Site ? board->Site : item ? item->Site : nullptr;
    info.SiteName = site ? site->NAME : QString();
    info.Url = url;
    info.ResCount = list ? list->Count() : 0;
    info.NewCount = item ? std::max(item->NewCount, 0) : 0;
    return info;
}

// A response in its box; a new one with the plain form it takes when its mark goes.
QString BoxedRes(const TTavuResWriter &writer, const TRes &res)
{
    const QString anchor = TTavuResWriter::ResAnchor(res.Number);
    const QString html = writer.RenderResTemplate(res);
    if (!res.IsNew)
        return TEmbeddedWB::Boxed(anchor, html);
    TRes plain = res;
    plain.IsNew = false;
    return TEmbeddedWB::Marked(anchor, html, writer.RenderResTemplate(plain));
}

// A screenful of a made-up thread in a skin, read and new responses with the kinds of text a
// board's responses hold: what a tab kept aside lays out once (TEmbeddedWB::WarmUp).
QString SampleThread(const TSkinSettings &skin)
{
    constexpr int Responses = 20;
    const QStringList lines = {
        QStringLiteral("今日は一日中雨だったので、家で本を読んでいました。"),
        QStringLiteral("それは違うと思う。理由は３つあって、まず１つ目は値段が高いこと。"),
        QStringLiteral("ワロタｗｗｗ　そういうことか"),
        QStringLiteral("詳しくはこちら http://example.jp/page/123.html を見てください。"),
        QStringLiteral("ABC abc 0123456789 （全角の括弧）「かぎ括弧」『二重』…！？"),
    };
    TTavuResWriter writer(skin);
    writer.ApplyConfig();
    writer.SetThreadInfo({QStringLiteral("見本のスレッド"), QStringLiteral("見本の板"), QString(), QString(), Responses,
                          Responses / 2});
    QString html = writer.RenderHeader();
    for (int n = 1; n <= Responses; ++n) {
        TRes res;
        res.Number = n;
        res.Name = n % 7 ? QStringLiteral("名無しさん") : QStringLiteral("<b>名無し</b>◆Trip%1").arg(n);
        res.SetMail(n % 4 ? QString() : QStringLiteral("sage"));
        res.SetDate(QStringLiteral("2026/01/%1(木) 12:%2:56.78 ID:Ab%3xYz").arg(n + 9).arg(n + 30).arg(n * 37));
        res.Body = (n > 1 ? QStringLiteral("&gt;&gt;%1 <br> ").arg(n - 1) : QString()) + lines[n % lines.size()]
                   + QStringLiteral(" <br> ") + lines[(n + 2) % lines.size()];
        res.IsNew = n > Responses / 2;
        html += BoxedRes(writer, res);
    }
    return html + writer.RenderFooter();
}

// A picture of a single colour: a view that shows nothing (yet).
bool ShowsOneColour(const QPixmap &picture)
{
    constexpr int Step = 8;
    const QImage image = picture.toImage();
    if (image.isNull())
        return true;
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); y += Step) {
        for (int x = 0; x < image.width(); x += Step) {
            if (image.pixel(x, y) != first)
                return false;
        }
    }
    return true;
}

}  // namespace

TTavuBrowser::TTavuBrowser(QWidget *parent) : QWidget(parent), browser(new TEmbeddedWB(this)), cover(new QLabel(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser);
    cover->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    cover->hide();
    if (parent) {
        parent->installEventFilter(this);
        PlaceInParent();
    }

    connect(browser, &TEmbeddedWB::StatusTextChange, this, &TTavuBrowser::StatusTextChange);
    connect(browser, &TEmbeddedWB::TitleChange, this, &TTavuBrowser::TitleChange);
    connect(browser, &TEmbeddedWB::ContextMenu, this, [this](const QPoint &globalPos, bool &handled) {
        emit ContextMenu(globalPos, handled);
        if (!handled) {
            handled = true;
            emit PlainContextMenu(globalPos);
        }
    });
    connect(browser, &TEmbeddedWB::ProgressChange, this, &TTavuBrowser::Progress);
    connect(browser, &TEmbeddedWB::DocumentComplete, this, &TTavuBrowser::OnDocumentComplete);
    connect(browser, &TEmbeddedWB::DocumentUpdated, this, &TTavuBrowser::OnDocumentUpdated);
    connect(browser, &TEmbeddedWB::Painted, this, &TTavuBrowser::UncoverWhenShown);
    viewWaitLimit.setSingleShot(true);
    viewWaitLimit.setInterval(LongestViewWaitMs);
    connect(&viewWaitLimit, &QTimer::timeout, this, &TTavuBrowser::Uncover);
    framePoll.setInterval(1);
    framePoll.setTimerType(Qt::PreciseTimer);
    connect(&framePoll, &QTimer::timeout, this, &TTavuBrowser::LookForFrame);
    connect(browser, &TEmbeddedWB::TopResChanged, this, &TTavuBrowser::AskToBeDrawn);
    connect(browser, &TEmbeddedWB::ResCheckChanged, this, [this](int number, bool checked) {
        if (checked)
            checkedNumbers.insert(number);
        else
            checkedNumbers.remove(number);
    });
}

TTavuBrowser::~TTavuBrowser()
{
    delete browser;   // first, so that nothing it reports reaches a tab half gone
    if (cacheLoader)
        cacheLoader->Cancel();
    SetThreadItem(nullptr);
}

bool TTavuBrowser::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == cover && event->type() == QEvent::Paint && afterCover) {
        cover->removeEventFilter(this);
        QTimer::singleShot(0, this, &TTavuBrowser::RunAfterCover);   // after this paint reached the screen
        return false;
    }
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        PlaceInParent();
    if (event->type() == QEvent::Timer && viewWaitLimit.isActive() && watched == browser->focusProxy())
        QTimer::singleShot(0, this, &TTavuBrowser::LookAtView);   // once the view's wait is over
    return false;
}

// The tab fills its parent; one kept aside lies just left of it, at the same size, shown but out
// of sight.
void TTavuBrowser::PlaceInParent()
{
    const QRect area = parentWidget()->rect();
    setGeometry(keptAside ? area.translated(-area.width(), 0) : area);
}

bool TTavuBrowser::IsReady() const
{
    return keptAside && browser->ShellReady() && !browser->IsWarmingUp();
}

void TTavuBrowser::KeepAside(bool aside)
{
    keptAside = aside;
    if (parentWidget())
        PlaceInParent();
    if (aside) {
        browser->PrepareShell();
        browser->WarmUp(SampleThread(Skin));
    }
}

void TTavuBrowser::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    cover->setGeometry(rect());
}

// ---- the thread ----

void TTavuBrowser::SetThreadItem(TThreadItem *newItem)
{
    if (newItem == item)
        return;
    if (newItem)
        newItem->AddRef();
    if (item)
        item->Release();
    item = newItem;
}

void TTavuBrowser::SetResList(TResList *list)
{
    resList.reset(list);
    ++resListSerial;
}

TBoard *TTavuBrowser::GetBoard() const
{
    return item ? item->GetBoard() : nullptr;
}

// ---- the tab ----

void TTavuBrowser::Activate()
{
    if (TabButton)
        TabButton->setChecked(true);
    if (TabMenuItem)
        TabMenuItem->setChecked(true);
    giveUpWanted = false;
    if (pageGivenUp && !lastFrame.isEmpty() && !IsCovered()) {
        QPixmap picture;
        picture.loadFromData(lastFrame, "PNG");
        CoverWith(picture);
        coveredByLastFrame = true;
    }
    show();
    raise();
    AskToBeDrawn();   // a tab covered while hidden may have its page ready since
    emit StatusTextChange(StatusText);
    emit Activated(this);
}

void TTavuBrowser::DoSelect()
{
    emit Select(this);
}

void TTavuBrowser::CancelDownload()
{
    bool ending = false;   // something runs that will set the tab idle when it ends
    if (cacheLoader) {
        cacheLoader->Cancel();
        ending = true;
    }
    // A running job ends through its error and done callbacks.
    if (Downloader && TavuHttpList && TavuHttpList->AbortJobsOf(Downloader))
        ending = true;
    if (webPage)
        browser->Stop();
    browser->SendWrites();   // what waited for the download's writes (the new marks taken off)
    if (!ending && DownloadState != dsIdle) {
        DownloadState = dsIdle;
        UpdateTabImage();
    }
}

void TTavuBrowser::SetTabImages(std::function<QIcon(TTabImage)> images)
{
    TabImages() = std::move(images);
}

TTavuBrowser::TTabImage TTavuBrowser::CurrentTabImage() const
{
    if (Locked)
        return tiLocked;
    if (DownloadState == dsDownloading)
        return tiDownloading;
    if (DownloadState == dsOpening)
        return tiOpening;
    if (webPage)
        return tiWebPage;
    return item && item->NewCount > 0 ? tiNewRes : tiThread;
}

void TTavuBrowser::UpdateTabImage()
{
    if (TabButton && TabImages())
        TabButton->setIcon(TabImages()(CurrentTabImage()));
    AskToBeDrawn();   // the state changes with the glyph: an idle tab's page gets no more
}

void TTavuBrowser::MarkNavigated()
{
    SetExtractMode(false);
    webPage = true;
    DownloadState = dsDownloading;
    UpdateTabImage();
}

void TTavuBrowser::OnDocumentComplete()
{
    if (webPage)
        Uncover();
    if (webPage && DownloadState == dsDownloading) {
        DownloadState = dsIdle;
        UpdateTabImage();
    }
}

void TTavuBrowser::CloseThread()
{
    Uncover();
    if (cacheLoader)
        cacheLoader->Cancel();
    if (item && !webPage && item->LogExists()) {
        item->TOP = GetTopResNumber();
        item->SaveInfo();
    }
    SetThreadItem(nullptr);
    SetResList(nullptr);
    checkedNumbers.clear();
    firstScreen.reset();
}

void TTavuBrowser::SetWebPage(bool on)
{
    webPage = on;
    UpdateTabImage();
}

void TTavuBrowser::SetExtractMode(bool on)
{
    extractMode = on;
    if (!on) {
        SearchText.clear();
        SearchCount = 0;
    }
}

// ---- the skin ----

void TTavuBrowser::SelectSkin(const TBoard *board)
{
    const TIniFile ini = SkinIni();
    const QString siteId = board && board->Site ? board->Site->SITEID : QString();
    const QString section = TSkinSettings::SectionForBoard(ini, siteId, board ? board->ID : QString());
    ApplySkin(TSkinSettings::Read(ini, section, ProfileDir()));
}

void TTavuBrowser::ReadSkinSettings(const QString &view)
{
    const TIniFile ini = SkinIni();
    const QString section = ini.SectionExists(view) ? view : DefaultSkinSection;
    ApplySkin(TSkinSettings::Read(ini, section, ProfileDir()));
}

void TTavuBrowser::ApplySkin(const TSkinSettings &skin)
{
    Skin = skin;
    writer.reset();
    browser->SetBaseUrl(QUrl::fromLocalFile(Skin.SkinPath));
}

void TTavuBrowser::CreateResWriter()
{
    writer = std::make_unique<TTavuResWriter>(Skin);
    writer->ApplyConfig();
    // Anchors lead to the thread's read URL, which the main window's hover and navigation
    // handling recognise as a link into this thread; without a board type, into the page. They
    // name their responses alone: response 1 comes only when it is named.
    writer->AnchorUrl = [this](int first, int last) {
        const QString url = item && item->BBS ? item->BBS->GetReadUrlRange(item, first, last, true) : QString();
        return url.isEmpty() ? QStringLiteral("#ID%1").arg(first) : url;
    };
}

TTavuResWriter &TTavuBrowser::Writer()
{
    if (!writer)
        CreateResWriter();
    return *writer;
}

// ---- writing the page ----

void TTavuBrowser::Emit(const QString &html)
{
    if (chunk)
        chunk->append(html);
    else
        WriteNow(html);
}

// HTML for the page now: the responses written before it when due stay before it.
void TTavuBrowser::WriteNow(const QString &html)
{
    dueRun.reset();
    browser->Write(html);
}

// The header goes with the first response, so that the page never shows it alone (the page ends
// with it all the same, WriteHtml); a thread whose title is not known yet (opened from its URL,
// without a log) also learns it with its first response.
void TTavuBrowser::WriteHeader()
{
    // A first screen takes the header with it.
    headerPending = firstScreen || !resList || resList->Count() == 0
                    || (item && ThreadInfo(item, GetBoard(), resList.get(), Title, URL).Title.isEmpty());
    if (!headerPending)
        EmitHeader();
}

void TTavuBrowser::EmitHeader()
{
    headerPending = false;
    Writer().SetThreadInfo(ThreadInfo(item, GetBoard(), resList.get(), Title, URL));
    Emit(writer->RenderHeader());
}

void TTavuBrowser::AppendRes(TRes *res)
{
    if (firstScreen && !firstScreen->Sent) {
        HoldRes(*res);
    } else {
        if (headerPending && !chunk) {
            // The header and the first response under it go to the page in one write.
            chunk.emplace();
            EmitHeader();
            Emit(InlineRes(*res));
            WriteNow(*std::exchange(chunk, std::nullopt));
        } else {
            if (headerPending)
                EmitHeader();
            WriteRes(*res);
        }
        if (++screenCount == FirstScreenSize)
            HoldRest(res->Number);
    }
    res->Visible = true;
    changed = true;
}

// A new page's first screenful is drawn before the page takes the rest: what follows it (after the
// chunk being collected) waits until then, and the screen keeps room for the responses expected
// after the last one written. A tab coming back shows its last frame until its page is whole
// instead, and so does a page that begins at a later response (ShowFirst).
void TTavuBrowser::HoldRest(int lastWritten)
{
    if (coveredByLastFrame)
        return;
    if (expectedCount > lastWritten)
        Emit(TEmbeddedWB::BackRoom(expectedCount - lastWritten));
    if (chunk)
        holdAfterChunk = true;
    else
        browser->HoldWritesUntilPainted();
}

// A response after those written: into the chunk being collected, else made when the page is about
// to take it, a part of the responses that came meanwhile at a time.
void TTavuBrowser::WriteRes(const TRes &res)
{
    if (chunk) {
        Emit(InlineRes(res));
        return;
    }
    // A run whose write the page dropped (it took a new document) is held by nobody else.
    if (dueRun && dueRun.use_count() > 1 && dueRun->size() < ResPart) {
        dueRun->append(res);
        return;
    }
    dueRun = std::make_shared<QList<TRes>>(QList<TRes>{res});
    browser->WriteWhenDue([this, run = dueRun] {
        if (dueRun == run)
            dueRun.reset();   // what comes next goes in a run of its own
        return InlineRun(*run);
    }, false);
}

// A response as the page holds it: a box of its own (TEmbeddedWB::Boxed) that opens with its anchor,
// then its filled template; one marked new comes with the form it takes once ClearNewMarks takes the
// mark off.
QString TTavuBrowser::InlineRes(const TRes &res)
{
    marked = marked || res.IsNew;
    return BoxedRes(Writer(), res);
}

// ---- the first screen ----

void TTavuBrowser::ShowFirst(int number)
{
    firstScreen.reset();
    if (number > 1)
        firstScreen = TFirstScreen{number, false, {}, {}};
}

bool TTavuBrowser::FirstScreenWritten() const
{
    return firstScreen ? firstScreen->Sent : screenCount >= FirstScreenSize;
}

void TTavuBrowser::HoldRes(const TRes &res)
{
    TFirstScreen &screen = *firstScreen;
    (res.Number < screen.From ? screen.Before : screen.Screen).append(res);
    if (screen.Screen.size() >= FirstScreenSize)
        SendFirstScreen(false);
}

// The header and the screen go to the page in one write of their own, whatever chunk is being
// collected, and the view goes to the screen's first response in the same call: the tab is drawn
// there before it takes the rest. The screenful of responses just before it goes with it (what
// lies just above a view is laid out with it); the others take their room above those, in front,
// once the screen is drawn, and nothing the view shows moves meanwhile. With every response known
// (whole), the footer goes with the screen too, so that the page keeps its height.
void TTavuBrowser::SendFirstScreen(bool whole)
{
    TFirstScreen &screen = *firstScreen;
    screen.Sent = true;
    const std::optional<QString> outer = std::exchange(chunk, QString());
    if (headerPending)
        EmitHeader();
    const qsizetype far = std::max<qsizetype>(screen.Before.size() - FirstScreenSize, 0);
    Emit(TEmbeddedWB::FrontMark());
    if (far > 0)
        Emit(TEmbeddedWB::FrontRoom(int(far)));
    for (const QList<TRes> &part : {screen.Before.sliced(far), screen.Screen}) {
        for (const TRes &res : part)
            Emit(InlineRes(res));
    }
    WriteNow(*chunk);
    chunk = outer;
    screen.Before.resize(far);
    screen.Screen.clear();
    if (whole)
        WriteFooter();
    ScrollToRes(screen.From);
    screenCount = FirstScreenSize;
    if (!coveredByLastFrame)
        browser->HoldWritesUntilPainted();
}

// The first `count` responses that wait go in front (never into a chunk: they follow the page's
// head), a part at a time, each made when the page is about to take it.
void TTavuBrowser::SendFront(qsizetype count)
{
    QList<TRes> &before = firstScreen->Before;
    count = std::min(count, before.size());
    for (qsizetype first = 0; first < count; first += ResPart) {
        const auto begin = std::make_move_iterator(before.begin() + first);
        const auto part = std::make_shared<const QList<TRes>>(begin, begin + std::min(ResPart, count - first));
        browser->WriteWhenDue([this, part] { return InlineRun(*part); }, true);
    }
    before.remove(0, count);
}

QString TTavuBrowser::InlineRun(const QList<TRes> &responses)
{
    QString html;
    for (const TRes &res : responses)
        html += InlineRes(res);
    return html;
}

void TTavuBrowser::EndFirstScreen()
{
    if (!firstScreen)
        return;
    if (!firstScreen->Sent)
        SendFirstScreen(true);
    SendFront(firstScreen->Before.size());
    firstScreen.reset();
}

// A chunk's HTML. Once the first screen is in the page, each chunk also sends a part of the
// responses before it.
void TTavuBrowser::AppendHtml(const QString &html)
{
    if (!html.isEmpty())
        Emit(html);
    if (!chunk && std::exchange(holdAfterChunk, false))
        browser->HoldWritesUntilPainted();
    if (firstScreen && firstScreen->Sent && !chunk)
        SendFront(ResPart);
}

void TTavuBrowser::WriteHtml()
{
    if (!chunk)
        EndFirstScreen();
    if (headerPending)
        EmitHeader();
    if (chunk) {
        chunk->append(Footer());
        return;
    }
    WriteFooter();
    browser->Close();
}

// The footer counts what the page shows now, after every response was written.
QString TTavuBrowser::Footer()
{
    Writer().SetThreadInfo(ThreadInfo(item, GetBoard(), resList.get(), Title, URL));
    return Writer().RenderFooter();
}

// The footer stays the page's tail: responses appended later go before it.
void TTavuBrowser::WriteFooter()
{
    browser->WriteTail(Footer());
}

bool TTavuBrowser::ReopenDocument()
{
    screenCount = FirstScreenSize;   // the page grows below what it shows
    return !webPage && browser->Reopen();
}

void TTavuBrowser::GiveUpPage()
{
    giveUpWanted = true;
    TryGivingUpPage();
}

void TTavuBrowser::TryGivingUpPage()
{
    if (!giveUpWanted || pageGivenUp || webPage || extractMode || !item || !resList || DownloadState != dsIdle
        || Downloader || cacheLoader || isVisible() || !browser->Discard())
        return;
    giveUpWanted = false;
    pageGivenUp = true;
    marked = false;
    checkedNumbers.clear();
}

// ---- the cover ----

void TTavuBrowser::KeepLastFrame()
{
    if (!isVisible() || IsCovered() || webPage || !browser->HasDocument())
        return;
    // Compressed, a picture of responses takes a few dozen kilobytes instead of megabytes. PNG
    // qualities above 80 store the picture without compression; 80 is zlib's fastest level, which
    // shrinks a view of text about tenfold at little more cost than storing it.
    QBuffer png(&lastFrame);
    png.open(QIODevice::WriteOnly | QIODevice::Truncate);
    browser->grab().save(&png, "PNG", 80);
    png.close();
    lastFrame.squeeze();
}

void TTavuBrowser::CoverWith(const QPixmap &picture)
{
    cover->setPixmap(picture);
    cover->setGeometry(rect());
    cover->show();
    cover->raise();
}

bool TTavuBrowser::IsCovered() const
{
    return !cover->isHidden();
}

void TTavuBrowser::WhenCoverShown(std::function<void()> then)
{
    constexpr int LongestWaitMs = 100;
    if (!IsCovered() || !isVisible()) {
        then();
        return;
    }
    afterCover = std::move(then);
    cover->installEventFilter(this);
    cover->update();
    QTimer::singleShot(LongestWaitMs, this, &TTavuBrowser::RunAfterCover);
}

void TTavuBrowser::RunAfterCover()
{
    cover->removeEventFilter(this);
    if (const std::function<void()> then = std::exchange(afterCover, {}))
        then();
}

void TTavuBrowser::OnDocumentUpdated()
{
    AskToBeDrawn();
    TryGivingUpPage();
}

// A covered page is drawn once everything written is in it and it holds responses, or once nothing
// more is coming.
void TTavuBrowser::AskToBeDrawn()
{
    if (IsCovered() && browser->HasDocument() && !browser->IsBusy() && (GetTopResNumber() > 0 || DownloadState == dsIdle))
        browser->ReportPaint();
}

// The page drew what it holds: the cover goes once the view shows it. The first frames of a view
// that was out of sight may still show its empty page when the page has drawn (its picture reaches
// the view late), so a view that shows a single colour keeps the cover until a later frame shows
// more, or a short while at most.
//
// The view is looked at first in a turn of its own: a grab waits for a frame on its way to the
// view, and what the page was sent in this turn (the writes held for its first frame) is then on
// its way to it already. Then it is looked at whenever it took in a frame: every millisecond the
// tab looks for a frame the view holds back to gather it with others, and has it composited at
// once (the reader would wait for that gathering otherwise); a view that ends its wait by itself is
// looked at once it did.
void TTavuBrowser::UncoverWhenShown()
{
    QWidget *view = browser->focusProxy();
    if (!IsCovered() || viewWaitLimit.isActive())
        return;
    if (!view) {
        Uncover();
        return;
    }
    view->installEventFilter(this);
    viewWaitLimit.start();
    framePoll.start();
    QTimer::singleShot(0, this, &TTavuBrowser::LookAtView);   // it may show the page already
}

void TTavuBrowser::LookForFrame()
{
    QWidget *view = browser->focusProxy();
    if (view && PromptFrames::CompositeWaitingFrame(view))
        LookAtView();
    if (!viewWaitLimit.isActive() && framesPromptUntil.hasExpired())
        framePoll.stop();
}

void TTavuBrowser::ShowFramesPromptly()
{
    framesPromptUntil.setRemainingTime(PromptFramesMs);
    framePoll.start();
}

void TTavuBrowser::LookAtView()
{
    if (viewWaitLimit.isActive() && !ShowsOneColour(browser->grab()))
        Uncover();
}

void TTavuBrowser::Uncover()
{
    if (framesPromptUntil.hasExpired())
        framePoll.stop();
    if (viewWaitLimit.isActive()) {
        viewWaitLimit.stop();
        if (QWidget *view = browser->focusProxy())
            view->removeEventFilter(this);
    }
    if (!IsCovered())
        return;
    cover->hide();
    repaint();   // the page reaches the screen now, not after what the event loop holds
    cover->clear();
    coveredByLastFrame = false;
    emit Uncovered(this);
}

void TTavuBrowser::ClearNewMarks()
{
    if (std::exchange(marked, false))
        browser->TakeOffMarks();
    for (int i = 0; resList && i < resList->Count(); ++i)
        resList->Get(i)->IsNew = false;
}

void TTavuBrowser::ClearDocument()
{
    browser->Clear();
    ForgetDocument();
}

void TTavuBrowser::RenewDocument()
{
    browser->Renew();
    ForgetDocument();
}

void TTavuBrowser::ForgetDocument()
{
    firstScreen.reset();
    dueRun.reset();
    pageGivenUp = false;
    marked = false;
    checkedNumbers.clear();
    headerPending = false;
    screenCount = 0;
    expectedCount = 0;
    holdAfterChunk = false;
}

void TTavuBrowser::Navigate(const QString &url)
{
    browser->Navigate(url);
}

void TTavuBrowser::BeginChunk()
{
    chunk.emplace();
}

QString TTavuBrowser::EndChunk()
{
    QString html = chunk.value_or(QString());
    chunk.reset();
    return html;
}

// ---- reading the page ----

void TTavuBrowser::ScrollToRes(int number)
{
    browser->ScrollToAnchor(QStringLiteral("ID%1").arg(number));
}

int TTavuBrowser::GetTopResNumber() const
{
    return browser->TopResNumber();
}

QList<TRes *> TTavuBrowser::GetCheckedResList() const
{
    QList<TRes *> checked;
    if (!resList)
        return checked;
    for (int i = 0; i < resList->Count(); ++i) {
        TRes *res = resList->Get(i);
        if (checkedNumbers.contains(res->Number))
            checked.append(res);
    }
    return checked;
}

QString TTavuBrowser::GetSelectedText() const
{
    return browser->selectedText();
}

int TTavuBrowser::GetLinkNumber(const QString &url)
{
    if (!url.startsWith(QLatin1String("tavu://res/?no="), Qt::CaseInsensitive))
        return 0;
    return TTavuResWriter::LinkValue(url).toInt();
}

void TTavuBrowser::DocumentHtml(std::function<void(const QString &)> done) const
{
    browser->DocumentHtml(std::move(done));
}

void TTavuBrowser::SetTextZoom(int level)
{
    browser->SetTextZoom(level);
}

int TTavuBrowser::TextZoom() const
{
    return browser->TextZoom();
}

void TTavuBrowser::SetCacheLoader(TResCacheLoader *loader)
{
    cacheLoader = loader;
    // A tab that waits to give up its page may do so once its loader is gone.
    if (loader)
        connect(loader, &QObject::destroyed, this, &TTavuBrowser::TryGivingUpPage);
}

TResCacheLoader *TTavuBrowser::CacheLoader() const
{
    return cacheLoader;
}

// ---- the result view ----

void TTavuBrowser::BeginView(TResList *)
{
    changed = false;
}

void TTavuBrowser::HideRes(TRes *, const TTavuAction *)
{
    // A hidden response leaves no trace in the thread view.
}

bool TTavuBrowser::TakesRes(const TRes *res) const
{
    return !res->Hidden && !res->Erased && (!extractMode || res->Visible);
}

bool TTavuBrowser::EndView()
{
    return std::exchange(changed, false);
}
