#include "tools/ExifView.h"

#include "render/EmbeddedWB.h"
#include "render/ExifInfo.h"
#include "services/EventLog.h"
#include "services/ImageCache.h"

namespace {

QString Line(const QString &label, const QString &value)
{
    return QStringLiteral("<B><FONT COLOR=BLUE>%1</FONT></B> = %2<BR>").arg(label, value.toHtmlEscaped());
}

QString Fixed(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

}  // namespace

QString ExifView::Html(const TExifInfo &exif, const QString &url)
{
    QString page = QStringLiteral("<P><IMG SRC=\"%1\"></P><TT>").arg(url.toHtmlEscaped());
    if (!exif.HasExif())
        return page + QStringLiteral("Exif無し</TT>");
    auto text = [&page](const char *label, const QString &value) {
        if (!value.isEmpty())
            page += Line(QString::fromUtf8(label), value);
    };
    auto number = [&page](const char *label, double value, const QString &shown) {
        if (value != 0)
            page += Line(QString::fromUtf8(label), shown);
    };
    text("説明　　　　　　", exif.Description);
    text("メーカー名　　　", exif.Maker);
    text("機種　　　　　　", exif.Model);
    number("露出時間　　　　", exif.ExposureTime, QString::number(exif.ExposureTime) + QStringLiteral("秒"));
    number("レンズＦ値　　　", exif.FNumber, QStringLiteral("F") + Fixed(exif.FNumber, 1));
    number("露出制御モード　", exif.ExposureProgram, TExifInfo::ExposureProgramText(exif.ExposureProgram));
    number("ISO感度　　　　 ", exif.ISOSpeed, QString::number(exif.ISOSpeed));
    text("Exifバージョン　", exif.ExifVersion);
    text("撮影日時　　　　", exif.DateTaken);
    text("デジタル化日時　", exif.DateDigitized);
    number("シャッタスピード", exif.ShutterSpeed, QStringLiteral("1/") + QString::number(exif.ShutterSpeed) + QStringLiteral("秒"));
    number("レンズ絞り値　　", exif.Aperture, QStringLiteral("F") + Fixed(exif.Aperture, 1));
    number("被写体の明るさ　", exif.Brightness, Fixed(exif.Brightness, 1) + QStringLiteral("EV"));
    number("露光補正量　　　", exif.ExposureBias, Fixed(exif.ExposureBias, 1) + QStringLiteral("EV"));
    number("開放Ｆ値　　　　", exif.MaxAperture, QStringLiteral("F") + Fixed(exif.MaxAperture, 1));
    number("自動露出測光ﾓｰﾄﾞ", exif.MeteringMode, TExifInfo::MeteringModeText(exif.MeteringMode));
    number("光源　　　　　　", exif.LightSource, TExifInfo::LightSourceText(exif.LightSource));
    number("フラッシュ　　　", exif.Flash, TExifInfo::FlashText(exif.Flash));
    number("レンズ焦点距離　", exif.FocalLength, Fixed(exif.FocalLength, 2) + QStringLiteral("(mm)"));
    return page + QStringLiteral("</TT>");
}

TExifDisplay::TExifDisplay(const QString &cacheFolder, TEmbeddedWB *browser)
    : QObject(browser), browser(browser), cache(new TImageCache(cacheFolder, 1, this))
{
    connect(cache, &TImageCache::Ready, this, [this](const QString &ready, const QString &fileName) {
        if (ready != url)
            return;
        TExifInfo exif;
        exif.SetImageFileName(fileName);
        this->browser->Clear();
        this->browser->Write(QStringLiteral("<HTML><BODY>") + ExifView::Html(exif, url) + QStringLiteral("</BODY></HTML>"));
        this->browser->Close();
    });
    connect(cache, &TImageCache::Failed, this, [this](const QString &failed, const QString &message) {
        if (failed == url)
            EventLog::AddLog(message + QStringLiteral(" ") + url);
    });
}

void TExifDisplay::Show(const QString &address)
{
    url = address;
    cache->Request(url);
}
