#include "flows/StartArguments.h"

namespace {

bool StartsWithScheme(const QString &argument, QLatin1String scheme)
{
    return argument.startsWith(scheme, Qt::CaseInsensitive);
}

}  // namespace

TStartArguments TStartArguments::Parse(const QStringList &arguments)
{
    return Parse(arguments, false);
}

TStartArguments TStartArguments::ParseHandOver(const QStringList &arguments)
{
    return Parse(arguments, true);
}

TStartArguments TStartArguments::Parse(const QStringList &arguments, bool handedOver)
{
    TStartArguments result;
    for (const QString &argument : arguments) {
        if (StartsWithScheme(argument, QLatin1String("http:")) || StartsWithScheme(argument, QLatin1String("https:")))
            result.Url = argument;
        else if (argument == QLatin1String("-n") || argument == QLatin1String("/n")
                 || (handedOver && argument == QLatin1String("n")))
            result.NoSave = true;
    }
    return result;
}
