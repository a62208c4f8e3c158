#include "core/TextList.h"

#include "core/Exceptions.h"
#include "support/TempDataRoot.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

TEST(TextList, ShiftJisCrLfFileRoundTripsByteForByte)
{
    TempDataRoot root;
    const QByteArray file("\x82\xa0\x82\xa2\t1\r\n\r\n\x81\x60\x87\x40 &#233;\r\nlast\r\n");
    root.Write("list.txt", file);
    TTextList list;
    ASSERT_TRUE(list.LoadFromFile(root.File("list.txt")));
    EXPECT_EQ(list.Lines, (QStringList{QStringLiteral("あい\t1"), QString(), QStringLiteral("～① &#233;"), "last"}));
    list.SaveToFile(root.File("copy.txt"));
    EXPECT_EQ(root.Read("copy.txt"), file);

    // characters Shift_JIS cannot hold are written as references
    list.Lines = {QStringLiteral("𠮷🍣é")};
    list.SaveToFile(root.File("copy.txt"));
    EXPECT_EQ(root.Read("copy.txt"), QByteArray("&#134071;&#127843;&#233;\r\n"));

    EXPECT_FALSE(list.LoadFromFile(root.File("missing.txt")));
    EXPECT_EQ(list.Count(), 0);
}

TEST(TextList, SplitsEveryLineBreakAndWritesTheChosenOne)
{
    TTextList list;
    list.SetText("a\r\nb\nc\rd");
    EXPECT_EQ(list.Lines, (QStringList{"a", "b", "c", "d"}));
    list.SetText("a\r\n\r\n");
    EXPECT_EQ(list.Lines, (QStringList{"a", ""}));
    EXPECT_EQ(list.Text(), QString("a\r\n\r\n"));
    list.LineBreak = "\n";
    EXPECT_EQ(list.Text(), QString("a\n\n"));
}

TEST(TextList, NameValueLinesIgnoreCase)
{
    TTextList list({"Host=example.jp", "novalue", QStringLiteral("名前=値=二つ目")});
    EXPECT_EQ(list.Value("HOST"), QString("example.jp"));
    EXPECT_EQ(list.Value(QStringLiteral("名前")), QStringLiteral("値=二つ目"));
    EXPECT_EQ(list.IndexOfName("novalue"), -1);   // a line without "=" has no name
    list.SetValue("host", "other.jp");
    list.SetValue("Port", "80");
    EXPECT_EQ(list.Lines, (QStringList{"host=other.jp", "novalue", QStringLiteral("名前=値=二つ目"), "Port=80"}));
    list.SetValue("PORT", "");
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.IndexOf("NOVALUE"), 1);
}

TEST(TextList, CommaTextQuotesWhatNeedsIt)
{
    const QStringList fields{"plain", "with space", "a,b", "say \"hi\"", "", QStringLiteral("日本語")};
    const QString text = TTextList::JoinCommaText(fields);
    EXPECT_EQ(text, QStringLiteral("plain,\"with space\",\"a,b\",\"say \"\"hi\"\"\",,日本語"));
    EXPECT_EQ(TTextList::SplitCommaText(text), fields);
    // blanks part fields as commas do; blanks around commas are skipped
    EXPECT_EQ(TTextList::SplitCommaText("  a b , c,\"d e\"  "), (QStringList{"a", "b", "c", "d e"}));
    EXPECT_EQ(TTextList::SplitCommaText("\"unterminated"), QStringList{"unterminated"});
    EXPECT_EQ(TTextList::JoinCommaText({""}), QString("\"\""));
    EXPECT_EQ(TTextList::SplitCommaText("\"\""), QStringList{""});
}

TEST(TextList, SaveIntoAFolderThatCannotBeWrittenRaises)
{
    TempDataRoot root;
    root.Write("file", "x");
    TTextList list({"a"});
    EXPECT_THROW(list.SaveToFile(root.File("file/inside.txt")), EFileError);
    EXPECT_EQ(root.Read("file"), QByteArray("x"));
}

TEST(TextList, UntouchedLinesKeepTheirBytesAndAnUnchangedListIsNotWritten)
{
    TempDataRoot root;
    // a byte that is not Shift_JIS, an LF, a lone CR, a second code of "∵" and no final line end
    const QByteArray file("bad \x81\x20 byte\r\nlf line\nlone cr\r\xfa\x5b\r\nsame\r\nlast");
    root.Write("bookmark.txt", file);
    TTextList list;
    ASSERT_TRUE(list.LoadFromFile(root.File("bookmark.txt")));
    ASSERT_EQ(list.Count(), 6);

    // nothing changed: the file is not written at all (its time stays)
    const QDateTime old = QDateTime::currentDateTimeUtc().addDays(-2);
    {
        QFile f(root.File("bookmark.txt"));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(old, QFileDevice::FileModificationTime));
    }
    list.SaveToFile(root.File("bookmark.txt"));
    EXPECT_EQ(QFileInfo(root.File("bookmark.txt")).lastModified().toUTC(), old);

    // a change rewrites only the changed lines; the rest keep their bytes
    list.Lines[4] = QStringLiteral("変更");
    list.Add(QStringLiteral("new"));
    list.SaveToFile(root.File("bookmark.txt"));
    EXPECT_EQ(root.Read("bookmark.txt"),
              QByteArray("bad \x81\x20 byte\r\nlf line\nlone cr\r\xfa\x5b\r\n\x95\xcf\x8d\x58\r\nlast\r\nnew\r\n"));

    // a line removed and put back, and a duplicate of a kept line
    list.Lines.removeFirst();
    list.Lines.prepend(list.Lines[0]);
    list.SaveToFile(root.File("bookmark.txt"));
    EXPECT_TRUE(root.Read("bookmark.txt").startsWith("lf line\nlf line\n"));

    // lines handed over whole keep the bytes of those the file already holds
    TTextList::RewriteFile(root.File("bookmark.txt"), {QStringLiteral("lone cr"), QStringLiteral("added")});
    EXPECT_EQ(root.Read("bookmark.txt"), QByteArray("lone cr\radded\r\n"));
}

TEST(TextList, AFileThatCannotBeReadIsNeverWrittenOver)
{
    TempDataRoot root;
    // every read of this file fails with an I/O error, even for an administrator
    ASSERT_TRUE(QFile::link("/proc/self/mem", root.File("fav00001.txt")));
    TTextList list;
    EXPECT_FALSE(list.LoadFromFile(root.File("fav00001.txt")));
    EXPECT_TRUE(list.ReadFailed());
    list.Add("a thread");
    EXPECT_THROW(list.SaveToFile(root.File("fav00001.txt")), EFileError);
    EXPECT_EQ(QFileInfo(root.File("fav00001.txt")).symLinkTarget(), QStringLiteral("/proc/self/mem"));
    list.SaveToFile(root.File("elsewhere.txt"));   // another file takes it
    EXPECT_EQ(root.Read("elsewhere.txt"), QByteArray("a thread\r\n"));
    // a fresh list of lines meant for the file is refused as well
    EXPECT_THROW(TTextList::RewriteFile(root.File("fav00001.txt"), {"a thread"}), EFileError);
    EXPECT_EQ(QFileInfo(root.File("fav00001.txt")).symLinkTarget(), QStringLiteral("/proc/self/mem"));

    EXPECT_FALSE(list.LoadFromFile(root.File("missing.txt")));
    EXPECT_FALSE(list.ReadFailed());
}
