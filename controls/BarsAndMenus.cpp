#include "controls/BarsAndMenus.h"

#include "controls/Dialogs.h"
#include "controls/ExtListView.h"
#include "controls/FindBar.h"
#include "controls/MenuBar.h"
#include "controls/TabMenuItem.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/Exceptions.h"
#include "core/IniFile.h"
#include "core/ShortcutText.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/TextList.h"
#include "core/ThreadItem.h"
#include "render/EmbeddedWB.h"

#include <QCoreApplication>
#include <QHash>
#include <QMainWindow>
#include <QMap>
#include <QMenu>
#include <QMutex>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QThread>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QtDebug>
#include <algorithm>

using BarsAndMenus::TCoolBand;

namespace {

const char *const kSwitchedOffProperty = "actionsSwitchedOff";    // on the window
const char *const kEnabledBeforeProperty = "enabledBeforeSwitch"; // on each action
const char *const kFixedEntryProperty = "fixedEntry";             // entries the popup reader adds

const QString kShortcutSection = QStringLiteral("SHORTCUT");

void AppendLogLine(QPlainTextEdit *memo, const QString &text)
{
    memo->appendPlainText(text);
    QScrollBar *bar = memo->verticalScrollBar();
    bar->setValue(bar->maximum());
}

QIcon IconAt(const TImageList &images, int index)
{
    return index >= 0 && index < images.size() ? images[index] : QIcon();
}

// ---- tool-bar bands ----

QString BandKey(int index, const char *suffix)
{
    return QStringLiteral("BAND%1%2").arg(index).arg(QLatin1String(suffix));
}

int IndexOfBand(const QList<TCoolBand> &bands, int id, int from)
{
    for (int i = from; i < bands.size(); ++i)
        if (bands[i].ID == id)
            return i;
    return -1;
}

// The bands in the order of the list, as the window holds them now.
QList<TCoolBand> CurrentBands(QMainWindow *window, const QList<QToolBar *> &bands)
{
    QList<TCoolBand> current;
    for (int id = 0; id < bands.size(); ++id)
        current.append({id, bands[id]->width(), window->toolBarBreak(bands[id]), bands[id]->windowTitle()});
    return current;
}

// The bands in the order they stand on screen (rows top to bottom, left to right in a row).
QList<QToolBar *> BandsOnScreen(const QList<QToolBar *> &bands)
{
    QList<QToolBar *> ordered = bands;
    std::stable_sort(ordered.begin(), ordered.end(), [](const QToolBar *a, const QToolBar *b) {
        return std::pair(a->y(), a->x()) < std::pair(b->y(), b->x());
    });
    return ordered;
}

// ---- bars and menus ----

// The number of a key "<prefix><n>" in its canonical form, or 0.
int EntryNumber(const QString &key, const QString &prefix)
{
    if (!key.startsWith(prefix, Qt::CaseInsensitive))
        return 0;
    const QString digits = key.mid(prefix.size());
    bool ok = false;
    const int n = digits.toInt(&ok);
    return ok && n > 0 && QString::number(n) == digits ? n : 0;
}

void AddFixedEntry(QMenu *menu, QAction *entry)
{
    entry->setProperty(kFixedEntryProperty, true);
    menu->addAction(entry);
}

void RemoveFixedEntries(QMenu *menu)
{
    const QList<QAction *> old = menu->actions();
    for (QAction *action : old) {
        if (action->property(kFixedEntryProperty).toBool()) {
            menu->removeAction(action);
            delete action;
        }
    }
}

// A separator and the entry that opens the option dialog at a page.
void AddOptionEntries(QMenu *menu, int page, const std::function<void(int)> &showOptions)
{
    auto *separator = new QAction(menu);
    separator->setSeparator(true);
    AddFixedEntry(menu, separator);
    auto *option = new QAction(QStringLiteral("設定オプション..."), menu);
    option->setEnabled(bool(showOptions));
    if (showOptions)
        QObject::connect(option, &QAction::triggered, menu, [showOptions, page] { showOptions(page); });
    AddFixedEntry(menu, option);
}

void AddCustomizeEntries(QMenu *menu, const TActionList &actions)
{
    auto *separator = new QAction(menu);
    separator->setSeparator(true);
    AddFixedEntry(menu, separator);
    auto *customize = new QAction(QStringLiteral("カスタマイズ..."), menu);
    QObject::connect(customize, &QAction::triggered, menu, [actions = &actions] {
        if (QAction *action = actions->Action(QStringLiteral("actToolCustomizePopupMenu")))
            action->trigger();
    });
    AddFixedEntry(menu, customize);
}

// ---- thread-list columns ----

struct TColumnRow {
    const char *Key;
    const char *Caption;
    int ImageIndex;
    Qt::Alignment Alignment;
    int Width;   // the designed width, kept while COLUMNSIZE stores none
};

const TColumnRow kColumns[] = {
    {"UPDATE", "", imgUpdate, Qt::AlignLeft, 22},
    {"INFO", "", imgInfo, Qt::AlignLeft, 22},
    {"TITLE", "タイトル", imgNone, Qt::AlignLeft, 320},
    {"AGECOUNT", "カウント", imgNone, Qt::AlignRight, 66},
    {"NEWCOUNT", "新着数", imgNone, Qt::AlignRight, 50},
    {"RESCOUNT", "既得数", imgNone, Qt::AlignRight, 50},
    {"PRIORITY", "", imgPriority, Qt::AlignLeft, 30},
    {"LASTLOAD", "最終取得日", imgNone, Qt::AlignLeft, 150},
    {"LASTSENT", "最終書込日", imgNone, Qt::AlignLeft, 150},
    {"COMMENT", "コメント", imgNone, Qt::AlignLeft, 100},
    {"BOARD", "板", imgNone, Qt::AlignLeft, 90},
    {"BBS", "BBS", imgNone, Qt::AlignLeft, 90},
    {"READPOINT", "", imgReadPoint, Qt::AlignLeft, 22},
    {"READPOINTNO", "読", imgNone, Qt::AlignRight, 40},
    {"THREADNO", "★", imgNone, Qt::AlignRight, 40},
    {"DAT", "DAT", imgNone, Qt::AlignRight, 100},
    {"SINCE", "スレ立て日", imgNone, Qt::AlignLeft, 150},
};

// Columns every column.txt gets when it lacks them, in this order.
const char *const kRequiredColumns[] = {"SINCE", "READPOINT", "THREADNO"};

int BoardImage(const TBoard *board)
{
    switch (board->Kind) {
    case TBoard::KIND_FAVORITES:
        return imgFavoritesFolder;
    case TBoard::KIND_LOCAL:
        return imgLocalFolder;
    default:
        return imgBoard;
    }
}

}  // namespace

namespace BarsAndMenus {

// ---- log pane ----

void AddLog(QPlainTextEdit *memo, const QString &text)
{
    if (!memo)
        return;
    if (QThread::currentThread() != memo->thread()) {
        QMetaObject::invokeMethod(memo, [memo, text] { AppendLogLine(memo, text); }, Qt::QueuedConnection);
        return;
    }
    AppendLogLine(memo, text);
}

// ---- enabling ----

void SetActionsEnabled(QWidget *window, QWidget *menuBar, const QList<QAction *> &actions, bool enabled)
{
    if (!window)
        return;
    // Switching off needs a window that shows. Switching back on must not: a window hidden in the
    // meantime (to the notification area) would otherwise keep every command off for good.
    const bool switchedOff = window->property(kSwitchedOffProperty).toBool();
    if (switchedOff == !enabled || (!enabled && !window->isVisible()))
        return;
    window->setProperty(kSwitchedOffProperty, !enabled);
    if (menuBar)
        menuBar->setEnabled(enabled);
    for (QAction *action : actions) {
        if (enabled) {
            action->setEnabled(action->property(kEnabledBeforeProperty).toBool());
        } else {
            action->setProperty(kEnabledBeforeProperty, action->isEnabled());
            action->setEnabled(false);
        }
    }
}

// ---- key bindings ----

void ApplyShortcutKeys(const TIniFile &ini, const QList<QAction *> &actions)
{
    for (QAction *action : actions) {
        const QString text = ini.ReadString(kShortcutSection, action->objectName());
        const int key = text.isEmpty() ? 0 : ShortcutText::TextToQtKey(text);
        if (key == 0 && !text.isEmpty())
            qWarning().noquote() << "kpw.ini [SHORTCUT]: no such key" << text << "for" << action->objectName();
        action->setShortcut(key ? QKeySequence(key) : QKeySequence());
    }
}

// ---- browser commands ----

void BrowserCommand(TEmbeddedWB *browser, int command)
{
    if (!browser || browser->IsBusy() || !browser->HasDocument())
        return;
    switch (command) {
    case bcFind:
        TFindBar::Of(browser)->Open();
        break;
    case bcViewSource:
        browser->ViewSource();
        break;
    default:
        break;
    }
}

// ---- tool-bar band layout ----

QList<TCoolBand> ReadCoolBarBands(const TIniFile &ini, const QString &section, const QList<TCoolBand> &current)
{
    QList<TCoolBand> bands = current;
    if (!ini.SectionExists(section))
        return bands;
    for (int i = 0; i < bands.size(); ++i) {
        if (ini.ValueExists(section, BandKey(i, "ID"))) {
            // A band already placed (an id stored twice) stays where it is.
            const int from = IndexOfBand(bands, ini.ReadInteger(section, BandKey(i, "ID")), i);
            if (from > i)
                bands.move(from, i);
        }
        bands[i].Break = ini.ReadBool(section, BandKey(i, "BR"), bands[i].Break);
        bands[i].Width = ini.ReadInteger(section, BandKey(i, "WD"), bands[i].Width);
    }
    return bands;
}

void WriteCoolBarBands(TIniFile &ini, const QString &section, const QList<TCoolBand> &bands)
{
    for (int i = 0; i < bands.size(); ++i) {
        ini.WriteInteger(section, BandKey(i, "ID"), bands[i].ID);
        ini.WriteInteger(section, BandKey(i, "WD"), bands[i].Width);
        ini.WriteBool(section, BandKey(i, "BR"), bands[i].Break);
        ini.WriteString(section, BandKey(i, "CAP"), bands[i].Caption);
    }
}

void LoadCoolBarBands(QMainWindow *window, const QList<QToolBar *> &bands, const TIniFile &ini,
                      const QString &section)
{
    if (bands.isEmpty() || !ini.SectionExists(section))
        return;
    const QList<TCoolBand> order = ReadCoolBarBands(ini, section, CurrentBands(window, bands));

    const Qt::ToolBarArea area = window->toolBarArea(bands.first());
    QList<bool> shown;
    for (QToolBar *band : bands) {
        shown.append(!band->isHidden());
        window->removeToolBarBreak(band);
        window->removeToolBar(band);
    }
    for (int i = 0; i < order.size(); ++i) {
        QToolBar *band = bands[order[i].ID];
        if (i > 0 && order[i].Break)
            window->addToolBarBreak(area);
        window->addToolBar(area, band);
        band->setVisible(shown[order[i].ID]);
    }
}

// A hidden band has no place on screen to be read from: it keeps the place stored for it (or, with
// none stored, its place in the list), so that it comes back there when it shows again.
void SaveCoolBarBands(QMainWindow *window, const QList<QToolBar *> &bands, TIniFile &ini,
                      const QString &section)
{
    QList<TCoolBand> layout;
    for (QToolBar *band : BandsOnScreen(bands)) {
        if (band->isVisibleTo(window))
            layout.append({int(bands.indexOf(band)), band->width(), window->toolBarBreak(band), band->windowTitle()});
    }
    const QList<TCoolBand> stored = ReadCoolBarBands(ini, section, CurrentBands(window, bands));
    for (int i = 0; i < stored.size(); ++i) {
        if (!bands[stored[i].ID]->isVisibleTo(window))
            layout.insert(std::min(i, int(layout.size())), stored[i]);
    }
    WriteCoolBarBands(ini, section, layout);
}

// ---- tool bars and popup menus ----

void ClearToolBar(QToolBar *toolBar)
{
    const QList<QAction *> old = toolBar->actions();
    for (QAction *action : old) {
        toolBar->removeAction(action);
        if (action->parent() == toolBar)
            delete action;   // a separator, or the holder of a button the bar was given (frees it)
    }
}

std::optional<QStringList> ReadActionEntries(const TIniFile &ini, const QString &section, const QString &keyPrefix)
{
    if (!ini.SectionExists(section))
        return std::nullopt;
    // Walks the keys that are there rather than counting up to COUNT, so that a wild COUNT costs
    // nothing.
    const int count = ini.ReadInteger(section, QStringLiteral("COUNT"), 0);
    QMap<int, QString> numbered;
    for (const QString &key : ini.ReadSection(section)) {
        const int n = EntryNumber(key, keyPrefix);
        if (n > 0 && n <= count && !numbered.contains(n))
            numbered.insert(n, ini.ReadString(section, key));
    }
    QStringList entries;
    for (const QString &value : std::as_const(numbered))
        if (!value.isEmpty())
            entries.append(value);
    return entries;
}

QStringList DesignedToolBar(const QString &toolBarName)
{
    static const QHash<QString, QStringList> designed = {
        {QStringLiteral("MainActToolBar"),
         {"actShowBoardList2", "actShowThreadList2", "actShowBrowser", "-", "actShowPaneChange", "-"}},
        {QStringLiteral("ThreadListActToolBar"),
         {"actThreadListReload", "actThreadListCancelDownload", "actThreadListNewThread", "-",
          "actThreadListFilter"}},
        {QStringLiteral("BrowserActToolBar"),
         {"actThreadReload", "actThreadCancelDownload", "actThreadWrite", "-", "actThreadFilter"}},
        {QStringLiteral("AppActToolBar"),
         {"act2chLogin", "actOnline", "actSaveMode", "-", "actShowExtThreadList", "actShowVertical", "-"}},
        {QStringLiteral("GaishutuToolBar"), {"actBoardGaishutu"}},
    };
    return designed.value(toolBarName);
}

QStringList DesignedPopupMenu(const QString &menuName)
{
    static const QHash<QString, QStringList> designed = {
        {QStringLiteral("BoardListPopup"),
         {"actBoardFavCheckUpdate", "actBoardFavRound", "-", "actBoardAddFav", "actBoardAddShortcut", "-",
          "actBoardCopyTitleUrl", "actBoardCopyUrl", "actBoardCopyTitle", "-", "actBoardDeleteLog", "-",
          "actBoardAddBoard", "actBoardEditBoard", "actBoardDeleteBoard", "-", "actBoardAllExpand",
          "actBoardAllCollapse", "-", "actBoardProperty"}},
        {QStringLiteral("ThreadListPopup"),
         {"actThreadListClose", "actThreadListCloseAll", "-", "actThreadListReload",
          "actThreadListCancelDownload", "-", "actThreadListFilter", "-", "actThreadListSaveTab",
          "actThreadListLoadTab", "-", "actThreadListLoadNext", "actThreadListLoadAll", "-",
          "actThreadListShowLocal"}},
        {QStringLiteral("ThreadItemPopup"),
         {"actThreadListDownloadThreadNewPage", "-", "actThreadListAddFav", "actThreadListAddShortcut", "-",
          "actThreadListBold", "actThreadListReverse", "actThreadListColor", "-", "actThreadListPriority",
          "actThreadListComment", "-", "actThreadListDeleteLog", "-", "actThreadListCopyTitleUrl",
          "actThreadListCopyUrl", "actThreadListCopyTitle", "-", "actThreadListFilter",
          "actThreadListExtractLink", "-", "actThreadListSetKakoLog", "actThreadListMoveToLocal", "-",
          "actThreadListAbone", "actThreadListQueryAbone", "actThreadListRebone", "-",
          "actThreadListLoadNext", "actThreadListLoadAll", "-", "actThreadListShowLocal", "-",
          "actThreadListProperty"}},
        {QStringLiteral("BrowserPopup"),
         {"actBrowserClose", "actBrowserCloseAll", "-", "actThreadAddFav", "actThreadAddShortcut", "-",
          "actThreadReload", "actThreadRefresh", "-", "actThreadPriority", "actThreadComment", "-",
          "actThreadDeleteLog", "-", "actThreadListFilter", "actThreadExtractLink", "actThreadShowAll", "-",
          "actThreadResAbone", "actThreadQueryAbone", "actThreadRebone", "-", "actThreadCopyTitleUrl",
          "actThreadCopyUrl", "actThreadCopyTitle", "-", "actThreadOpenThreadList", "-",
          "actThreadProperty"}},
        {QStringLiteral("ResPopup"),
         {"actSelectResAbone", "-", "actSelectResReadPoint", "actThreadDeleteReadPoint", "-",
          "actSelectResWrite", "actSelectResWrite2", "-", "actSelectResCopy", "actSelectResCopy2", "-",
          "actSelectResCopyHandle", "actSelectResCopyMail", "actSelectResCopyID", "-",
          "actSelectResReply"}},
    };
    return designed.value(menuName);
}

void FillToolBar(QToolBar *toolBar, const QStringList &entries, const TActionList &actions)
{
    ClearToolBar(toolBar);
    for (const QString &entry : entries) {
        if (entry == QLatin1String("-")) {
            toolBar->addSeparator();
        } else if (QAction *action = actions.Action(entry)) {
            toolBar->addAction(action);
        } else {
            auto *button = new QToolButton;
            button->setEnabled(false);
            toolBar->addWidget(button);
        }
    }
}

void LoadToolBars(const QString &fileName, QToolBar *toolBar, const TActionList &actions)
{
    const TIniFile ini(fileName);
    if (const auto entries = ReadActionEntries(ini, toolBar->objectName(), QStringLiteral("BUTTON")))
        FillToolBar(toolBar, *entries, actions);
}

void FillPopupMenu(QMenu *menu, const QStringList &entries, const TActionList &actions)
{
    menu->clear();
    for (const QString &entry : entries) {
        if (entry == QLatin1String("-"))
            menu->addSeparator();
        else if (QAction *action = actions.Action(entry))
            menu->addAction(action);
    }
}

void LoadPopupMenus(const QString &fileName, QMenu *menu, const TActionList &actions,
                    const std::function<void(int page)> &showOptions)
{
    const TIniFile ini(fileName);
    if (const auto entries = ReadActionEntries(ini, menu->objectName(), QStringLiteral("ITEM")))
        FillPopupMenu(menu, *entries, actions);
    AddPopupMenuFixedEntries(menu, actions, showOptions);
}

void AddPopupMenuFixedEntries(QMenu *menu, const TActionList &actions, const std::function<void(int page)> &showOptions)
{
    RemoveFixedEntries(menu);
    const QString name = menu->objectName();
    if (name == QLatin1String("BoardListPopup"))
        AddOptionEntries(menu, 3, showOptions);
    else if (name == QLatin1String("ThreadItemPopup"))
        AddOptionEntries(menu, 4, showOptions);
    else if (name == QLatin1String("ThreadListPopup") || name == QLatin1String("BrowserPopup"))
        AddCustomizeEntries(menu, actions);
}

// ---- tools menu ----

std::optional<QList<TToolEntry>> ReadToolFile(const QString &fileName)
{
    TTextList file;
    if (!file.LoadFromFile(fileName))
        return std::nullopt;
    QList<TToolEntry> tools;
    for (const QString &line : std::as_const(file.Lines)) {
        if (line.trimmed().isEmpty())
            continue;
        TToolEntry tool;
        if (line == QLatin1String("-")) {
            tool.Separator = true;
        } else {
            const QStringList fields = line.split(QLatin1Char('\t'));
            tool.Title = fields.value(0);
            tool.Program = fields.value(1);
            tool.WorkDir = fields.value(2);
            tool.Arguments = fields.value(3);
            tool.AppendUrl = fields.value(4) == QLatin1String("1");
        }
        tools.append(tool);
    }
    return tools;
}

void LoadToolsMenu(QMenu *toolMenu, const QString &fileName, const std::function<void(TToolMenuItem *)> &launch)
{
    const QList<QAction *> old = toolMenu->actions();
    for (QAction *action : old) {
        if (qobject_cast<TToolMenuItem *>(action)) {
            toolMenu->removeAction(action);
            delete action;
        }
    }
    const auto tools = ReadToolFile(fileName);
    if (!tools)
        return;
    auto *separator = new TToolMenuItem(toolMenu);
    separator->setSeparator(true);
    toolMenu->addAction(separator);
    for (const TToolEntry &tool : *tools) {
        auto *item = new TToolMenuItem(EscapeMenuCaption(tool.Title), toolMenu);
        item->setSeparator(tool.Separator);
        item->Program = tool.Program;
        item->WorkDir = tool.WorkDir;
        item->Arguments = tool.Arguments;
        item->AppendUrl = tool.AppendUrl;
        item->setEnabled(bool(launch));   // an entry that can do nothing says so
        if (launch)
            QObject::connect(item, &QAction::triggered, toolMenu, [launch, item] { launch(item); });
        toolMenu->addAction(item);
    }
}

// ---- thread-list columns ----

TThreadListColumn ThreadListColumnOf(const QString &key)
{
    for (const TColumnRow &row : kColumns)
        if (key.compare(QLatin1String(row.Key), Qt::CaseInsensitive) == 0)
            return {key, QString::fromUtf8(row.Caption), row.ImageIndex, row.Alignment, row.Width};
    return {key, QString(), imgNone, Qt::AlignLeft};
}

QStringList LoadColumnKeys(const QString &fileName)
{
    TTextList file;
    file.LoadFromFile(fileName);
    bool added = false;
    for (const char *key : kRequiredColumns) {
        if (!file.Lines.contains(QLatin1String(key), Qt::CaseInsensitive)) {
            file.Add(QLatin1String(key));
            added = true;
        }
    }
    if (added) {
        try {
            file.SaveToFile(fileName);
        } catch (const EFileError &e) {
            qWarning().noquote() << e.Message;
        }
    }
    return file.Lines;
}

QList<TThreadListColumn> ThreadListColumns(const QStringList &keys)
{
    QList<TThreadListColumn> columns = {{QStringLiteral("NO"), QStringLiteral("NO"), imgNone, Qt::AlignRight, 46}};
    for (const QString &key : keys)
        columns.append(ThreadListColumnOf(key));
    return columns;
}

void LoadThreadListColumns(TqorExtListView *list, const QStringList &keys)
{
    list->ClearColumns();
    for (const TThreadListColumn &column : ThreadListColumns(keys)) {
        const int index = list->AddColumn(column.Caption, column.Width, column.Alignment);
        if (column.ImageIndex != imgNone) {
            TqorExtListColumn format = list->ColumnFormat(index);
            format.ImageIndex = column.ImageIndex;
            list->SetColumnFormat(index, format);
        }
    }
}

// ---- shortcut.txt ----

void RemoveFromShortcutFile(TThreadItem *item, const QString &fileName)
{
    TTextList file;
    if (file.LoadFromFile(fileName)) {
        const QString siteId = item->Site ? item->Site->SITEID : QString();
        bool deleted = false;
        for (int i = file.Count() - 1; i >= 1; --i) {
            // An item line: TAB, kind, text, parameter 1, 2 and 3.
            const QStringList fields = file[i].split(QLatin1Char('\t'));
            if (fields.size() >= 6 && fields[1] == QLatin1String("2") && fields[3] == item->GetKey()
                && fields[4] == item->BoardID && fields[5] == siteId) {
                file.Lines.removeAt(i);
                deleted = true;
            }
        }
        if (deleted)
            file.SaveToFile(fileName);
    }
    item->SHORTCUT = false;
}

void RemoveFromShortcutFile(TThreadItem *item)
{
    RemoveFromShortcutFile(item, TavuConfig->GetProfileDir() + QStringLiteral("shortcut.txt"));
}

// ---- site menus ----

void LoadSiteFunctionMenu(QMenu *menu, const TSite *site, const TActionList &actions,
                          const std::function<void(int page)> &showOptions)
{
    menu->clear();
    bool any = false;
    if (site) {
        for (QAction *action : actions.Actions()) {
            if (TActionList::CategoryOf(action) == site->SITEID) {
                menu->addAction(action);
                any = true;
            }
        }
    }
    menu->menuAction()->setEnabled(any);
    AddOptionEntries(menu, 8, showOptions);
}

void LoadVisitedBoardsMenu(QMenu *menu, const QList<TSite *> &sites, bool byCategory,
                           const TImageList &images, const TImageList &siteImages,
                           const std::function<void(TGaishutuMenuItem *)> &open)
{
    menu->clear();
    for (TSite *site : sites) {
        QMenu *siteMenu = nullptr;
        QHash<QString, QMenu *> categories;
        for (int i = 0; i < site->Boards->Count(); ++i) {
            TBoard *board = site->Boards->Get(i);
            if (!board->Opened)
                continue;
            if (!siteMenu)
                siteMenu = menu->addMenu(IconAt(siteImages, site->ImageIndex), EscapeMenuCaption(site->NAME));
            QMenu *target = siteMenu;
            if (byCategory) {
                QMenu *&category = categories[board->Category];
                if (!category)
                    category = siteMenu->addMenu(IconAt(images, imgCategory), EscapeMenuCaption(board->Category));
                target = category;
            }
            auto *item = new TGaishutuMenuItem(IconAt(images, BoardImage(board)), EscapeMenuCaption(board->Name), target);
            item->Text = board->ID;
            item->Site = site;
            if (open)
                QObject::connect(item, &QAction::triggered, target, [open, item] { open(item); });
            target->addAction(item);
        }
    }
}

// ---- small helpers ----

QString EscapeMenuCaption(const QString &text)
{
    QString escaped = text;
    return escaped.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QString GetLastFolderName(const QString &path)
{
    QString folder = path;
    while (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\')))
        folder.chop(1);
    const qsizetype cut = std::max(folder.lastIndexOf(QLatin1Char('/')), folder.lastIndexOf(QLatin1Char('\\')));
    return folder.mid(cut + 1);
}

}  // namespace BarsAndMenus
