#pragma once
// The log search (actFindLog): TFindWindow asks for the words and the boards, a worker thread walks
// the log folders (the window stays usable; a progress window shows how far it is and can stop
// it), and the threads found open in a result tab "ログ検索結果".

#include "services/LogSearch.h"

#include <QObject>
#include <QPair>
#include <QPointer>

class QProgressDialog;
class TBoard;
class TThreadListServices;
class TTabServices;
class TThreadViewServices;
class TWindowFrameServices;

class TLogSearchCommands : public QObject {
    Q_OBJECT
public:
    explicit TLogSearchCommands(TWindowFrameServices &frame, TTabServices &tabs, TThreadViewServices &views,
                                TThreadListServices &threadList, QObject *parent = nullptr);
    ~TLogSearchCommands() override;

    void actFindLogExecute();
    // The search now running (nullptr when none).
    LogSearch::TLogSearchWorker *Running() const { return worker; }

signals:
    // A search ended and its result is shown (hits: the threads found).
    void SearchDone(int hits);

private:
    TWindowFrameServices &frame;
    TTabServices &tabs;
    TThreadViewServices &views;
    TThreadListServices &threadList;
    QPointer<LogSearch::TLogSearchWorker> worker;
    QPointer<QProgressDialog> progress;
    // The boards searched, by site id and board id: a board deleted meanwhile is not used again.
    QList<QPair<QString, QString>> boards;

    void Start(const QList<TBoard *> &chosen, const LogSearch::TQuery &query);
    void Finish(const QList<LogSearch::THit> &hits);
};
