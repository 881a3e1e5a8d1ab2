// Soft tokens and their enciphered file: lookups, persistence of the counter,
// and what a damaged or foreign file gives.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/security/BrasnikSignManager.h"
#include "core/security/DeviceKey.h"
#include "core/security/VTACoder.h"
#include "platform/foundation/GuardedFile.h"
#include "platform/foundation/Paths.h"
#include "tests/support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

const char* kSeed = "3132333435363738393031323334353637383930";

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

bool contains(const std::vector<uint8_t>& hay, const std::string& needle) {
    return std::search(hay.begin(), hay.end(), needle.begin(), needle.end()) != hay.end();
}

std::shared_ptr<BrasnikSign> makeSign(const std::string& seed, const std::string& custid, const std::string& phone) {
    auto sign = std::make_shared<BrasnikSign>(seed);
    sign->setOrganizationID("0001");
    sign->setCustomID(custid);
    sign->setPhoneNumber(phone);
    sign->setAccountsWithString("10001234, 10005678");
    sign->setGdhsWithString("A123456789,0123456789,");
    return sign;
}

class TokenFile : public ::testing::Test {
protected:
    ScopedDocuments docs;
    std::string file = documentsPath("tokens.db");
};

TEST(BrasnikSign, FieldsListsAndCounter) {
    BrasnikSign sign(kSeed);
    EXPECT_EQ(sign.count(), 1);
    sign.setAccountsWithString(" 1001 ,,1002,");
    EXPECT_EQ(sign.accounts(), (std::vector<std::string>{"1001", "1002"}));
    EXPECT_TRUE(sign.holdsAccount("1002"));
    EXPECT_FALSE(sign.holdsAccount("100"));
    sign.setGdhsWithString("");
    EXPECT_TRUE(sign.gdhs().empty());
    EXPECT_EQ(sign.oneTimeCode(), "287082");  // RFC 4226 counter 1
    EXPECT_TRUE(sign.heartBeet());            // no list: nothing to write
    EXPECT_EQ(sign.count(), 2);
    EXPECT_EQ(sign.oneTimeCode(), "359152");
}

TEST(BrasnikSign, ValueRoundTripAndRefusals) {
    auto sign = makeSign(kSeed, "C1", "13800000000");
    sign->heartBeet();
    auto back = BrasnikSign::fromValue(sign->toValue());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->seed(), kSeed);
    EXPECT_EQ(back->count(), 2);
    EXPECT_EQ(back->organizationID(), "0001");
    EXPECT_EQ(back->customID(), "C1");
    EXPECT_EQ(back->phoneNum(), "13800000000");
    EXPECT_EQ(back->accounts(), sign->accounts());
    EXPECT_EQ(back->gdhs(), sign->gdhs());
    EXPECT_FALSE(BrasnikSign::fromValue(Value("x")));
    EXPECT_FALSE(BrasnikSign::fromValue(Value(Value::Dict{{"count", 3}})));
    EXPECT_FALSE(BrasnikSign::fromValue(Value(Value::Dict{{"seed", ""}})));
}

TEST_F(TokenFile, SavesAndReadsBackEnciphered) {
    auto m = BrasnikSignManager::managerWithFile(file);
    EXPECT_TRUE(m->allSignners().empty());
    EXPECT_FALSE(m->loadFailed());
    m->appendSignner(makeSign(kSeed, "C1", "13800000000"));
    m->appendSignner(makeSign("0a0b0c0d", "C2", "13900000000"));
    ASSERT_TRUE(m->save());

    auto bytes = readFile(file);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "VTASGN");
    // Nothing secret or personal in clear.
    for (const char* clear : {kSeed, "0a0b0c0d", "13800000000", "10001234", "A123456789", "seed"}) {
        EXPECT_FALSE(contains(bytes, clear)) << clear;
    }
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);

    auto again = BrasnikSignManager::managerWithFile(file);
    ASSERT_EQ(again->allSignners().size(), 2u);
    EXPECT_EQ(again->allSignners()[0]->seed(), kSeed);
    EXPECT_EQ(again->allSignners()[1]->customID(), "C2");
    EXPECT_EQ(again->allSignners()[1]->gdhs(), (std::vector<std::string>{"A123456789", "0123456789"}));
}

TEST_F(TokenFile, Lookups) {
    auto m = BrasnikSignManager::managerWithFile(file);
    auto a = makeSign(kSeed, "C1", "13800000000");
    auto b = makeSign("0a0b", "C2", "13900000000");
    b->setAccountsWithString("10001234");
    m->appendSignner(a);
    m->appendSignner(b);
    m->appendSignner(a);  // already listed
    EXPECT_EQ(m->allSignners().size(), 2u);
    EXPECT_EQ(m->findSignerWithAccount("10001234", "13900000000"), b);
    EXPECT_EQ(m->findSignerWithAccount("10001234", "13800000000"), a);
    EXPECT_EQ(m->findSignerWithAccount("10005678", "13900000000"), nullptr);
    EXPECT_EQ(m->findSignerWithGDH("0123456789", "13800000000"), a);
    EXPECT_EQ(m->findSignerWithGDH("0123456789", ""), nullptr);
    EXPECT_EQ(m->findSignerWithCustomID("C2"), b);
    EXPECT_EQ(m->findSignerWithCustomID("C3"), nullptr);
    m->removeSignner(a);
    EXPECT_EQ(m->allSignners().size(), 1u);
    EXPECT_EQ(m->findSignerWithCustomID("C1"), nullptr);
    // A token equal by seed counts as the same token.
    m->removeSignner(std::make_shared<BrasnikSign>("0a0b"));
    EXPECT_TRUE(m->allSignners().empty());
}

TEST_F(TokenFile, EveryCounterAdvanceIsOnDiskAtOnce) {
    auto m = BrasnikSignManager::managerWithFile(file);
    auto sign = makeSign(kSeed, "C1", "138");
    m->appendSignner(sign);
    ASSERT_TRUE(m->save());
    std::string firstCode = sign->oneTimeCode();
    ASSERT_TRUE(sign->heartBeet());
    ASSERT_TRUE(sign->heartBeet());
    // A "restart": another reader of the same file, without any explicit save.
    auto after = BrasnikSignManager::managerWithFile(file);
    ASSERT_EQ(after->allSignners().size(), 1u);
    EXPECT_EQ(after->allSignners()[0]->count(), 3);
    EXPECT_NE(after->allSignners()[0]->oneTimeCode(), firstCode);

    // A removed token no longer writes the list.
    m->removeSignner(sign);
    auto before = readFile(file);
    sign->heartBeet();
    EXPECT_EQ(readFile(file), before);
}

TEST_F(TokenFile, DefaultManagerUsesDocumentsFile) {
    auto& m = BrasnikSignManager::defaultManager();
    m.reload();
    EXPECT_TRUE(m.allSignners().empty());
    auto sign = makeSign(kSeed, "C9", "137");
    m.appendSignner(sign);
    ASSERT_TRUE(BrasnikSignManager::saveSigns());
    EXPECT_TRUE(fs::exists(documentsPath("signFileName.db")));
    sign->heartBeet();
    m.reload();
    ASSERT_EQ(m.allSignners().size(), 1u);
    EXPECT_EQ(m.allSignners()[0]->count(), 2);
    EXPECT_TRUE(m.allSignners()[0]->heartBeet());  // a reloaded token is still tied to its file
    m.reload();
    EXPECT_EQ(m.allSignners()[0]->count(), 3);
    m.removeSignner(m.allSignners()[0]);
    BrasnikSignManager::saveSigns();
}

TEST_F(TokenFile, ADamagedFileGivesAnEmptyListAndIsKeptAside) {
    {
        auto m = BrasnikSignManager::managerWithFile(file);
        m->appendSignner(makeSign(kSeed, "C1", "138"));
        ASSERT_TRUE(m->save());
    }
    auto good = readFile(file);
    // Each way of finding it damaged: a flipped byte anywhere, emptied, cut short, overwritten.
    std::vector<std::vector<uint8_t>> damaged;
    for (size_t at : {size_t(0), size_t(7), size_t(9), good.size() / 2, good.size() - 1}) {
        damaged.push_back(good);
        damaged.back()[at] ^= 0x04;
    }
    for (size_t n : {size_t(0), size_t(5), size_t(8), size_t(20), good.size() - 8})
        damaged.emplace_back(good.begin(), good.begin() + n);
    damaged.push_back(std::vector<uint8_t>(good.size(), 0x5a));
    for (size_t i = 0; i < damaged.size(); ++i) {
        SCOPED_TRACE(i);
        writeFile(file, damaged[i]);
        auto m = BrasnikSignManager::managerWithFile(file);
        EXPECT_TRUE(m->allSignners().empty());
        EXPECT_TRUE(m->loadFailed());
        EXPECT_FALSE(fs::exists(file));
        EXPECT_EQ(readFile(file + ".damaged-" + std::to_string(i + 1)), damaged[i]);
        auto notes = takeRecoveredFiles(documentsDirectory());
        ASSERT_EQ(notes.size(), 1u);
        EXPECT_EQ(notes[0].path, file);
    }
    // The next save writes a new file; the damaged ones stay.
    auto m = BrasnikSignManager::managerWithFile(file);
    m->appendSignner(makeSign("0a0b", "C2", "139"));
    ASSERT_TRUE(m->save());
    EXPECT_EQ(BrasnikSignManager::managerWithFile(file)->allSignners().size(), 1u);
    EXPECT_EQ(readFile(file + ".damaged-1"), damaged[0]);
}

TEST_F(TokenFile, AFileOfAnotherDeviceOrAnotherSaltIsSetAsideToo) {
    {
        auto m = BrasnikSignManager::managerWithFile(file);
        m->appendSignner(makeSign(kSeed, "C1", "138"));
        ASSERT_TRUE(m->save());
    }
    auto good = readFile(file);
    // Copied to another device: the key differs.
    setDeviceIdentityForTesting("another-machine");
    EXPECT_TRUE(BrasnikSignManager::managerWithFile(file)->allSignners().empty());
    setDeviceIdentityForTesting(std::nullopt);
    EXPECT_EQ(readFile(file + ".damaged-1"), good);
    fs::rename(file + ".damaged-1", file);
    EXPECT_EQ(BrasnikSignManager::managerWithFile(file)->allSignners().size(), 1u);

    // The installation salt lost: unreadable too (never silently re-keyed to the old tokens).
    fs::remove(documentsPath("deviceSalt.bin"));
    EXPECT_TRUE(BrasnikSignManager::managerWithFile(file)->loadFailed());
    EXPECT_EQ(readFile(file + ".damaged-1"), good);

    // The salt emptied, then cut short: it can never give the old key back.
    // It is kept aside, and so is the token file it keyed (told once); a new
    // salt keys the list from then on, so a token applied for again is kept.
    const std::string salt = documentsPath("deviceSalt.bin");
    auto m = BrasnikSignManager::managerWithFile(file);
    m->appendSignner(makeSign(kSeed, "C1", "138"));
    ASSERT_TRUE(m->save());
    takeRecoveredFiles(documentsDirectory());
    const std::vector<std::vector<uint8_t>> damagedSalts = {{}, {1, 2, 3}};
    for (size_t i = 0; i < damagedSalts.size(); ++i) {
        const auto kept = readFile(file);
        ASSERT_EQ(BrasnikSignManager::managerWithFile(file)->allSignners().size(), 1u);
        writeFile(salt, damagedSalts[i]);
        m = BrasnikSignManager::managerWithFile(file);
        EXPECT_TRUE(m->allSignners().empty());
        const std::string saltAside = salt + ".damaged-" + std::to_string(i + 1);
        EXPECT_TRUE(fs::exists(saltAside));
        EXPECT_EQ(readFile(saltAside), damagedSalts[i]);
        EXPECT_EQ(readFile(salt).size(), 32u);
        EXPECT_EQ(readFile(file + ".damaged-" + std::to_string(i + 2)), kept);
        auto told = takeRecoveredFiles(documentsDirectory());
        ASSERT_EQ(told.size(), 1u);
        EXPECT_EQ(told[0].path, file);
        m->appendSignner(makeSign(kSeed, "C2", "139"));
        ASSERT_TRUE(m->save());
        EXPECT_TRUE(takeRecoveredFiles(documentsDirectory()).empty());
    }
}

TEST_F(TokenFile, DeviceKeyDependsOnPurposeSaltAndIdentity) {
    auto a = deviceBoundKey("one", 32);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->size(), 32u);
    EXPECT_EQ(deviceBoundKey("one", 32), a);
    EXPECT_NE(deviceBoundKey("two", 32), a);
    setDeviceIdentityForTesting("x");
    EXPECT_NE(deviceBoundKey("one", 32), a);
    setDeviceIdentityForTesting(std::nullopt);
    // A salt file of the wrong size is replaced by a new salt: another key.
    writeFile(documentsPath("deviceSalt.bin"), {1, 2, 3});
    auto b = deviceBoundKey("one", 32);
    ASSERT_TRUE(b);
    EXPECT_NE(b, a);
    EXPECT_EQ(deviceBoundKey("one", 32), b);
}

}  // namespace
