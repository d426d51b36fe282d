// A fresh program on the headless platform for every test: started as the
// programs start, ended as ProgramEnd ends them, without leaving the process.
#pragma once

#include <gtest/gtest.h>

#include "platform/headless/headless.h"
#include "program/program.h"

namespace vivuvev {

class HeadlessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHeadlessPlatform();
    StartProgram();
    QuitRequested = 0;
  }
  void TearDown() override {
    EndLayers();
    ResetHeadlessPlatform();
  }
};

}  // namespace vivuvev
