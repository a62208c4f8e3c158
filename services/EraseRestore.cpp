#include "services/EraseRestore.h"

#include "core/Board.h"
#include "core/DatLine.h"
#include "core/IniFile.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/Site.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"

#include <QDir>

namespace EraseRestore {

namespace {

TThreadItem *ListedItem(const TThreadItemList *listed, const QString &datName)
{
    const int index = listed ? listed->IndexOfDatName(datName) : -1;
    return index < 0 ? nullptr : listed->Get(index);
}

}  // namespace

void StoreEraseMarks(TThreadItem *item, const TResList &list)
{
    TIniFile inf(item->GetInfFile());
    for (int i = 0; i < list.Count(); ++i) {
        if (list.Get(i)->Erased)
            inf.WriteBool(QStringLiteral("ERASE"), QStringLiteral("RES%1").arg(list.Get(i)->Number), true);
    }
    inf.UpdateFile();
}

QList<TRes *> ErasedRes(const TResList &list)
{
    QList<TRes *> erased;
    for (int i = 0; i < list.Count(); ++i) {
        if (list.Get(i)->Erased && !list.Get(i)->Hidden)
            erased << list.Get(i);
    }
    return erased;
}

void RestoreRes(TThreadItem *item, const QList<TRes *> &picked)
{
    TIniFile inf(item->GetInfFile());
    for (TRes *res : picked) {
        res->Erased = false;
        inf.WriteBool(QStringLiteral("ERASE"), QStringLiteral("RES%1").arg(res->Number), false);
    }
    inf.UpdateFile();
    item->OpenInf();
}

QList<TThreadItem *> ErasedThreads(TBoard *board, const TThreadItemList *listed)
{
    QList<TThreadItem *> erased;
    if (!board)
        return erased;
    const QString dir = board->GetLogDir();
    for (const QString &name : QDir(dir).entryList({QStringLiteral("*.inf")}, QDir::Files, QDir::Name)) {
        if (!TIniFile(dir + name).ReadBool(QStringLiteral("LOG"), QStringLiteral("ABONE")))
            continue;
        const QString datName = name.left(name.size() - 4) + QStringLiteral(".dat");
        if (!IsSafeFileName(datName))
            continue;
        TThreadItem *item = ListedItem(listed, datName);
        if (item) {
            item->AddRef();
        } else {
            item = new TThreadItem;
            if (!item->SetLocation(board->Site ? board->Site->SITEID : QString(), board->ID, datName, QString())) {
                item->SetBoard(board);
                item->DatName = datName;
            }
        }
        item->ReloadInfo();
        erased << item;
    }
    return erased;
}

void RestoreThreads(const QList<TThreadItem *> &picked)
{
    for (TThreadItem *item : picked) {
        item->ReloadInfo();
        item->ABONE = false;
        item->SaveInfo();
    }
}

}  // namespace EraseRestore
