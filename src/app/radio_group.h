// SPDX-License-Identifier: GPL-3.0-or-later
// A captioned box of mutually exclusive items with an item index, the worksheet's option control.
#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace orvale {

class RadioGroup : public QGroupBox {
    Q_OBJECT
  public:
    // Places the items one below the other in the box of the given geometry; item 0 selected.
    RadioGroup(const QString& name, const QString& caption, const QStringList& items,
               const QRect& geometry, QWidget* parent);

    int itemIndex() const;
    void setItemIndex(int index);
    QRadioButton* item(int index) const;
    int count() const;

  private:
    QButtonGroup* buttons_;
};

// Makes button a tab stop only while it is checked, so that Tab enters a set of options at the
// selected one (the arrow keys move between the options).
void TabStopOnlyWhenChecked(QRadioButton* button);

}  // namespace orvale
