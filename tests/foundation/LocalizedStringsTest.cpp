// The bundle's localised texts: the strings file's entries, and the key
// itself for a text the bundle does not have.
#include <gtest/gtest.h>

#include "platform/foundation/FileIO.h"
#include "platform/foundation/NSBundle.h"
#include "platform/foundation/Paths.h"
#include "tests/support/TestSupport.h"

TEST(LocalizedStringsTest, EntriesAreReadAndAMissingKeyIsItself) {
    auto entries = parseStringsFile(
        "// a comment\n"
        "\"plain\" = \"文本\";\n"
        "  \"quoted \\\"key\\\"\"=\"a\\nb \\\\ c\";\r\n"
        "\"unclosed\" = \"no end;\n"
        "not an entry\n"
        "\"no value\";\n");
    EXPECT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries["plain"], "文本");
    EXPECT_EQ(entries["quoted \"key\""], "a\nb \\ c");

    TempDir bundle;
    const std::string previous = bundleDirectory();
    setBundleDirectory(bundle.path());
    const std::string text = "\"Favorite capacity full\" = \"收藏夹已满\";\n";
    ASSERT_TRUE(
        writeFileAtomically(bundle.file("Localizable.strings"), std::vector<uint8_t>(text.begin(), text.end())));
    EXPECT_EQ(NSLocalizedString("Favorite capacity full"), "收藏夹已满");
    EXPECT_EQ(NSLocalizedString("refresh"), "refresh");
    setBundleDirectory(previous);
}
