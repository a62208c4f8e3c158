#include "tools/WebCaptureForm.h"

#include "render/EmbeddedWB.h"

#include <QRegion>
#include <QVBoxLayout>

namespace {

QString PictureElement(const QString &src)
{
    return QStringLiteral("<img src=\"%1\" alt=\"\" width=\"128\" height=\"128\" align=\"left\" border=\"0\">").arg(src.toHtmlEscaped());
}

QString ServiceUrl(const QString &host, const QString &url)
{
    return QStringLiteral("http://") + host + QStringLiteral("/small/") + url;
}

QString PageHtml(const QString &body)
{
    return QStringLiteral("<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html;CHARSET=x-sjis\"></HEAD>"
                          "<BODY BGCOLOR=\"#ffffff\" TOPMARGIN=0 LEFTMARGIN=0 SCROLL=\"NO\">")
           + body + QStringLiteral("</BODY></HTML>");
}

}  // namespace

TWebCaptureForm::TWebCaptureForm(QWidget *parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint), WebBrowser1(new TEmbeddedWB)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(WebBrowser1);
    setFixedSize(136, 133);
    setMask(QRegion(2, 2, width() - 4, height() - 4));
    connect(WebBrowser1, &TEmbeddedWB::DownloadComplete, this, &QWidget::show);
}

QString TWebCaptureForm::ThumbnailHtml(int mode, const QString &url, const QString &host)
{
    if (mode == 0)
        return PageHtml(PictureElement(ServiceUrl(host, url)));
    if (mode == 1)
        return PageHtml(PictureElement(url));
    return PageHtml(QString());
}

QString TWebCaptureForm::ThumbnailUrl(const QString &url) const
{
    return ServiceUrl(ThumbnailHost, url);
}

// The bytes go into the page as a data address; the type named is only one of the known four.
bool TWebCaptureForm::ShowPicture(const QByteArray &bytes, const QString &contentType)
{
    static const QStringList known = {QStringLiteral("image/gif"), QStringLiteral("image/jpeg"),
                                      QStringLiteral("image/png"), QStringLiteral("image/webp")};
    const QString type = contentType.section(QLatin1Char(';'), 0, 0).trimmed().toLower();
    if (bytes.isEmpty() || !known.contains(type))
        return false;
    ShowPage(PageHtml(PictureElement(QStringLiteral("data:") + type + QStringLiteral(";base64,")
                                     + QString::fromLatin1(bytes.toBase64()))));
    return true;
}

void TWebCaptureForm::ShowThumbnail(int mode, const QString &url)
{
    ShowPage(ThumbnailHtml(mode, url, ThumbnailHost));
}

void TWebCaptureForm::ShowPage(const QString &html)
{
    WebBrowser1->Clear();
    WebBrowser1->Write(html);
    WebBrowser1->Close();
    show();
}
