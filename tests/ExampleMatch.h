// Tests on the match world of the example input: a run folder with the
// example input as the run context, the run log emptied, the generator
// seeded with 4242 and the match set up as the program does before its first
// frame.
#pragma once

#include <gtest/gtest.h>

#include "RunFolder.h"
#include "core/Random.h"
#include "platform/Form.h"
#include "setup/InitialisationUnit.h"

class ExampleMatchTest : public ::testing::Test {
 protected:
  RunFolder run;

  void SetUp() override {
    run.UseAsRunContext();
    Form1.Reset();
    RandSeed = 4242;
    InitialiseMatch();
  }
};
