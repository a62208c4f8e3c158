#pragma once
// TTavuResWriter: turns responses into HTML through a skin.
//
// A skin is a folder of templates: header, res (a read response), newres (a new response) and
// footer, each "<name>.htm" or "<name>.html" (names matched ignoring case). The templates hold
// tags that the writer fills; a skin writes them in one of three formats:
//   current:  <MESSAGE/>    (also <MESSAGE />)
//   1.0:      <MESSAGE>
//   Katjusha: &MESSAGE
// The same tag words serve all three (docs/formats.md lists them). The format is chosen by the
// skin settings; DetectFormat guesses it from the res template.
//
// Everything that comes from a server goes through ResHtmlFilter (render/ResHtmlFilter.h): bodies
// keep only the tags a board uses, names and dates b and font, titles nothing; every URL written
// into the page is escaped.
//
// Each response starts with an empty anchor "ID<n>" (so a view can scroll to it) and carries a
// check box (class "tavu-check", value n) so a view can collect the checked responses; a skin
// places the box with the CHECKBOX tag, otherwise it goes just before the response number.

#include "render/SkinSettings.h"

#include <QString>
#include <functional>
#include <memory>

class TRes;

class TTavuResWriter {
public:
    enum TSkinFormat { sfCurrent, sfVarnelo10, sfKatjusha };

    // The format of a skin folder judged from its res template (res.htm, else res.html): "&message"
    // anywhere (any case) means Katjusha, else "<message>" means 1.0, else the current format.
    // A skin without a res template counts as current.
    static TSkinFormat DetectFormat(const QString &skinDir);

    // Reads and compiles the skin's templates; a template that is missing or unreadable is
    // replaced by a plain built-in one, so a broken skin still shows every response.
    explicit TTavuResWriter(const TSkinSettings &settings);
    ~TTavuResWriter();
    TTavuResWriter(const TTavuResWriter &) = delete;
    TTavuResWriter &operator=(const TTavuResWriter &) = delete;

    // What the header, footer and response templates may show about the thread.
    struct TThreadInfo {
        QString Title;      // as the server sent it (entities kept, tags shown as text)
        QString BoardName;  // plain text
        QString SiteName;   // plain text
        QString Url;        // the thread's URL
        int ResCount = 0;
        int NewCount = 0;
    };
    void SetThreadInfo(const TThreadInfo &info);

    // Link options of the program's settings (ADDHREFLINK: "ttp://", "ttps://" and "www." become
    // links; ADDEXTRES: a single "＞n" or "≫n" is an anchor too; ADDIDLINK: IDs become links when
    // the skin settings ask for ID popups). ApplyConfig copies them from TavuConfig when it exists.
    bool AddHrefLink = true;
    bool AddExtRes = true;
    bool AddIdLink = true;
    void ApplyConfig();

    // The target of an anchor to the responses first..last. A view that knows the thread's read
    // URL sets it; without it anchors point into the page ("#ID<first>").
    std::function<QString(int first, int last)> AnchorUrl;

    QString RenderHeader() const;
    QString RenderRes(const TRes &res) const;   // ResAnchor, then RenderResTemplate
    static QString ResAnchor(int number);         // the empty anchor "ID<n>"
    QString RenderResTemplate(const TRes &res) const;   // the res or newres template filled
    QString RenderFooter() const;

    // Internal links of rendered pages.
    static QString ResLink(int number);        // "tavu://res/?no=12"
    static QString IdLink(const QString &id);  // "tavu://res/?id=" + the ID, percent-encoded
    static QString BeLink(const QString &be);  // "tavu://res/?be=" + the member number
    // The decoded value after "=" of an internal link; empty for any other URL.
    static QString LinkValue(const QString &url);
    // What the status bar shows for a link: an internal link as what it stands for ("レス 12",
    // "ID:abc", "BE:123"), any other URL as it is.
    static QString LinkStatusText(const QString &url);

private:
    struct Data;
    std::unique_ptr<Data> d;
};
