// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/about_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "dialogs/app_icon.h"

namespace corvane::dialogs {

namespace {

constexpr int kIconSize = 32;

}  // namespace

QFont AboutFont() {
  QFont font;
  // Where the template's font is missing, a Ming (serif) face for Traditional Chinese comes
  // closest; fontconfig picks a fallback after these.
  font.setFamilies({QStringLiteral("新細明體"), QStringLiteral("PMingLiU"),
                    QStringLiteral("AR PL UMing TW"), QStringLiteral("AR PL UMing HK")});
  font.setPixelSize(12);  // 9 pt at 96 dpi
  return font;
}

QString CAboutDlg::VersionText() {
  return QStringLiteral("Corvane Version 3.8.0.0");
}

QString CAboutDlg::SecondLine() {
  return QStringLiteral("© 2026 Corvane developers");
}

CAboutDlg::CAboutDlg(QWidget* parent)
    : TemplateDialog(Template{235, 55, QStringLiteral("About Corvane"), kCaptionWithCloseBox,
                              kArial8BaseUnits, AboutFont()},
                     parent) {
  auto* icon = new QLabel(this);  // owned by the dialog
  icon->setPixmap(AppIcon().pixmap(kIconSize, kIconSize));
  const QRect iconArea = Du(11, 17, 0, 0);
  icon->setGeometry(iconArea.x(), iconArea.y(), kIconSize, kIconSize);

  auto* version = new QLabel(VersionText(), this);
  version->setObjectName(QStringLiteral("versionText"));
  Place(version, 40, 10, 119, 8);
  auto* second = new QLabel(SecondLine(), this);
  second->setObjectName(QStringLiteral("secondLine"));
  second->setToolTip(
      QStringLiteral("Licensed under the GNU General Public License, version 3 "
                     "or later."));
  Place(second, 40, 25, 119, 8);

  auto* ok = new QPushButton(QStringLiteral("確定"), this);
  SetControlId(ok, 1);
  ok->setDefault(true);
  Place(ok, 178, 7, 50, 14);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace corvane::dialogs
