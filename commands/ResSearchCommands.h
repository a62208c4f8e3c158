#pragma once
// TResSearchCommands: the filtered views of the thread tabs: the responses of the current thread
// that hold the selected text, that have the ID or the name of the response under the cursor, or
// that reply to it, each in an extract tab of their own; the board-wide search over the stored logs
// of the current board tab; and the second browser with the visible responses of the current thread.

#include <QObject>

class TSearchViewServices;
class TTabServices;
class TWindowFrameServices;

class TResSearchCommands : public QObject {
    Q_OBJECT
public:
    explicit TResSearchCommands(TWindowFrameServices &frame, TTabServices &tabs, TSearchViewServices &searchViews,
                                QObject *parent = nullptr);

    // "この文字列でフィルタ": the selected text in every field.
    void actSelectionFilterExecute();
    // The responses of the ID (or, byName, of the name) of the response under the cursor.
    void actSelectResFilterExecute(bool byName);
    // "このレスへのレス": the responses that refer to the response under the cursor.
    void actSelectResReplyExecute();
    // "Holiday(テスト中)": the board-wide search over the current board tab, asked for by the
    // filter dialog.
    void actThreadListFilterHolidayExecute();
    // Checked shows the second browser with the visible responses of the current thread tab,
    // unchecked hides it and lets go of its thread.
    void actShowDoubleWindowExecute();

private:
    TWindowFrameServices &frame;
    TTabServices &tabs;
    TSearchViewServices &searchViews;
};
