// HTML rendering of a 1000-response thread through the default skin: responses per second.
// Loading a stored listing of 30,000 threads into a thread-list document, without thread rules and
// with a rule that erases half of them (the last line gives the second over the first).
// The server-HTML filter over N opening tags followed by N closing tags that match none, against the
// floor of N matched pairs of the same length (a quadratic search would grow a hundredfold from 10,000
// to 100,000; the ratio stays flat).
// Run by hand: bench_render_bench

#include "RatioReporter.h"
#include "core/FileUtil.h"
#include "core/JConvert.h"
#include "core/Res.h"
#include "core/TavuAction.h"
#include "core/TavuActionList.h"
#include "core/ThreadItemList.h"
#include "core/ThreadTestEnv.h"
#include "render/ResHtmlFilter.h"
#include "render/TavuListDoc.h"
#include "render/TavuResWriter.h"

#include <benchmark/benchmark.h>

#include <QFileInfo>
#include <memory>
#include <vector>

namespace {

// A thread whose responses mix what boards send: anchors, links, ASCII art, names with trips.
std::vector<std::unique_ptr<TRes>> MakeThread(int count)
{
    std::vector<std::unique_ptr<TRes>> thread;
    for (int n = 1; n <= count; ++n) {
        auto res = std::make_unique<TRes>();
        res->Number = n;
        res->Name = n % 7 == 0 ? QStringLiteral("名無し </b>◆Trip%1 <b>").arg(n) : QStringLiteral("名無しさん");
        res->SetMail(n % 3 == 0 ? QStringLiteral("sage") : QString());
        res->SetDate(QStringLiteral("2004/01/01(木) 12:%1:00 ID:id%2xyz").arg(n % 60).arg(n % 50));
        QString body = QStringLiteral("<a href=\"../test/read.cgi/news/1/%1\" target=\"_blank\">&gt;&gt;%1</a><br>")
                           .arg(qMax(1, n - 3));
        body += QStringLiteral("これは %1 番目のレスです。詳しくは ttp://www.example.com/page%1.html を見て&amp;ね<br>").arg(n);
        if (n % 10 == 0)
            body += QStringLiteral("　 ∧＿∧<br>　（　´∀｀）＜ ぬるぽ<br>　（　　　　）<br>");
        res->Body = body + QStringLiteral("&gt;&gt;1-3,5 <b>太字</b> <font color=red>赤</font>");
        res->IsNew = n > count - 50;
        thread.push_back(std::move(res));
    }
    return thread;
}

void BM_RenderThread(benchmark::State &state)
{
    TSkinSettings skin;
    skin.SkinPath = QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../resources/def/skin/default/");
    skin.RenderImage = state.range(1) != 0;
    const TTavuResWriter writer(skin);
    const auto thread = MakeThread(int(state.range(0)));
    qsizetype bytes = 0;
    for (auto _ : state) {
        QString page = writer.RenderHeader();
        for (const auto &res : thread)
            page += writer.RenderRes(*res);
        page += writer.RenderFooter();
        bytes = page.size();
        benchmark::DoNotOptimize(page);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));   // responses per second
    state.counters["page_chars"] = double(bytes);
}
BENCHMARK(BM_RenderThread)->Args({1000, 0})->Args({1000, 1})->Unit(benchmark::kMillisecond);

// Arguments: threads, and whether a rule erases every other one.
void BM_LoadListing(benchmark::State &state)
{
    ThreadTestEnv env;
    QString subject;
    for (int i = 0; i < state.range(0); ++i)
        subject += QStringLiteral("%1.dat<>%2スレッド%3 (%4)\r\n").arg(1000000000 + i).arg(i % 2 ? QStringLiteral("消") : QString()).arg(i).arg(i % 1000);
    FileUtil::WriteFileAtomic(env.news->GetLogDir() + QStringLiteral("subject.txt"), jconvert::UnicodeToSjis(subject));
    TTavuActionList rules;
    if (state.range(1) != 0) {
        auto rule = std::make_unique<TTavuAction>();
        rule->Target = TTavuAction::THREADTITLE;
        rule->Value1 = QStringLiteral("消");
        rule->Boards.Add(QStringLiteral("test"), QStringLiteral("news"));
        rules.Add(std::move(rule));
    }
    qsizetype shown = 0;
    for (auto _ : state) {
        TTavuListDoc doc;
        doc.Site = env.site;
        doc.BoardID = QStringLiteral("news");
        doc.ThreadRules = &rules;
        doc.LoadSubjectTxt();
        shown = doc.Items()->Count();
    }
    state.counters["shown"] = double(shown);
}
BENCHMARK(BM_LoadListing)->Args({30000, 0})->Args({30000, 1})->Unit(benchmark::kMillisecond)->UseRealTime();

// Arguments: tags, and whether the closing tags match none of the opening ones.
void BM_FilterClosingTags(benchmark::State &state)
{
    const int tags = int(state.range(0));
    const QString body = state.range(1) != 0
                             ? QStringLiteral("<b>").repeated(tags) + QStringLiteral("</i>").repeated(tags)
                             : QStringLiteral("<b></b>").repeated(tags);
    for (auto _ : state)
        benchmark::DoNotOptimize(ResHtmlFilter::FilterField(body, ResHtmlFilter::TLinkOptions(), ResHtmlFilter::fkBody));
    state.SetItemsProcessed(state.iterations() * tags);
}
BENCHMARK(BM_FilterClosingTags)
    ->Args({10000, 0})->Args({10000, 1})->Args({100000, 0})->Args({100000, 1})
    ->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    TRatioReporter reporter({{"BM_LoadListing/30000/1/", "BM_LoadListing/30000/0/"},
                             {"BM_FilterClosingTags/10000/1/", "BM_FilterClosingTags/10000/0/"},
                             {"BM_FilterClosingTags/100000/1/", "BM_FilterClosingTags/100000/0/"}},
                            1.3);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
