#include "controls/UserFiles.h"

#include "controls/BarsAndMenus.h"
#include "controls/Dialogs.h"
#include "controls/TabButton.h"
#include "controls/TabMenuItem.h"
#include "core/Board.h"
#include "core/DataRoot.h"
#include "core/Exceptions.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/JConvert.h"
#include "core/SaveQueue.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuConfig.h"
#include "core/TextList.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "render/TavuListDoc.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QSet>
#include <QToolBar>

namespace {

const QString kTimeFormat = QStringLiteral("yyyy/MM/dd hh:mm:ss");
const int kUrlLogLimit = 20;
const int kItemsBetweenPumps = 30;

// The search entry whose old default is replaced by the current one.
const QString kGoogleSearch = QStringLiteral("Google検索");
const QString kOldGoogleSearchUrl =
    QStringLiteral("http://www.google.co.jp/search?q=%s&hl=ja&btnG=Google+%8C%9F%8D%F5&lr=lang_ja");
const QString kNewGoogleSearchUrl = QStringLiteral("http://www.google.com/search?num=100&hl=ja&ie=EUC-JP&q=%s ");

std::function<void()> &HistoryReload()
{
    static std::function<void()> reload;
    return reload;
}

// A field of a one-line record: TAB and line breaks become blanks.
QString RecordField(QString text)
{
    for (QChar &ch : text)
        if (ch == QLatin1Char('\t') || ch == QLatin1Char('\r') || ch == QLatin1Char('\n'))
            ch = QLatin1Char(' ');
    return text;
}

QString SiteIdOf(const TThreadItem *item)
{
    return item->Site ? item->Site->SITEID : QString();
}

// What names a thread in fields 1 to 3 of a TAB-separated line.
QStringList ThreadFields(const TThreadItem *item)
{
    return {SiteIdOf(item), item->BoardID, item->GetKey()};
}

// True when fields 1 to 3 of a TAB-separated line are the thread's.
bool NamesThread(const QString &line, const QStringList &thread)
{
    return line.split(QLatin1Char('\t')).mid(0, 3) == thread;
}

bool NamesThread(const QString &line, const TThreadItem *item)
{
    return NamesThread(line, ThreadFields(item));
}

// Puts the line at the top of the history file, after removing the thread's older lines when asked.
// Touches nothing but the file: it also runs on the save queue's thread. Returns the failure's
// message, empty when the file was written.
QString WriteHistoryLine(const QString &fileName, const QString &line, const QStringList &thread,
                         bool removeDuplicates)
{
    TTextList history;
    history.LoadFromFile(fileName);
    if (removeDuplicates)
        history.Lines.removeIf([&thread](const QString &old) { return NamesThread(old, thread); });
    history.Lines.prepend(line);
    try {
        history.SaveToFile(fileName);
    } catch (const EFileError &e) {
        return e.Message;
    }
    return {};
}

void ReloadHistory()
{
    if (TavuConfig && TavuConfig->HISTRELOAD && HistoryReload())
        HistoryReload()();
}

void SaveList(const TTextList &list, const QString &fileName)
{
    try {
        list.SaveToFile(fileName);
    } catch (const EFileError &e) {
        EventLog::AddLog(e.Message);
    }
}

QString ProfileFile(const QString &name)
{
    return TavuConfig->GetProfileDir() + name;
}

// ---- seeding ----

void CopyTreeIfMissing(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        DataRoot::CopyIfMissing(source, to + QDir(from).relativeFilePath(source));
    }
}

void CopyWavesIfMissing(const QString &from, const QString &to)
{
    const QDir dir(from);
    for (const QString &name : dir.entryList({QStringLiteral("*.wav")}, QDir::Files))
        DataRoot::CopyIfMissing(dir.filePath(name), to + name);
}

void MigrateSearchFile(const QString &fileName)
{
    TTextList search;
    if (!search.LoadFromFile(fileName) || search.Value(kGoogleSearch) != kOldGoogleSearchUrl)
        return;
    search.SetValue(kGoogleSearch, kNewGoogleSearchUrl);
    SaveList(search, fileName);
}

// ---- thread logs ----

// The first line of a dat file, empty when the file is empty or unreadable.
QString FirstDatLine(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QByteArray line = file.readLine();
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return jconvert::SjisToUnicode(line);
}

QString DatTitle(const QString &firstLine)
{
    return firstLine.split(QStringLiteral("<>")).value(4);
}

int DatLineCount(const QString &path)
{
    const QByteArray bytes = FileUtil::ReadFile(path);
    if (bytes.isEmpty())
        return 0;
    return int(bytes.count('\n')) + (bytes.endsWith('\n') ? 0 : 1);
}

TThreadItem *NewListedItem(const TTavuListDoc *doc, const QString &key, const QString &title)
{
    auto *item = new TThreadItem;
    item->SetLocation(doc->Site ? doc->Site->SITEID : QString(), doc->BoardID, key, title);
    return item;
}

// Hands the item to the tab, which keeps its own reference.
void AddToTab(TTavuListDoc *doc, TThreadItem *item)
{
    doc->AddItem(item);
    item->Release();
}

}  // namespace

namespace UserFiles {

// ---- seeding ----

void PrepareUserFiles(const QString &profileDir, const QString &defDir)
{
    const QString p = FileUtil::WithSlash(profileDir);
    const QString d = FileUtil::WithSlash(defDir);
    FileUtil::ForceDirectories(p);
    for (const char *name :
         {"shortcut.txt", "toolbar.ini", "aalist.txt", "search.txt", "column.txt", "popup.ini", "bbs.txt"}) {
        const QString file = QLatin1String(name);
        if (QFileInfo::exists(d + file))
            DataRoot::CopyIfMissing(d + file, p + file);
    }
    if (!QFileInfo::exists(p + QStringLiteral("skin/"))) {
        FileUtil::ForceDirectories(p + QStringLiteral("skin/"));
        CopyTreeIfMissing(d + QStringLiteral("skin/"), p + QStringLiteral("skin/"));
    }
    FileUtil::ForceDirectories(p + QStringLiteral("skin/module/"));
    if (!QFileInfo::exists(p + QStringLiteral("newres.wav")))
        CopyWavesIfMissing(d + QStringLiteral("sound/"), p);
    MigrateSearchFile(p + QStringLiteral("search.txt"));
}

void PrepareUserFiles()
{
    PrepareUserFiles(TavuConfig->GetProfileDir(), TTavuConfig::AppDir() + QStringLiteral("def/"));
}

// ---- histories ----

QString HistoryLine(const TThreadItem *item, const QDateTime &when)
{
    return QStringList{RecordField(SiteIdOf(item)), RecordField(item->BoardID), RecordField(item->GetKey()),
                       RecordField(item->TITLE), when.toString(kTimeFormat)}
        .join(QLatin1Char('\t'));
}

void AddHistoryLine(TThreadItem *item, const QString &fileName, bool removeDuplicates, bool enabled)
{
    if (!enabled || !item)
        return;
    const QString failure = WriteHistoryLine(fileName, HistoryLine(item, QDateTime::currentDateTime()),
                                             ThreadFields(item), removeDuplicates);
    if (!failure.isEmpty())
        EventLog::AddLog(failure);
    ReloadHistory();
}

void QueueHistoryLine(TThreadItem *item, const QString &fileName, bool removeDuplicates, bool enabled)
{
    if (!enabled || !item)
        return;
    const QString line = HistoryLine(item, QDateTime::currentDateTime());
    const QStringList thread = ThreadFields(item);
    TSaveQueue::Instance().Push(
        {fileName}, [=] { return WriteHistoryLine(fileName, line, thread, removeDuplicates); },
        [](const QString &failure) {
            if (!failure.isEmpty())
                EventLog::AddLog(failure);
            ReloadHistory();
        });
}

void SetHistoryReload(std::function<void()> reload)
{
    HistoryReload() = std::move(reload);
}

void AddUrlLog(QStringList &list, const QString &url)
{
    const QString entry = RecordField(url).trimmed();
    if (!TavuConfig || !TavuConfig->SAVEHIST || entry.isEmpty())
        return;
    list.removeAll(entry);
    list.prepend(entry);
    while (list.size() > kUrlLogLimit)
        list.removeLast();
    // Saved behind the opening of the URL: the reader need not wait for the disk.
    const QString path = ProfileFile(QStringLiteral("urllog.txt"));
    TSaveQueue::Instance().Push({path}, [lines = list, path] {
        try {
            TTextList(lines).SaveToFile(path);
        } catch (const EFileError &e) {
            return e.Message;
        }
        return QString();
    }, [](const QString &failure) {
        if (!failure.isEmpty())
            EventLog::AddLog(failure);
    });
}

void AddUrlLog(QComboBox *addressBox, const QString &url)
{
    QStringList list;
    for (int i = 0; i < addressBox->count(); ++i)
        list.append(addressBox->itemText(i));
    AddUrlLog(list, url);
    const QString text = addressBox->currentText();
    addressBox->clear();
    addressBox->addItems(list);
    addressBox->setCurrentText(text);
}

// ---- web-search menu ----

QList<TSearchEntry> ReadSearchFile(const QString &fileName)
{
    TTextList file;
    file.LoadFromFile(fileName);
    QList<TSearchEntry> entries;
    for (const QString &line : std::as_const(file.Lines)) {
        if (line == QLatin1String("-"))
            entries.append({true, QString(), QString()});
        else if (line.contains(QLatin1Char('=')))
            entries.append({false, TTextList::NameOf(line), TTextList::ValueOf(line)});
    }
    return entries;
}

void LoadSearchMenu(QMenu *menu, const QString &fileName, const TActionList &actions,
                    const std::function<void(TSearchEngineMenuItem *)> &search)
{
    const QList<TSearchEntry> entries = ReadSearchFile(fileName);
    menu->clear();
    for (const char *name : {"actSelectionCopy", "actSelectionFilter"})
        if (QAction *action = actions.Action(QLatin1String(name)))
            menu->addAction(action);
    menu->addSeparator();
    for (const TSearchEntry &entry : entries) {
        if (entry.Separator) {
            menu->addSeparator();
            continue;
        }
        auto *item = new TSearchEngineMenuItem(BarsAndMenus::EscapeMenuCaption(entry.Name), menu);
        item->SearchUrl = entry.Url;
        item->setEnabled(bool(search));   // an entry that can do nothing says so
        if (search)
            QObject::connect(item, &QAction::triggered, menu, [search, item] { search(item); });
        menu->addAction(item);
    }
}

jconvert::Code SearchTextCode(const QString &urlTemplate)
{
    static const QStringList keys = {QStringLiteral("ie"), QStringLiteral("ei"), QStringLiteral("enc"),
                                     QStringLiteral("encoding"), QStringLiteral("charset"),
                                     QStringLiteral("inputencoding")};
    const qsizetype query = urlTemplate.indexOf(QLatin1Char('?'));
    const QStringList pairs = query < 0 ? QStringList() : urlTemplate.mid(query + 1).split(QLatin1Char('&'));
    for (const QString &pair : pairs) {
        const qsizetype equals = pair.indexOf(QLatin1Char('='));
        if (equals < 0 || !keys.contains(pair.left(equals).trimmed().toLower()))
            continue;
        QString name = pair.mid(equals + 1).trimmed().toLower();
        name.remove(QLatin1Char('-')).remove(QLatin1Char('_'));
        if (name == QLatin1String("eucjp") || name == QLatin1String("euc") || name == QLatin1String("xeucjp"))
            return jconvert::EUC;
        if (name == QLatin1String("shiftjis") || name == QLatin1String("sjis") || name == QLatin1String("xsjis")
            || name == QLatin1String("cp932") || name == QLatin1String("windows31j"))
            return jconvert::SJIS;
        if (name == QLatin1String("iso2022jp") || name == QLatin1String("jis"))
            return jconvert::JIS;
    }
    return jconvert::UTF8;
}

QString SearchUrl(const QString &urlTemplate, const QString &text)
{
    const jconvert::Code code = SearchTextCode(urlTemplate);
    const QByteArray bytes = code == jconvert::UTF8 ? text.toUtf8() : jconvert::Encode(text, code);
    QString url = urlTemplate;
    return url.replace(QStringLiteral("%s"), QString::fromLatin1(bytes.toPercentEncoding()));
}

// ---- board-type bar ----

QList<TBBSBarEntry> ReadBBSBar(const QString &fileName, const TSiteList &sites)
{
    TTextList file;
    file.LoadFromFile(fileName);
    QList<TBBSBarEntry> entries;
    for (const QString &line : std::as_const(file.Lines)) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (TSite *site = sites.FindBySiteID(fields[0]))
            entries.append({site, fields.value(1)});
    }
    return entries;
}

void LoadBBSBar(QToolBar *toolBar, const QString &fileName, const TSiteList &sites,
                const TImageList &siteImages, const std::function<void(TSite *)> &select)
{
    BarsAndMenus::ClearToolBar(toolBar);
    if (!TavuConfig->SHOWBBSTOOLBAR) {
        toolBar->hide();
        return;
    }
    toolBar->show();
    const bool withImages = TavuConfig->BBSTOOLBARSHOWIMAGE;
    const QList<TBBSBarEntry> entries = ReadBBSBar(fileName, sites);
    if (entries.isEmpty()) {
        // An empty bar says where its buttons come from.
        auto *hint = new QLabel(QStringLiteral("BBSのボタンは ファイル →「BBSの表示順の変更」の「BBSツールバー」で選べます"));
        hint->setEnabled(false);
        hint->setContentsMargins(6, 0, 6, 0);
        toolBar->addWidget(hint);
        return;
    }
    for (const TBBSBarEntry &entry : entries) {
        auto *button = new TBBSToolButton;
        button->setText(entry.Caption);
        button->setToolTip(entry.Site->NAME);
        button->Site = entry.Site;
        const int image = entry.Site->ImageIndex;
        if (withImages && image >= 0 && image < siteImages.size()) {
            button->setIcon(siteImages[image]);
            button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        }
        if (select)
            QObject::connect(button, &QToolButton::clicked, toolBar, [select, button] { select(button->Site); });
        toolBar->addWidget(button);
        toolBar->addSeparator();
    }
}

// ---- thread logs ----

void DeleteThreadLog(TThreadItem *item)
{
    if (!item->FAVORITE) {
        item->DeleteLog();
        return;
    }
    const bool leaveFavorites = !TavuConfig->PRMPTDELETEFAV
        || Dialogs::AskYesNo(QStringLiteral("お気に入りから削除しますか？\r\n") + item->ShownTitle());
    if (leaveFavorites) {
        RemoveFromFavoriteFiles(item);
        item->DeleteLog();
    } else {
        item->DeleteLog();
        item->FAVORITE = true;
        item->SaveInfo();
    }
}

void ListLocalLogs(TTavuListDoc *doc, const QString &folder)
{
    const TBoard *board = doc->GetBoard();
    const QString boardDir = board ? board->GetLogDir() : QString();
    const QString dir = folder.isEmpty() ? boardDir : FileUtil::WithSlash(folder);
    if (dir.isEmpty())
        return;
    TTextList subject;
    subject.LoadFromFile(dir + QStringLiteral("subject.dat"));
    int number = 0;
    for (const QString &name : TThreadItem::LogFilesIn(dir)) {
        const QString firstLine = FirstDatLine(dir + name);
        if (firstLine.isEmpty())
            continue;
        const QString key = name.left(name.size() - 4);
        TThreadItem *item = NewListedItem(doc, key, DatTitle(firstLine));
        if (dir != boardDir)
            item->SetLogFile(dir + name);
        if (!item->KAKOLOG && subject.Value(key).isEmpty())
            item->SetKakolog(true);
        item->Number = ++number;
        AddToTab(doc, item);
        if (number % kItemsBetweenPumps == 0)
            QCoreApplication::processEvents();
    }
}

void AddFallenThreads(TTavuListDoc *doc)
{
    const TBoard *board = doc->GetBoard();
    if (!board)
        return;
    const QString dir = board->GetLogDir();
    EventLog::AddLog(QStringLiteral("　▽DAT落ちしたスレッドを取得開始 :") + dir);
    QSet<QString> listed;
    for (int i = 0; i < doc->Items()->Count(); ++i)
        listed.insert(doc->Items()->DatNameAt(i).toLower());
    int added = 0;
    for (const QString &name : TThreadItem::LogFilesIn(dir)) {
        if (listed.contains(name.toLower()))
            continue;
        const QString key = name.section(QLatin1Char('.'), 0, 0);
        const QString infPath = dir + key + QStringLiteral(".inf");
        const bool hasInf = QFileInfo::exists(infPath);
        QString title;
        int count = 0;
        if (hasInf) {
            const TIniFile inf(infPath);
            title = inf.ReadString(QStringLiteral("LOG"), QStringLiteral("TITLE"));
            count = inf.ReadInteger(QStringLiteral("LOG"), QStringLiteral("COUNT"));
        } else {
            title = DatTitle(FirstDatLine(dir + name));
            count = DatLineCount(dir + name);
        }
        TThreadItem *item = NewListedItem(doc, key, title);
        item->COUNT = count;
        item->SetLogFile(dir + name);
        if (hasInf)
            item->LoadInfo();
        item->SetKakolog(true);
        AddToTab(doc, item);
        ++added;
    }
    EventLog::AddLog(QStringLiteral("　△DAT落ちしたスレッドを取得完了 (%1 件)").arg(added));
}

bool IsToday(const QString &text, const QDate &today)
{
    QList<int> parts;   // year, month, day
    QString run;
    for (const QChar ch : text) {
        if (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) {
            run.append(ch);
            continue;
        }
        if (!run.isEmpty()) {
            parts.append(run.toInt());
            run.clear();
            if (parts.size() == 3)
                break;
        }
    }
    if (parts.size() < 3)
        return false;
    int year = parts[0];
    if (year < 100)
        year += year >= 90 ? 1900 : 2000;
    return year == today.year() && parts[1] == today.month() && parts[2] == today.day();
}

// ---- favorites and bookmarks ----

void RemoveFromFavoriteFiles(TThreadItem *item)
{
    const QDir dir(TavuConfig->GetProfileDir() + QStringLiteral("config/site/favorites/"));
    for (const QString &name : dir.entryList({QStringLiteral("fav*.txt")}, QDir::Files)) {
        TTextList file;
        file.LoadFromFile(dir.filePath(name));
        bool deleted = false;
        for (int i = file.Count() - 1; i >= 1; --i) {   // line 1 is the folder's name
            if (NamesThread(file[i], item)) {
                file.Lines.removeAt(i);
                deleted = true;
            }
        }
        if (deleted)
            SaveList(file, dir.filePath(name));
    }
    item->FAVORITE = false;
}

void RemoveBookmarkEntry(TThreadItem *item, TTextList &index, const QString &fileName)
{
    if (item->Bookmarks.Count() > 0)
        return;
    const QString path = SiteIdOf(item) + QLatin1Char('/') + item->BoardID + QLatin1Char('/') + item->GetKey();
    for (int i = index.Count() - 1; i >= 0; --i)
        if (TTextList::NameOf(index[i]) == path)
            index.Lines.removeAt(i);
    SaveList(index, fileName);
}

}  // namespace UserFiles
