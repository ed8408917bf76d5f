// SPDX-License-Identifier: GPL-3.0-or-later
// main() of the GoogleTest binaries that need a QApplication. Without a platform chosen by the
// environment the tests run offscreen, so listing the tests at build time needs no display.

#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
