// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/about_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <string>
#include <string_view>

#include "dialogs/app_icon.h"
#include "dialogs/texts.h"

namespace corvane::dialogs {

namespace {

constexpr int kIconSize = 32;
// Names and numbers, the same in every language.
constexpr std::string_view kProduct = "Corvane";
constexpr std::string_view kVersion = "3.8.0.0";
constexpr std::string_view kYear = "2026";

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

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
  return FromUtf8(platform::Fill(platform::Tr(text::kAboutVersion), {kProduct, kVersion}));
}

QString CAboutDlg::SecondLine() {
  return FromUtf8(platform::Fill(platform::Tr(text::kAboutCopyright), {kYear, kProduct}));
}

CAboutDlg::CAboutDlg(QWidget* parent)
    : TemplateDialog(Template{235, 55, text::Shown(text::kAboutTitle), kCaptionWithCloseBox,
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
  second->setToolTip(text::Shown(text::kAboutLicence));
  Place(second, 40, 25, 119, 8);

  auto* ok = new QPushButton(text::Shown(text::kAboutOk), this);
  SetControlId(ok, 1);
  ok->setDefault(true);
  Place(ok, 178, 7, 50, 14);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace corvane::dialogs
