// Export of thread logs through the window's rendering trio: dat lines that give back the stored
// log byte for byte (erased responses kept, nothing renumbered), HTML pages without any script a
// server sent, file names made safe, several threads with their progress.

#include "WindowTestEnv.h"

#include "controls/WindowServices.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/JConvert.h"
#include "core/ThreadItem.h"
#include "services/SkinAssignments.h"
#include "services/ThreadExporter.h"
#include "settings/ExportDialog.h"
#include "settings/SkinDialog2.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QRadioButton>
#include <QRegularExpression>
#include <QUrl>

namespace {

void WriteBbsTxt(TWindowEnv &env)
{
    env.WriteProfile(QStringLiteral("bbs.txt"), "2ch\r\n");
}

TThreadItem *StoredThread(const QString &key, const QString &title, const QByteArray &log)
{
    auto *item = new TThreadItem;
    item->SetLocation(QStringLiteral("2ch"), QStringLiteral("news"), key, title);
    FileUtil::WriteFileAtomic(item->GetLogFile(), log);
    return item;
}

TThreadExporter ExporterFor(TWindowEnv &env, TThreadExporter::TFormat format, const QString &folder)
{
    TThreadExporter exporter;
    exporter.Format = format;
    exporter.Extension = format == TThreadExporter::efDat ? QStringLiteral(".dat") : QStringLiteral(".html");
    exporter.Folder = folder;
    exporter.Skin = TSkinSettings::Defaults(QStringLiteral("export_dialog"), TavuConfig->GetProfileDir());
    exporter.Render = [&env](IResultView *view, TResList *list) { env.Window->Services().Views().RenderResList(view, list); };
    return exporter;
}

}  // namespace

TEST(LogExport, DatOfAWholeThreadIsTheStoredLogByteForByte)
{
    TWindowEnv env(WriteBbsTxt);
    env.Start();
    const QByteArray log = jconvert::UnicodeToSjis(QStringLiteral(
        "名無し<><>2024/05/01 12:00:00 ID:aaa<>一つ目 &gt;&gt;2<>題名\r\n"
        "名無し<>sage<>2024/05/01 12:00:01 ID:bbb<>消された二つ目<>\r\n"
        "名無し<><>2024/05/01 12:00:02 ID:ccc<>三つ目<>\r\n"));
    TThreadItem *item = StoredThread(QStringLiteral("1000000001"), QStringLiteral("題名"), log);
    TIniFile inf(item->GetInfFile());
    inf.WriteBool(QStringLiteral("ERASE"), QStringLiteral("RES2"), true);   // erased by the user
    inf.UpdateFile();

    const QString folder = env.Root.File(QStringLiteral("out/"));
    QDir().mkpath(folder);
    const QString path = ExporterFor(env, TThreadExporter::efDat, folder).Export(item, nullptr);
    EXPECT_EQ(path, folder + QStringLiteral("1000000001.dat"));
    EXPECT_EQ(FileUtil::ReadFile(path), log);

    // The HTML of the same thread leaves the erased response out and keeps the others' numbers.
    const QString page = jconvert::SjisToUnicode(
        FileUtil::ReadFile(ExporterFor(env, TThreadExporter::efHtml, folder).Export(item, nullptr)));
    EXPECT_TRUE(page.contains(QStringLiteral("id=\"ID3\"")));
    EXPECT_FALSE(page.contains(QStringLiteral("消された二つ目")));
    item->Release();
}

TEST(LogExport, HtmlOfHostileBodiesCarriesNoScript)
{
    TWindowEnv env(WriteBbsTxt);
    env.Start();
    const QByteArray log = jconvert::UnicodeToSjis(QStringLiteral(
        "<script>alert(1)</script>名無し<><>2024/05/01 12:00:00<>本文<script>alert(2)</script><>"
        "題<script>alert(3)</script>\r\n"
        "名無し<><>2024/05/01 12:00:01<><img src=x onerror=alert(4)> <a href=\"javascript:alert(5)\">押して</a> "
        "<iframe src=\"http://evil.example/\"></iframe><body onload=alert(6)><>\r\n"
        "名無し<><>2024/05/01 12:00:02<><a href=\"http://example.net/\" onclick=\"alert(7)\">外</a><>\r\n"));
    TThreadItem *item = StoredThread(QStringLiteral("1000000002"), QStringLiteral("題<script>alert(3)</script>"), log);
    const QString folder = env.Root.File(QStringLiteral("out/"));
    QDir().mkpath(folder);
    const QString page =
        jconvert::SjisToUnicode(FileUtil::ReadFile(ExporterFor(env, TThreadExporter::efHtml, folder).Export(item, nullptr)))
            .toLower();
    item->Release();

    EXPECT_FALSE(page.contains(QStringLiteral("<script")));
    EXPECT_FALSE(page.contains(QStringLiteral("<iframe")));
    EXPECT_FALSE(page.contains(QStringLiteral("javascript:")));
    for (const char *handler : {"onerror", "onload", "onclick"})
        EXPECT_FALSE(page.contains(QRegularExpression(QStringLiteral("<[^>]*\\s%1\\s*=").arg(QLatin1String(handler)))))
            << handler;
    EXPECT_TRUE(page.contains(QStringLiteral("href=\"http://example.net/\"")));
}

// A skin's style sheet is found from the exported page by a relative path.
TEST(LogExport, HtmlPageFindsItsSkinFilesRelatively)
{
    TWindowEnv env(WriteBbsTxt);
    env.Start();
    env.WriteProfile(QStringLiteral("skin/styled/header.html"),
                     "<html><head><link rel=\"stylesheet\" href=\"<SKINPATH/>style.css\"></head><body>");
    env.WriteProfile(QStringLiteral("skin/styled/style.css"), "body { color: red; }");
    TThreadItem *item = StoredThread(QStringLiteral("1000000004"), QStringLiteral("題"),
                                     jconvert::UnicodeToSjis(QStringLiteral("名無し<><>2024<>本文<>題\r\n")));
    const QString folder = env.Root.File(QStringLiteral("out/pages/"));
    QDir().mkpath(folder);
    TThreadExporter exporter = ExporterFor(env, TThreadExporter::efHtml, folder);
    exporter.Skin.SkinPath = env.Profile(QStringLiteral("skin/styled/"));
    const QString page = jconvert::SjisToUnicode(FileUtil::ReadFile(exporter.Export(item, nullptr)));
    item->Release();

    const QRegularExpressionMatch link = QRegularExpression(QStringLiteral("href=\"([^\"]*)style.css\"")).match(page);
    ASSERT_TRUE(link.hasMatch()) << page.toStdString();
    EXPECT_FALSE(link.captured(1).startsWith(QStringLiteral("file:")));
    EXPECT_FALSE(link.captured(1).startsWith(QLatin1Char('/')));
    EXPECT_TRUE(QFile::exists(QDir(folder).filePath(QUrl::fromPercentEncoding(link.captured(1).toUtf8()) + QStringLiteral("style.css"))));
}

TEST(LogExport, TitlesBecomeSafeFileNames)
{
    EXPECT_EQ(TThreadExporter::SafeFileName(QStringLiteral("a/b?c<d>e|f,g;h")), QStringLiteral("abcdefgh"));
    EXPECT_EQ(TThreadExporter::SafeFileName(QStringLiteral("..\\..\\etc:passwd*\"")), QStringLiteral("etcpasswd"));
    EXPECT_EQ(TThreadExporter::SafeFileName(QStringLiteral(" 題\t名 ")), QStringLiteral("題名"));
    TThreadExporter exporter;
    exporter.TitleAsName = true;
    exporter.Folder = QStringLiteral("/out");
    exporter.Extension = QStringLiteral(".html");
    auto *item = new TThreadItem;
    item->DatName = QStringLiteral("1000000003.dat");
    item->TITLE = QStringLiteral("/..?/");   // nothing usable: the key names the file
    EXPECT_EQ(exporter.FileNameFor(item), QStringLiteral("/out/1000000003.html"));
    item->TITLE = QStringLiteral("スレ/その?2");
    EXPECT_EQ(exporter.FileNameFor(item), QStringLiteral("/out/スレその2.html"));
    item->Release();
}

// A title of 120 Japanese characters (360 bytes on the file system) names its file, cut between two
// characters so that the name with its extension fits the file system's 255 bytes.
TEST(LogExport, ALongTitleIsCutByBytesAndItsFileWritten)
{
    TWindowEnv env(WriteBbsTxt);
    env.Start();
    const QString title = QStringLiteral("長").repeated(120);
    TThreadItem *item = StoredThread(QStringLiteral("1000000005"), title,
                                     jconvert::UnicodeToSjis(QStringLiteral("名無し<><>2024<>本文<>題\r\n")));
    const QString folder = env.Root.File(QStringLiteral("long/"));
    QDir().mkpath(folder);
    TThreadExporter exporter = ExporterFor(env, TThreadExporter::efDat, folder);
    exporter.TitleAsName = true;
    const QString path = exporter.Export(item, nullptr);
    item->Release();

    ASSERT_FALSE(path.isEmpty());
    EXPECT_TRUE(QFile::exists(path));
    const QString name = QFileInfo(path).fileName();
    EXPECT_EQ(name, QStringLiteral("長").repeated(83) + QStringLiteral(".dat"));   // 84 would make 256 bytes
    EXPECT_LE(QFile::encodeName(name).size(), 255);
    // A character is never split, even one of two UTF-16 units.
    EXPECT_EQ(TThreadExporter::SafeFileName(QStringLiteral("ab𠮷"), 5), QStringLiteral("ab"));
    EXPECT_EQ(TThreadExporter::SafeFileName(QStringLiteral("ab𠮷"), 6), QStringLiteral("ab𠮷"));
}

// Three selected threads through the dialog: three files, the status counts through them, the
// settings are kept; a thread without stored responses gives no file.
TEST(LogExport, DialogWritesEverySelectedThreadWithProgress)
{
    TWindowEnv env(WriteBbsTxt);
    env.Start();
    QList<TThreadItem *> items;
    for (int i = 1; i <= 3; ++i)
        items.append(StoredThread(QStringLiteral("100000001%1").arg(i), QStringLiteral("スレ%1").arg(i),
                                  jconvert::UnicodeToSjis(QStringLiteral("名無し<><>2024/05/01<>本文%1<>スレ%1\r\n").arg(i))));
    auto *empty = new TThreadItem;
    empty->SetLocation(QStringLiteral("2ch"), QStringLiteral("news"), QStringLiteral("1000000019"), QStringLiteral("空"));
    items.append(empty);
    const QString folder = env.Root.File(QStringLiteral("export"));
    QDir().mkpath(folder);

    TExportDialog dialog(env.Window);
    dialog.SetThreads(items);
    dialog.Render = [&env](IResultView *view, TResList *list) { env.Window->Services().Views().RenderResList(view, list); };
    QStringList progress;
    QObject::connect(&dialog, &TExportDialog::Progress, [&](int, const QString &text) { progress.append(text); });
    dialog.DatRadio->setChecked(true);
    EXPECT_EQ(dialog.ExtEdit->text(), QStringLiteral(".dat"));
    dialog.ExtEdit->setText(QStringLiteral(".txt"));
    dialog.FileNameCombo->setCurrentIndex(1);
    dialog.FolderEdit->setText(folder);
    dialog.OKButtonClick();
    for (TThreadItem *item : items)
        item->Release();

    EXPECT_EQ(progress, (QStringList{QStringLiteral("[1/4] スレ1"), QStringLiteral("[2/4] スレ2"),
                                     QStringLiteral("[3/4] スレ3"), QStringLiteral("[4/4] 空")}));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files),
              (QStringList{QStringLiteral("スレ1.txt"), QStringLiteral("スレ2.txt"), QStringLiteral("スレ3.txt")}));
    EXPECT_EQ(TavuConfig->EXPORT_FORMAT, 1);
    EXPECT_EQ(TavuConfig->EXPORT_DATEXT, QStringLiteral(".txt"));
    EXPECT_EQ(TavuConfig->EXPORT_HTMLEXT, QStringLiteral(".html"));
    EXPECT_EQ(TavuConfig->EXPORT_PATH, folder);
}

// The window's export command hands the current tab to the real export dialog.
TEST(LogExport, ThreadListExportRunsTheExportDialog)
{
    TWindowEnv env(WriteBbsTxt);
    env.Start();
    QStringList dialogs;
    Dialogs::TScopedDialogHandlers answer(nullptr, [&](QDialog &dialog) {
        dialogs.append(dialog.metaObject()->className());
        return int(QDialog::Rejected);
    });
    TThreadItem *item = StoredThread(QStringLiteral("1000000021"), QStringLiteral("題"),
                                     jconvert::UnicodeToSjis(QStringLiteral("名無し<><>2024<>本文<>題\r\n")));
    env.Window->OpenThread(item, false, true, true, 0, false, QString());
    item->Release();
    env.Window->Action(QStringLiteral("actThreadExport"))->trigger();
    EXPECT_EQ(dialogs, QStringList{QStringLiteral("TExportDialog")});
}

// "･･" beside the skin runs the skin dialog for the export's section; its choice lands in the field
// and in skin.ini with all seven keys, the Katjusha skin is recognised by its templates and the
// sample thread is shown through it.
TEST(LogExport, SkinButtonChoosesTheExportSkin)
{
    TWindowEnv env(WriteBbsTxt);
    env.Start();
    EXPECT_FALSE(TSkinAssignments(TavuConfig->GetProfileDir()).SkinFolders().contains(QStringLiteral("module")));
    QString rendered;
    Dialogs::TScopedDialogHandlers answer(nullptr, [&](QDialog &dialog) {
        auto *skins = dynamic_cast<TSkinDialog2 *>(&dialog);
        if (!skins)
            return int(QDialog::Rejected);
        const QList<QListWidgetItem *> found = skins->SkinList->findItems(QStringLiteral("katjusha"), Qt::MatchExactly);
        if (found.isEmpty())
            return int(QDialog::Rejected);
        skins->SkinList->setCurrentItem(found.first());
        emit skins->SkinList->itemClicked(found.first());
        rendered = skins->PreviewHtml;
        skins->ImageSizeEdit->setValue(40);
        skins->OKButtonClick();
        return skins->result();
    });
    TExportDialog dialog(env.Window);
    dialog.SkinButtonClick();
    EXPECT_EQ(dialog.SkinEdit->text(), env.Profile(QStringLiteral("skin/katjusha")));
    EXPECT_TRUE(rendered.contains(QStringLiteral("史上初かもしれないスレを立ててみました。")));
    const TIniFile ini(env.Profile(QStringLiteral("skin.ini")));
    EXPECT_EQ(ini.ReadSection(QStringLiteral("export_dialog")).size(), 7);
    EXPECT_TRUE(ini.ReadBool(QStringLiteral("export_dialog"), QStringLiteral("KATJUSHA")));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("export_dialog"), QStringLiteral("IMAGESIZE")), 40);
}
