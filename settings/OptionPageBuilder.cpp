#include "settings/OptionPageBuilder.h"

#include "settings/OptionControls.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

TPageBuilder::TPageBuilder(QWidget *parent, TOptionBindings &bindings)
    : parent(parent), layout(new QVBoxLayout(parent)), bindings(&bindings)
{
}

TPageBuilder::TPageBuilder(QWidget *parent, QVBoxLayout *layout, TOptionBindings *bindings)
    : parent(parent), layout(layout), bindings(bindings)
{
}

TPageBuilder TPageBuilder::Unbound() const
{
    return TPageBuilder(parent, layout, nullptr);
}

TPageBuilder TPageBuilder::Group(const QString &title)
{
    auto *box = new QGroupBox(title, parent);
    layout->addWidget(box);
    return TPageBuilder(box, new QVBoxLayout(box), bindings);
}

QCheckBox *TPageBuilder::Check(const QString &caption, bool &setting, bool inverted)
{
    auto *box = new QCheckBox(caption, parent);
    layout->addWidget(box);
    if (bindings)
        bindings->Check(box, setting, inverted);
    return box;
}

QCheckBox *TPageBuilder::CheckValue(const QString &caption, int &setting, int checkedValue, int uncheckedValue)
{
    auto *box = new QCheckBox(caption, parent);
    layout->addWidget(box);
    if (bindings)
        bindings->CheckValue(box, setting, checkedValue, uncheckedValue);
    return box;
}

QButtonGroup *TPageBuilder::Radio(const QString &caption, const QStringList &items, int &setting, int offset)
{
    auto *box = new QGroupBox(caption, parent);
    auto *boxLayout = new QVBoxLayout(box);
    auto *group = new QButtonGroup(box);
    for (int i = 0; i < items.size(); ++i) {
        auto *button = new QRadioButton(items.at(i), box);
        boxLayout->addWidget(button);
        group->addButton(button, i);
    }
    layout->addWidget(box);
    if (bindings)
        bindings->Radio(group, setting, offset);
    return group;
}

QComboBox *TPageBuilder::List(const QString &caption, const QStringList &items, int &setting)
{
    auto *list = new QComboBox;
    list->addItems(items);
    Row(caption, list);
    if (bindings)
        bindings->List(list, setting);
    return list;
}

QSpinBox *TPageBuilder::Spin(const QString &caption, int minimum, int maximum, int &setting)
{
    auto *spin = new QSpinBox;
    spin->setRange(minimum, maximum);
    Row(caption, spin);
    if (bindings)
        bindings->Spin(spin, setting);
    return spin;
}

QLineEdit *TPageBuilder::Text(const QString &caption, QString &setting)
{
    auto *edit = new QLineEdit;
    Row(caption, edit);
    if (bindings)
        bindings->Text(edit, setting);
    return edit;
}

TColorSwatch *TPageBuilder::Color(const QString &caption, TColor &setting)
{
    auto *swatch = new TColorSwatch;
    Row(caption, swatch);
    if (bindings)
        bindings->Color(swatch, setting);
    return swatch;
}

QComboBox *TPageBuilder::Font(const QString &caption, QString &setting, const QString &emptyName)
{
    auto *list = new QComboBox;
    FillFontList(list);
    Row(caption, list);
    if (bindings)
        bindings->Font(list, setting, emptyName);
    return list;
}

QPushButton *TPageBuilder::Button(const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    auto *row = new QHBoxLayout;
    row->addWidget(button);
    row->addStretch();
    layout->addLayout(row);
    return button;
}

QLabel *TPageBuilder::Label(const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    layout->addWidget(label);
    return label;
}

QWidget *TPageBuilder::Row(const QString &caption, QWidget *control)
{
    auto *row = new QWidget(parent);
    auto *rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    auto *label = new QLabel(caption, row);
    label->setBuddy(control);
    rowLayout->addWidget(label);
    control->setParent(row);
    rowLayout->addWidget(control, 1);
    layout->addWidget(row);
    return row;
}

void TPageBuilder::Add(QWidget *widget)
{
    widget->setParent(parent);
    layout->addWidget(widget);
}

void TPageBuilder::AddLayout(QLayout *child)
{
    layout->addLayout(child);
}

void TPageBuilder::Stretch()
{
    layout->addStretch();
}
