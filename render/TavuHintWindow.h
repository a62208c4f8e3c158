#pragma once
// TTavuHintWindow: the popup of the thread views. It shows at the mouse either a text or responses
// rendered with a board's skin: the responses an anchor points to, those of one ID, the replies to
// a response, or a range of another thread's stored log.
//
// It is a plain rich-text window (quick to show, it loads nothing from the network and runs no
// script); the responses come from the same response writer as the thread views, so the same
// filtering of server text applies. Colours, font and placement follow the popup settings
// (POPUPBKCOLOR, POPUPTEXTCOLOR, POPUPTITLECOLOR, POPUPFONTNAME, POPUPFONTSIZE, POPUPPOS); at most
// MAXPOPUPCOUNT responses are shown, the oldest or the newest as POPUPORDER says.
//
// A response that a rule hid in the view is shown in a popup too, unless that rule asks to hide
// it in popups as well; it is then shown with "ＮＧ" in place of its name, date and message.

#include <QFrame>
#include <QString>
#include <memory>

class QTextBrowser;
class TBoard;
class TRes;
class TResList;
class TTavuAction;
class TTavuResWriter;

class TTavuHintWindow : public QFrame {
    Q_OBJECT
public:
    // Which responses of another thread to show. First and Last 0: the last MAXPOPUPCOUNT; only
    // Last: the MAXPOPUPCOUNT before it. Response 1 is added unless NoFirst or RES1NOPOPUP says not.
    struct TResRange {
        int First = 0;
        int Last = 0;
        bool NoFirst = false;
    };

    explicit TTavuHintWindow(QWidget *parent = nullptr);
    ~TTavuHintWindow() override;

    void ShowText(const QString &text);
    // Shows the responses of the list marked visible, under a header line (plain text, may be empty).
    void PopupResList(const TResList *list, const TBoard *skinBoard, const QString &header);
    // Shows a range of the stored log of a thread of the board; nothing is fetched. Without a log,
    // only the title is shown.
    void PopupThreadUrl(const TBoard *board, const QString &key, const TResRange &range, const QString &title);

    const TBoard *SkinBoard() const { return skinBoard; }

    // For the code that writes responses into the popup.
    int MaxResCount() const;   // responses one popup shows
    bool NewestFirst() const;  // which ones when there are more: the newest (true) or the oldest
    // Puts "ＮＧ" in the name, date and message of the response when the rule hides it in popups.
    static void FilterNG(TRes &res, const TTavuAction *rule);

    const QString &Html() const { return shownHtml; }   // what the popup shows

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    QTextBrowser *view;
    const TBoard *skinBoard = nullptr;
    std::unique_ptr<TTavuResWriter> writer;
    QString shownHtml;

    void SelectSkin(const TBoard *board);
    QString RenderResponses(const TResList &list);
    void ShowHtml(const QString &body);
    void PlaceAtMouse();
};
