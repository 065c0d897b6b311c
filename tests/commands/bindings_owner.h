// Gives each test an empty binding table without prefix keys and frees what
// it bound.
#pragma once

#include "commands/bindings.h"

#include <gtest/gtest.h>

class BindingsTest : public ::testing::Test {
  protected:
    void SetUp() override { clear_bindings(); }
    void TearDown() override { clear_bindings(); }
};
