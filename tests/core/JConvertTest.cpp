#include "core/JConvert.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace jconvert;

namespace {
const QString kAi = QStringLiteral("あい");
const QChar kBad(0xFFFD);
}  // namespace

TEST(JConvert, SjisMapsAsWindowsDoes)
{
    // bytes and the characters Windows reads them as, including the NEC and IBM extensions
    const struct {
        QByteArray bytes;
        QString text;
    } cases[] = {
        {"\x82\xa0\x82\xa2", kAi},
        {"\x81\x60", QStringLiteral("～")},   // U+FF5E, not the wave dash
        {"\x81\x7c", QStringLiteral("－")},   // U+FF0D
        {"\x81\x5f", QStringLiteral("＼")},
        {"\x81\x61", QStringLiteral("∥")},
        {"\x87\x40\x87\x8a", QStringLiteral("①㈱")},
        {"\xfa\x5c", QStringLiteral("纊")},
        {"\xb1\xdd", QStringLiteral("ｱﾝ")},
        {"a\\~", QStringLiteral("a\\~")},
        {"\xf0\x40", QString(QChar(0xE000))},   // user-defined area
    };
    for (const auto &c : cases) {
        EXPECT_EQ(SjisToUnicode(c.bytes), c.text) << c.bytes.toHex().constData();
        EXPECT_EQ(UnicodeToSjis(c.text), c.bytes) << c.bytes.toHex().constData();
    }
    // the look-alikes that other converters use still land on the Windows codes
    EXPECT_EQ(UnicodeToSjis(QStringLiteral("〜−")), QByteArray("\x81\x60\x81\x7c"));
}

TEST(JConvert, CharactersOutsideACodeBecomeReferences)
{
    const QString text = QStringLiteral("a𠮷b🍣é") + kAi;
    EXPECT_EQ(UnicodeToSjis(text), QByteArray("a&#134071;b&#127843;&#233;\x82\xa0\x82\xa2"));
    EXPECT_EQ(UnicodeToEuc(QStringLiteral("𠮷あ")), QByteArray("&#134071;\xa4\xa2"));
    // a lone surrogate is no character: it is referenced as the replacement character
    EXPECT_EQ(UnicodeToSjis(QString(QChar(0xD842)) + QLatin1Char('x')), QByteArray("&#65533;x"));
    // ISO-2022-JP returns to ASCII before the reference and at the end
    EXPECT_EQ(UnicodeToJis(QStringLiteral("あé")), QByteArray("\x1b$B$\"\x1b(B&#233;"));
}

TEST(JConvert, BadBytesBecomeOneReplacementEach)
{
    EXPECT_EQ(SjisToUnicode("\x80" "a\xa0\xfd\xfe\xff"), kBad + QStringLiteral("a") + QString(4, kBad));
    // a lead byte without its trail: at the end, and before a byte that cannot follow it
    EXPECT_EQ(SjisToUnicode("\x82\xa0\x82"), QStringLiteral("あ") + kBad);
    EXPECT_EQ(SjisToUnicode("\x82<>"), kBad + QStringLiteral("<>"));
    EXPECT_EQ(EucToUnicode("\xa4\xa2\xa4"), QStringLiteral("あ") + kBad);
    EXPECT_EQ(Utf8ToUnicode("a\xff" "b"), QStringLiteral("a") + kBad + QStringLiteral("b"));
}

TEST(JConvert, EucAndJis)
{
    EXPECT_EQ(EucToUnicode("\xa4\xa2\xa1\xc1\x8e\xb1"), QStringLiteral("あ～ｱ"));
    EXPECT_EQ(EucToUnicode("\x8f\xab\xb1"), QStringLiteral("é"));   // JIS X 0212
    EXPECT_EQ(UnicodeToEuc(QStringLiteral("あ～ｱé")), QByteArray("\xa4\xa2\xa1\xc1\x8e\xb1\x8f\xab\xb1"));

    const QByteArray jis("a\x1b$B$\"!A!]\x1b(Bb");
    EXPECT_EQ(JisToUnicode(jis), QStringLiteral("aあ～－b"));
    EXPECT_EQ(UnicodeToJis(QStringLiteral("aあ～－b")), jis);

    EXPECT_EQ(EucToSjis("\xa4\xa2\xa1\xc1\x8f\xab\xb1"), QByteArray("\x82\xa0\x81\x60&#233;"));
    EXPECT_EQ(Utf8ToUnicode("\xef\xbb\xbf\xe3\x81\x82"), QStringLiteral("あ"));   // the BOM is no text
}

TEST(JConvert, DetectsTheCode)
{
    const QString sentence = QStringLiteral("今日は良い天気ですね。スレッドを立てました");
    EXPECT_EQ(DetectCode(UnicodeToSjis(sentence)), SJIS);
    EXPECT_EQ(DetectCode(UnicodeToEuc(sentence)), EUC);
    EXPECT_EQ(DetectCode(UnicodeToJis(sentence)), JIS);
    EXPECT_EQ(DetectCode(sentence.toUtf8()), UTF8);
    EXPECT_EQ(DetectCode("plain <> text"), ASCII);
    EXPECT_EQ(DetectCode("\xff\xfe\xff"), UNKNOWN);
    // short texts valid in both readings go by the likelier one
    EXPECT_EQ(DetectCode("\x82\xa0"), SJIS);
    EXPECT_EQ(DetectCode("\xa4\xa2\xa4\xa4"), EUC);

    EXPECT_EQ(Decode(UnicodeToEuc(sentence), UNKNOWN), sentence);
    EXPECT_EQ(Encode(sentence, UNKNOWN), UnicodeToSjis(sentence));
}

TEST(JConvert, ConvertJapaneseCodeKeepsTextInItsTarget)
{
    const QString sentence = QStringLiteral("書き込みテスト～①");
    const QByteArray sjis = UnicodeToSjis(sentence);
    EXPECT_EQ(ConvertJapaneseCode(UnicodeToEuc(sentence), SJIS), sjis);
    EXPECT_EQ(ConvertJapaneseCode(UnicodeToJis(QStringLiteral("書き込み")), SJIS), UnicodeToSjis(QStringLiteral("書き込み")));
    EXPECT_EQ(ConvertJapaneseCode(sjis, EUC), UnicodeToEuc(sentence));
    EXPECT_EQ(ConvertJapaneseCode(sentence.toUtf8(), SJIS), sjis);
    // already in the target, or unreadable in every code: the bytes stay as they are
    EXPECT_EQ(ConvertJapaneseCode(sjis, SJIS), sjis);
    EXPECT_EQ(ConvertJapaneseCode("\xff\xfe", SJIS), QByteArray("\xff\xfe"));
}

TEST(JConvert, LargeTextsAndThreads)
{
    // a log of some megabytes with bad bytes spread through it decodes whole
    QByteArray line = UnicodeToSjis(QStringLiteral("名無しさん<>sage<>2024/01/01 ID:abc<> 本文です～①<>\n"));
    QByteArray log, clean;
    for (int i = 0; i < 40000; ++i) {
        log += (i % 1000 == 0) ? QByteArray("\x80") + line : line;
        clean += line;
    }
    const QString text = SjisToUnicode(log);
    EXPECT_EQ(text.count(kBad), 40);
    EXPECT_EQ(UnicodeToSjis(QString(text).remove(kBad)), clean);

    // the cache loaders decode on their own threads at the same time
    std::vector<QString> results(4);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < results.size(); ++t)
        threads.emplace_back([&, t] { results[t] = SjisToUnicode(log); });
    for (auto &th : threads)
        th.join();
    for (const QString &r : results)
        EXPECT_EQ(r, text);
}
