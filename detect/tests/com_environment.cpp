// COM is initialised once for the whole test binary, as the application does at start-up.
#include <objbase.h>

#include <gtest/gtest.h>

namespace {

class ComEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
  void TearDown() override { CoUninitialize(); }
};

const auto* const kComEnvironment = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

}  // namespace
