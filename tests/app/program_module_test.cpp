// The module's loop registry: one loop per thread, found by thread id.
#include "app/program_module.h"

#include <gtest/gtest.h>

#include "app/message_loop.h"

namespace brx {
namespace {

TEST(ProgramModule, RegistryFindsEachThreadsLoopUntilItIsUnregistered) {
  CProgramModule module;
  CMessageLoop first, second;
  // Before Init there is no registry.
  EXPECT_FALSE(module.RegisterLoop(1, &first));
  EXPECT_EQ(module.FindLoop(1), nullptr);

  ASSERT_EQ(module.Init(GetModuleHandleA(nullptr)), S_OK);
  EXPECT_EQ(module.instance(), GetModuleHandleA(nullptr));
  EXPECT_EQ(module.FindLoop(1), nullptr);
  EXPECT_TRUE(module.RegisterLoop(1, &first));
  EXPECT_TRUE(module.RegisterLoop(2, &second));
  // A thread has one loop: a second registration is refused and changes nothing.
  EXPECT_FALSE(module.RegisterLoop(1, &second));
  EXPECT_EQ(module.FindLoop(1), &first);
  EXPECT_EQ(module.FindLoop(2), &second);
  EXPECT_EQ(module.FindLoop(3), nullptr);

  EXPECT_TRUE(module.UnregisterLoop(1));
  EXPECT_FALSE(module.UnregisterLoop(1));
  EXPECT_EQ(module.FindLoop(1), nullptr);
  EXPECT_EQ(module.FindLoop(2), &second);  // the other pair stays together

  module.Term();
  EXPECT_EQ(module.FindLoop(2), nullptr);
  EXPECT_FALSE(module.UnregisterLoop(2));
}

}  // namespace
}  // namespace brx
