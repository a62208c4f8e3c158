#include "settings/OptionControls.h"

#include "controls/Dialogs.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
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
    if (Dialogs::ExecDialog(dialog) == QDialog::Accepted)
        SetColor(FromQColor(dialog.currentColor()));
}

// ---- helpers ----

namespace {
const char *const FontNameProperty = "fontName";
}  // namespace

void FillFontList(QComboBox *list)
{
    list->clear();
    list->addItems(QFontDatabase::families());
    // An entry chosen becomes the list's font name.
    QObject::connect(list, &QComboBox::currentIndexChanged, list, [list](int index) {
        if (index >= 0)
            list->setProperty(FontNameProperty, list->currentText());
    });
}

bool SelectFont(QComboBox *list, const QString &name)
{
    const auto find = [list](const QString &family) {
        return list->findText(family, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    };
    const int index = find(name);
    list->setCurrentIndex(index >= 0 || name.isEmpty() ? index : find(QFontInfo(QFont(name)).family()));
    list->setProperty(FontNameProperty, name);
    return index >= 0;
}

QString FontNameOf(const QComboBox *list)
{
    return list->property(FontNameProperty).toString();
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
    Add([list, &setting, emptyName] { SelectFont(list, setting.isEmpty() ? emptyName : setting); },
        [list, &setting] { setting = FontNameOf(list); });
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
