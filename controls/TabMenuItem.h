#pragma once
// The menu items the main window makes at run time that remember what they stand for: the entries
// of the tab menus, of the recent boards and threads, of the web-search engines, of the boards
// opened in this run and of the external tools. None of them owns what it refers to.

#include <QAction>
#include <QString>

class TSite;
class TTavuBrowser;
class TTavuListDoc;

// An entry of the thread-list tab menu: choosing it makes its document the current tab and fires
// the document's select event, also when it is current already.
class TThreadListMenuItem : public QAction {
    Q_OBJECT
public:
    explicit TThreadListMenuItem(QObject *parent = nullptr);
    TTavuListDoc *ListDoc = nullptr;
    void ItemClick();
};

// An entry of the browser tab menu: the same for a browser tab.
class TBrowserMenuItem : public QAction {
    Q_OBJECT
public:
    explicit TBrowserMenuItem(QObject *parent = nullptr);
    TTavuBrowser *Browser = nullptr;
    void ItemClick();
};

// A web-search engine of search.txt: its URL template.
class TSearchEngineMenuItem : public QAction {
    Q_OBJECT
public:
    using QAction::QAction;
    QString SearchUrl;
};

// A board opened in this run: the board id (Text), a number and the board's site.
class TGaishutuMenuItem : public QAction {
    Q_OBJECT
public:
    using QAction::QAction;
    QString Text;
    int Number = 0;
    TSite *Site = nullptr;
};

// A recent board or thread. Its caption is "(&" + number + ")" + title; an "&" of the title is
// shown as it is.
class TRecentMenuItem : public QAction {
    Q_OBJECT
public:
    using QAction::QAction;
    QString SiteID;
    QString BoardID;
    QString ThreadKey;
    QString Title;
    void SetEntry(int number, const QString &siteId, const QString &boardId, const QString &threadKey,
                  const QString &title);
};

// An external tool of tool.txt.
class TToolMenuItem : public QAction {
    Q_OBJECT
public:
    using QAction::QAction;
    QString Program;
    QString WorkDir;
    QString Arguments;
    bool AppendUrl = false;   // the open thread's URL is added to the arguments
};

// A menu item with one reference to an object of the owner's choosing.
class TTavuMenuItem : public QAction {
    Q_OBJECT
public:
    using QAction::QAction;
    void *Reference = nullptr;
};
