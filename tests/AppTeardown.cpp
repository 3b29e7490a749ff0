// Linked into every test program: tears the application down after the last
// test, before static destruction, so Qt's own statics are never used after
// they are gone.
#include "platform/Application.h"

#include <gtest/gtest.h>

namespace {

class AppTeardown : public ::testing::Environment {
public:
    void TearDown() override { DoneApplication(); }
};

[[maybe_unused]] const auto* const registered = ::testing::AddGlobalTestEnvironment(new AppTeardown);

}  // namespace
