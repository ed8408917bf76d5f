// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/template_dialog.h"

#include <QFontMetrics>
#include <QLabel>
#include <QVariant>

#include "dialogs/busy_wait.h"

namespace corvane::dialogs {

void SetControlId(QWidget* control, int id) {
  control->setObjectName(QStringLiteral("id%1").arg(id));
  control->setProperty("controlId", id);
}

int ControlId(const QWidget* control) {
  const QVariant id = control->property("controlId");
  return id.isValid() ? id.toInt() : -1;
}

TemplateDialog::TemplateDialog(const Template& dialogTemplate, QWidget* parent)
    : QDialog(parent, dialogTemplate.frame), base_(dialogTemplate.base) {
  setFont(dialogTemplate.font);
  setWindowTitle(dialogTemplate.title);
  setFixedSize(DuSize(base_, dialogTemplate.width, dialogTemplate.height));
  setSizeGripEnabled(false);
}

int TemplateDialog::DoModal() {
  // A dialog opened inside a blocking wait must still take the user's answer.
  const BusySuspend answerable;
  return exec();
}

void TemplateDialog::Place(QWidget* control, int x, int y, int w, int h) const {
  QRect rect = DuRect(base_, x, y, w, h);
  if (qobject_cast<QLabel*>(control) != nullptr) {
    rect.setHeight(std::max(rect.height(), QFontMetrics(control->font()).height()));
  }
  control->setGeometry(rect);
}

void TemplateDialog::InitDialog() {
  if (initialised_) return;
  initialised_ = true;
  OnInitDialog();
}

void TemplateDialog::showEvent(QShowEvent* event) {
  InitDialog();
  QDialog::showEvent(event);
}

}  // namespace corvane::dialogs
