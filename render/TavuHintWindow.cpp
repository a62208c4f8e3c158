#include "render/TavuHintWindow.h"

#include "core/Board.h"
#include "core/Colors.h"
#include "core/DatLine.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/Site.h"
#include "core/TavuAction.h"
#include "core/TavuConfig.h"
#include "core/ThreadItem.h"
#include "render/SkinSettings.h"
#include "render/TavuResWriter.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScrollBar>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

const QString NG = QStringLiteral("ＮＧ");

QString ColorName(TColor color)
{
    return QColor::fromRgba(ColorToQColor(color)).name();
}

QString ProfileDir()
{
    return TavuConfig ? TavuConfig->GetProfileDir() : QString();
}

// Text as HTML: escaped, line breaks kept.
QString TextToHtml(const QString &text)
{
    QString html = text.toHtmlEscaped();
    html.replace(QLatin1String("\r\n"), QLatin1String("<br>")).replace(u'\n', QLatin1String("<br>"));
    return html;
}

// The free part of the screen under the mouse.
QRect ScreenAreaAtMouse()
{
    const QScreen *screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
}

}  // namespace

TTavuHintWindow::TTavuHintWindow(QWidget *parent)
    : QFrame(parent, Qt::ToolTip | Qt::FramelessWindowHint), view(new QTextBrowser(this))
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFrameShape(QFrame::Box);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(view);
    view->setFrameShape(QFrame::NoFrame);
    view->setOpenLinks(false);
    view->setFocusPolicy(Qt::NoFocus);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setLineWrapMode(QTextEdit::FixedPixelWidth);
    // The window is exactly as large as ShowHtml makes it: the view's own minimum (room for its
    // scroll bars) would grow a one-line popup after it was placed, down over the mouse.
    view->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
}

TTavuHintWindow::~TTavuHintWindow() = default;

int TTavuHintWindow::MaxResCount() const
{
    return TavuConfig ? std::max(1, TavuConfig->MAXPOPUPCOUNT) : 10;
}

bool TTavuHintWindow::NewestFirst() const
{
    return TavuConfig && TavuConfig->POPUPORDER == 1;
}

void TTavuHintWindow::FilterNG(TRes &res, const TTavuAction *rule)
{
    if (!rule || !rule->PopupHide)
        return;
    res.Name = NG;
    res.SetDate(NG);
    res.Body = NG;
}

void TTavuHintWindow::ShowText(const QString &text)
{
    ShowHtml(TextToHtml(text));
}

void TTavuHintWindow::PopupResList(const TResList *list, const TBoard *board, const QString &header)
{
    SelectSkin(board);
    QString html;
    if (!header.isEmpty())
        html = QStringLiteral("<p style=\"color:%1\"><b>%2</b></p>")
                   .arg(ColorName(TavuConfig ? TavuConfig->POPUPTITLECOLOR : clGreen), TextToHtml(header));
    if (list)
        html += RenderResponses(*list);
    ShowHtml(html);
}

void TTavuHintWindow::PopupThreadUrl(const TBoard *board, const QString &key, const TResRange &range,
                                     const QString &title)
{
    const QString datName = key.contains(u'.') ? key : key + QStringLiteral(".dat");
    const QString path = board && IsSafeFileName(datName) ? board->GetLogDir() + datName : QString();
    const QByteArray log = path.isEmpty() ? QByteArray() : FileUtil::ReadFile(path);
    if (log.isEmpty()) {
        ShowText(title);
        return;
    }
    TResList list;
    list.LoadDat(log);

    auto *item = new TThreadItem;
    item->SetLogFile(path);
    const QSet<int> erased = item->ReadErasedRes();
    item->Release();

    const int count = list.Count();
    int first = range.First;
    int last = range.Last;
    if (first <= 0 && last <= 0) {
        first = std::max(1, count - MaxResCount() + 1);
        last = count;
    } else if (first <= 0) {
        first = std::max(1, last - MaxResCount());
    }
    last = std::max(last, first);
    const bool showFirst = !range.NoFirst && !(TavuConfig && TavuConfig->RES1NOPOPUP);
    for (int i = 0; i < count; ++i) {
        TRes *res = list.Get(i);
        res->Erased = erased.contains(res->Number);
        res->Visible = (res->Number == 1 && showFirst) || (res->Number >= first && res->Number <= last);
    }
    PopupResList(&list, board, title);
}

// The writer of the board's skin, with the link settings as they are now: the option dialog may
// have changed them since the last popup.
void TTavuHintWindow::SelectSkin(const TBoard *board)
{
    if (writer && board == skinBoard) {
        writer->ApplyConfig();
        return;
    }
    skinBoard = board;
    const TIniFile ini(ProfileDir() + QStringLiteral("skin.ini"));
    const QString siteId = board && board->Site ? board->Site->SITEID : QString();
    const QString section = TSkinSettings::SectionForBoard(ini, siteId, board ? board->ID : QString());
    const TSkinSettings skin = TSkinSettings::Read(ini, section, ProfileDir());
    writer = std::make_unique<TTavuResWriter>(skin);
    writer->ApplyConfig();
    view->setSearchPaths({skin.SkinPath});
}

// The visible responses of the list, at most MaxResCount of them.
QString TTavuHintWindow::RenderResponses(const TResList &list)
{
    QList<const TRes *> shown;
    for (int i = 0; i < list.Count(); ++i) {
        const TRes *res = list.Get(i);
        if (res->Visible && !res->Erased)
            shown.append(res);
    }
    const int limit = MaxResCount();
    if (shown.size() > limit)
        shown = NewestFirst() ? shown.mid(shown.size() - limit) : shown.mid(0, limit);

    QString html;
    for (const TRes *res : shown) {
        const TTavuAction *rule = res->Hidden ? list.HiddenNumbers.value(res->Number, nullptr) : nullptr;
        if (rule && rule->PopupHide) {
            TRes masked;
            masked.Assign(*res);
            FilterNG(masked, rule);
            html += writer->RenderRes(masked);
        } else {
            html += writer->RenderRes(*res);
        }
    }
    return html;
}

void TTavuHintWindow::ShowHtml(const QString &body)
{
    const TColor background = TavuConfig ? TavuConfig->POPUPBKCOLOR : clInfoBk;
    const TColor text = TavuConfig ? TavuConfig->POPUPTEXTCOLOR : clWindowText;
    QPalette colors = view->palette();
    colors.setColor(QPalette::Base, QColor::fromRgba(ColorToQColor(background)));
    colors.setColor(QPalette::Text, QColor::fromRgba(ColorToQColor(text)));
    view->setPalette(colors);
    if (TavuConfig)
        view->setFont(QFont(TavuConfig->POPUPFONTNAME, std::max(1, TavuConfig->POPUPFONTSIZE)));
    view->document()->setDefaultStyleSheet(QStringLiteral("body { color: %1; }").arg(ColorName(text)));
    shownHtml = body;
    view->setHtml(body);

    // The text is wrapped at a width of our choosing, never at the view's: before the window was
    // first shown the view is only as wide as a new widget.
    const QRect area = ScreenAreaAtMouse();
    const qreal widest = area.width() * 0.8;
    view->setLineWrapColumnOrWidth(int(widest));
    QTextDocument *document = view->document();
    int width = int(std::ceil(std::min<qreal>(document->idealWidth(), widest))) + 8;
    view->setLineWrapColumnOrWidth(width - 8);
    const qreal tallest = area.height() * 0.8;
    if (document->size().height() > tallest)
        width += view->verticalScrollBar()->sizeHint().width();
    const int height = int(std::min<qreal>(document->size().height(), tallest)) + 8;
    resize(width, height);
    PlaceAtMouse();
    show();
    raise();
}

// Above or below the mouse as POPUPPOS says, kept on the screen.
void TTavuHintWindow::PlaceAtMouse()
{
    const QPoint mouse = QCursor::pos();
    const QRect area = ScreenAreaAtMouse();
    const bool below = TavuConfig && TavuConfig->POPUPPOS == 1;
    int y = below ? mouse.y() + 16 : mouse.y() - height() - 4;
    if (y < area.top())
        y = mouse.y() + 16;
    if (y + height() > area.bottom())
        y = std::max(area.top(), area.bottom() - height());
    const int x = std::clamp(mouse.x(), area.left(), std::max(area.left(), area.right() - width()));
    move(x, y);
}

void TTavuHintWindow::mousePressEvent(QMouseEvent *)
{
    hide();
}
