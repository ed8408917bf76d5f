// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <QApplication>

#include "dialogs/look.h"

namespace corvane::dialogs {

// Tests of windows run with the program's look, as the program does.
class WithLook : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ApplyLook(*qApp); }
};

}  // namespace corvane::dialogs
