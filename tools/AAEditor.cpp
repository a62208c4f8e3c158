#include "tools/AAEditor.h"

#include "controls/Dialogs.h"
#include "core/Exceptions.h"
#include "core/TavuConfig.h"
#include "core/TextList.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TAAEditor::TAAEditor(const QString &profileDir, QWidget *parent)
    : QDialog(parent), Memo1(new QPlainTextEdit), Button6(new QPushButton(QStringLiteral("&OK"))),
      Button7(new QPushButton(QStringLiteral("キャンセル(&C)"))), fileName(profileDir + QStringLiteral("aalist.txt"))
{
    setWindowTitle(QStringLiteral("一行AAエディタ"));
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    TTextList lines;
    lines.LoadFromFile(fileName);
    Memo1->setPlainText(lines.Lines.join(QLatin1Char('\n')));
    if (TavuConfig) {
        QFont font = Memo1->font();
        if (!TavuConfig->SEND_FONTNAME.isEmpty())
            font.setFamily(TavuConfig->SEND_FONTNAME);
        if (TavuConfig->SEND_FONTSIZE > 0)
            font.setPointSize(TavuConfig->SEND_FONTSIZE);
        Memo1->setFont(font);
    }
    Button6->setDefault(true);
    connect(Button6, &QPushButton::clicked, this, &TAAEditor::Button6Click);
    connect(Button7, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button6);
    buttons->addWidget(Button7);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Memo1, 1);
    layout->addLayout(buttons);
    resize(480, 360);
}

void TAAEditor::Button6Click()
{
    TTextList lines;
    lines.SetText(Memo1->toPlainText());
    try {
        lines.SaveToFile(fileName);
    } catch (const EFileError &e) {
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
        return;
    }
    accept();
}
