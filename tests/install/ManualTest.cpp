// The installed manual: every link leads to a page and a place that exist, and every page is
// reached from the contents.
#include "install/InstallFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>

namespace fs = std::filesystem;

namespace {

std::set<std::string> Matches(const std::string& text, const std::regex& pattern)
{
    std::set<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern); it != std::sregex_iterator(); ++it)
        found.insert((*it)[1]);
    return found;
}

}  // namespace

TEST(Install, ManualLinksLeadToPagesAndPlacesThatExistAndTheContentsReachEveryPage)
{
    InstalledTree tree;
    const fs::path manual = tree.Path("share/marlux/manual");
    std::map<std::string, std::string> pages;
    for (const fs::directory_entry& entry : fs::directory_iterator(manual))
        if (entry.path().extension() == ".html")
            pages[entry.path().filename().string()] = TempDir::ReadFile(entry.path().string());
    ASSERT_TRUE(pages.count("index.html")) << "no contents page";
    ASSERT_TRUE(pages.count("keywords.html")) << "no index page";

    const std::regex link("href=\"([^\"]*)\"");
    const std::regex anchor("id=\"([^\"]*)\"");
    std::set<std::string> reached{"index.html"};
    std::vector<std::string> toVisit{"index.html"};
    while (!toVisit.empty()) {
        const std::string page = toVisit.back();
        toVisit.pop_back();
        for (const std::string& target : Matches(pages[page], link)) {
            const std::string file = target.substr(0, target.find('#'));
            const std::string place = target.find('#') == std::string::npos ? "" : target.substr(target.find('#') + 1);
            const std::string linked = file.empty() ? page : file;
            if (linked == "style.css") {
                EXPECT_TRUE(fs::is_regular_file(manual / linked));
                continue;
            }
            ASSERT_TRUE(pages.count(linked)) << page << " links to the missing " << target;
            if (!place.empty()) {
                EXPECT_TRUE(Matches(pages[linked], anchor).count(place)) << page << " links to the missing " << target;
            }
            if (reached.insert(linked).second)
                toVisit.push_back(linked);
        }
    }
    for (const auto& [name, text] : pages)
        EXPECT_TRUE(reached.count(name)) << name << " is not reached from the contents";
}
