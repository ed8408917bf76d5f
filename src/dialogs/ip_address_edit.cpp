// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/ip_address_edit.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QStyleOptionFrame>
#include <algorithm>

namespace corvane::dialogs {

namespace {

constexpr int kMaxOctet = 255;
constexpr int kMaxDigits = 3;

int ClampOctet(int value) {
  return std::clamp(value, 0, kMaxOctet);
}

// An empty or unreadable field counts as 0.
int OctetOf(const QLineEdit* field) {
  bool ok = false;
  const int value = field->text().toInt(&ok);
  return ok ? ClampOctet(value) : 0;
}

// What AT-SPI shows of the control: an editable text named like the control, reading as the
// whole address; the fields stay its children, so that the focused one is read as well.
class AccessibleIpAddress : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit AccessibleIpAddress(IpAddressEdit* edit)
      : QAccessibleWidget(edit, QAccessible::EditableText) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }
  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Value) return Address();
    return QAccessibleWidget::text(kind);
  }

  QString text(int start, int end) const override { return Address().mid(start, end - start); }
  int characterCount() const override { return static_cast<int>(Address().size()); }
  int cursorPosition() const override { return 0; }
  void setCursorPosition(int /*position*/) override {}
  void selection(int /*index*/, int* start, int* end) const override { *start = *end = 0; }
  int selectionCount() const override { return 0; }
  void addSelection(int /*start*/, int /*end*/) override {}
  void removeSelection(int /*index*/) override {}
  void setSelection(int /*index*/, int /*start*/, int /*end*/) override {}
  QRect characterRect(int /*offset*/) const override { return {}; }
  int offsetAtPoint(const QPoint& /*point*/) const override { return -1; }
  void scrollToSubstring(int /*start*/, int /*end*/) override {}
  QString attributes(int offset, int* start, int* end) const override {
    *start = *end = offset;
    return {};
  }

 private:
  QString Address() const { return static_cast<const IpAddressEdit*>(widget())->AddressText(); }
};

QAccessibleInterface* MakeAccessibleIpAddress(const QString& /*className*/, QObject* object) {
  auto* edit = qobject_cast<IpAddressEdit*>(object);
  // Qt's accessibility cache owns what a factory makes.
  return edit == nullptr ? nullptr : new AccessibleIpAddress(edit);
}

}  // namespace

IpAddressEdit::IpAddressEdit(QWidget* parent) : QWidget(parent) {
  static const bool accessible = [] {
    QAccessible::installFactory(MakeAccessibleIpAddress);
    return true;
  }();
  static_cast<void>(accessible);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled, false);
  auto* layout = new QHBoxLayout(this);  // owned by this widget
  const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
  // A pixel clear of the frame all round: at fractional scales a field flush with the frame
  // would be drawn over part of the frame's line.
  layout->setContentsMargins(frame + 1, frame + 1, frame + 1, frame + 1);
  layout->setSpacing(0);

  const auto* validator =
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), this);
  for (int i = 0; i < kFieldCount; ++i) {
    auto* field = new QLineEdit(this);  // owned by this widget
    field->setFrame(false);
    field->setAlignment(Qt::AlignCenter);
    field->setMaxLength(kMaxDigits);
    field->setValidator(validator);
    field->setContextMenuPolicy(Qt::NoContextMenu);
    field->setMinimumWidth(1);
    // One tab stop for the whole control: Tab enters at the first field and leaves from any.
    if (i > 0) field->setFocusPolicy(Qt::ClickFocus);
    field->installEventFilter(this);
    connect(field, &QLineEdit::textEdited, this, [this, i] { OnFieldEdited(i); });
    connect(field, &QLineEdit::editingFinished, this, [this, i] { NormaliseField(i); });
    fields_[i] = field;
    layout->addWidget(field, 1);
    if (i + 1 < kFieldCount) {
      auto* dot = new QLabel(QStringLiteral("."), this);  // owned by this widget
      // The dots sit on the field colour, not on the dialog's: draw them in the text colour.
      dot->setForegroundRole(QPalette::Text);
      dot->setAlignment(Qt::AlignCenter);
      dots_[i] = dot;
      layout->addWidget(dot, 0);
    }
  }
  setFocusProxy(fields_[0]);
}

void IpAddressEdit::ClearAddress() {
  for (QLineEdit* field : fields_) field->clear();
}

bool IpAddressEdit::IsBlank() const {
  return std::all_of(fields_.begin(), fields_.end(),
                     [](const QLineEdit* field) { return field->text().isEmpty(); });
}

protocol::Octets IpAddressEdit::GetAddress() const {
  protocol::Octets octets{};
  for (int i = 0; i < kFieldCount; ++i) octets[i] = OctetOf(fields_[i]);
  return octets;
}

void IpAddressEdit::SetAddress(const protocol::Octets& octets) {
  for (int i = 0; i < kFieldCount; ++i) {
    fields_[i]->setText(QString::number(ClampOctet(octets[i])));
  }
}

void IpAddressEdit::SetFieldFocus(int field) {
  if (field < 0 || field >= kFieldCount) return;
  fields_[field]->setFocus(Qt::OtherFocusReason);
  fields_[field]->selectAll();
}

QString IpAddressEdit::AddressText() const {
  if (IsBlank()) return {};
  QStringList parts;
  for (const QLineEdit* field : fields_) parts << field->text();
  return parts.join(QLatin1Char('.'));
}

void IpAddressEdit::SetAccessibleName(const QString& name) {
  setAccessibleName(name);
  for (QLineEdit* field : fields_) field->setAccessibleName(name);
}

QLineEdit* IpAddressEdit::Field(int field) const {
  if (field < 0 || field >= kFieldCount) return nullptr;
  return fields_[field];
}

int IpAddressEdit::IndexOf(const QObject* object) const {
  for (int i = 0; i < kFieldCount; ++i) {
    if (fields_[i] == object) return i;
  }
  return -1;
}

void IpAddressEdit::OnFieldEdited(int field) {
  QLineEdit* edit = fields_[field];
  bool ok = false;
  const int value = edit->text().toInt(&ok);
  if (ok && value > kMaxOctet) edit->setText(QString::number(kMaxOctet));
  const bool full = edit->text().size() == kMaxDigits && edit->cursorPosition() == kMaxDigits;
  if (full && field + 1 < kFieldCount) SetFieldFocus(field + 1);
  emit addressEdited();
}

void IpAddressEdit::NormaliseField(int field) {
  QLineEdit* edit = fields_[field];
  if (edit->text().isEmpty()) return;
  const QString normal = QString::number(OctetOf(edit));
  if (normal != edit->text()) edit->setText(normal);
}

void IpAddressEdit::FocusFieldAtEnd(int field) {
  fields_[field]->setFocus(Qt::OtherFocusReason);
  fields_[field]->deselect();
  fields_[field]->end(false);
}

bool IpAddressEdit::HandleKey(int field, QKeyEvent* key) {
  const QLineEdit* edit = fields_[field];
  const bool atStart = edit->cursorPosition() == 0 && !edit->hasSelectedText();
  const bool atEnd = edit->cursorPosition() == edit->text().size() && !edit->hasSelectedText();
  switch (key->key()) {
    case Qt::Key_Period:
    case Qt::Key_Space:
      // Moves on only from a field that has something in it, so ".." cannot skip a field.
      if (!edit->text().isEmpty() && !edit->hasSelectedText() && field + 1 < kFieldCount) {
        SetFieldFocus(field + 1);
      }
      return true;
    case Qt::Key_Backspace:
      if (atStart && field > 0) {
        FocusFieldAtEnd(field - 1);
        return true;
      }
      return false;
    case Qt::Key_Left:
      if (atStart && field > 0) {
        FocusFieldAtEnd(field - 1);
        return true;
      }
      return false;
    case Qt::Key_Right:
      if (atEnd && field + 1 < kFieldCount) {
        fields_[field + 1]->setFocus(Qt::OtherFocusReason);
        fields_[field + 1]->setCursorPosition(0);
        return true;
      }
      return false;
    default:
      return false;
  }
}

bool IpAddressEdit::eventFilter(QObject* watched, QEvent* event) {
  const int field = IndexOf(watched);
  if (field >= 0 && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
    update();  // the frame shows whether a field has the focus
  }
  if (field >= 0 && event->type() == QEvent::KeyPress) {
    return HandleKey(field, static_cast<QKeyEvent*>(event));
  }
  return QWidget::eventFilter(watched, event);
}

void IpAddressEdit::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  QStyleOptionFrame option;
  option.initFrom(this);
  option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
  option.midLineWidth = 0;
  option.state |= QStyle::State_Sunken;
  if (std::any_of(fields_.begin(), fields_.end(),
                  [](const QLineEdit* f) { return f->hasFocus(); })) {
    option.state |= QStyle::State_HasFocus;
  }
  style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
}

void IpAddressEdit::changeEvent(QEvent* event) {
  // The frame shows focus and enabled state of the fields inside it.
  if (event->type() == QEvent::EnabledChange) update();
  QWidget::changeEvent(event);
}

}  // namespace corvane::dialogs
