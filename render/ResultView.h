#pragma once
// IResultView: a place that responses are rendered into — a browser tab, a popup, a preview, or the
// string lists that export a thread as HTML (TTavuHtmlStrings) or as dat lines (TTavuDatStrings).
//
// The main window drives every rendering the same way: BeginView once, then for each response in
// order either HideRes (a rule hid it) or, when TakesRes says yes, AppendRes; last EndView.
// The rules themselves are applied by the caller; a view only decides what it shows and how.

class TRes;
class TResList;
class TTavuAction;

class IResultView {
public:
    virtual ~IResultView() = default;

    // Starts a rendering of the responses of one thread (the list may be null for a view that
    // shows responses of several threads).
    virtual void BeginView(TResList *list) = 0;

    // The response was hidden by a rule; the view may leave a trace of it or ignore it.
    virtual void HideRes(TRes *res, const TTavuAction *rule) = 0;

    // Whether the view wants this response (a view that shows only new or checked responses
    // says no to the others).
    virtual bool TakesRes(const TRes *res) const = 0;

    // Renders one response into the view.
    virtual void AppendRes(TRes *res) = 0;

    // Ends the rendering; true when the view's content changed.
    virtual bool EndView() = 0;
};
