// Files that survive damage: set aside, started again from the last good copy,
// noted once for the customer.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/foundation/GuardedFile.h"
#include "tests/support/FileDamage.h"
#include "tests/support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

const std::vector<uint8_t> kGood = {'G', 'O', 'O', 'D', ' ', 'o', 'n', 'e'};
const std::vector<uint8_t> kNewer = {'G', 'O', 'O', 'D', ' ', 't', 'w', 'o'};

// What the owner of these files can read: eight bytes that begin with "GOOD".
bool readable(const std::vector<uint8_t>& bytes) {
    return bytes.size() == kGood.size() && std::equal(kGood.begin(), kGood.begin() + 4, bytes.begin());
}

TEST(GuardedFile, ADamagedFileIsSetAsideAndItsCopyTakesItsPlace) {
    TempDir dir;
    const std::string path = dir.file("settings");
    int round = 0;
    for (const auto& damage : fileDamages()) {
        SCOPED_TRACE(damage.name);
        ++round;
        ASSERT_TRUE(writeGuardedFile(path, kGood, FileDurability::Durable, LastGoodCopy::Kept));
        damage.apply(path);
        const auto damaged = fileBytesOf(path);

        GuardedFileRead read = readGuardedFile(path, readable, LastGoodCopy::Kept);
        EXPECT_EQ(read.bytes, kGood);
        EXPECT_TRUE(read.fromCopy);
        // Each damaged file is kept beside the others, as it was found.
        EXPECT_EQ(read.damagedKeptAs, path + ".damaged-" + std::to_string(round));
        EXPECT_EQ(fileBytesOf(read.damagedKeptAs), damaged);
        EXPECT_EQ(fileBytesOf(path), kGood);

        auto notes = takeRecoveredFiles(dir.path());
        ASSERT_EQ(notes.size(), 1u);
        EXPECT_EQ(notes[0].path, path);
        EXPECT_EQ(notes[0].keptAs, read.damagedKeptAs);
        EXPECT_TRUE(notes[0].fromCopy);
        EXPECT_TRUE(takeRecoveredFiles(dir.path()).empty()) << "told once";
        // Read again, the file is whole: nothing more to tell.
        EXPECT_EQ(readGuardedFile(path, readable, LastGoodCopy::Kept).bytes, kGood);
        EXPECT_TRUE(takeRecoveredFiles(dir.path()).empty());
    }

    // Copy damaged as well (or a file that keeps none): nothing to start from,
    // and the damaged file is still not written over.
    for (LastGoodCopy copy : {LastGoodCopy::Kept, LastGoodCopy::None}) {
        fileDamages()[2].apply(path);
        fileDamages()[0].apply(lastGoodCopyPath(path));
        GuardedFileRead read = readGuardedFile(path, readable, copy);
        EXPECT_FALSE(read.bytes);
        EXPECT_FALSE(read.fromCopy);
        EXPECT_FALSE(fs::exists(path));
        EXPECT_TRUE(fs::exists(read.damagedKeptAs));
        auto notes = takeRecoveredFiles(dir.path());
        ASSERT_EQ(notes.size(), 1u);
        EXPECT_FALSE(notes[0].fromCopy);
        ASSERT_TRUE(writeGuardedFile(path, kGood, FileDurability::Durable, copy));
    }
}

TEST(GuardedFile, TheCopyFollowsDurableWritesAndGoodReadsOnly) {
    TempDir dir;
    const std::string path = dir.file("defaults");
    const std::string copy = lastGoodCopyPath(path);
    ASSERT_TRUE(writeGuardedFile(path, kGood, FileDurability::Durable, LastGoodCopy::Kept));
    EXPECT_EQ(fileBytesOf(copy), kGood);
    // A change written without a flush may not survive a power loss: the copy keeps the flushed one.
    ASSERT_TRUE(writeGuardedFile(path, kNewer, FileDurability::AtomicOnly, LastGoodCopy::Kept));
    EXPECT_EQ(fileBytesOf(copy), kGood);
    // Read good at the next start, it becomes the copy.
    EXPECT_EQ(readGuardedFile(path, readable, LastGoodCopy::Kept).bytes, kNewer);
    EXPECT_EQ(fileBytesOf(copy), kNewer);
    // A file that keeps no copy never makes one.
    const std::string other = dir.file("accounts");
    ASSERT_TRUE(writeGuardedFile(other, kGood, FileDurability::Durable, LastGoodCopy::None));
    readGuardedFile(other, readable, LastGoodCopy::None);
    EXPECT_FALSE(fs::exists(lastGoodCopyPath(other)));

    // A missing file is put back from its copy without a word; without either it is a first start.
    fs::remove(path);
    EXPECT_EQ(readGuardedFile(path, readable, LastGoodCopy::Kept).bytes, kNewer);
    EXPECT_EQ(fileBytesOf(path), kNewer);
    fs::remove(path);
    fs::remove(copy);
    EXPECT_FALSE(readGuardedFile(path, readable, LastGoodCopy::Kept).bytes);
    EXPECT_TRUE(takeRecoveredFiles(dir.path()).empty());
}

TEST(GuardedFile, NotesAreHandedOutForTheirOwnFolderOnly) {
    TempDir first, second;
    for (const auto* dir : {&first, &second}) {
        ASSERT_TRUE(writeGuardedFile(dir->file("f"), kGood, FileDurability::Durable, LastGoodCopy::None));
        fileDamages()[0].apply(dir->file("f"));
        readGuardedFile(dir->file("f"), readable, LastGoodCopy::None);
    }
    EXPECT_EQ(takeRecoveredFiles(first.path() + "/").size(), 1u);
    EXPECT_TRUE(takeRecoveredFiles(first.path()).empty());
    ASSERT_EQ(takeRecoveredFiles(second.path()).size(), 1u);
}

}  // namespace
