// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/ip_address_edit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

#include "with_look.h"

namespace corvane::dialogs {
namespace {

using protocol::Octets;

class IpAddressEditTest : public WithLook {
 protected:
  void SetUp() override {
    dialog_ = std::make_unique<QDialog>();
    auto* layout = new QVBoxLayout(dialog_.get());
    edit_ = new IpAddressEdit(dialog_.get());
    other_ = new QLineEdit(dialog_.get());
    layout->addWidget(edit_);
    layout->addWidget(other_);
    dialog_->show();
    dialog_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
    edit_->SetFieldFocus(0);
  }

  // The control moves the focus itself, so every key goes to whatever has it now.
  void Type(const char* keys) {
    for (const char* key = keys; *key != '\0'; ++key) {
      QTest::keyClick(QApplication::focusWidget(), *key);
    }
  }
  void Press(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }

  int FocusedField() const {
    for (int i = 0; i < IpAddressEdit::kFieldCount; ++i) {
      if (edit_->Field(i) == QApplication::focusWidget()) return i;
    }
    return -1;
  }
  QString Text(int field) const { return edit_->Field(field)->text(); }

  std::unique_ptr<QDialog> dialog_;
  IpAddressEdit* edit_ = nullptr;
  QLineEdit* other_ = nullptr;
};

TEST_F(IpAddressEditTest, DotsAndThirdDigitsMoveThroughTheFields) {
  Type("192.168.1.20");
  EXPECT_EQ(edit_->GetAddress(), (Octets{192, 168, 1, 20}));
  EXPECT_EQ(FocusedField(), 3);

  edit_->ClearAddress();
  edit_->SetFieldFocus(0);
  Type("1921681");  // no dots: the third digit moves on
  EXPECT_EQ(Text(0), "192");
  EXPECT_EQ(Text(1), "168");
  EXPECT_EQ(Text(2), "1");
  EXPECT_EQ(FocusedField(), 2);
}

TEST_F(IpAddressEditTest, DotInAnEmptyFieldAndLettersAreIgnored) {
  Type(".");
  EXPECT_EQ(FocusedField(), 0);
  Type("a1b.");
  EXPECT_EQ(Text(0), "1");
  EXPECT_EQ(FocusedField(), 1);
  Type("..");  // a second dot cannot skip the empty field
  EXPECT_EQ(FocusedField(), 1);
  Type("9999");  // the fourth digit lands in the next field
  EXPECT_EQ(Text(1), "255");
  EXPECT_EQ(Text(2), "9");
}

TEST_F(IpAddressEditTest, ValuesAboveTheOctetRangeAreClamped) {
  Type("300");
  EXPECT_EQ(Text(0), "255");
  EXPECT_EQ(FocusedField(), 1);

  edit_->SetAddress(Octets{300, -5, 7, 256});
  EXPECT_EQ(edit_->GetAddress(), (Octets{255, 0, 7, 255}));
  EXPECT_EQ(Text(1), "0");
}

TEST_F(IpAddressEditTest, LeadingZerosAreDroppedWhenTheFieldIsLeft) {
  Type("007");
  EXPECT_EQ(FocusedField(), 1);
  EXPECT_EQ(Text(0), "7");
  EXPECT_EQ(edit_->GetAddress()[0], 7);
}

TEST_F(IpAddressEditTest, BlankOnlyWhenAllFourAreEmptyAndEmptyFieldsReadAsZero) {
  EXPECT_TRUE(edit_->IsBlank());
  EXPECT_EQ(edit_->GetAddress(), (Octets{0, 0, 0, 0}));

  edit_->SetFieldFocus(2);
  Type("10");
  EXPECT_FALSE(edit_->IsBlank());
  EXPECT_EQ(edit_->GetAddress(), (Octets{0, 0, 10, 0}));

  edit_->SetAddress(Octets{0, 0, 0, 0});
  EXPECT_FALSE(edit_->IsBlank()) << "a typed 0.0.0.0 is an address, not a blank control";

  edit_->ClearAddress();
  EXPECT_TRUE(edit_->IsBlank());
}

TEST_F(IpAddressEditTest, BackspaceInAnEmptyFieldGoesBack) {
  Type("12.3");
  Press(Qt::Key_Backspace);
  EXPECT_EQ(Text(1), "");
  EXPECT_EQ(FocusedField(), 1);
  Press(Qt::Key_Backspace);  // empty: back to the end of the first field
  EXPECT_EQ(FocusedField(), 0);
  Press(Qt::Key_Backspace);
  EXPECT_EQ(Text(0), "1");
  Press(Qt::Key_Backspace);
  Press(Qt::Key_Backspace);  // nothing before the first field
  EXPECT_EQ(FocusedField(), 0);
  EXPECT_TRUE(edit_->IsBlank());
}

TEST_F(IpAddressEditTest, ArrowKeysCrossFieldBorders) {
  Type("1.2");
  Press(Qt::Key_Left);  // before "2"
  Press(Qt::Key_Left);
  EXPECT_EQ(FocusedField(), 0);
  Press(Qt::Key_Right);
  EXPECT_EQ(FocusedField(), 1);
}

TEST_F(IpAddressEditTest, FocusedFieldIsSelectedSoTypingReplacesIt) {
  edit_->SetAddress(Octets{10, 0, 0, 1});
  edit_->SetFieldFocus(3);
  EXPECT_EQ(FocusedField(), 3);
  Type("254");
  EXPECT_EQ(edit_->GetAddress(), (Octets{10, 0, 0, 254}));
}

TEST_F(IpAddressEditTest, DisablingTheControlDisablesEveryField) {
  edit_->setEnabled(false);
  for (int i = 0; i < IpAddressEdit::kFieldCount; ++i) {
    EXPECT_FALSE(edit_->Field(i)->isEnabled()) << i;
  }
  edit_->setEnabled(true);
  EXPECT_TRUE(edit_->Field(3)->isEnabled());
  EXPECT_EQ(edit_->Field(4), nullptr);
}

TEST_F(IpAddressEditTest, DotsBetweenFieldsAreDrawnInTheFieldTextColour) {
  edit_->SetAddress(Octets{1, 2, 3, 4});
  const QImage image = edit_->grab().toImage();
  // Some pixel must be dark: with the dialog's white text colour the dots would vanish.
  const QRect between = edit_->Field(0)->geometry().united(edit_->Field(1)->geometry());
  int darkest = 255 * 3;
  for (int x = edit_->Field(0)->geometry().right(); x < edit_->Field(1)->geometry().left(); ++x) {
    for (int y = between.top(); y <= between.bottom(); ++y) {
      const QColor c = image.pixelColor(x, y);
      darkest = std::min(darkest, c.red() + c.green() + c.blue());
    }
  }
  EXPECT_LT(darkest, 300);
}

}  // namespace
}  // namespace corvane::dialogs
