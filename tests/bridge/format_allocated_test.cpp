#include "bridge/format_allocated.h"

#include <gtest/gtest.h>

#include <string>

namespace fw {
namespace {

TEST(FormatAllocated, FormatsWideAndAnsiTemplatesIntoAllocatedText) {
  const LocalMemoryHolder wide = FormatAllocatedW(L"%1!ls! (%2!lu!)", L"C:\\x y\\f\u0416.txt", DWORD{4294967295u});
  ASSERT_TRUE(wide);
  EXPECT_EQ(std::wstring(wide.as<wchar_t>()), L"C:\\x y\\f\u0416.txt (4294967295)");

  const LocalMemoryHolder ansi = FormatAllocatedA("%1!s! (%2!lu!)", "Access denied.\r\n", DWORD{5});
  ASSERT_TRUE(ansi);
  EXPECT_EQ(std::string(ansi.as<char>()), "Access denied.\r\n (5)") << "the line break is kept as given";
}

}  // namespace
}  // namespace fw
