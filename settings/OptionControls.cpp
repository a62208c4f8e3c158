#include "settings/OptionControls.h"

#include "mainwindow/Dialogs.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>
#include <memory>

namespace {

TColor FromQColor(const QColor &c)
{
    return TColor(c.red() | (c.green() << 8) | (c.blue() << 16));
}

}  // namespace

// ---- colour swatch ----

TColorSwatch::TColorSwatch(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Swatch = new QFrame(this);
    Swatch->setFrameShape(QFrame::Box);
    Swatch->setFixedSize(40, 18);
    Swatch->setAutoFillBackground(true);
    ChooseButton = new QToolButton(this);
    ChooseButton->setText(QStringLiteral("･･"));
    layout->addWidget(Swatch);
    layout->addWidget(ChooseButton);
    layout->addStretch();
    connect(ChooseButton, &QToolButton::clicked, this, &TColorSwatch::Choose);
    SetColor(color);
}

void TColorSwatch::SetColor(TColor value)
{
    color = value;
    QPalette palette = Swatch->palette();
    palette.setColor(QPalette::Window, QColor::fromRgba(ColorToQColor(value)));
    Swatch->setPalette(palette);
    emit ColorChanged();
}

void TColorSwatch::Choose()
{
    QColorDialog dialog(QColor::fromRgba(ColorToQColor(color)), window());
    if (Kpwfunc::ExecDialog(dialog) == QDialog::Accepted)
        SetColor(FromQColor(dialog.currentColor()));
}

// ---- helpers ----

void FillFontList(QComboBox *list)
{
    list->clear();
    list->addItems(QFontDatabase::families());
}

bool SelectFont(QComboBox *list, const QString &name)
{
    list->setCurrentIndex(list->findText(name, Qt::MatchFixedString | Qt::MatchCaseSensitive));
    return list->currentIndex() >= 0;
}

void CheckRadio(QButtonGroup *group, int id)
{
    if (QAbstractButton *button = group->button(id)) {
        button->setChecked(true);
        return;
    }
    group->setExclusive(false);
    for (QAbstractButton *button : group->buttons())
        button->setChecked(false);
    group->setExclusive(true);
}

// ---- bindings ----

void TOptionBindings::Add(std::function<void()> load, std::function<void()> store)
{
    bindings.push_back({std::move(load), std::move(store)});
}

void TOptionBindings::Check(QCheckBox *box, bool &setting, bool inverted)
{
    Add([box, &setting, inverted] { box->setChecked(setting != inverted); },
        [box, &setting, inverted] { setting = box->isChecked() != inverted; });
}

void TOptionBindings::CheckValue(QCheckBox *box, int &setting, int checkedValue, int uncheckedValue)
{
    Add([box, &setting, checkedValue] { box->setChecked(setting == checkedValue); },
        [box, &setting, checkedValue, uncheckedValue] {
            setting = box->isChecked() ? checkedValue : uncheckedValue;
        });
}

void TOptionBindings::Radio(QButtonGroup *group, int &setting, int offset)
{
    Add([group, &setting, offset] { CheckRadio(group, setting - offset); },
        [group, &setting, offset] {
            if (group->checkedId() != -1)
                setting = group->checkedId() + offset;
        });
}

void TOptionBindings::List(QComboBox *list, int &setting)
{
    Add([list, &setting] { list->setCurrentIndex(setting < list->count() ? setting : -1); },
        [list, &setting] {
            if (list->currentIndex() >= 0)
                setting = list->currentIndex();
        });
}

void TOptionBindings::Spin(QSpinBox *spin, int &setting)
{
    Add([spin, &setting] { spin->setValue(setting); }, [spin, &setting] { setting = spin->value(); });
}

void TOptionBindings::Text(QLineEdit *edit, QString &setting)
{
    Add([edit, &setting] { edit->setText(setting); }, [edit, &setting] { setting = edit->text(); });
}

void TOptionBindings::Color(TColorSwatch *swatch, TColor &setting)
{
    Add([swatch, &setting] { swatch->SetColor(setting); }, [swatch, &setting] { setting = swatch->Color(); });
}

void TOptionBindings::Font(QComboBox *list, QString &setting, const QString &emptyName)
{
    // The name shown at open, kept when the list has no entry for it.
    auto shown = std::make_shared<QString>();
    Add([list, &setting, emptyName, shown] {
            *shown = setting.isEmpty() ? emptyName : setting;
            SelectFont(list, *shown);
        },
        [list, &setting, shown] { setting = list->currentIndex() >= 0 ? list->currentText() : *shown; });
}

void TOptionBindings::LoadAll() const
{
    for (const TBinding &binding : bindings)
        binding.Load();
}

void TOptionBindings::StoreAll() const
{
    for (const TBinding &binding : bindings)
        binding.Store();
}
