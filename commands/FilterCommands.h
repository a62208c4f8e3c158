#pragma once
// The filter commands: the filter dialog (TFilterDialog) over the posts of the current thread tab
// (actThreadFilter) and over the current thread list (actThreadListFilter, whose flow the window
// runs), and the same dialog asking for the board-wide search (actThreadListFilterHoliday). A
// filter opens a tab of what matches; the thread and its list stay as they are.

#include "services/ResSearch.h"
#include "services/ThreadListPane.h"

#include <QObject>

class TSearchViewServices;
class TTabServices;
class TWindowFrameServices;

class TFilterCommands : public QObject {
    Q_OBJECT
public:
    // Binds the commands and puts the dialog behind the window's filter flows.
    explicit TFilterCommands(TWindowFrameServices &frame, TTabServices &tabs, TSearchViewServices &searchViews,
                             QObject *parent = nullptr);
    ~TFilterCommands() override;   // the flows get back the dialogs they had

    void actThreadFilterExecute();
    // The dialogs the flows ask; true on OK.
    bool AskThreadFilter(const TThreadItemList &items, ThreadListPane::TThreadFilter &filter);
    bool AskResSearch(ResSearch::TResSearch &search);

private:
    TWindowFrameServices &frame;
    TTabServices &tabs;
    TSearchViewServices &searchViews;
    ThreadListPane::TFilterDialogHandler oldThreadDialog;
    ResSearch::TResSearchDialogHandler oldResDialog;
};
