#include "tools/ErrorDialog.h"

#include "core/TavuConfig.h"
#include "render/EmbeddedWB.h"

#include <QDialogButtonBox>
#include <QUrl>
#include <QVBoxLayout>

TErrorDialog::TErrorDialog(QWidget *parent)
    : QDialog(parent), file(TavuConfig->GetTempDir() + QStringLiteral("Error-XXXXXX.htm"))
{
    setObjectName(QStringLiteral("ErrorDialog"));
    setWindowTitle(QStringLiteral("エラー"));
    auto *layout = new QVBoxLayout(this);
    WebBrowser1 = new TEmbeddedWB(this);
    layout->addWidget(WebBrowser1, 1);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    // The page stays where it is: links, refreshes and forms of the server's page lead nowhere.
    connect(WebBrowser1, &TEmbeddedWB::BeforeNavigate, this, [this](const QUrl &url, bool &cancel) {
        cancel = url.toLocalFile() != file.fileName();
    });
    resize(600, 400);
}

bool TErrorDialog::ShowPage(const QString &pageText)
{
    // UTF-8 with a byte-order mark: the mark wins over any charset the server's page declares.
    if (!file.open())
        return false;
    file.write("\xEF\xBB\xBF");
    file.write(pageText.toUtf8());
    file.close();
    WebBrowser1->Navigate(file.fileName());
    return true;
}
