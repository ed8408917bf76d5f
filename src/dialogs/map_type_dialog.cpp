// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/map_type_dialog.h"

#include <QEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QWindow>

#include "dialogs/texts.h"

namespace corvane::dialogs {

namespace {

// The template's font is the system font, 10 points: bold, with base units of 8 x 16 pixels.
constexpr BaseUnits kSystemFontBaseUnits{8, 16};

QFont SystemFont() {
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(13);
  font.setBold(true);
  return font;
}

}  // namespace

CMapTypeDlg::CMapTypeDlg(QWidget* parent)
    : TemplateDialog(Template{130, 57, text::Shown(text::kMapTypeTitle), kCaptionWithCloseBox,
                              kSystemFontBaseUnits, SystemFont()},
                     parent) {
  auto* ok = new QPushButton(text::Shown(text::kOk), this);  // owned by the dialog
  SetControlId(ok, 1);
  ok->setDefault(true);
  Place(ok, 89, 13, 34, 14);
  auto* cancel = new QPushButton(text::Shown(text::kCancel), this);
  SetControlId(cancel, 2);
  Place(cancel, 89, 30, 34, 14);

  m_hostName = new QRadioButton(text::Shown(text::kMapByHostName), this);
  SetControlId(m_hostName, kIdHostName);
  Place(m_hostName, 13, 14, 52, 10);
  m_address = new QRadioButton(text::Shown(text::kMapByAddress), this);
  SetControlId(m_address, kIdAddress);
  Place(m_address, 13, 32, 51, 10);
  // The repaint marks one button without clearing the other, which Qt's exclusive radio
  // buttons would do; a click still marks only the button clicked.
  for (QRadioButton* button : {m_hostName, m_address}) {
    button->setAutoExclusive(false);
    connect(button, &QRadioButton::clicked, this, [this, button] { Choose(button); });
  }

  connect(ok, &QPushButton::clicked, this, &CMapTypeDlg::OnOK);
  connect(cancel, &QPushButton::clicked, this, &CMapTypeDlg::reject);
}

void CMapTypeDlg::Choose(QRadioButton* chosen) {
  chosen->setChecked(true);
  (chosen == m_hostName ? m_address : m_hostName)->setChecked(false);
}

void CMapTypeDlg::OnPaint() {
  m_hostName->setChecked(true);
}

void CMapTypeDlg::OnOK() {
  // The first marked button in id order decides.
  if (m_hostName->isChecked()) {
    answer_ = operations::MapType::kHostName;
  } else if (m_address->isChecked()) {
    answer_ = operations::MapType::kAddress;
  }
  done(QDialog::Accepted);
}

void CMapTypeDlg::reject() {
  answer_ = operations::MapType::kCancelled;
  TemplateDialog::reject();
}

void CMapTypeDlg::showEvent(QShowEvent* event) {
  TemplateDialog::showEvent(event);
  // The window system asks for a repaint when the window shows or is uncovered; repaints of the
  // buttons themselves must not count, or a click on "IP Address" would be undone at once.
  if (!exposeWatched_ && windowHandle() != nullptr) {
    windowHandle()->installEventFilter(this);
    exposeWatched_ = true;
  }
}

bool CMapTypeDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == windowHandle() && event->type() == QEvent::Expose && windowHandle()->isExposed()) {
    OnPaint();
  }
  return TemplateDialog::eventFilter(watched, event);
}

}  // namespace corvane::dialogs
