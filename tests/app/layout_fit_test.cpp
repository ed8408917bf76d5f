// SPDX-License-Identifier: GPL-3.0-or-later
// Every window and dialog in the language of LANGUAGE against the same in English: no
// control's text may be cut, elided or wrapped where the English one is not (or, where the
// English is already cut, cut more). The layout stays as the templates give it; a translation
// that does not fit is to be shortened. ctest runs this once per shipped language.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QTreeWidget>
#include <atomic>
#include <clocale>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/language_dialog.h"
#include "app/loading_dialog.h"
#include "app/main_dlg.h"
#include "dialogs/about_dialog.h"
#include "dialogs/login_dialog.h"
#include "dialogs/map_type_dialog.h"
#include "dialogs/restart_dialog.h"
#include "platform/testing/fake_drive_mappings.h"
#include "platform/translation.h"
#include "window_test_support.h"

namespace corvane::app {
namespace {

// One text of one control: how much room it needs and how much it has, in pixels, in the
// direction where it would be cut (across, or down for text that wraps).
struct Fit {
  QString what;
  int needed = 0;
  int room = 0;
};

int TextWidth(const QWidget* widget, const QString& text) {
  return widget->fontMetrics().size(Qt::TextShowMnemonic, text).width();
}

void MeasureLabel(const QLabel* label, std::vector<Fit>& fits) {
  if (label->text().isEmpty() || !label->pixmap().isNull()) return;
  const QRect room = label->contentsRect();
  if (label->wordWrap()) {
    fits.push_back({label->text(), label->heightForWidth(room.width()), room.height()});
  } else {
    fits.push_back({label->text(), TextWidth(label, label->text()), room.width()});
  }
}

void MeasureButton(const QAbstractButton* button, std::vector<Fit>& fits) {
  if (button->text().isEmpty()) return;
  int needed = 0;
  if (qobject_cast<const QPushButton*>(button) != nullptr) {
    const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
    needed = TextWidth(button, button->text()) + 2 * margin;
  } else {
    needed = button->sizeHint().width();  // indicator, spacing and text
  }
  fits.push_back({button->text(), needed, button->width()});
}

void MeasureCombo(const QComboBox* combo, std::vector<Fit>& fits) {
  QStyleOptionComboBox option;
  option.initFrom(combo);
  for (int i = 0; i < combo->count(); ++i) {
    const QSize text(TextWidth(combo, combo->itemText(i)), combo->fontMetrics().height());
    const int needed =
        combo->style()->sizeFromContents(QStyle::CT_ComboBox, &option, text, combo).width();
    fits.push_back({combo->itemText(i), needed, combo->width()});
  }
}

void MeasureHeaders(const QTreeWidget* list, std::vector<Fit>& fits) {
  const QHeaderView* header = list->header();
  const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
  for (int column = 0; column < list->columnCount(); ++column) {
    const QString text = list->headerItem()->text(column);
    fits.push_back({text, TextWidth(header, text) + 2 * margin, header->sectionSize(column)});
  }
}

// Every text of the window in a fixed order: the same order in every language.
std::vector<Fit> Measure(const QWidget* window) {
  std::vector<Fit> fits;
  for (const QWidget* child : window->findChildren<QWidget*>()) {
    if (const auto* label = qobject_cast<const QLabel*>(child)) MeasureLabel(label, fits);
    if (const auto* button = qobject_cast<const QAbstractButton*>(child)) {
      MeasureButton(button, fits);
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(child)) MeasureCombo(combo, fits);
    if (const auto* list = qobject_cast<const QTreeWidget*>(child)) MeasureHeaders(list, fits);
    if (const auto* group = qobject_cast<const QGroupBox*>(child)) {
      // The frame leaves about an average character on each side of the title.
      const int indent = 2 * group->fontMetrics().averageCharWidth();
      fits.push_back({group->title(), TextWidth(group, group->title()) + indent, group->width()});
    }
  }
  return fits;
}

using WindowMaker = std::function<std::unique_ptr<QWidget>()>;

struct Window {
  const char* name;
  WindowMaker make;
};

// Reads the catalogues afresh: gettext takes LANGUAGE anew once the locale is set again.
void UseLanguage(const std::string& language) {
  if (language.empty()) {
    unsetenv("LANGUAGE");
  } else {
    setenv("LANGUAGE", language.c_str(), 1);
  }
  std::setlocale(LC_MESSAGES, "");
}

class LayoutFit : public ::testing::Test {
 protected:
  LayoutFit() {
    if (const char* shipped = std::getenv("LANGUAGE")) language = shipped;
    test::UseProgramLook();
    platform::StartTranslation(CORVANE_BUILD_CATALOGUES);
    session.OpenTransport({});  // no interface: the first search is empty at once
    languageRun.check = [] {
      operations::LanguageCheck check;
      check.disk = operations::DiskState::kReady;
      return check;
    };
  }

  std::vector<Window> Windows() {
    return {
        {"main window",
         [this] {
           auto window = std::make_unique<CMainDlg>(session, drives);
           window->InitDialog();
           return window;
         }},
        {"Login", [] { return std::make_unique<dialogs::CLoginDlg>(1); }},
        {"Mapping Type", [] { return std::make_unique<dialogs::CMapTypeDlg>(); }},
        {"Language",
         [this] {
           auto dialog = std::make_unique<CLanguageDlg>(languageRun);
           dialog->InitDialog();
           return dialog;
         }},
        {"Loading", [this] { return std::make_unique<CLoadingDlg>(languageRun); }},
        {"restart wait", [this] { return std::make_unique<dialogs::CRestartDlg>(result); }},
        {"About", [] { return std::make_unique<dialogs::CAboutDlg>(); }},
    };
  }

  std::string language;  // the one to check, from LANGUAGE
  protocol::Session session;
  platform::testing::FakeDriveMappings drives;
  std::atomic<int> result{0};
  LanguageRun languageRun{{}, {}, [] {}, result};
};

TEST_F(LayoutFit, EveryTextFitsWhereTheEnglishDoes) {
  ASSERT_FALSE(language.empty()) << "run with LANGUAGE set to the language to check";
  for (const Window& window : Windows()) {
    UseLanguage("");
    const std::vector<Fit> english = Measure(window.make().get());
    UseLanguage(language);
    const std::vector<Fit> translated = Measure(window.make().get());
    ASSERT_EQ(english.size(), translated.size()) << window.name;
    for (std::size_t i = 0; i < english.size(); ++i) {
      const Fit& en = english[i];
      const Fit& shown = translated[i];
      const bool cut = shown.needed > shown.room;
      const bool englishFits = en.needed <= en.room;
      EXPECT_FALSE(cut && (englishFits || shown.needed > en.needed))
          << window.name << ": \"" << shown.what.toStdString() << "\" needs " << shown.needed
          << " px, has " << shown.room << " (English \"" << en.what.toStdString() << "\" needs "
          << en.needed << ")";
    }
  }
}

// Run at several QT_SCALE_FACTORs (ctest layout_scale_*): fonts are hinted to the screen's
// pixels, so texts and frames do not simply grow with the scale.
TEST_F(LayoutFit, AtThisScaleNothingIsCutAndNoListScrollsSideways) {
  for (const Window& window : Windows()) {
    const std::unique_ptr<QWidget> shown = window.make();
    // A caption may run into a button's margin, as "Connect to webpage" does at every scale,
    // but not past the button's frame.
    QStringList captions;
    for (const QPushButton* button : shown->findChildren<QPushButton*>()) {
      QStyleOptionButton option;
      option.initFrom(button);
      const QRect inside =
          button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
      EXPECT_LE(TextWidth(button, button->text()), inside.width())
          << window.name << ": \"" << button->text().toStdString() << "\"";
      captions << button->text();
    }
    for (const Fit& fit : Measure(shown.get())) {
      if (captions.contains(fit.what)) continue;
      EXPECT_LE(fit.needed, fit.room) << window.name << ": \"" << fit.what.toStdString() << "\"";
    }
  }
  CMainDlg main(session, drives);
  main.InitDialog();
  main.RunFirstSearch();
  session.DeviceTable.AddDevice("WWWWWWWWWWWWWWW", "192.168.255.255", "255.255.255.255",
                                "192.168.255.254", "0", {}, 0);
  main.ListDeviceTable();
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  for (const QTreeWidget* list : main.findChildren<QTreeWidget*>()) {
    EXPECT_FALSE(list->horizontalScrollBar()->isVisible()) << list->accessibleName().toStdString();
  }
}

std::vector<QString> ButtonTexts(const QWidget* window) {
  std::vector<QString> texts;
  for (const QPushButton* button : window->findChildren<QPushButton*>()) {
    if (!button->text().isEmpty()) texts.push_back(button->text());
  }
  return texts;
}

TEST_F(LayoutFit, TheWindowsButtonsSpeakTheLanguage) {
  ASSERT_FALSE(language.empty()) << "run with LANGUAGE set to the language to check";
  UseLanguage("");
  const std::vector<QString> english = ButtonTexts(Windows().front().make().get());
  UseLanguage(language);
  const std::vector<QString> translated = ButtonTexts(Windows().front().make().get());
  ASSERT_EQ(english.size(), translated.size());
  for (std::size_t i = 0; i < english.size(); ++i) {
    EXPECT_NE(translated[i], english[i]) << "not translated into " << language;
  }
}

}  // namespace
}  // namespace corvane::app
