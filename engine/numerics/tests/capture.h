// Shared fixture: a fresh error facility whose console is a string the test can read.
#pragma once

#include <gtest/gtest.h>

#include <sstream>

#include "error_stack.h"

class ConsoleCapture : public ::testing::Test {
  protected:
    void SetUp() override {
        tez::reset_error_facility();
        tez::set_console_stream(&console);
    }
    void TearDown() override {
        tez::set_console_stream(nullptr);
        tez::reset_error_facility();
    }
    std::ostringstream console;
};
