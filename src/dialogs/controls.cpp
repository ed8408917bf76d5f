// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/controls.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <algorithm>

#include "dialogs/ip_address_edit.h"

namespace corvane::dialogs {

TypingLimit::TypingLimit(QLineEdit* edit, int limit) : QValidator(edit), limit_(limit) {}

QValidator::State TypingLimit::validate(QString& input, int& cursor) const {
  const qsizetype room = std::max<qsizetype>(limit_, allowance_);
  if (input.size() > room) {
    // What was just typed or pasted ends at the cursor: its tail goes, never half a character.
    qsizetype start = std::max<qsizetype>(cursor - (input.size() - room), 0);
    if (start > 0 && input.at(start - 1).isHighSurrogate()) --start;
    input.remove(start, cursor - start);
    input.truncate(room);
    cursor = static_cast<int>(start);
    // Nothing of it fits: refused, so that the edit keeps its undo history.
    if (input == accepted_) return Invalid;
  }
  allowance_ = std::min(allowance_, input.size());
  accepted_ = input;
  return Acceptable;
}

QTreeWidget* MakeReportList(QWidget* parent) {
  auto* list = new QTreeWidget(parent);
  list->setRootIsDecorated(false);
  list->setItemsExpandable(false);
  list->setUniformRowHeights(true);
  list->setAllColumnsShowFocus(true);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->header()->setStretchLastSection(false);
  list->header()->setSectionsMovable(false);
  list->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  QPalette palette = list->palette();
  palette.setColor(QPalette::Inactive, QPalette::Highlight,
                   palette.color(QPalette::Active, QPalette::Highlight));
  palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                   palette.color(QPalette::Active, QPalette::HighlightedText));
  list->setPalette(palette);
  return list;
}

namespace {

// Qt names a drop-down list on Linux by its current entry and leaves its label to a relation,
// which screen readers announce as "D:, combo box". With a name of its own it reads "Drive,
// combo box, D:"; one without keeps Qt's naming.
class AccessibleNamedComboBox : public QAccessibleWidget {
 public:
  explicit AccessibleNamedComboBox(QComboBox* combo)
      : QAccessibleWidget(combo, QAccessible::ComboBox) {
    addControllingSignal(QStringLiteral("currentIndexChanged(int)"));
  }

  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Value) return Combo()->currentText();
    if (kind == QAccessible::Name && Combo()->accessibleName().isEmpty()) {
      return Combo()->currentText();
    }
    return QAccessibleWidget::text(kind);
  }
  // The open list, as Qt's own interface has it.
  int childCount() const override { return 1; }
  QAccessibleInterface* child(int index) const override {
    return index == 0 ? QAccessible::queryAccessibleInterface(Combo()->view()) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return child != nullptr && child->object() == Combo()->view() ? 0 : -1;
  }
  QStringList actionNames() const override {
    QStringList names{showMenuAction(), pressAction()};
    names += QAccessibleWidget::actionNames();
    return names;
  }
  void doAction(const QString& action) override {
    if (action == showMenuAction() || action == pressAction()) {
      Combo()->showPopup();
    } else {
      QAccessibleWidget::doAction(action);
    }
  }

 private:
  QComboBox* Combo() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* MakeAccessibleComboBox(const QString& /*className*/, QObject* object) {
  auto* combo = qobject_cast<QComboBox*>(object);
  if (combo == nullptr || combo->isEditable()) return nullptr;
  // Qt's accessibility cache owns what a factory makes.
  return new AccessibleNamedComboBox(combo);
}

}  // namespace

QString NameOfLabel(const QString& labelText) {
  QString name = labelText;
  name.remove(QLatin1Char('&'));
  name = name.simplified();
  while (name.endsWith(QLatin1Char(':')) || name.endsWith(QChar(0xFF1A))) {  // full-width colon
    name.chop(1);
    name = name.trimmed();
  }
  // A word spelt out letter by letter on the label ("I P") is read as the word.
  const QStringList words = name.split(QLatin1Char(' '));
  if (words.size() > 1 && std::all_of(words.begin(), words.end(),
                                      [](const QString& word) { return word.size() == 1; })) {
    name = words.join(QString());
  }
  return name;
}

void NameByLabel(QLabel* label, QWidget* control) {
  static const bool comboBoxesNamed = [] {
    QAccessible::installFactory(MakeAccessibleComboBox);
    return true;
  }();
  static_cast<void>(comboBoxesNamed);
  label->setBuddy(control);
  const QString name = NameOfLabel(label->text());
  if (auto* address = qobject_cast<IpAddressEdit*>(control)) {
    address->SetAccessibleName(name);
  } else {
    control->setAccessibleName(name);
  }
}

}  // namespace corvane::dialogs
