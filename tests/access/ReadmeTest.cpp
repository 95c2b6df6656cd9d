// The README's user guide: every picture it shows is in the tree, and it lists every key.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "access/Keyboard.h"

namespace pelasim {
namespace {

std::string readme() {
  std::ifstream in(std::filesystem::path(PELASIM_SOURCE_TREE) / "README.md");
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The targets of the Markdown pictures "![text](target)".
std::vector<std::string> pictures(const std::string& text) {
  std::vector<std::string> out;
  for (std::size_t i = text.find("!["); i != std::string::npos; i = text.find("![", i + 2)) {
    const std::size_t open = text.find("](", i);
    const std::size_t close = open == std::string::npos ? open : text.find(')', open);
    if (close == std::string::npos) break;
    out.push_back(text.substr(open + 2, close - open - 2));
  }
  return out;
}

TEST(Readme, EveryPictureItShowsIsInTheTree) {
  const std::string text = readme();
  ASSERT_FALSE(text.empty());
  const std::vector<std::string> shown = pictures(text);
  EXPECT_FALSE(shown.empty());
  for (const std::string& p : shown)
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::path(PELASIM_SOURCE_TREE) / p)) << p;
}

TEST(Readme, PictureLinksAreFoundWhereverTheyStand) {
  EXPECT_EQ(pictures("a ![x](docs/a.png) b\n![y](b.png)"), (std::vector<std::string>{"docs/a.png", "b.png"}));
  EXPECT_TRUE(pictures("![broken](no end").empty());
}

TEST(Readme, ListsEveryKeyOfTheMainWindow) {
  const std::string text = readme();
  for (const auto& [key, what] : keyboardHelp())
    EXPECT_NE(text.find("| " + key + " |"), std::string::npos) << key;
}

}  // namespace
}  // namespace pelasim
