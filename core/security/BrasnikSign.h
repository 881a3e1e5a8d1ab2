#pragma once
// One soft token ("手机令牌"): a secret seed and an HOTP counter, with the
// organisation, customer id, phone number, capital accounts and shareholder
// codes it was issued for. Used on the main thread.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/Value.h"

class BrasnikSignManager;

class BrasnikSign {
public:
    // initWithSeed: a hex seed, counter 1.
    explicit BrasnikSign(std::string hexSeed);
    ~BrasnikSign();  // wipes the seed from memory
    BrasnikSign(const BrasnikSign&) = delete;
    BrasnikSign& operator=(const BrasnikSign&) = delete;

    void setOrganizationID(std::string id) { organizationID_ = std::move(id); }
    void setCustomID(std::string id) { customID_ = std::move(id); }
    void setPhoneNumber(std::string phone) { phoneNum_ = std::move(phone); }
    // Comma-separated lists; blanks around items and empty items are dropped.
    void setAccountsWithString(const std::string& list);
    void setGdhsWithString(const std::string& list);

    const std::string& seed() const { return seed_; }
    int64_t count() const { return count_; }
    const std::string& organizationID() const { return organizationID_; }
    const std::string& customID() const { return customID_; }
    const std::string& phoneNum() const { return phoneNum_; }
    const std::vector<std::string>& accounts() const { return accounts_; }
    const std::vector<std::string>& gdhs() const { return gdhs_; }
    bool holdsAccount(const std::string& account) const;
    bool holdsGdh(const std::string& gdh) const;

    // The one-time code of the present counter (VTACoder::createSjKlWithSeed).
    std::string oneTimeCode() const;

    // Advances the counter by one. When the token belongs to a manager's list,
    // that list is written to its file at once, so that a restart never uses a
    // counter (and so a one-time code) twice. False only when that write failed.
    bool heartBeet();

    // The token as a property-list dictionary (only ever stored enciphered), and back;
    // nullptr for a value that is no dictionary or has no text "seed".
    Value toValue() const;
    static std::shared_ptr<BrasnikSign> fromValue(const Value& value);

private:
    friend class BrasnikSignManager;
    std::string seed_;
    int64_t count_ = 1;
    std::string organizationID_;
    std::string customID_;
    std::string phoneNum_;
    std::vector<std::string> accounts_;
    std::vector<std::string> gdhs_;
    std::weak_ptr<BrasnikSignManager> owner_;  // the list that stores it, if any
};
