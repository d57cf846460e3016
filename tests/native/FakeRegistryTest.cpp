#include <gtest/gtest.h>

#include "tests/fakes/FakeRegistry.h"

using namespace plat;

TEST(FakeRegistry, DeleteKeyRefusesKeyWithSubkeys) {
  FakeRegistry r;
  r.MakeKey(kHKCU, "A\\B");
  EXPECT_EQ(reg::kAccessDenied, r.DeleteKey(RootKey(kHKCU), "A"));
  EXPECT_EQ(0, r.DeleteKey(RootKey(kHKCU), "A\\B"));
  EXPECT_EQ(0, r.DeleteKey(RootKey(kHKCU), "A"));
  EXPECT_FALSE(r.HasKey(kHKCU, "A"));
}
