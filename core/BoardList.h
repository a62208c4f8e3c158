#pragma once
// TBoardList: the boards of one site in board.dat order; owns them.
// board.dat: line "2", category lines, TAB-led board lines (docs/formats.md, "board.dat").
// Lines that are not boards but are not junk either are kept and written back in place, so a save
// never loses a line the user wrote.

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

class TBBSList;
class TBoard;
class TSite;

class TBoardList {
public:
    TBoardList() = default;
    ~TBoardList();
    TBoardList(const TBoardList &) = delete;
    TBoardList &operator=(const TBoardList &) = delete;

    TSite *Owner = nullptr;   // the site whose boards these are; new lines are read for it

    int Count() const { return boards.size(); }
    TBoard *Get(int index) const { return boards.at(index); }
    int IndexOf(const TBoard *board) const;
    void Add(TBoard *board);                  // takes ownership
    void Insert(int index, TBoard *board);    // takes ownership
    // Inserts after the last board of the board's category, or at the end for a new category;
    // takes ownership.
    void InsertInCategory(TBoard *board);
    void Delete(int index);                   // frees the board
    TBoard *Detach(int index);                // removes without freeing
    void Move(int from, int to);
    void Clear();                             // frees every board

    // The board whose id equals the text exactly; nullptr when none.
    TBoard *FindByID(const QString &id) const;
    // The board whose URL equals the text exactly; nullptr when none.
    TBoard *FindByUrl(const QString &url) const;

    // Replaces the list with the boards of the board.dat at path (a missing file gives an empty
    // list). Each board belongs to Owner; types resolves the type ids. resolve, when given, may
    // adjust each board before it is remembered as read (the favorites' shortcuts use it).
    void LoadBoards(const QString &path, const TBBSList *types,
                    const std::function<void(TBoard &)> &resolve = {});
    // Writes the list as board.dat at path, after copying the old file to board.bak beside it.
    // A list read from a file that could not be read and still without boards is not written: the
    // file stays for repair. Raises EFileError when the file cannot be written.
    void SaveBoards(const QString &path) const;

    // The last load found a file that gave no board and holds lines that are not boards (broken
    // lines, or no format mark): not a board.dat, or a damaged one.
    bool Unreadable() const { return unreadable; }
    // Lines of the last load that could not be read (bytes that are not Shift_JIS, TAB lines
    // without a board id); they are kept and written back.
    int BrokenLines() const { return brokenLines; }

private:
    // A line that is not a board, written back in front of the board that followed it.
    struct KeptLine {
        QByteArray bytes;
        const TBoard *before = nullptr;   // nullptr: at the end
        bool afterCategory = false;       // read after the category line of that board
    };

    QList<TBoard *> boards;
    QList<KeptLine> kept;
    bool unreadable = false;
    int brokenLines = 0;

    void ReadBoardLine(const QString &line, const QString &categoryLine, bool startsCategory,
                       const TBBSList *types, const std::function<void(TBoard &)> &resolve);
    QString BoardLine(const TBoard &board) const;
    void WriteKept(QByteArray &out, const TBoard *before, bool afterCategory) const;
};
