// Soft-token dictionaries under arbitrary bytes, read the ways the client
// reads them: the token file (signFileName.db) as it stands, and as a whole
// file whose enciphered archive holds what the input holds (so that the list
// and its dictionaries reach BrasnikSign::fromValue in any shape), and the
// dictionaries of a property list one by one. Each token read answers its
// lookups and one-time code and writes to a dictionary that reads back as
// the same token.
//
// The first byte chooses: 0 the file as the bytes stand, 1 a file enciphered
// for this device around the bytes, else the bytes as a property list.
// Checks: a token read has a seed; its one-time code is six digits or, for a
// seed that is no hex, empty; it reads back from its own dictionary the same;
// a file that cannot be read is set aside, never left in place to be written
// over.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/security/BrasnikSignManager.h"
#include "core/security/DeviceKey.h"
#include "core/security/FrameCodec.h"
#include "fuzz/FuzzDocuments.h"
#include "platform/foundation/GuardedFile.h"
#include "platform/foundation/NSKeyedArchiver.h"

namespace {

namespace fs = std::filesystem;

void checkToken(const BrasnikSign& sign) {
    if (sign.seed().empty()) std::abort();
    const std::string code = sign.oneTimeCode();
    if (!code.empty() && (code.size() != 6 || code.find_first_not_of("0123456789") != std::string::npos)) std::abort();
    auto again = BrasnikSign::fromValue(sign.toValue());
    if (!again || again->seed() != sign.seed() || again->count() != sign.count() ||
        again->customID() != sign.customID() || again->phoneNum() != sign.phoneNum() ||
        again->accounts() != sign.accounts() || again->gdhs() != sign.gdhs())
        std::abort();
    for (const auto& account : sign.accounts())
        if (!sign.holdsAccount(account)) std::abort();
    for (const auto& gdh : sign.gdhs())
        if (!sign.holdsGdh(gdh)) std::abort();
}

// The file layout of BrasnikSignManager.h around a plain archive.
std::vector<uint8_t> tokenFileAround(const std::vector<uint8_t>& archive) {
    static const std::vector<uint8_t> key = [] {
        auto k = deviceBoundKey(BrasnikSignManager::kKeyPurpose, 32);
        if (!k) std::abort();
        return *k;
    }();
    std::vector<uint8_t> file = {'V', 'T', 'A', 'S', 'G', 'N', 1, 0};
    auto frame = encipherFrame(archive, key);
    file.insert(file.end(), frame.begin(), frame.end());
    return file;
}

void readFile(const std::vector<uint8_t>& bytes) {
    const std::string path = fuzzDocuments() + "/" + BrasnikSignManager::kFileName;
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    auto signs = BrasnikSignManager::managerWithFile(path);
    for (const auto& sign : signs->allSignners()) checkToken(*sign);
    if (signs->loadFailed() && fs::exists(path)) std::abort();  // left where a save would write over it
    // What a damaged file left behind goes, so that the next input starts clean.
    for (const auto& recovered : takeRecoveredFiles(fuzzDocuments())) fs::remove(recovered.keptAs);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    fuzzDocuments();
    const std::vector<uint8_t> bytes(data + 1, data + size);
    switch (data[0] % 3) {
        case 0:
            readFile(bytes);
            break;
        case 1:
            readFile(tokenFileAround(bytes));
            break;
        default: {
            auto value = NSKeyedUnarchiver::unarchiveObjectWithData(bytes);
            if (!value) break;
            const Value::Array items = value->isArray() ? value->array() : Value::Array{*value};
            for (const auto& item : items)
                if (auto sign = BrasnikSign::fromValue(item)) {
                    checkToken(*sign);
                    sign->heartBeet();  // a token of no list: nothing written
                    checkToken(*sign);
                }
        }
    }
    return 0;
}
