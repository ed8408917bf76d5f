// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/look.h"

#include <QPainter>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <memory>

#include "dialogs/app_icon.h"
#include "dialogs/ip_address_edit.h"

namespace corvane::dialogs {

namespace {

// Fusion draws group-box frames in a shade of the window colour, which vanishes on dark red,
// and the X11 platform would put icons on dialog buttons; this style settles both.
class CorvaneStyle : public QProxyStyle {
 public:
  CorvaneStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
    if (element == PE_FrameGroupBox) {
      DrawEtchedFrame(option, painter);
      return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
  }

  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                          QPainter* painter, const QWidget* widget) const override {
    const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (control == CC_GroupBox && box != nullptr && !(box->subControls & SC_GroupBoxCheckBox)) {
      DrawGroupBox(*box, painter, widget);
      return;
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
  }

  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_DialogButtonBox_ButtonsHaveIcons) return 0;
    // Drop-down lists open below the box with the height their template gives, not as a menu
    // of every entry.
    if (hint == SH_ComboBox_Popup) return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }

 private:
  // The frame's top line runs through the middle of the title, broken where the title is.
  void DrawGroupBox(const QStyleOptionGroupBox& box, QPainter* painter,
                    const QWidget* widget) const {
    const QRect title = subControlRect(CC_GroupBox, &box, SC_GroupBoxLabel, widget);
    QStyleOptionGroupBox frame = box;
    if (!box.text.isEmpty()) frame.rect.setTop(title.center().y());
    painter->save();
    if (!box.text.isEmpty()) {
      QRegion outside(box.rect);
      outside -= title.adjusted(-2, 0, 2, 0);
      painter->setClipRegion(outside);
    }
    DrawEtchedFrame(&frame, painter);
    painter->restore();
    if (!box.text.isEmpty()) {
      proxy()->drawItemText(painter, title, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic,
                            box.palette, box.state & State_Enabled, box.text, QPalette::WindowText);
    }
  }

  // A dark line with a light line below and to the right of it, readable on any dialog colour.
  static void DrawEtchedFrame(const QStyleOption* option, QPainter* painter) {
    const QColor window = option->palette.color(QPalette::Window);
    const QRect outer = option->rect.adjusted(0, 0, -1, -1);
    painter->save();
    painter->setBrush(Qt::NoBrush);
    painter->setPen(window.darker(180));
    painter->drawRect(outer.adjusted(0, 0, -1, -1));
    painter->setPen(QColor(255, 255, 255, 170));
    painter->drawRect(outer.adjusted(1, 1, 0, 0));
    painter->restore();
  }
};

QPalette DialogPalette(const QPalette& base) {
  QPalette palette = base;
  palette.setColor(QPalette::Window, kDialogBackground);
  palette.setColor(QPalette::WindowText, kDialogText);
  // Greyed labels stay readable on dark red without looking enabled.
  palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(200, 140, 140));
  return palette;
}

}  // namespace

void ApplyLook(QApplication& app) {
  // QApplication takes ownership of the style.
  auto style = std::make_unique<CorvaneStyle>();
  QPalette standard = style->standardPalette();
  // Fusion greys disabled text until it is barely readable on a disabled field's grey; greyed
  // values (the fixed "admin", the addresses of a DHCP client) must stay legible.
  standard.setColor(QPalette::Disabled, QPalette::Text, kGreyedText);
  QApplication::setStyle(style.release());
  // The same base palette whatever the platform theme offers, so offscreen and X11 agree.
  QApplication::setPalette(standard);
  const QPalette dialog = DialogPalette(standard);
  QApplication::setPalette(dialog, "QDialog");
  QApplication::setPalette(dialog, "QMessageBox");
  // Children take their dialog's palette, and the style draws the outlines, arrows and empty
  // areas of these from its window colour: they keep the standard one.
  for (const char* control : {"QAbstractItemView", "QScrollBar", "QLineEdit", "QComboBox",
                              IpAddressEdit::staticMetaObject.className()}) {
    QApplication::setPalette(standard, control);
  }
  app.setWindowIcon(AppIcon());
}

QString ApplicationTitle() {
  return QStringLiteral("Corvane");
}

}  // namespace corvane::dialogs
