#include "core/DataRoot.h"

#include "core/FileUtil.h"
#include "support/TempDataRoot.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

TEST(DataRoot, ProgramFolderIsVarneloHomeOrTheXdgDataFolder)
{
    TempDataRoot root;
    EXPECT_EQ(DataRoot::AppDir(), root.Path());

    QTemporaryDir xdg;
    const bool hadXdg = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    const QByteArray oldXdg = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(xdg.path()));
    qunsetenv("VARNELO_HOME");   // restored by root
    EXPECT_EQ(DataRoot::AppDir(), xdg.path() + "/varnelo/");
    if (hadXdg)
        qputenv("XDG_DATA_HOME", oldXdg);
    else
        qunsetenv("XDG_DATA_HOME");
}

TEST(DataRoot, SeedCopiesWhatIsMissingAndNeverOverwrites)
{
    QTemporaryDir ship;
    const QString shipDir = FileUtil::WithSlash(ship.path());
    FileUtil::WriteFileAtomic(shipDir + "def/kpw.ini", "[VARNELO]\r\n");
    FileUtil::WriteFileAtomic(shipDir + "def/skin/default/Res.html", "<dt>");
    FileUtil::WriteFileAtomic(shipDir + "config/bbs/2chscript/bbs.ini", "[SCRIPT]\r\n");
    FileUtil::WriteFileAtomic(shipDir + "other/not-shipped.txt", "x");

    TempDataRoot root;
    root.Write("def/kpw.ini", "the user's own");
    EXPECT_EQ(DataRoot::Seed(shipDir, root.Path()), 2);
    EXPECT_EQ(root.Read("def/kpw.ini"), QByteArray("the user's own"));
    EXPECT_EQ(root.Read("def/skin/default/Res.html"), QByteArray("<dt>"));
    EXPECT_EQ(root.Read("config/bbs/2chscript/bbs.ini"), QByteArray("[SCRIPT]\r\n"));
    EXPECT_FALSE(QFile::exists(root.File("other/not-shipped.txt")));

    root.Write("config/bbs/2chscript/bbs.ini", "edited");
    EXPECT_EQ(DataRoot::Seed(shipDir, root.Path()), 0);   // a second start copies nothing
    EXPECT_EQ(root.Read("config/bbs/2chscript/bbs.ini"), QByteArray("edited"));
}

TEST(DataRoot, CopyIfMissingNeedsASource)
{
    TempDataRoot root;
    EXPECT_FALSE(DataRoot::CopyIfMissing(root.File("none.txt"), root.File("copy.txt")));
    EXPECT_FALSE(QFile::exists(root.File("copy.txt")));
    root.Write("a.txt", "a");
    root.Write("b.txt", "b");
    EXPECT_TRUE(DataRoot::CopyIfMissing(root.File("a.txt"), root.File("b.txt")));
    EXPECT_EQ(root.Read("b.txt"), QByteArray("b"));
}
