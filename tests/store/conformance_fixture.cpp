#include <chrono>

#include "store/conformance.h"

namespace korvanta::test {

ConformanceMachine* StoreTest::shared_ = nullptr;

void StoreTest::SetUpTestSuite() {
  if (!shared_) shared_ = new ConformanceMachine(OpenConformanceMachine());
}

void StoreTest::SetUp() {
  ASSERT_NE(shared_->machine, nullptr);
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  static const auto run = std::chrono::steady_clock::now().time_since_epoch().count() % 1000000007;
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  key_ = "Software\\KorvantaTest\\" + std::to_string(run) + "\\" + name;
  dir_ = shared_->scratch + "\\" + name;
  ASSERT_EQ(files().CreateDirectory(dir_), store::kSuccess) << dir_;
}

void StoreTest::TearDown() {
  DeleteTree(store::RegRoot::kCurrentUser, key_);
}

std::string StoreTest::Key(const std::string& sub) const {
  return sub.empty() ? key_ : key_ + "\\" + sub;
}

void StoreTest::DeleteTree(store::RegRoot root, const std::string& path) {
  store::KeyHandle key;
  if (reg().OpenKey(root, path, store::kKeyRead, key) != store::kSuccess) return;
  std::vector<std::string> children;
  std::string name;
  for (std::uint32_t i = 0; reg().EnumKey(key, i, name) == store::kSuccess; ++i)
    children.push_back(name);
  reg().CloseKey(key);
  for (const auto& child : children) DeleteTree(root, path + "\\" + child);
  reg().DeleteKey(root, path);
}

}  // namespace korvanta::test
