#include "controls/MenuAccessKeys.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QSet>

#include <memory>
#include <utility>

namespace MenuAccessKeys {

namespace {

// The index of the "&" that marks the access key; -1 when there is none.
qsizetype AccessMarkOf(const QString &caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&'))
            continue;
        if (caption[i + 1] != QLatin1Char('&'))
            return i;
        ++i;   // "&&": a plain ampersand
    }
    return -1;
}

bool IsKeyCharacter(QChar c)
{
    return c.unicode() < 0x80 && c.isLetterOrNumber();
}

// The keys a caption could take, best first.
QString CandidateKeys(const QString &caption)
{
    QString keys;
    for (const QChar c : caption) {
        if (IsKeyCharacter(c))
            keys += c.toUpper();
    }
    return keys + QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
}

QString WithKey(const QString &caption, qsizetype mark, QChar key)
{
    const QString dots = QStringLiteral("...");
    const auto withSuffix = [&dots, key](QString text) {
        const qsizetype end = text.endsWith(dots) ? text.size() - dots.size() : text.size();
        return text.insert(end, QStringLiteral("(&%1)").arg(key));
    };
    if (mark < 0)
        return withSuffix(caption);
    // Japanese style: "名前(&R)..." becomes "名前(&Q)...".
    if (mark > 0 && caption[mark - 1] == QLatin1Char('(') && mark + 2 < caption.size()
        && caption[mark + 2] == QLatin1Char(')')) {
        QString text = caption;
        text[mark + 1] = key;
        return text;
    }
    QString text = caption;
    text.remove(mark, 1);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].toUpper() == key && (i == 0 || text[i - 1] != QLatin1Char('&')))
            return text.insert(i, QLatin1Char('&'));
    }
    return withSuffix(text);
}

// The caption with a key that no caption uses yet (which is then used); without its key when every
// key is taken.
QString WithNewKey(const QString &caption, QSet<QChar> &used)
{
    const qsizetype mark = AccessMarkOf(caption);
    for (const QChar candidate : CandidateKeys(caption)) {
        if (!used.contains(candidate)) {
            used.insert(candidate);
            return WithKey(caption, mark, candidate);
        }
    }
    return mark < 0 ? caption : QString(caption).remove(mark, 1);
}

// The captions an open menu shows instead of its items' own ones, and those own ones.
struct TShownCaption {
    QPointer<QAction> Item;
    QString Own;
    QString Shown;
};

}  // namespace

QChar AccessKeyOf(const QString &caption)
{
    const qsizetype mark = AccessMarkOf(caption);
    return mark < 0 ? QChar() : caption[mark + 1].toUpper();
}

QStringList UniqueAccessKeys(const QStringList &captions, TKeyless keyless)
{
    // A key moves only to one that no caption of the menu uses.
    QSet<QChar> used;
    for (const QString &caption : captions) {
        if (const QChar key = AccessKeyOf(caption); !key.isNull())
            used.insert(key);
    }
    QSet<QChar> taken;
    QStringList result;
    for (const QString &caption : captions) {
        const QChar key = AccessKeyOf(caption);
        const bool keeps = key.isNull() ? keyless == TKeyless::Keep : !taken.contains(key);
        if (keeps) {
            taken.insert(key);
            result.append(caption);
        } else {
            result.append(WithNewKey(caption, used));
        }
    }
    return result;
}

void KeepAccessKeysUnique(QMenu *menu, TKeyless keyless)
{
    auto shown = std::make_shared<QList<TShownCaption>>();
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, shown, keyless] {
        QList<QAction *> items;
        QStringList captions;
        for (QAction *item : menu->actions()) {
            if (item->isVisible() && !item->isSeparator()) {
                items.append(item);
                captions.append(item->text());
            }
        }
        const QStringList unique = UniqueAccessKeys(captions, keyless);
        shown->clear();
        for (qsizetype i = 0; i < items.size(); ++i) {
            if (unique[i] == captions[i])
                continue;
            shown->append({items[i], captions[i], unique[i]});
            items[i]->setText(unique[i]);
        }
    });
    QObject::connect(menu, &QMenu::aboutToHide, menu, [shown] {
        for (const TShownCaption &caption : std::as_const(*shown)) {
            if (caption.Item && caption.Item->text() == caption.Shown)
                caption.Item->setText(caption.Own);
        }
        shown->clear();
    });
}

}  // namespace MenuAccessKeys
