#include "core/TavuConfig.h"

#include "core/Exceptions.h"
#include "core/IniFile.h"
#include "core/JConvert.h"
#include "core/ShortcutText.h"
#include "support/TempDataRoot.h"

#include "FillFileSystem.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/mount.h>


namespace {

// Sets an environment variable (or removes it when value is null) for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const char *value) : name(name), had(qEnvironmentVariableIsSet(name)), old(qgetenv(name))
    {
        if (value)
            qputenv(name, value);
        else
            qunsetenv(name);
    }
    ~ScopedEnv()
    {
        if (had)
            qputenv(name, old);
        else
            qunsetenv(name);
    }

private:
    const char *name;
    bool had;
    QByteArray old;
};

QByteArray Sjis(const QString &text)
{
    return jconvert::UnicodeToSjis(text);
}

// A data root whose profile is users/test/.
class ConfigRoot : public TempDataRoot {
public:
    explicit ConfigRoot(bool seeded = false) : TempDataRoot(seeded)
    {
        Write("zevovuv.ini", "[ZEVOVUV]\r\nMODE=1\r\nNAME=test\r\n");
    }
    QString Profile() const { return Path() + "users/test/"; }
    void WriteKpw(const QByteArray &bytes) const { Write("users/test/kpw.ini", bytes); }
    QString Stored(const QString &section, const QString &key) const
    {
        return TIniFile(Profile() + "kpw.ini").ReadString(section, key);
    }
};

}  // namespace

TEST(TavuConfig, MissingFileGivesTheDefaults)
{
    ConfigRoot root;
    TTavuConfig config;
    EXPECT_EQ(config.GetProfileDir(), root.Profile());
    EXPECT_EQ(config.THREADLISTCOUNT, 100);
    EXPECT_EQ(config.APPNAME, QStringLiteral("ヴァルネロ"));
    EXPECT_EQ(ColorToString(config.THREADLISTCOLOR2), "$00EDEDE2");
    EXPECT_EQ(config.LogDir(), root.Profile() + "log/");
    EXPECT_EQ(config.SOUND_ERROR, root.Profile() + "nores.wav");
    EXPECT_TRUE(config.SOUND_UPDATECHECK.isEmpty());
    EXPECT_EQ(config.APPICON, root.Path() + "resource/tavu.ico");
    EXPECT_EQ(config.GetColumnSize("NO"), -1);
    EXPECT_FALSE(config.VOZADAZOZ_START_DATE.isEmpty());
}

TEST(TavuConfig, SendHistoryFollowsReadHistoryWhenMissing)
{
    ConfigRoot root;
    root.WriteKpw("[VARNELO]\r\nSAVEHIST=0\r\n");
    {
        TTavuConfig config;
        EXPECT_FALSE(config.SAVEHIST_SEND);
        config.SAVEHIST = true;
    }
    TTavuConfig reloaded;   // now stored on its own
    EXPECT_TRUE(reloaded.SAVEHIST);
    EXPECT_FALSE(reloaded.SAVEHIST_SEND);
}

TEST(TavuConfig, ShippedSeedHoldsTheDefaultsAndKeyBindings)
{
    QString defaults;
    {
        ConfigRoot bare;
        TTavuConfig config;
        config.Save();
        defaults = TIniFile(bare.Profile() + "kpw.ini").Text();
    }
    ConfigRoot seeded(true);
    const QByteArray raw = seeded.Read("def/kpw.ini");
    ASSERT_FALSE(raw.isEmpty());
    EXPECT_EQ(raw.count("\n"), raw.count("\r\n"));
    EXPECT_FALSE(jconvert::SjisToUnicode(raw).contains(QChar(0xFFFD)));

    TTavuConfig config;   // copies def/kpw.ini into the profile
    const TIniFile &seed = config.Ini;
    TIniFile expected;
    expected.SetText(defaults);
    for (const QString &section : expected.ReadSections()) {
        for (const QString &key : expected.ReadSection(section)) {
            if (section == "VOZADAZOZ" && (key == "WORKTIME" || key == "START_DATE"))
                continue;
            EXPECT_EQ(seed.ReadString(section, key, "<missing>"), expected.ReadString(section, key))
                << qPrintable(section + " " + key);
        }
    }
    // the design-time keys, and every binding in the stored key-text form
    EXPECT_EQ(seed.ReadString("SHORTCUT", "actBrowserNextTab"), "Ctrl+Tab");
    EXPECT_EQ(seed.ReadString("SHORTCUT", "actBrowserPriorTab"), "Shift+Ctrl+Tab");
    EXPECT_EQ(seed.ReadString("SHORTCUT", "actThreadListNextTab"), "Ctrl+Left");
    EXPECT_EQ(seed.ReadString("SHORTCUT", "actThreadListPriorTab"), "Ctrl+Right");
    for (const QString &action : seed.ReadSection("SHORTCUT")) {
        const QString text = seed.ReadString("SHORTCUT", action);
        EXPECT_EQ(ShortcutText::ShortCutToText(ShortcutText::TextToShortCut(text)), text) << qPrintable(action);
    }
}

TEST(TavuConfig, RoundTripKeepsUnknownKeysSectionsAndEncoding)
{
    ConfigRoot root;
    root.WriteKpw("; the user's note\r\n"
                  "[VARNELO]\r\nTHREADLISTCOUNT=250\r\nOLDKEY=\x82\xa0\r\n"
                  "[SHORTCUT]\r\nactThreadReload=F5\r\n"
                  "[PLUGIN]\r\nX=1\r\n");
    {
        TTavuConfig config;
        EXPECT_EQ(config.THREADLISTCOUNT, 250);
        config.THREADLISTCOUNT = 300;
        config.GLOBALHANDLE = QStringLiteral("名無し🍣");
        config.Ini.WriteString("NINKINET", "abc123", "cookie");
        config.Save();
    }
    const QByteArray saved = root.Read("users/test/kpw.ini");
    EXPECT_TRUE(saved.startsWith("; the user's note\r\n"));
    EXPECT_TRUE(saved.contains("OLDKEY=\x82\xa0\r\n"));
    EXPECT_TRUE(saved.contains("[PLUGIN]\r\nX=1\r\n"));
    EXPECT_TRUE(saved.contains("actThreadReload=F5\r\n"));
    EXPECT_TRUE(saved.contains("APPNAME=\x83\x94\x83\x40\x83\x8b\x83\x6c\x83\x8d\r\n"));
    EXPECT_TRUE(saved.contains("GLOBALHANDLE=" + Sjis(QStringLiteral("名無し")) + "&#127843;\r\n"));
    EXPECT_EQ(saved.count("\n"), saved.count("\r\n"));

    TTavuConfig reloaded;
    EXPECT_EQ(reloaded.THREADLISTCOUNT, 300);
    EXPECT_EQ(reloaded.Ini.ReadString("NINKINET", "abc123"), "cookie");
}

TEST(TavuConfig, PathsLoadFullAndSaveRelativeToTheirFolder)
{
    ConfigRoot root;
    root.WriteKpw("[VARNELO]\r\nLOG=mylogs\\2ch\r\nAPPICON=/opt/icons/a.ico\r\n"
                  "[SOUND]\r\nSEND=sounds\\send.wav\r\nERROR=\r\n");
    {
        TTavuConfig config;
        EXPECT_EQ(config.LogDir(), root.Profile() + "mylogs/2ch/");
        EXPECT_EQ(config.SOUND_SEND, root.Profile() + "sounds/send.wav");
        EXPECT_TRUE(config.SOUND_ERROR.isEmpty());
        EXPECT_EQ(config.APPICON, "/opt/icons/a.ico");
        EXPECT_EQ(config.BUSYICON, root.Path() + "resource/busy.ico");

        config.SOUND_THREADLIST = "/usr/share/sounds/x.wav";
        config.SOUND_ROUND = root.Profile() + "r.wav";
        config.LOG = root.Profile();
        config.Save();
    }
    EXPECT_EQ(root.Stored("SOUND", "SEND"), "sounds/send.wav");
    EXPECT_EQ(root.Stored("SOUND", "ROUND"), "r.wav");
    EXPECT_EQ(root.Stored("SOUND", "THREADLIST"), "/usr/share/sounds/x.wav");
    EXPECT_EQ(root.Stored("SOUND", "ERROR"), "");
    EXPECT_EQ(root.Stored("VARNELO", "BUSYICON"), "resource/busy.ico");

    TTavuConfig reloaded;   // the profile folder itself stays the log root
    EXPECT_EQ(reloaded.LogDir(), root.Profile());
    reloaded.LOG.clear();   // an empty log root never means "/"
    reloaded.Save();
    reloaded.Load();
    EXPECT_EQ(reloaded.LogDir(), root.Profile() + "log/");
}

TEST(TavuConfig, ColoursReadNamesAndHexAndWriteTheirStoredForm)
{
    ConfigRoot root;
    root.WriteKpw("[VARNELO]\r\nTHREADLISTCOLOR1=clRed\r\nTHREADLISTCOLOR2=$00112233\r\n"
                  "THREADLISTTEXTCOLOR=not a colour\r\nPOPUPBKCOLOR=255\r\n");
    TColor red = 0;
    {
        TTavuConfig config;
        red = config.THREADLISTCOLOR1;
        EXPECT_EQ(ColorToString(config.THREADLISTCOLOR2), "$00112233");
        EXPECT_EQ(ColorToString(config.THREADLISTTEXTCOLOR), "clWindowText");
        EXPECT_EQ(config.POPUPBKCOLOR, red);   // 255 is red as a plain value
        config.SHORTCUTBARFONTCOLOR = config.THREADLISTCOLOR2;
        config.Save();
    }
    EXPECT_EQ(root.Stored("VARNELO", "THREADLISTCOLOR1"), "clRed");
    EXPECT_EQ(root.Stored("VARNELO", "POPUPBKCOLOR"), "clRed");
    EXPECT_EQ(root.Stored("VARNELO", "THREADLISTTEXTCOLOR"), "clWindowText");
    EXPECT_EQ(root.Stored("VARNELO", "SHORTCUTBARFONTCOLOR"), QString::number(0x112233));
    TTavuConfig reloaded;
    EXPECT_EQ(reloaded.SHORTCUTBARFONTCOLOR, reloaded.THREADLISTCOLOR2);
}

TEST(TavuConfig, CorruptFileLoadsWhatItCanAndKeepsTheRestOnSave)
{
    ConfigRoot root;
    QByteArray bytes("[VARNELO]\r\nTHREADLISTCOUNT=lots\r\nRECENTCOUNT=15\r\nCACHED=maybe\r\n");
    bytes.append('\0');
    bytes.append("\xff\xfe garbage \x81\r\n[MINE]\r\nKEEP=me\r\n[DESKTOP]\r\nACTWIN_LEFT=12");
    root.WriteKpw(bytes);
    {
        TTavuConfig config;
        EXPECT_EQ(config.THREADLISTCOUNT, 100);
        EXPECT_EQ(config.RECENTCOUNT, 15);
        EXPECT_TRUE(config.CACHED);
        EXPECT_EQ(config.DESKTOP_ACTWIN_LEFT, 12);   // the last line has no line end
        config.Save();
    }
    EXPECT_EQ(root.Stored("MINE", "KEEP"), "me");
    EXPECT_EQ(root.Stored("VARNELO", "RECENTCOUNT"), "15");
    EXPECT_EQ(root.Stored("VARNELO", "THREADLISTCOUNT"), "100");
}

TEST(TavuConfig, EmptyFileDoesNotReplaceTheBackupAndIsRestoredFromIt)
{
    ConfigRoot root;
    const QByteArray good("[VARNELO]\r\nTHREADLISTCOUNT=42\r\n[MINE]\r\nKEEP=me\r\n");
    root.WriteKpw(good);
    { TTavuConfig config; }   // leaves kpw.bak: the last save
    EXPECT_EQ(root.Read("users/test/kpw.bak"), root.Read("users/test/kpw.ini"));
    EXPECT_EQ(TIniFile(root.Profile() + "kpw.bak").ReadString("VARNELO", "THREADLISTCOUNT"), "42");

    root.WriteKpw("");   // a write cut short
    {
        TTavuConfig config;
        EXPECT_EQ(config.THREADLISTCOUNT, 42);
        config.Save();
    }
    EXPECT_EQ(root.Stored("MINE", "KEEP"), "me");
    EXPECT_EQ(TIniFile(root.Profile() + "kpw.bak").ReadString("MINE", "KEEP"), "me");
}

// On a full disk the copy that a load leaves and the save are both told, naming the full disk.
TEST(TavuConfig, AFullDiskIsNamedForTheBackupAndTheSave)
{
    ConfigRoot root;
    const QByteArray profile = QFile::encodeName(root.Profile());
    ASSERT_TRUE(QDir().mkpath(root.Profile()));
    if (::mount("tmpfs", profile.constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "mounting a small tmpfs was refused (needs administrator rights)";
    root.WriteKpw("[VARNELO]\r\nTHREADLISTCOUNT=42\r\n");
    FillFileSystem(root.Profile() + "filler");
    {
        TTavuConfig config;
        EXPECT_EQ(config.THREADLISTCOUNT, 42);
        const QString told = config.LoadMessages().join('\n');
        EXPECT_TRUE(told.contains(root.Profile() + "kpw.bak")) << told.toStdString();
        EXPECT_TRUE(told.contains(QStringLiteral("ディスクの空きが足りません"))) << told.toStdString();
        config.THREADLISTCOUNT = 43;
        try {
            config.Save();
            ADD_FAILURE() << "a save that could not be written was reported as done";
        } catch (const EFileError &e) {
            EXPECT_TRUE(e.Message.contains(QStringLiteral("ディスクの空きが足りません"))) << e.Message.toStdString();
        }
        QFile::remove(root.Profile() + "filler");
    }
    EXPECT_EQ(root.Stored("VARNELO", "THREADLISTCOUNT"), "43");   // the last save, once there was room
    ::umount2(profile.constData(), MNT_DETACH);
}

TEST(TavuConfig, EachLoadLeavesABackupAndSeedsOnlyAMissingFile)
{
    ConfigRoot root;
    root.Write("def/kpw.ini", "[VARNELO]\r\nTHREADLISTCOUNT=7\r\n");
    TTavuConfig config;
    EXPECT_EQ(config.THREADLISTCOUNT, 7);
    EXPECT_EQ(root.Read("users/test/kpw.bak"), QByteArray("[VARNELO]\r\nTHREADLISTCOUNT=7\r\n"));

    root.WriteKpw("[VARNELO]\r\nTHREADLISTCOUNT=8\r\n");
    config.Load();
    EXPECT_EQ(config.THREADLISTCOUNT, 8);   // the seed never overwrites
    EXPECT_EQ(root.Read("users/test/kpw.bak"), QByteArray("[VARNELO]\r\nTHREADLISTCOUNT=8\r\n"));
}

TEST(TavuConfig, ProfileChoiceNeverLeavesTheUsersFolder)
{
    TempDataRoot root;
    const QString users = root.Path() + "users/";
    ScopedEnv user("USER", "alice");
    ScopedEnv logname("LOGNAME", nullptr);
    TTavuConfig config;
    EXPECT_EQ(config.GetProfileDir(), users + "alice/");

    root.Write("zevovuv.ini", "[ZEVOVUV]\r\nMODE=0\r\nNAME=bob\r\n");
    EXPECT_EQ(config.GetProfileDir(), users + "alice/");
    root.Write("zevovuv.ini", "[ZEVOVUV]\r\nMODE=1\r\nNAME=bob\r\n");
    EXPECT_EQ(config.GetProfileDir(), users + "bob/");
    root.Write("zevovuv.ini", "[ZEVOVUV]\r\nMODE=1\r\nNAME=" + Sjis(QStringLiteral("太郎")) + "\r\n");
    EXPECT_EQ(config.GetProfileDir(), users + QStringLiteral("太郎/"));

    for (const char *hostile : {"..", "../../etc", "a/../../b", "..\\..\\x", "/tmp/x", "."}) {
        root.Write("zevovuv.ini", QByteArray("[ZEVOVUV]\r\nMODE=1\r\nNAME=") + hostile + "\r\n");
        EXPECT_EQ(config.GetProfileDir(), users + "alice/") << hostile;
    }
    ScopedEnv noUser("USER", nullptr);
    EXPECT_EQ(config.GetProfileDir(), users + "defuser/");
    ScopedEnv badUser("USER", "../root");
    EXPECT_EQ(config.GetProfileDir(), users + "defuser/");
}

TEST(TavuConfig, WorkTimeBeyond32BitsIsKeptAndNotCountedTwice)
{
    ConfigRoot root;
    const qint64 longUse = 3000000000LL;   // about 35 days, beyond 2^31 ms
    root.WriteKpw("[VOZADAZOZ]\r\nWORKTIME=3000000000\r\n");
    qint64 now = 5000;
    TTavuConfig config([&now] { return now; });
    for (int i = 0; i < 3; ++i) {   // option dialogs: save, then load again
        now += 30;
        config.Save();
        config.Load();
    }
    EXPECT_EQ(root.Stored("VOZADAZOZ", "WORKTIME").toLongLong(), longUse + 90);   // each stretch once
    now += 30;
    EXPECT_EQ(config.GetTotalWorkTime(), longUse + 120);   // the stretch not saved yet counts too
}

TEST(TavuConfig, CachedOverrideIsNeitherSavedNorReloaded)
{
    ConfigRoot root;
    root.WriteKpw("[VARNELO]\r\nCACHED=1\r\n");
    TTavuConfig config;
    config.CACHED = false;
    config.CachedOverride = true;
    config.THREADLISTCOUNT = 5;
    config.Save();
    EXPECT_EQ(root.Stored("VARNELO", "CACHED"), "1");
    EXPECT_EQ(root.Stored("VARNELO", "THREADLISTCOUNT"), "5");
    config.Load();
    EXPECT_FALSE(config.CACHED);

    config.CachedOverride = false;   // the user switched save mode by hand
    config.Save();
    EXPECT_EQ(root.Stored("VARNELO", "CACHED"), "0");
}

TEST(TavuConfig, IndexedWidthsStayInRangeAndRoundTrip)
{
    ConfigRoot root;
    {
        TTavuConfig config;
        config.SetActionColWidth(3, 33);
        config.SetActionColWidth(4, 44);   // not stored
        config.SetActionColWidth(-1, 55);
        config.SetFavColumnWidth(10, 110);
        config.SetHistColumnWidth(4, 40);
        config.SetColumnSize("TITLE", 321);
        EXPECT_EQ(config.GetActionColWidth(4), 100);
        EXPECT_EQ(config.GetHistColumnWidth(5), 100);
        config.Save();
    }
    EXPECT_EQ(root.Stored("DESKTOP", "ACTIONCOLWIDTH3"), "33");
    EXPECT_EQ(root.Stored("DESKTOP", "ACTIONCOLWIDTH4"), "");
    TTavuConfig reloaded;
    EXPECT_EQ(reloaded.GetActionColWidth(3), 33);
    EXPECT_EQ(reloaded.GetFavColumnWidth(10), 110);
    EXPECT_EQ(reloaded.GetHistColumnWidth(4), 40);
    EXPECT_EQ(reloaded.GetColumnSize("title"), 321);
}

TEST(TavuConfig, GarbageFileIsToldAndKeptAsideBeforeTheDefaultsAreSaved)
{
    ConfigRoot root;
    const QByteArray garbage("\x89\x50NG\r\n\x1a\n\x00\x00 not settings at all", 31);
    root.WriteKpw(garbage);
    {
        TTavuConfig config;   // no kpw.bak to fall back on
        ASSERT_EQ(config.LoadMessages().size(), 1);
        EXPECT_TRUE(config.LoadMessages()[0].contains(root.Profile() + "kpw.ini.damaged"))
            << config.LoadMessages()[0].toStdString();
    }   // closing saves the settings
    EXPECT_EQ(root.Read("users/test/kpw.ini.damaged"), garbage);
    EXPECT_FALSE(root.Read("users/test/kpw.ini").contains("not settings"));
    EXPECT_FALSE(root.Stored("VARNELO", "THREADLISTCOUNT").isEmpty());

    // a kpw.ini that cannot be read at all stays as it is
    QFile::remove(root.Profile() + "kpw.ini");
    ASSERT_TRUE(QFile::link("/proc/self/mem", root.Profile() + "kpw.ini"));
    {
        TTavuConfig config;
        ASSERT_EQ(config.LoadMessages().size(), 1);
        EXPECT_THROW(config.Save(), EFileError);
    }
    EXPECT_EQ(QFileInfo(root.Profile() + "kpw.ini").symLinkTarget(), QStringLiteral("/proc/self/mem"));
}
