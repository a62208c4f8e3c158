#include "render/ResHtmlFilter.h"
#include <gtest/gtest.h>
#include <QElapsedTimer>
using namespace ResHtmlFilter;
TEST(TmpSpeed, Quadratic)
{
    for (int kb : {16, 64, 256}) {
        QString body = QString(QStringLiteral("<b x=\"")) ; body = body.repeated(kb * 1024 / 6);
        QElapsedTimer t; t.start();
        const QString out = FilterField(body, TLinkOptions(), fkBody);
        printf("%d KB: %lld ms (%lld)\n", kb, (long long)t.elapsed(), (long long)out.size()); fflush(stdout);
        QString body2 = QStringLiteral("<a href=\"http://x/\">").repeated(kb * 1024 / 20);
        t.restart();
        const QString out2 = FilterField(body2, TLinkOptions(), fkBody);
        printf("links %d KB: %lld ms (%lld)\n", kb, (long long)t.elapsed(), (long long)out2.size()); fflush(stdout);
        QString body3 = QStringLiteral("<b>").repeated(kb * 1024 / 3);
        t.restart();
        const QString out3 = FilterField(body3, TLinkOptions(), fkBody);
        printf("bold %d KB: %lld ms (%lld)\n", kb, (long long)t.elapsed(), (long long)out3.size()); fflush(stdout);
    }
}
