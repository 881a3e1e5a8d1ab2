#pragma once
// Lists of trading accounts.
//   tradeAccountManager()      the accounts logged in during this run (memory only)
//   tradeAccountManagerForHK() the same for the Hong Kong trade (memory only)
//   savedAccountManager()      the remembered accounts, loaded from Documents/
//                              kSavedAccountsFile on first use; its owner calls
//                              save() after changing it.
//
// Saved-accounts file: a keyed archive (NSKeyedArchiver) whose root is a Dict
//   "version"  1
//   "selected" index of the selected account, -1 for none
//   "accounts" Array of Dict with the texts "accID", "typeCode", "typeName",
//              "yybCode", "yybName", "zjzh", "userName", "lastLoginTime".
// Passwords, session objects and login state are never written. Entries
// without an "accID" or equal to an earlier one are skipped when read; a file
// that cannot be read gives an empty list and is set aside as
// "savedaccounts.plish.damaged-N" (GuardedFile.h), never written over.
//
// Notifications (posted synchronously on the caller's thread):
//   "QZAccountNumberDidChangedNotification" (object: the VTAAccountManager*)
//       after setSelectedAccount, and after removeAccount removed an account;
//   "QZAccountDidChangedNotification" (no object) after every
//       setSelectedAccount (each selection or login), and when the selected
//       account is removed or dropped. Reading selectedAccount() posts nothing,
//       so an observer may read it without setting off another notification.
#include <memory>
#include <string>
#include <vector>

#include "core/VTAAccount.h"

inline constexpr const char* kAccountNumberDidChangedNotification = "QZAccountNumberDidChangedNotification";
inline constexpr const char* kAccountDidChangedNotification = "QZAccountDidChangedNotification";

class VTAAccountManager {
public:
    static constexpr const char* kSavedAccountsFile = "savedaccounts.plish";
    static constexpr int kDefaultAccountLimit = 10;

    static VTAAccountManager& tradeAccountManager();
    static VTAAccountManager& tradeAccountManagerForHK();
    static VTAAccountManager& savedAccountManager();

    // fileName empty: a list in memory only; otherwise a file in Documents,
    // read now.
    explicit VTAAccountManager(std::string fileName = "");

    const std::vector<std::shared_ptr<VTAAccount>>& accounts() const { return accounts_; }
    int count() const { return static_cast<int>(accounts_.size()); }
    std::shared_ptr<VTAAccount> accountAtIndex(int index) const;  // null out of range
    int indexOfAccount(const VTAAccount& account) const;          // -1 when no equal account

    // Appends the account unless an equal one is present (false then). When
    // the list has reached the limit ("logaccnum"; 10 when absent or below 1),
    // the oldest entries are dropped until it is below it.
    bool appendAccount(std::shared_ptr<VTAAccount> account);
    void removeAccount(const VTAAccount& account);
    // Appends the account when absent, moves the selected flag to it.
    void setSelectedAccount(std::shared_ptr<VTAAccount> account);
    std::shared_ptr<VTAAccount> selectedAccount() const { return selected_; }
    int selectedIndex() const;

    // The limit appendAccount applies now.
    static int accountLimit();

    // Writes / re-reads the file of a saved list (false for a list in memory
    // or when the file cannot be written).
    bool save() const;
    void reload();

private:
    bool appendWithoutNotice(std::shared_ptr<VTAAccount> account, bool& droppedSelected);
    void postNumberChanged();
    static void postSelectionChanged();

    std::string fileName_;
    std::vector<std::shared_ptr<VTAAccount>> accounts_;
    std::shared_ptr<VTAAccount> selected_;
};
