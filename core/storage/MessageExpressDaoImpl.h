#pragma once
// The message store (t_messageExpress): pushed messages keyed by messageId,
// their groupings for the inbox, favourites, read marks and deletions.
//
// "Newest first" is by sendDate, then sendTime, descending (the texts compare
// as they are: "yyyy-MM-dd" and zero-padded "HH:mm:ss"), the later stored
// first among equals.
//
// Lists answer nullopt for "nothing": an unknown grouping, no ids, a closed
// database or a failed query; an empty list is a query that found no row.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/storage/DatabaseConnection.h"
#include "core/storage/QZMessageExpress.h"
#include "core/storage/QZSortord.h"

class MessageExpressDaoImpl {
public:
    using MessageList = std::vector<std::shared_ptr<QZMessageExpress>>;
    using SortordList = std::vector<std::shared_ptr<QZSortord>>;

    explicit MessageExpressDaoImpl(std::shared_ptr<DatabaseConnection> connection);

    // Groups of all stored messages. 0: QZSortordBySender per senderCode, the
    // sender with the newest message first. 1: QZSortordByTime per sendDate,
    // newest date first. 2: QZSortordByStock per (code, name) pair of the
    // messages' stock lists ("," separated, paired by position; a message
    // without a stock is filed under "9999999"/"9999999"), ascending by the
    // integer value of the code. Other types: nullopt.
    std::optional<SortordList> listSortordWithType(int type);
    // The same over the favourites.
    std::optional<SortordList> listFavoriteSortordWithType(int type);

    // How many of the given messages are unread; 0 for no ids.
    int countOfUnreadMessageWithMessageIds(const std::vector<std::string>& messageIds);
    // How many stored messages are unread (the home screen's badge).
    int countOfUnreadMessage();

    // Messages of one group. 0: senderCode equals the key, newest first.
    // 1: sendDate equals the key, by sendTime descending. 2: the key is one
    // of the message's stock codes ("9999999": messages without a stock),
    // newest first. Other types: nullopt.
    std::optional<MessageList> listMessageExpressWithKey(const std::string& key, int type);
    std::optional<MessageList> listFavoriteMessageExpressWithKey(const std::string& key, int type);
    // The stored messages among the ids, newest first; nullopt for no ids.
    std::optional<MessageList> listMessageExpressWithMessageIds(const std::vector<std::string>& messageIds);
    std::optional<MessageList> listFavoriteMessageExpressWithMessageIds(const std::vector<std::string>& messageIds);
    // The newest `limit` messages (the home screen's list).
    std::optional<MessageList> listRecentMessagesWithLimit(int limit);
    // The stored message of that id, or null.
    std::shared_ptr<QZMessageExpress> messageWithMessageId(const std::string& messageId);

    // False when no such message is stored or the deletion fails.
    bool deleteMessageWithMessageId(const std::string& messageId);
    // Deletes each, in one transaction; true when every one was deleted,
    // false for no ids. A failing statement undoes the whole deletion.
    bool deleteMessageWithMessageIdArray(const std::vector<std::string>& messageIds);
    // Every message of the sender / of the date, favourites included; true
    // when the statement ran.
    bool deleteMessageWithSenderCode(const std::string& senderCode);
    bool deleteMessageWithSendDate(const std::string& sendDate);
    // Only the favourites of the sender / of the date.
    bool deleteFavoriteMessageWithSenderCode(const std::string& senderCode);
    bool deleteFavoriteMessageWithSendDate(const std::string& sendDate);

    // Sets the flag of that message; true when the update ran, false for an
    // empty id or a failed update.
    bool markMessageIsRead(const std::string& messageId, bool isRead);
    bool markMessageIsFavorite(const std::string& messageId, bool isFavorite);

    int amountOfFavoriteMessage();

    // Stores every field unless a message with the same messageId is stored
    // already (then nothing changes and the answer is true). False for an
    // empty messageId or a failed insert. Does not trim the store.
    bool addMessageExpressItem(const QZMessageExpress& message);
    // Stores a batch in one transaction (duplicates and messages without an
    // id passed over), then, when `trimToAmount` is given, trims as
    // trimNonFavoriteMessagesToAmount in the same transaction. The number of
    // messages newly stored; nullopt when a statement failed, and then the
    // table is as it was.
    std::optional<int> addMessageExpressItems(const MessageList& messages,
                                              std::optional<int> trimToAmount = std::nullopt);
    // Deletes the oldest non-favourite messages until at most `amount`
    // non-favourites remain; favourites are never deleted and do not count.
    // The caller passes QZUtil::maxMessageExpressAmount(). False for a
    // negative amount or a failed statement (nothing deleted then).
    bool trimNonFavoriteMessagesToAmount(int amount);

private:
    std::optional<SortordList> listSortord(int type, bool favoritesOnly);
    std::optional<MessageList> listWithKey(const std::string& key, int type, bool favoritesOnly);
    std::optional<MessageList> listWithIds(const std::vector<std::string>& ids, bool favoritesOnly);
    bool deleteWhere(const std::string& column, const std::string& value, bool favoritesOnly);
    bool markFlag(const std::string& column, const std::string& messageId, bool value);

    std::shared_ptr<DatabaseConnection> connection_;
};
