#include "tools/HeeDialog.h"

#include "controls/BarsAndMenus.h"
#include "core/TavuConfig.h"
#include "services/HeeVote.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace {

// Text from the thread or the service is shown as text, never as markup.
QLabel *PlainLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}  // namespace

THeeDialog::THeeDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("へぇ～～～"));
    lblTitle = PlainLabel(this);
    lblUrl = PlainLabel(this);
    lblScore = PlainLabel(this);
    QFont big = lblScore->font();
    big.setPointSize(big.pointSize() * 2);
    lblScore->setFont(big);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblTitle);
    layout->addWidget(lblUrl);
    layout->addWidget(lblScore);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void THeeDialog::SetThread(const QString &newTitle, const QString &newUrl)
{
    title = newTitle;
    url = newUrl;
    lblTitle->setText(title);
    lblUrl->setText(url);
    lblScore->clear();
}

bool THeeDialog::SendHee()
{
    QApplication::setOverrideCursor(Qt::BusyCursor);
    QString score;
    QString error;
    const bool sent = THeeVote::Send(THeeVote::VoteUrl(TavuConfig->CHBOX_HEURL, title, url), score, error);
    QApplication::restoreOverrideCursor();
    if (sent)
        lblScore->setText(score);
    else
        EventLog::AddLog(error);
    return sent;
}
