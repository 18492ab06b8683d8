#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vantrel/base/attempt.h"
#include "vantrel/monitors/keyed_collection.h"

namespace vantrel {
namespace {

using Collection = KeyedCollection<std::string>;

std::vector<std::string> Items(const Collection& c) {
  std::vector<std::string> out;
  for (const auto& item : c) out.push_back(*item);
  return out;
}

Collection Abc() {
  Collection c;
  for (const char* s : {"a", "b", "c"}) c.Add(std::make_shared<std::string>(s), s);
  return c;
}

TEST(KeyedCollection, AddsAtTheEndOrInFrontOfAPosition) {
  Collection c = Abc();
  c.Add(std::make_shared<std::string>("x"), "x", 1);
  c.Add(std::make_shared<std::string>("y"), "y", 4);
  EXPECT_EQ(Items(c), (std::vector<std::string>{"x", "a", "b", "y", "c"}));
  EXPECT_EQ(c.Count(), 5);
  EXPECT_EQ(*c(4), "y");
  EXPECT_EQ(c.Key(4), "y");
}

TEST(KeyedCollection, FailedAddsChangeNothing) {
  Collection c = Abc();
  EXPECT_EQ(AttemptNumbered([&] { c.Add(std::make_shared<std::string>("b2"), "b"); }),
            kDuplicateKey);
  EXPECT_FALSE(Attempt([&] { c.Add(std::make_shared<std::string>("z"), "z", 0); }));
  EXPECT_FALSE(Attempt([&] { c.Add(std::make_shared<std::string>("z"), "z", 4); }));
  EXPECT_FALSE(Attempt([&] { c.Add(nullptr, "z"); }));
  EXPECT_EQ(Items(c), (std::vector<std::string>{"a", "b", "c"}));
  // The key was not taken by any failed add.
  EXPECT_TRUE(Attempt([&] { c.Add(std::make_shared<std::string>("z"), "z"); }));
}

TEST(KeyedCollection, OnlyPositionsThatExistCanBeRead) {
  const Collection c = Abc();
  EXPECT_EQ(*c(3), "c");
  EXPECT_EQ(c.Key(1), "a");
  for (std::int32_t at : {0, 4, -1}) {
    EXPECT_EQ(AttemptNumbered([&] { c(at); }), kOutOfRange) << at;
    EXPECT_EQ(AttemptNumbered([&] { c.Key(at); }), kOutOfRange) << at;
  }
}

TEST(KeyedCollection, RemoveMovesTheRestUpAndFreesTheKey) {
  Collection c = Abc();
  c.Remove(2);
  EXPECT_EQ(Items(c), (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(c.Key(2), "c");
  EXPECT_FALSE(Attempt([&] { c.Remove(3); }));
  EXPECT_FALSE(Attempt([&] { c.Remove(0); }));
  c.Add(std::make_shared<std::string>("b"), "b");
  EXPECT_EQ(Items(c), (std::vector<std::string>{"a", "c", "b"}));
}

}  // namespace
}  // namespace vantrel
