// The picture popup for a 4000 x 3000 JPEG served by a local server, from the request to the shown
// picture, against QImageReader decoding the same bytes at the same scaled size in memory.

#include "RatioReporter.h"

#include "services/PictureLoader.h"
#include "support/ScriptedHttpServer.h"
#include "tools/PicturePopup.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QImageReader>
#include <QLabel>

namespace {

const QSize Fit(1280, 1024);

const QByteArray &Jpeg()
{
    static const QByteArray bytes = [] {
        QImage image(4000, 3000, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                line[x] = qRgb(x * 255 / 4000, y * 255 / 3000, (x ^ y) & 0xFF);
        }
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPG", 90);
        return jpeg;
    }();
    return bytes;
}

void BM_PicturePopup(benchmark::State &state)
{
    ScriptedHttpServer server;
    const QByteArray reply = ScriptedHttpServer::Make(200, Jpeg(), {"Content-Type: image/jpeg"});
    for (auto _ : state) {
        server.Reply(reply);
        TPicturePopup popup;
        popup.Loader->FitSize = Fit;
        QElapsedTimer timer;
        timer.start();
        popup.Loader->Load(server.Url(QStringLiteral("/photo.jpg")));
        while (popup.Image1->pixmap().isNull() && popup.Loader->IsBusy())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::processEvents();
        if (popup.Image1->pixmap().isNull()) {
            state.SkipWithError("the popup shows no picture");
            return;
        }
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
    }
}

void BM_QImageReaderScaled(benchmark::State &state)
{
    const QByteArray bytes = Jpeg();
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        reader.setScaledSize(reader.size().scaled(Fit, Qt::KeepAspectRatio));
        const QImage image = reader.read();
        benchmark::DoNotOptimize(image.constBits());
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
    }
}

BENCHMARK(BM_PicturePopup)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_QImageReaderScaled)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TRatioReporter reporter("BM_PicturePopup", "BM_QImageReaderScaled", 1.5);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
