#include "core/BoardList.h"

#include "core/BBS.h"
#include "core/BBSList.h"
#include "core/Board.h"
#include "core/DatLine.h"
#include "core/FileUtil.h"
#include "core/JConvert.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/Tavutils.h"

#include <QDir>
#include <QFileInfo>

namespace {
const QByteArray FormatMark = QByteArrayLiteral("2");
const QByteArray LineBreak = QByteArrayLiteral("\r\n");
const QChar Tab = QLatin1Char('\t');

// board.dat field numbers (field 0 is the empty text before the first TAB).
enum Field { F_HOSTPATH = 1, F_ID, F_NAME, F_KIND, F_TYPE, F_CHARSET, F_URL, F_LOGFOLDER, F_FIRST_EXTRA };

const char *const KindWords[] = {"", "fav", "local", "www", "rss"};

int KindOfWord(const QString &word)
{
    for (int kind = TBoard::KIND_FAVORITES; kind <= TBoard::KIND_RSS; ++kind) {
        if (word.compare(QLatin1String(KindWords[kind]), Qt::CaseInsensitive) == 0)
            return kind;
    }
    return -1;
}

QString CategoryOf(const QString &categoryLine)
{
    return categoryLine.section(Tab, 0, 0);
}

bool IsBlank(const QString &text)
{
    return text.trimmed().isEmpty();
}

// A log folder as board.dat keeps it: relative to the log root when it lies under it.
QString LogRoot()
{
    return TavuConfig ? TavuConfig->LogDir() : QString();
}

QString AbsoluteLogFolder(QString stored)
{
    stored.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (QDir::isAbsolutePath(stored))
        return FileUtil::WithSlash(stored);
    return FileUtil::WithSlash(LogRoot() + stored);
}

QString StoredLogFolder(const QString &folder)
{
    const QString root = LogRoot();
    if (!root.isEmpty() && folder.startsWith(root))
        return folder.mid(root.size());
    return folder;
}
}  // namespace

TBoardList::~TBoardList()
{
    qDeleteAll(boards);
}

int TBoardList::IndexOf(const TBoard *board) const
{
    return boards.indexOf(const_cast<TBoard *>(board));
}

void TBoardList::Add(TBoard *board)
{
    boards.append(board);
}

void TBoardList::Insert(int index, TBoard *board)
{
    boards.insert(index, board);
}

void TBoardList::InsertInCategory(TBoard *board)
{
    int index = boards.size();
    for (int i = boards.size() - 1; i >= 0; --i) {
        if (boards.at(i)->Category == board->Category) {
            index = i + 1;
            break;
        }
    }
    boards.insert(index, board);
}

TBoard *TBoardList::Detach(int index)
{
    TBoard *board = boards.takeAt(index);
    const TBoard *next = index < boards.size() ? boards.at(index) : nullptr;
    for (KeptLine &line : kept) {
        if (line.before == board)
            line.before = next;
    }
    return board;
}

void TBoardList::Delete(int index)
{
    delete Detach(index);
}

void TBoardList::Move(int from, int to)
{
    boards.move(from, to);
}

void TBoardList::Clear()
{
    for (KeptLine &line : kept)
        line.before = nullptr;
    qDeleteAll(boards);
    boards.clear();
}

TBoard *TBoardList::FindByID(const QString &id) const
{
    for (TBoard *board : boards) {
        if (board->ID == id)
            return board;
    }
    return nullptr;
}

TBoard *TBoardList::FindByUrl(const QString &url) const
{
    for (TBoard *board : boards) {
        if (board->URL == url)
            return board;
    }
    return nullptr;
}

void TBoardList::LoadBoards(const QString &path, const TBBSList *types,
                            const std::function<void(TBoard &)> &resolve)
{
    Clear();
    kept.clear();
    brokenLines = 0;
    QList<QByteArray> lines = SplitLogLines(FileUtil::ReadFile(path));
    const bool marked = !lines.isEmpty() && lines.first() == FormatMark;
    if (marked)
        lines.removeFirst();

    QList<KeptLine> waiting;     // kept lines that wait for the next board
    QString categoryLine;
    QByteArray categoryBytes;
    int categoryWaitIndex = -1;  // where the pending category line stands in waiting; -1: none pending
    for (const QByteArray &bytes : lines) {
        const QString text = jconvert::SjisToUnicode(bytes);
        const bool valid = jconvert::UnicodeToSjis(text) == bytes;
        if (IsBlank(text) || (text.startsWith(Tab) && IsBlank(text.mid(1).remove(Tab))))
            continue;   // junk
        const bool boardLine = valid && text.startsWith(Tab);
        if (boardLine && !IsBlank(text.section(Tab, F_ID, F_ID))) {
            ReadBoardLine(text, categoryLine, categoryWaitIndex >= 0, types, resolve);
            for (KeptLine &line : waiting)
                line.before = boards.last();
            kept += waiting;
            waiting.clear();
            categoryWaitIndex = -1;
        } else if (valid && !text.startsWith(Tab)) {
            if (categoryWaitIndex >= 0) {   // the previous category has no boards: keep its line
                waiting.insert(categoryWaitIndex, {categoryBytes, nullptr, false});
                for (int i = categoryWaitIndex; i < waiting.size(); ++i)
                    waiting[i].afterCategory = false;
            }
            categoryLine = text;
            categoryBytes = bytes;
            categoryWaitIndex = waiting.size();
        } else {
            waiting.append({bytes, nullptr, categoryWaitIndex >= 0});
            ++brokenLines;
        }
    }
    if (categoryWaitIndex >= 0)
        waiting.insert(categoryWaitIndex, {categoryBytes, nullptr, false});
    for (KeptLine &line : waiting) {
        line.before = nullptr;
        line.afterCategory = false;
    }
    kept += waiting;
    unreadable = boards.isEmpty() && !kept.isEmpty() && (brokenLines > 0 || !marked);
}

void TBoardList::ReadBoardLine(const QString &line, const QString &categoryLine, bool startsCategory,
                               const TBBSList *types, const std::function<void(TBoard &)> &resolve)
{
    const QStringList fields = line.split(Tab);
    auto *board = new TBoard;
    board->Site = Owner;
    board->HostPath = fields.value(F_HOSTPATH);
    const QString idField = fields.value(F_ID);
    const int gt = idField.indexOf(QLatin1Char('>'));
    board->BBSName = gt < 0 ? idField : idField.left(gt);
    board->ID = gt < 0 ? idField : idField.mid(gt + 1);
    if (board->ID.isEmpty())
        board->ID = board->BBSName;
    board->Name = fields.value(F_NAME).isEmpty() ? board->ID : fields.value(F_NAME);
    board->Category = CategoryOf(categoryLine);
    const int kind = KindOfWord(fields.value(F_KIND));
    board->Kind = kind >= 0 ? kind : board->DerivedKind();
    board->BBS = types ? types->FindByID(fields.value(F_TYPE)) : nullptr;
    if (!board->BBS && Owner)
        board->BBS = Owner->BBS;
    const QString charset = fields.value(F_CHARSET);
    board->CodePage = !charset.isEmpty() ? Tavutils::NameToCharset(charset) : (Owner ? Owner->CodePage : 0);
    board->URL = !fields.value(F_URL).isEmpty() ? fields.value(F_URL) : board->DerivedUrl();
    if (!fields.value(F_LOGFOLDER).isEmpty())
        board->LogFolder = AbsoluteLogFolder(fields.value(F_LOGFOLDER));
    if (resolve)
        resolve(*board);

    TBoard::Loaded &loaded = board->loaded;
    loaded.valid = true;
    loaded.line = line;
    loaded.categoryLine = categoryLine;
    loaded.startsCategory = startsCategory;
    loaded.previousLine = boards.isEmpty() ? QString() : boards.last()->loaded.line;
    loaded.fields = fields;
    loaded.hostPath = board->HostPath;
    loaded.id = board->ID;
    loaded.bbsName = board->BBSName;
    loaded.name = board->Name;
    loaded.category = board->Category;
    loaded.url = board->URL;
    loaded.logFolder = board->LogFolder;
    loaded.kind = board->Kind;
    loaded.bbs = board->BBS;
    loaded.codePage = board->CodePage;
    boards.append(board);
}

// The board's line: the line as read when nothing in it changed; else every field that did not
// change as read and every changed one in its canonical form (empty when it equals the derived value).
QString TBoardList::BoardLine(const TBoard &board) const
{
    const TBoard::Loaded &was = board.loaded;
    const bool sameId = was.valid && board.ID == was.id && board.BBSName == was.bbsName;
    const bool sameKind = was.valid && board.Kind == was.kind;
    const bool sameType = was.valid && board.BBS == was.bbs;
    const bool sameCodePage = was.valid && board.CodePage == was.codePage;
    const bool sameUrl = was.valid && board.URL == was.url;
    const bool sameLogFolder = was.valid && board.LogFolder == was.logFolder;
    const bool sameName = was.valid && board.Name == was.name;
    if (sameId && sameKind && sameType && sameCodePage && sameUrl && sameLogFolder && sameName
        && board.HostPath == was.hostPath)
        return was.line;

    const TBBS *siteType = board.Site ? board.Site->BBS : nullptr;
    const int siteCodePage = board.Site ? board.Site->CodePage : 0;
    auto keep = [&](int field, bool same, const QString &canonical) {
        return same ? was.fields.value(field) : canonical;
    };
    QStringList fields;
    fields << QString() << board.HostPath;
    fields << keep(F_ID, sameId, board.BBSName.isEmpty() || board.BBSName == board.ID
                                     ? board.ID : board.BBSName + QLatin1Char('>') + board.ID);
    fields << keep(F_NAME, sameName, board.Name);
    fields << keep(F_KIND, sameKind, board.Kind == board.DerivedKind() ? QString() : QLatin1String(KindWords[board.Kind]));
    fields << keep(F_TYPE, sameType, board.BBS == siteType || !board.BBS ? QString() : board.BBS->ID);
    fields << keep(F_CHARSET, sameCodePage,
                   board.CodePage == siteCodePage ? QString() : Tavutils::CharsetToName(board.CodePage));
    fields << keep(F_URL, sameUrl, board.URL == board.DerivedUrl() ? QString() : board.URL);
    fields << keep(F_LOGFOLDER, sameLogFolder, StoredLogFolder(board.LogFolder));
    fields += was.fields.mid(F_FIRST_EXTRA);
    while (fields.size() > F_NAME + 1 && fields.last().isEmpty())
        fields.removeLast();
    return fields.join(Tab);
}

void TBoardList::WriteKept(QByteArray &out, const TBoard *before, bool afterCategory) const
{
    for (const KeptLine &line : kept) {
        if (line.before == before && line.afterCategory == afterCategory)
            out += line.bytes + LineBreak;
    }
}

void TBoardList::SaveBoards(const QString &path) const
{
    if (unreadable && boards.isEmpty())
        return;   // nothing read, nothing added: the file stays as it is for repair
    QByteArray out = FormatMark + LineBreak;
    bool first = true;
    QString previousCategory;
    QString previousLine;
    for (const TBoard *board : boards) {
        const TBoard::Loaded &was = board->loaded;
        // A category line that the file repeated stays, as long as the board still follows the
        // board it followed: a board moved within its category starts no second one.
        const bool repeatsLine = was.valid && was.startsCategory && board->Category == was.category
                                 && previousLine == was.previousLine;
        const bool changes = first ? !board->Category.isEmpty() : board->Category != previousCategory;
        WriteKept(out, board, false);
        if (changes || repeatsLine) {
            const bool sameCategory = was.valid && CategoryOf(was.categoryLine) == board->Category;
            out += jconvert::UnicodeToSjis(sameCategory ? was.categoryLine : board->Category) + LineBreak;
        }
        WriteKept(out, board, true);
        out += jconvert::UnicodeToSjis(BoardLine(*board)) + LineBreak;
        previousCategory = board->Category;
        previousLine = board->loaded.valid ? board->loaded.line : QString();
        first = false;
    }
    WriteKept(out, nullptr, false);
    WriteKept(out, nullptr, true);

    const QFileInfo info(path);
    FileUtil::MakeBackup(path, info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(".bak"));
    FileUtil::WriteFileAtomic(path, out);
}
