#include "boards/BoardTypes.h"

#include "boards/2chKakolog.h"
#include "boards/2chScript.h"
#include "boards/DolibScript.h"
#include "boards/FavoritesScript.h"
#include "boards/JbbsScript.h"
#include "boards/LocalScript.h"
#include "boards/MachiBBSScript.h"
#include "boards/MegabbsScript.h"
#include "boards/ReadCgiScript.h"
#include "boards/RssScript.h"
#include "boards/RuroScript.h"
#include "boards/WwwScript.h"
#include "core/TavuEnviron.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>

namespace BoardTypes {

namespace {

template <typename Handler>
Maker MakerOf()
{
    return [](const QString &id, const QString &folder) -> TBBS * { return new Handler(id, folder); };
}

struct Makers {
    QMutex lock;
    QHash<QString, Maker> byId;   // lower-case id

    Makers()
    {
        byId.insert(QStringLiteral("2chscript"), MakerOf<T2chScript>());
        byId.insert(QStringLiteral("dolibscript"), MakerOf<TDolibScript>());
        byId.insert(QStringLiteral("2chkakolog"), MakerOf<T2chKakolog>());
        for (const char *id : {"15chscript", "1_5chscript", "12chscript", "ahhanscript"})
            byId.insert(QString::fromLatin1(id), MakerOf<TReadCgiScript>());
        byId.insert(QStringLiteral("machibbsscript"), MakerOf<TMachiBBSScript>());
        byId.insert(QStringLiteral("shitarabajbbs"), MakerOf<TJbbsScript>());
        byId.insert(QStringLiteral("jbbsscript"), MakerOf<TJbbsScript>());
        byId.insert(QStringLiteral("localscript"), MakerOf<TLocalScript>());
        byId.insert(QStringLiteral("favoritesscript"), MakerOf<TFavoritesScript>());
        byId.insert(QStringLiteral("megabbsscript"), MakerOf<TMegabbsScript>());
        byId.insert(QStringLiteral("wwwscript"), MakerOf<TWwwScript>());
        byId.insert(QStringLiteral("rssscript"), MakerOf<TRssScript>());
    }
};

Makers &All()
{
    static Makers makers;
    return makers;
}

}  // namespace

void AddMaker(const QString &id, Maker maker)
{
    QMutexLocker locker(&All().lock);
    All().byId.insert(id.toLower(), std::move(maker));
}

TBBS *Make(const QString &id, const QString &folder)
{
    Maker maker;
    {
        QMutexLocker locker(&All().lock);
        maker = All().byId.value(id.toLower());
    }
    if (maker)
        return maker(id, folder);
    // A type the user defines reads its server's pages through its board scripts.
    return TTavuEnviron::BuiltinBBSIDs().contains(id, Qt::CaseInsensitive) ? nullptr : new TRuroScript(id, folder);
}

void Install(TTavuEnviron *environ)
{
    environ->SetBBSFactory(&Make);
}

}  // namespace BoardTypes
