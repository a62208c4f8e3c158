// HTML rendering of a 1000-response thread through the default skin: responses per second.
// Loading a stored listing of 30,000 threads into a thread-list document, every thread prepared, with
// a rule that erases half of them against one that erases none.
// Preparing every row of a listing of 30,000, 60,000 and 120,000 threads (as showing all, sorting or
// an update check does) with a rule that erases half of them, against the same with a rule that
// erases none.
// Loading a stored listing of 1.6 million threads as a board tab shows it (the first page prepared),
// against reading and decoding the same file, the least any loader does.
// The server-HTML filter over N opening tags followed by N closing tags that match none, against the
// floor of N matched pairs of the same length (a quadratic search would grow a hundredfold from 10,000
// to 100,000; the ratio stays flat).
// Finding the rows of one thread in a board tab of 120,000 and 1.6 million threads, as the window
// does after each update, with only the first page's items made and with every item made, just
// after the list changed and at a search after another, against a bare look at every row of the
// same list.
// The last lines give each subject over its reference.
// Run by hand: bench_render_bench

#include "RatioReporter.h"
#include "core/FileUtil.h"
#include "core/JConvert.h"
#include "core/Res.h"
#include "core/TavuActionList.h"
#include "core/ThreadItemList.h"
#include "core/ThreadTestEnv.h"
#include "render/ResHtmlFilter.h"
#include "render/TavuListDoc.h"
#include "render/TavuResWriter.h"
#include "services/ThreadListPane.h"

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

// A stored listing of the board "news": every other title holds "消".
QString WriteListing(const ThreadTestEnv &env, int threads)
{
    QString subject;
    for (int i = 0; i < threads; ++i)
        subject += QStringLiteral("%1.dat<>%2スレッド%3 (%4)\r\n").arg(1000000000 + i).arg(i % 2 ? QStringLiteral("消") : QString()).arg(i).arg(i % 1000);
    const QString path = env.news->GetLogDir() + QStringLiteral("subject.txt");
    FileUtil::WriteFileAtomic(path, jconvert::UnicodeToSjis(subject));
    return path;
}

// The listing of the arguments' count of threads, and a rule that erases every other one when the
// second argument is set (else none).
void SetUpListing(const ThreadTestEnv &env, TTavuActionList &rules, const benchmark::State &state)
{
    WriteListing(env, int(state.range(0)));
    EraseTitlesWith(rules, state.range(1) != 0 ? QStringLiteral("消") : QStringLiteral("該当なし"));
}

std::unique_ptr<TTavuListDoc> NewNewsDoc(const ThreadTestEnv &env, TTavuActionList *rules, int itemLimit)
{
    auto doc = std::make_unique<TTavuListDoc>();
    doc->Site = env.site;
    doc->BoardID = QStringLiteral("news");
    doc->ThreadRules = rules;
    doc->ItemLimit = itemLimit;
    return doc;
}

// Arguments: threads, and whether the rule erases every other one (else it erases none).
void BM_LoadListing(benchmark::State &state)
{
    ThreadTestEnv env;
    TTavuActionList rules;
    SetUpListing(env, rules, state);
    qsizetype shown = 0;
    for (auto _ : state) {
        const auto doc = NewNewsDoc(env, &rules, 0);
        doc->LoadSubjectTxt();
        shown = doc->Items()->Count();
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

// Arguments: threads, and whether the rule erases every other one (else it erases none). The
// listing is loaded as a board tab loads it (the first 100 prepared) outside the measured time.
void BM_PrepareRows(benchmark::State &state)
{
    ThreadTestEnv env;
    TTavuActionList rules;
    SetUpListing(env, rules, state);
    qsizetype shown = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = NewNewsDoc(env, &rules, 100);
        doc->LoadSubjectTxt();
        state.ResumeTiming();
        doc->PrepareRows(0, doc->Items()->Count());
        state.PauseTiming();
        shown = doc->Items()->Count();
        doc.reset();
        state.ResumeTiming();
    }
    state.counters["shown"] = double(shown);
}
BENCHMARK(BM_PrepareRows)->ArgsProduct({{30000, 60000, 120000}, {0, 1}})->Unit(benchmark::kMillisecond)->UseRealTime();

constexpr int StoredThreads = 1600000;

// The 1.6 million threads loaded as the window loads a stored listing: the counts of the previous
// listing, the logged threads, the listing with its first page prepared.
void BM_LoadStoredListing(benchmark::State &state)
{
    ThreadTestEnv env;
    WriteListing(env, StoredThreads);
    QByteArray counts;   // the previous listing's counts, as a board fetched before has them
    for (int i = 0; i < StoredThreads; ++i)
        counts += QByteArray::number(1000000000 + i) + '=' + QByteArray::number(i % 1000) + "\r\n";
    FileUtil::WriteFileAtomic(env.news->GetLogDir() + QStringLiteral("subject.dat"), counts);
    TTavuActionList rules;
    EraseTitlesWith(rules, QStringLiteral("該当なし"));
    qsizetype listed = 0;
    for (auto _ : state) {
        auto doc = NewNewsDoc(env, &rules, 100);
        doc->LoadSubjectDat();
        doc->LoadInfFileList();
        doc->LoadSubjectTxt();
        doc->SetDisplayCount(100);
        listed = doc->Items()->Count();
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    state.counters["threads"] = double(listed);
}
BENCHMARK(BM_LoadStoredListing)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The floor: the same file read and decoded into text, and its lines counted.
void BM_ReadStoredListing(benchmark::State &state)
{
    ThreadTestEnv env;
    const QString path = WriteListing(env, StoredThreads);
    qsizetype lines = 0;
    for (auto _ : state) {
        const QString text = jconvert::SjisToUnicode(FileUtil::ReadFile(path));
        lines = text.count(u'\n');
    }
    state.counters["threads"] = double(lines);
}
BENCHMARK(BM_ReadStoredListing)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// A board tab of the arguments' count of threads (no rule erases any), every row's item made when
// the second argument is set (as after a sort), else only the first page's.
std::unique_ptr<TTavuListDoc> ListedBoard(const ThreadTestEnv &env, const benchmark::State &state)
{
    WriteListing(env, int(state.range(0)));
    auto doc = NewNewsDoc(env, nullptr, 100);
    doc->LoadSubjectTxt();
    if (state.range(1) != 0)
        doc->PrepareRows(0, doc->Items()->Count());
    return doc;
}

// What the window does after each update of a thread: find the rows of the thread in a board tab
// (to read its counts into the other items of the thread and to paint its row again). With a third
// argument of 1 the list has just changed (a sort, a page more), so the search makes the list's
// table of keys anew; else the table is there from the search before.
void BM_RowsOfThread(benchmark::State &state)
{
    ThreadTestEnv env;
    const auto doc = ListedBoard(env, state);
    TThreadItemList &items = *doc->Items();
    const ItemRef item(env.NewItem(QStringLiteral("1000000005")));
    qsizetype found = ThreadListPane::RowsOfThread(items, *item.get()).size();
    for (auto _ : state) {
        if (state.range(2) != 0) {
            state.PauseTiming();
            items.Move(0, 0);   // a change, as any drops the table
            state.ResumeTiming();
        }
        found = ThreadListPane::RowsOfThread(items, *item.get()).size();
    }
    state.counters["rows"] = double(found);
}
BENCHMARK(BM_RowsOfThread)->ArgsProduct({{120000, 1600000}, {0, 1}, {0, 1}})->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor: a look at every place of the same list, which any search of it takes.
void BM_PeekEveryRow(benchmark::State &state)
{
    ThreadTestEnv env;
    const auto doc = ListedBoard(env, state);
    const TThreadItemList &items = *doc->Items();
    for (auto _ : state) {
        int made = 0;
        for (int i = 0; i < items.Count(); ++i)
            made += items.Peek(i) != nullptr;
        benchmark::DoNotOptimize(made);
    }
}
BENCHMARK(BM_PeekEveryRow)->ArgsProduct({{120000, 1600000}, {0, 1}})->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char **argv)
{
    std::vector<TRatioReporter::Pair> pairs{{"BM_LoadListing/30000/1/", "BM_LoadListing/30000/0/"}};
    for (const char *threads : {"30000", "60000", "120000"})
        pairs.push_back({std::string("BM_PrepareRows/") + threads + "/1/", std::string("BM_PrepareRows/") + threads + "/0/"});
    // Linear: four times the threads take at most about four times as long.
    pairs.push_back({"BM_PrepareRows/120000/1/", "BM_PrepareRows/30000/1/", 4.6});
    // The aim for the stored listing is under 2 s: about six times reading and decoding the file.
    pairs.push_back({"BM_LoadStoredListing", "BM_ReadStoredListing", 6.0});
    for (const char *tags : {"10000", "100000"})
        pairs.push_back({std::string("BM_FilterClosingTags/") + tags + "/1/", std::string("BM_FilterClosingTags/") + tags + "/0/"});
    // Finding a thread's rows costs next to nothing once the list has its table of keys. Making
    // the table after a change costs a few looks at every row while the rows have no items; with
    // every item made it reads each item's dat name, once per change instead of once per update.
    for (const char *listed : {"120000/0/", "120000/1/", "1600000/0/", "1600000/1/"})
        pairs.push_back({std::string("BM_RowsOfThread/") + listed + "0/", std::string("BM_PeekEveryRow/") + listed, 0.01});
    for (const char *listed : {"120000/0/", "1600000/0/"})
        pairs.push_back({std::string("BM_RowsOfThread/") + listed + "1/", std::string("BM_PeekEveryRow/") + listed, 10.0});
    TRatioReporter reporter(pairs, 1.3);
    return RunBenchmarks(argc, argv, reporter);
}
