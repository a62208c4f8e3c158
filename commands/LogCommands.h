#pragma once
// TLogCommands: the commands about the threads read and written: the history window (actShowHist,
// made once with the main window and kept), the recent-thread submenus (RecentRead from
// readhist.txt, RecentWrite from sendhist.txt, filled each time they open) and the export of
// thread logs (actThreadExport for the current tab, actThreadListExport for the selected rows).

#include <QObject>
#include <QPointer>

class QMenu;
class TExportDialog;
class THistDialog;
class TWindowServices;
struct THistoryEntry;

class TLogCommands : public QObject {
    Q_OBJECT
public:
    TLogCommands(TWindowServices &services, QObject *parent = nullptr);
    ~TLogCommands() override;

    void actShowHistExecute();
    void actThreadExportExecute();
    void actThreadListExportExecute();
    // Refills a recent-thread menu from its history file.
    void FillRecentMenu(QMenu *menu, const QString &fileName);
    // Opens the thread of a history line in a thread tab, as the favourites open theirs.
    void OpenEntry(const THistoryEntry &entry);

private:
    TWindowServices &services;
    QPointer<THistDialog> histDialog;   // a child of the main window

    void BindRecentMenu(const QString &menuName, const QString &fileName);
    void RunExport(TExportDialog &dialog);
};
