#include "tools/WebCaptureForm.h"

#include "render/EmbeddedWB.h"

#include <QRegion>
#include <QVBoxLayout>

namespace {

QString PictureElement(const QString &src)
{
    return QStringLiteral("<img src=\"%1\" alt=\"\" width=\"128\" height=\"128\" align=\"left\" border=\"0\">").arg(src.toHtmlEscaped());
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
    QString html = QStringLiteral("<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html;CHARSET=x-sjis\"></HEAD>"
                                  "<BODY BGCOLOR=\"#ffffff\" TOPMARGIN=0 LEFTMARGIN=0 SCROLL=\"NO\">");
    if (mode == 0)
        html += PictureElement(QStringLiteral("http://") + host + QStringLiteral("/small/") + url);
    else if (mode == 1)
        html += PictureElement(url);
    return html + QStringLiteral("</BODY></HTML>");
}

void TWebCaptureForm::ShowThumbnail(int mode, const QString &url)
{
    WebBrowser1->Clear();
    WebBrowser1->Write(ThumbnailHtml(mode, url, ThumbnailHost));
    WebBrowser1->Close();
    show();
}
