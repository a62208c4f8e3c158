#pragma once
// TLinkNavigation: the navigation of links in the browser tabs.
//
// Every navigation of a browser tab passes this filter first: internal links of rendered threads
// become popups, links to threads and boards of known sites open in the program, other pages open
// as the settings say, and URLs of killurl.txt close the tab that tries to open them. It binds
// itself to every browser tab the window makes and reaches the window only through the services.

#include <QObject>
#include <QString>

class TEmbeddedWB;
class TTavuBrowser;
class TReadingServices;
class TSearchViewServices;
class TTabServices;
class TThreadViewServices;
class TWindowFrameServices;

class TLinkNavigation : public QObject {
    Q_OBJECT
public:
    // Binds every browser tab made from now on.
    TLinkNavigation(TWindowFrameServices &frame, TTabServices &tabs, TReadingServices &reading,
                    TSearchViewServices &searchViews, TThreadViewServices &views, QObject *parent);

    // Binds the tab's navigation and new-window events to the handlers below.
    void BindLinkNavigation(TTavuBrowser *tab);
    // The filter of the tab's navigation to the URL: cancel stops the tab from going there.
    void OnBrowserBeforeNavigate(TTavuBrowser *tab, const QString &url, bool &cancel);
    // A link asked for a new window.
    void OpenLink(TTavuBrowser *tab, const QString &url, TEmbeddedWB *&target, bool &cancel);
    // A browser tab titled "Loading..." whose control opens the new window.
    TTavuBrowser *OpenNewWindowTab(TEmbeddedWB *&target);

    TTavuBrowser *ClickedTab = nullptr;   // the tab of the last internal-link click

private:
    bool FollowBoardLink(TTavuBrowser *tab, const QString &url);
    void ShowLinkedResponses(TTavuBrowser *tab, const QString &url);
    void OpenThreadLink(const QString &url, bool activate);
    void OpenPageLink(TTavuBrowser *tab, const QString &url, bool &cancel);
    bool AsksHowToOpen(const TTavuBrowser *tab) const;
    void AskHowToOpen(TTavuBrowser *tab, const QString &url, bool isThread);
    void CloseTabLater(TTavuBrowser *tab);

    TWindowFrameServices &frame;

    TTabServices &tabs;

    TReadingServices &reading;
    TSearchViewServices &searchViews;

    TThreadViewServices &views;
};
