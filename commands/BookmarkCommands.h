#pragma once
// TBookmarkCommands: the bookmark commands of the main window: setting a bookmark on the response
// under the cursor (actSelectResAddBookmark), the bookmark manager (actToolBookmarkManager) and
// the bookmark editor (actToolBookmarkEditor). Bookmarks are kept by TBookmarkShelf in the
// threads' .inf files and the bookmark index; the categories in bookcate.txt.

#include <QObject>

class TWindowServices;

class TBookmarkCommands : public QObject {
    Q_OBJECT
public:
    TBookmarkCommands(TWindowServices &services, QObject *parent = nullptr);

    void actSelectResAddBookmarkExecute();
    void actToolBookmarkManagerExecute();
    void actToolBookmarkEditorExecute();

    static QString CategoryFile();   // bookcate.txt of the profile

private:
    TWindowServices &services;

    // The open tabs read their threads' bookmarks again (the windows changed them on disk).
    void RefreshOpenThreads();
};
