#pragma once
// The shortcut bar's contents as the editors hold them: tabs (TTabData) that own their items
// (TShortcutData), read from and written to shortcut.txt in the profile folder.
//
// shortcut.txt (Shift_JIS, CR LF, lines in display order): a line that does not begin with a TAB
// opens a tab ("name TAB colour TAB image file"); a line that begins with a TAB is an item of the
// last tab opened before it ("TAB kind TAB text TAB parameter 1 TAB parameter 2 TAB parameter 3").
// Empty lines are skipped, and so are item lines before the first tab line. The colour is a colour
// name or "$" and eight hexadecimal digits; the image file is relative to the program folder (an
// absolute path is accepted too) and is loaded only when it exists.
//
// Kinds: 0 separator ("-" is read as one too), 1 board (board id, site id), 2 thread (thread key,
// board id, site id), 3 application (program path, "%url" to pass the open thread's URL),
// 4 web page (URL, second argument of the URL opener), 5 board category (category name, site id).

#include "core/Colors.h"

#include <QPixmap>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

enum TShortcutKind : quint8 {
    skSeparator = 0,
    skBoard = 1,
    skThread = 2,
    skApplication = 3,
    skWebPage = 4,
    skCategory = 5,
};

// The name the editors show for a kind ("板", "スレッド", ...); empty for a separator or an unknown
// kind.
QString ShortcutKindName(int kind);

// One item of a tab.
class TShortcutData {
public:
    quint8 Kind = skSeparator;
    QString Text;
    QString Param1;
    QString Param2;
    QString Param3;

    void Assign(const TShortcutData &source) { *this = source; }
    bool IsSeparator() const { return Kind == skSeparator; }
};

// One tab: its name, colour and image, and the items it owns.
class TTabData {
public:
    QString Name;
    TColor Color = clBtnFace;
    QPixmap Bitmap;   // shared with tabs assigned from this one

    QString BitmapFile() const { return bitmapFile; }
    // Stores the name and loads the image (resolved against the program folder) when the file
    // exists. A file that exists but cannot be read as an image reports "指定された画像は利用できません。"
    // and leaves no image; false then.
    bool SetBitmapFile(const QString &fileName);
    // The same without the message (for reading shortcut.txt).
    bool LoadBitmapFile(const QString &fileName);

    TShortcutData *Add();
    TShortcutData *Insert(int index);   // index clamped to 0..count
    void Delete(int index);
    int GetCount() const { return int(items.size()); }
    TShortcutData *GetItem(int index) const { return items[size_t(index)].get(); }
    // Takes the item out of the tab without freeing it (moving items between tabs).
    std::unique_ptr<TShortcutData> Take(int index);
    void Insert(int index, std::unique_ptr<TShortcutData> item);

    // Copies name, image name, colour and image; the items stay.
    void Assign(const TTabData &source);

    // The image file resolved against the program folder ("\" read as "/").
    static QString ResolveImagePath(const QString &fileName);
    // The image file as shortcut.txt keeps it: relative to the program folder.
    static QString RelativeImagePath(const QString &fileName);

private:
    QString bitmapFile;
    std::vector<std::unique_ptr<TShortcutData>> items;
};

using TShortcutBarModel = std::vector<std::unique_ptr<TTabData>>;

// The fields of one line of shortcut.txt.
struct TShortcutLine {
    bool IsTab = false;
    QStringList Fields;   // a tab: name, colour, image; an item: kind, text, parameters 1 to 3
};
// Splits the file's lines as the readers see them: empty lines and item lines before the first tab
// line are dropped; missing fields are empty.
QList<TShortcutLine> ParseShortcutLines(const QStringList &lines);
// The kind of an item's kind field: "-" is a separator; false for a field that is no kind number.
bool ParseShortcutKind(const QString &field, quint8 &kind);

namespace ShortcutData {

// Reads shortcut.txt as tabs and items (a missing file gives none).
TShortcutBarModel LoadShortcutBarModel(const QString &fileName);
// Writes the model to shortcut.txt at once (atomically); raises EFileError on failure.
void SaveShortcutBarModel(const TShortcutBarModel &model, const QString &fileName);
// The profile's shortcut.txt.
QString ShortcutFileName();

}  // namespace ShortcutData
