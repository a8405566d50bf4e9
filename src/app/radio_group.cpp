// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/radio_group.h"

#include <QButtonGroup>
#include <QRadioButton>

namespace orvale {

namespace {
constexpr int kCaptionHeight = 15;  // room the box's caption takes above the first item
constexpr int kItemIndent = 8;
}  // namespace

RadioGroup::RadioGroup(const QString& name, const QString& caption, const QStringList& items,
                       const QRect& geometry, QWidget* parent)
    : QGroupBox(caption, parent), buttons_(new QButtonGroup(this)) {
    setObjectName(name);
    setGeometry(geometry);
    const int rowHeight = (geometry.height() - kCaptionHeight - 4) / std::max<int>(1, items.size());
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        button->setObjectName(name + QStringLiteral("_item%1").arg(i));
        button->setGeometry(kItemIndent, kCaptionHeight + i * rowHeight,
                            geometry.width() - 2 * kItemIndent, rowHeight);
        buttons_->addButton(button, i);
        TabStopOnlyWhenChecked(button);
    }
    setItemIndex(0);
}

void TabStopOnlyWhenChecked(QRadioButton* button) {
    const auto follow = [button](bool checked) {
        button->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
    };
    follow(button->isChecked());
    QObject::connect(button, &QAbstractButton::toggled, button, follow);
}

int RadioGroup::itemIndex() const {
    return buttons_->checkedId();
}

void RadioGroup::setItemIndex(int index) {
    if (QAbstractButton* button = buttons_->button(index)) button->setChecked(true);
}

QRadioButton* RadioGroup::item(int index) const {
    return qobject_cast<QRadioButton*>(buttons_->button(index));
}

int RadioGroup::count() const {
    return buttons_->buttons().size();
}

}  // namespace orvale
