// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Base of the dialogs that are laid out from a dialog template: fixed client size and control
// positions in dialog units, the template's font, and an initialisation that runs once, just
// before the dialog is first shown.

#include <QDialog>
#include <QFont>
#include <QString>

#include "dialogs/dialog_units.h"

namespace corvane::dialogs {

// Window frames of the templates.
inline constexpr Qt::WindowFlags kCaptionWithCloseBox =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowCloseButtonHint;
inline constexpr Qt::WindowFlags kCaptionOnly =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
inline constexpr Qt::WindowFlags kCaptionWithMinimizeAndCloseBox =
    kCaptionWithCloseBox | Qt::WindowMinimizeButtonHint;

// Names a control by its template id: objectName "id<number>" and the property "controlId".
void SetControlId(QWidget* control, int id);
int ControlId(const QWidget* control);  // -1 when it has none

// The control with that template id among the dialog's descendants, or nullptr.
template <typename Control = QWidget>
Control* FindControl(const QWidget* dialog, int id) {
  return dialog->findChild<Control*>(QStringLiteral("id%1").arg(id));
}

class TemplateDialog : public QDialog {
  Q_OBJECT

 public:
  struct Template {
    int width;  // client size in dialog units
    int height;
    QString title;
    Qt::WindowFlags frame = kCaptionWithCloseBox;
    BaseUnits base = kArial8BaseUnits;
    QFont font = DialogFont();
  };

  TemplateDialog(const Template& dialogTemplate, QWidget* parent);

  // Runs the dialog modally and returns its result; input reaches it even inside a BusyScope.
  int DoModal();

  // Runs OnInitDialog now unless it has run already; otherwise it runs just before the dialog is
  // first shown. For an owner (or a test) that needs the dialog filled before it shows it.
  void InitDialog();

 protected:
  // Runs once, before the dialog is first shown (the controls exist already).
  virtual void OnInitDialog() {}

  // Position and size in dialog units. Labels grow to their font's height when the template
  // is tighter than the font that stands in for the template's.
  void Place(QWidget* control, int x, int y, int w, int h) const;
  QRect Du(int x, int y, int w, int h) const { return DuRect(base_, x, y, w, h); }

  void showEvent(QShowEvent* event) override;

 private:
  BaseUnits base_;
  bool initialised_ = false;
};

}  // namespace corvane::dialogs
