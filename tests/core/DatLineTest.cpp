#include "core/DatLine.h"
#include "core/JConvert.h"
#include "core/Res.h"

#include <gtest/gtest.h>

TEST(DatLine, FiveFieldsWithDateParts)
{
    const TDatFields f = ParseDatLine(
        u"名無しさん<>sage<>2004/01/02(金) 03:04:05 ID:AbCd1234 BE:123456-2<>本文 <br> 二行目<>スレの題");
    EXPECT_TRUE(f.Complete);
    EXPECT_EQ(f.Name, QStringLiteral("名無しさん"));
    EXPECT_EQ(f.Mail, QStringLiteral("sage"));
    EXPECT_EQ(f.Body, QStringLiteral("本文 <br> 二行目"));
    EXPECT_EQ(f.Title, QStringLiteral("スレの題"));

    TRes res;
    res.SetDate(f.Date);
    EXPECT_EQ(res.Date, QStringLiteral("2004/01/02(金) 03:04:05"));
    EXPECT_EQ(res.ID, QStringLiteral("AbCd1234"));
    EXPECT_EQ(res.BE, QStringLiteral("123456-2"));
    EXPECT_EQ(res.DateField(), f.Date);

    res.SetDate(QStringLiteral("2024/05/06 07:08:09 IMG:pic.jpg ID:???"));
    EXPECT_EQ(res.Date, QStringLiteral("2024/05/06 07:08:09"));
    EXPECT_EQ(res.ID, QStringLiteral("???"));
    EXPECT_EQ(res.Img, QStringLiteral("pic.jpg"));
    EXPECT_TRUE(res.BE.isEmpty());

    res.SetMail(QStringLiteral("<a href=\"x\">&sage"));
    EXPECT_EQ(res.Mail, QStringLiteral("a href=\"x\"sage"));
}

TEST(DatLine, OldCommaFormAndStraySeparators)
{
    const TDatFields old = ParseDatLine(u"名無し,sage,2001/01/01 00:00,一＠｀二,題＠｀名");
    EXPECT_TRUE(old.Complete);
    EXPECT_EQ(old.Mail, QStringLiteral("sage"));
    EXPECT_EQ(old.Body, QStringLiteral("一,二"));
    EXPECT_EQ(old.Title, QStringLiteral("題,名"));

    // A "<>" inside the message stays in the message; the title is the last field.
    const TDatFields stray = ParseDatLine(u"a<>b<>c<>x<>y<>t");
    EXPECT_EQ(stray.Body, QStringLiteral("x<>y"));
    EXPECT_EQ(stray.Title, QStringLiteral("t"));

    // A "<>" line is never read as the old form, commas or not.
    EXPECT_EQ(ParseDatLine(u"a,b<>m<>d,e,f<>x,y<>").Body, QStringLiteral("x,y"));
}

TEST(DatLine, BrokenLinesGiveWhatIsThere)
{
    const TDatFields empty = ParseDatLine(u"");
    EXPECT_FALSE(empty.Complete);
    EXPECT_TRUE(empty.Name.isEmpty() && empty.Body.isEmpty());

    const TDatFields cut = ParseDatLine(u"名前<>メール<>日付");
    EXPECT_FALSE(cut.Complete);
    EXPECT_EQ(cut.Date, QStringLiteral("日付"));
    EXPECT_TRUE(cut.Body.isEmpty());

    const TDatFields noTitle = ParseDatLine(u"n<>m<>d<>body");
    EXPECT_TRUE(noTitle.Complete);
    EXPECT_EQ(noTitle.Body, QStringLiteral("body"));
}

TEST(DatLine, LogLinesKeepEveryLineInPlace)
{
    const QByteArray log("one\r\ntwo\n\r\n\nfive\x82");   // a cut double-byte character at the end
    const QList<QByteArray> lines = SplitLogLines(log);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0], "one");
    EXPECT_EQ(lines[1], "two");
    EXPECT_TRUE(lines[2].isEmpty());
    EXPECT_TRUE(lines[3].isEmpty());
    EXPECT_EQ(lines[4], "five\x82");

    EXPECT_EQ(SplitLogLines("a\r\nb\r\n").size(), 2);   // a final break starts no line
    EXPECT_TRUE(SplitLogLines("").isEmpty());
    // A lead byte just before the line break does not swallow the break.
    EXPECT_EQ(SplitLogLines("x\x83\ny\n").size(), 2);
}

TEST(DatLine, SubjectLines)
{
    TSubjectLine s;
    ASSERT_TRUE(ParseSubjectLine(u"1234567890.dat<>スレタイ (123)", s));
    EXPECT_EQ(s.DatName, QStringLiteral("1234567890.dat"));
    EXPECT_EQ(s.Title, QStringLiteral("スレタイ"));
    EXPECT_EQ(s.Count, 123);

    ASSERT_TRUE(ParseSubjectLine(u"1000000000.dat<>全角（４５６）", s));
    EXPECT_EQ(s.Title, QStringLiteral("全角"));
    EXPECT_EQ(s.Count, 456);

    ASSERT_TRUE(ParseSubjectLine(u"1111.dat,古い＠｀形 (7)", s));
    EXPECT_EQ(s.Title, QStringLiteral("古い,形"));
    EXPECT_EQ(s.Count, 7);

    // Parentheses that do not hold a count belong to the title.
    ASSERT_TRUE(ParseSubjectLine(u"2222.dat<>題 (その2)", s));
    EXPECT_EQ(s.Title, QStringLiteral("題 (その2)"));
    EXPECT_EQ(s.Count, 0);

    EXPECT_FALSE(ParseSubjectLine(u"no separator here", s));
    EXPECT_FALSE(ParseSubjectLine(u"../../etc/passwd<>x (1)", s));
    EXPECT_FALSE(ParseSubjectLine(u"a/b.dat<>x (1)", s));
    EXPECT_FALSE(ParseSubjectLine(u".dat<>x (1)", s));
}
