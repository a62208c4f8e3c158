#include "core/IniFile.h"

#include "core/Exceptions.h"
#include "core/JConvert.h"
#include "support/TempDataRoot.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

namespace {
// A kpw.ini as users have it: a comment before the first section, Japanese keys and values,
// a duplicate key, a line without "=", blanks around "=" and no line break at the end.
const QByteArray kIni("; \x90\xdd\x92\xe8\r\n"              // ; 設定
                      "[VARNELO]\r\n"
                      "APPNAME=\x83\x94\x83\x40\x83\x8b\x83\x6c\x83\x8d\r\n"   // ヴァルネロ
                      "Cached = 1 \r\n"
                      "cached=0\r\n"
                      "loose line\r\n"
                      "\r\n"
                      "[\x94\xc2]\r\n"                        // [板]
                      "\x96\xbc\x91\x4f=\x81\x60\r\n"        // 名前=～
                      "\r\n"
                      "[varnelo]\r\n"
                      "EXTRA=x");
}  // namespace

TEST(IniFile, UnchangedFileIsWrittenBackByteForByte)
{
    TempDataRoot root;
    root.Write("kpw.ini", kIni);
    TIniFile ini(root.File("kpw.ini"));
    EXPECT_EQ(ini.ReadString("VARNELO", "APPNAME"), QStringLiteral("ヴァルネロ"));
    ini.WriteString("varnelo", "appname", QStringLiteral("ヴァルネロ"));   // the same value again
    ini.SetFileName(root.File("copy.ini"));
    ini.UpdateFile();
    EXPECT_EQ(root.Read("copy.ini"), kIni);
}

TEST(IniFile, LookupIgnoresCaseAndTakesTheFirstDuplicate)
{
    TIniFile ini;
    ini.SetText(jconvert::SjisToUnicode(kIni));
    EXPECT_TRUE(ini.ReadBool("Varnelo", "CACHED"));   // trimmed "1", not the later "0"
    EXPECT_EQ(ini.ReadString(QStringLiteral("板"), QStringLiteral("名前")), QStringLiteral("～"));
    EXPECT_EQ(ini.ReadString("VARNELO", "EXTRA"), QString("x"));   // from the second block of the name
    EXPECT_EQ(ini.ReadString("NOSECTION", "APPNAME", "def"), QString("def"));
    EXPECT_FALSE(ini.ValueExists("VARNELO", "loose line"));
    EXPECT_EQ(ini.ReadSections(), (QStringList{"VARNELO", QStringLiteral("板")}));
    EXPECT_EQ(ini.ReadSection("varnelo"), (QStringList{"APPNAME", "Cached", "EXTRA"}));
    EXPECT_EQ(ini.ReadSectionValues(QStringLiteral("板")), QStringList{QStringLiteral("名前=～")});

    ini.WriteString("VARNELO", "CACHED", "0");   // changes the first one, keeps its spelling
    EXPECT_EQ(ini.ReadInteger("varnelo", "cached", 7), 0);
    EXPECT_TRUE(ini.Text().contains("\r\nCached=0\r\ncached=0\r\nloose line\r\n"));
    ini.DeleteKey("VARNELO", "CACHED");          // every copy goes
    EXPECT_FALSE(ini.ValueExists("VARNELO", "cached"));
    EXPECT_TRUE(ini.Text().contains("loose line"));
}

TEST(IniFile, NewKeysAndSectionsKeepTheFileShape)
{
    TIniFile ini;
    ini.WriteString("A", "k1", "v1");
    ini.WriteInteger("B", "big", 5000000000LL);
    ini.WriteString("A", "k2", "v2");
    ini.WriteBool("B", "on", true);
    EXPECT_EQ(ini.Text(), QString("[A]\r\nk1=v1\r\nk2=v2\r\n\r\n[B]\r\nbig=5000000000\r\non=1\r\n\r\n"));
    EXPECT_EQ(ini.ReadInt64("b", "BIG"), 5000000000LL);
    EXPECT_EQ(ini.ReadInteger("b", "BIG", -1), -1);   // does not fit an int

    ini.EraseSection("a");
    EXPECT_FALSE(ini.SectionExists("A"));
    EXPECT_EQ(ini.Text(), QString("[B]\r\nbig=5000000000\r\non=1\r\n\r\n"));
}

TEST(IniFile, ValuesAreReadLikeTheStoredFiles)
{
    TIniFile ini;
    ini.SetText("[S]\r\nhex=$1F\r\nc=0x10\r\nt=True\r\nbad=abc\r\nneg=-3\r\n");
    EXPECT_EQ(ini.ReadInteger("S", "hex"), 31);
    EXPECT_EQ(ini.ReadInteger("S", "c"), 16);
    EXPECT_EQ(ini.ReadInteger("S", "neg"), -3);
    EXPECT_EQ(ini.ReadInteger("S", "bad", 9), 9);
    EXPECT_TRUE(ini.ReadBool("S", "t"));
    EXPECT_TRUE(ini.ReadBool("S", "bad", true));
    EXPECT_FALSE(ini.ReadBool("S", "missing"));
}

TEST(IniFile, ALineBreakInAValueCannotMakeKeysOrSections)
{
    TIniFile ini;
    ini.WriteString("THREAD", "TITLE", "evil\r\n[VARNELO]\nCACHED=0");
    EXPECT_EQ(ini.ReadSections(), QStringList{"THREAD"});
    EXPECT_EQ(ini.ReadString("THREAD", "TITLE"), QString("evil [VARNELO] CACHED=0"));
    TIniFile reread;
    reread.SetText(ini.Text());
    EXPECT_EQ(reread.ReadSections(), QStringList{"THREAD"});
}

TEST(IniFile, WriteThroughAndCorruptFiles)
{
    TempDataRoot root;
    TIniFile ini(root.File("site.ini"));
    EXPECT_FALSE(ini.Load());
    ini.SetAutoSave(true);
    ini.WriteString("SITE", QStringLiteral("名前"), QStringLiteral("テスト𠮷"));
    EXPECT_EQ(root.Read("site.ini"), QByteArray("[SITE]\r\n\x96\xbc\x91\x4f=\x83\x65\x83\x58\x83\x67&#134071;\r\n\r\n"));

    // binary garbage and a file cut in the middle of a line: what can be read is read
    root.Write("bad.ini", QByteArray("\x00\xff\x80garbage\r\n[OK]\r\nkey=value\r\n[CUT]\r\nhalf=\x82", 42));
    TIniFile bad(root.File("bad.ini"));
    EXPECT_EQ(bad.ReadString("OK", "key"), QString("value"));
    EXPECT_EQ(bad.ReadString("CUT", "half"), QString(QChar(0xFFFD)));
    bad.UpdateFile();
    EXPECT_EQ(root.Read("bad.ini").size(), 42);   // loading alone changes nothing
}

TEST(IniFile, AFileThatCannotBeReadIsNeverWrittenOver)
{
    TempDataRoot root;
    // every read of this file fails with an I/O error, even for an administrator
    ASSERT_TRUE(QFile::link("/proc/self/mem", root.File("boardcnf.ini")));
    TIniFile ini(root.File("boardcnf.ini"));
    EXPECT_TRUE(ini.ReadFailed());
    EXPECT_FALSE(ini.Load());
    ini.WriteString("2ch", "TOP", "1");
    EXPECT_THROW(ini.UpdateFile(), EFileError);
    EXPECT_EQ(QFileInfo(root.File("boardcnf.ini")).symLinkTarget(), QStringLiteral("/proc/self/mem"));

    ini.SetFileName(root.File("other.ini"));   // written elsewhere, it is saved
    EXPECT_FALSE(ini.ReadFailed());
    ini.UpdateFile();
    EXPECT_EQ(root.Read("other.ini"), QByteArray("[2ch]\r\nTOP=1\r\n\r\n"));
}

TEST(IniFile, AChangeKeepsTheBytesOfTheOtherLines)
{
    TempDataRoot root;
    // a comment with a byte that is not Shift_JIS, a line ended by LF alone and one by a lone CR
    root.Write("kpw.ini", "; \x81\x20 note\r\n[VARNELO]\nA=1\rB=\xfa\x5b\r\n[OTHER]\r\nC=3");
    TIniFile ini(root.File("kpw.ini"));
    ini.WriteString("VARNELO", "A", "2");
    ini.WriteString("OTHER", "D", "4");
    ini.UpdateFile();
    EXPECT_EQ(root.Read("kpw.ini"), QByteArray("; \x81\x20 note\r\n[VARNELO]\nA=2\r\nB=\xfa\x5b\r\n[OTHER]\r\nC=3\r\nD=4\r\n"));
}
