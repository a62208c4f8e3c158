#include "tools/SettingTextDialog.h"

#include "controls/BarsAndMenus.h"
#include "services/OutsidePage.h"
#include "services/PictureLoader.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTabWidget>
#include <QVBoxLayout>

TSettingTextDialog::TSettingTextDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("SETTING.TXT"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("SETTING.TXT表示"), this));

    ValueListEditor1 = new QTableWidget(0, 2, this);
    ValueListEditor1->setHorizontalHeaderLabels({QStringLiteral("キー"), QStringLiteral("値")});
    ValueListEditor1->horizontalHeader()->setStretchLastSection(true);
    ValueListEditor1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setReadOnly(true);
    EmbeddedWB1 = new QLabel(this);
    EmbeddedWB1->setAlignment(Qt::AlignCenter);

    auto *pages = new QTabWidget(this);
    pages->addTab(ValueListEditor1, QStringLiteral("一覧"));
    pages->addTab(Memo1, QStringLiteral("テキスト"));
    layout->addWidget(pages, 1);
    layout->addWidget(EmbeddedWB1);
    resize(520, 480);
}

bool TSettingTextDialog::LoadSettingTxt(const QString &boardUrl)
{
    EventLog::AddLog(QStringLiteral("検索中です..."));
    QApplication::setOverrideCursor(Qt::BusyCursor);
    ValueListEditor1->setEnabled(false);
    QString error;
    const bool loaded = settings.Load(boardUrl, error);
    if (loaded) {
        EventLog::AddLog(QStringLiteral("内容確認中・・・"));
        Show();
    } else {
        EventLog::AddLog(error);
    }
    ValueListEditor1->setEnabled(true);
    QApplication::restoreOverrideCursor();
    return loaded;
}

void TSettingTextDialog::Show()
{
    const auto pairs = settings.Pairs();
    ValueListEditor1->setRowCount(pairs.size());
    for (int row = 0; row < pairs.size(); ++row) {
        ValueListEditor1->setItem(row, 0, new QTableWidgetItem(pairs[row].first));
        ValueListEditor1->setItem(row, 1, new QTableWidgetItem(pairs[row].second));
    }
    ValueListEditor1->resizeColumnToContents(0);   // the longest key shows whole
    Memo1->setPlainText(settings.Lines().join(QLatin1Char('\n')));
    ShowTitlePicture(settings.TitlePicture());
}

// The picture is shown as an image only: nothing the server sends is rendered as a page.
void TSettingTextDialog::ShowTitlePicture(const QString &url)
{
    EmbeddedWB1->clear();
    if (url.isEmpty())
        return;
    const TOutsidePage page = FetchOutsidePage(url);
    if (!page.Ok()) {
        EventLog::AddLog(page.Error);
        return;
    }
    // Decoded within the picture loader's bounds, so a picture bomb is refused, not decoded.
    const TDecodedPicture picture = TPictureLoader::Decode(page.Body, TPictureLoader::DefaultFitSize);
    if (!picture.Image.isNull())
        EmbeddedWB1->setPixmap(QPixmap::fromImage(picture.Image));
}
