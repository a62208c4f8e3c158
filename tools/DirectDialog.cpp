#include "tools/DirectDialog.h"

#include "controls/BarsAndMenus.h"
#include "core/Exceptions.h"
#include "core/FileUtil.h"
#include "core/JConvert.h"
#include "core/TavuConfig.h"
#include "services/OutsidePage.h"

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

QString TDirectDialog::InfoUrl = QStringLiteral("http://www.varnelo.example/info/direct.txt");

namespace {

QString DirectFile()
{
    return TavuConfig->GetProfileDir() + QStringLiteral("direct.txt");
}

// An information file is plain text with at least one node; an HTML page (a server's error or
// notice page sent as 200) is not one.
bool IsTreeText(const QByteArray &body)
{
    return !body.trimmed().isEmpty() && !body.left(512).toLower().contains("<html");
}

}  // namespace

void LoadTreeText(QTreeWidget *tree, const QString &text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    tree->clear();
    QList<QTreeWidgetItem *> parents;   // the last node of each depth
    for (const QString &line : text.split(lineBreak, Qt::SkipEmptyParts)) {
        int tabs = 0;
        while (tabs < line.size() && line[tabs] == QLatin1Char('\t'))
            ++tabs;
        const int depth = std::min<int>(tabs, parents.size());
        auto *node = depth == 0 ? new QTreeWidgetItem(tree) : new QTreeWidgetItem(parents[depth - 1]);
        node->setText(0, line.mid(tabs));
        parents.resize(depth);
        parents.append(node);
    }
}

TDirectDialog::TDirectDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("ヴァルネロダイレクト"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("ヴァルネロ・ダイレクト"), this));
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setText(QStringLiteral("最新の情報を取得"));
    TreeView1 = new QTreeWidget(this);
    TreeView1->setHeaderHidden(true);
    StatusBar1 = new QLabel(this);
    layout->addWidget(SpeedButton1);
    layout->addWidget(TreeView1, 1);
    layout->addWidget(StatusBar1);
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    N1 = new QAction(QStringLiteral("最新情報取得"), TreeView1);
    connect(N1, &QAction::triggered, this, [this] { SpeedButton1Click(); });
    TreeView1->addAction(N1);
    TreeView1->setContextMenuPolicy(Qt::ActionsContextMenu);
    LoadTree();
    resize(420, 480);
}

void TDirectDialog::LoadTree()
{
    QFile file(DirectFile());
    LoadTreeText(TreeView1, file.open(QIODevice::ReadOnly) ? jconvert::SjisToUnicode(file.readAll()) : QString());
    if (QTreeWidgetItem *first = TreeView1->topLevelItem(0)) {
        first->setExpanded(true);
        if (QTreeWidgetItem *child = first->child(0))
            TreeView1->expandRecursively(TreeView1->indexFromItem(child));
    }
}

void TDirectDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (shownOnce)
        return;
    shownOnce = true;
    StatusBar1->setText(QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd")));
    if (TavuConfig->STARTUPLOADDIRECT)
        SpeedButton1Click();
}

bool TDirectDialog::SpeedButton1Click()
{
    EventLog::AddLog(QStringLiteral("検索中です..."));
    QApplication::setOverrideCursor(Qt::BusyCursor);
    TreeView1->setEnabled(false);
    const TOutsidePage page = FetchOutsidePage(InfoUrl);
    bool loaded = page.Ok();
    if (!loaded) {
        EventLog::AddLog(page.Error);
    } else if (!IsTreeText(page.Body)) {
        loaded = false;
        EventLog::AddLog(UnknownPageFormat(InfoUrl));
    } else {
        EventLog::AddLog(QStringLiteral("内容確認中・・・"));
        try {
            FileUtil::WriteFileAtomic(DirectFile(), page.Body);
            LoadTree();
        } catch (const EVarnelo &e) {
            loaded = false;
            EventLog::AddLog(e.Message);
        }
    }
    TreeView1->setEnabled(true);
    QApplication::restoreOverrideCursor();
    return loaded;
}
