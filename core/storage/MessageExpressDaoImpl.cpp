#include "core/storage/MessageExpressDaoImpl.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

#include "core/storage/StorageText.h"

namespace {

constexpr const char* kColumns =
    "messageId, senderCode, senderName, sendDate, sendTime, isNeedConfirm, isFavorite, isRead, messageType, "
    "messageLevel, messageDetailId, messageTitle, messageContent, week, channelName, stockCode, stockName, "
    "messageUrl";
constexpr const char* kNewestFirst = " ORDER BY sendDate DESC, sendTime DESC, id DESC";
// SQLite's limit on bound parameters is far above this; keeps statements small.
constexpr size_t kIdsPerStatement = 200;

std::string selectMessages() { return std::string("SELECT ") + kColumns + ", id FROM t_messageExpress"; }

std::shared_ptr<QZMessageExpress> readMessage(const Statement& st) {
    auto m = std::make_shared<QZMessageExpress>(st.columnText(1));
    m->setMessageId(st.columnText(0));
    m->setSenderName(st.columnText(2));
    m->setSendDate(st.columnText(3));
    m->setSendTime(st.columnText(4));
    m->setIsNeedConfirm(st.columnInt64(5) != 0);
    m->setIsFavorite(st.columnInt64(6) != 0);
    m->setIsRead(st.columnInt64(7) != 0);
    m->setMessageType(static_cast<int>(st.columnInt64(8)));
    m->setMessageLevel(static_cast<int>(st.columnInt64(9)));
    m->setMessageDetailId(st.columnText(10));
    m->setMessageTitle(st.columnText(11));
    m->setMessageContent(st.columnText(12));
    m->setWeek(static_cast<int>(st.columnInt64(13)));
    m->setChannelName(st.columnText(14));
    m->setStockCode(st.columnText(15));
    m->setStockName(st.columnText(16));
    m->setMessageUrl(st.columnText(17));
    return m;
}

// A message read together with its row id, for ordering merged results.
struct Row {
    std::shared_ptr<QZMessageExpress> message;
    int64_t id;
};

void sortNewestFirst(std::vector<Row>& rows) {
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        return std::tie(a.message->sendDate(), a.message->sendTime(), a.id) >
               std::tie(b.message->sendDate(), b.message->sendTime(), b.id);
    });
}

std::optional<std::vector<Row>> readRows(Statement& st) {
    std::vector<Row> rows;
    for (;;) {
        auto r = st.step();
        if (r == Statement::StepResult::Done) return rows;
        if (r == Statement::StepResult::Error) return std::nullopt;
        rows.push_back({readMessage(st), st.columnInt64(18)});
    }
}

MessageExpressDaoImpl::MessageList messagesOf(std::vector<Row>& rows) {
    MessageExpressDaoImpl::MessageList list;
    list.reserve(rows.size());
    for (auto& r : rows) list.push_back(std::move(r.message));
    return list;
}

std::string placeholders(size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i) s += i ? ", ?" : "?";
    return s;
}

std::vector<std::string> distinct(const std::vector<std::string>& ids) {
    std::vector<std::string> out;
    std::set<std::string> seen;
    for (const auto& id : ids)
        if (seen.insert(id).second) out.push_back(id);
    return out;
}

// The (code, name) keys a message is filed under in the grouping by stock.
std::vector<std::pair<std::string, std::string>> stockKeys(const std::string& codes, const std::string& names) {
    std::vector<std::pair<std::string, std::string>> keys;
    if (storage_text::trim(codes).empty()) {
        keys.emplace_back(QZSortordByStock::kNoStockKey, QZSortordByStock::kNoStockKey);
        return keys;
    }
    auto codeParts = storage_text::split(codes, ',');
    auto nameParts = storage_text::split(names, ',');
    for (size_t i = 0; i < codeParts.size(); ++i) {
        std::string code = storage_text::trim(codeParts[i]);
        if (code.empty()) continue;
        std::string name = i < nameParts.size() ? storage_text::trim(nameParts[i]) : std::string();
        auto key = std::make_pair(code, name);
        if (std::find(keys.begin(), keys.end(), key) == keys.end()) keys.push_back(std::move(key));
    }
    if (keys.empty()) keys.emplace_back(QZSortordByStock::kNoStockKey, QZSortordByStock::kNoStockKey);
    return keys;
}

bool hasStockCode(const QZMessageExpress& m, const std::string& key) {
    for (const auto& [code, name] : stockKeys(m.stockCode(), m.stockName()))
        if (code == key) return true;
    return false;
}

bool bindMessage(Statement& st, const QZMessageExpress& m) {
    return st.bindText(1, m.messageId()) && st.bindText(2, m.senderCode()) && st.bindText(3, m.senderName()) &&
           st.bindText(4, m.sendDate()) && st.bindText(5, m.sendTime()) && st.bindInt64(6, m.isNeedConfirm()) &&
           st.bindInt64(7, m.isFavorite()) && st.bindInt64(8, m.isRead()) && st.bindInt64(9, m.messageType()) &&
           st.bindInt64(10, m.messageLevel()) && st.bindText(11, m.messageDetailId()) &&
           st.bindText(12, m.messageTitle()) && st.bindText(13, m.messageContent()) && st.bindInt64(14, m.week()) &&
           st.bindText(15, m.channelName()) && st.bindText(16, m.stockCode()) && st.bindText(17, m.stockName()) &&
           st.bindText(18, m.messageUrl());
}

std::string insertSql() {
    return std::string("INSERT INTO t_messageExpress (") + kColumns + ") VALUES (" + placeholders(18) +
           ") ON CONFLICT (messageId) DO NOTHING";
}

enum class InsertResult { Stored, Skipped, Failed };

InsertResult insertMessage(Database& db, Statement& st, const QZMessageExpress& m) {
    if (m.messageId().empty()) return InsertResult::Skipped;
    if (!st.reset() || !bindMessage(st, m) || !st.run()) return InsertResult::Failed;
    return db.changes() > 0 ? InsertResult::Stored : InsertResult::Skipped;
}

bool trim(Database& db, int amount) {
    // Keep the `amount` newest non-favourites, delete the other ones.
    auto st = db.prepare(
        "DELETE FROM t_messageExpress WHERE isFavorite = 0 AND id NOT IN ("
        "SELECT id FROM t_messageExpress WHERE isFavorite = 0" +
        std::string(kNewestFirst) + " LIMIT ?)");
    return st && st->bindInt64(1, amount) && st->run();
}

}  // namespace

MessageExpressDaoImpl::MessageExpressDaoImpl(std::shared_ptr<DatabaseConnection> connection)
    : connection_(std::move(connection)) {}

std::optional<MessageExpressDaoImpl::SortordList> MessageExpressDaoImpl::listSortordWithType(int type) {
    return listSortord(type, false);
}

std::optional<MessageExpressDaoImpl::SortordList> MessageExpressDaoImpl::listFavoriteSortordWithType(int type) {
    return listSortord(type, true);
}

std::optional<MessageExpressDaoImpl::SortordList> MessageExpressDaoImpl::listSortord(int type, bool favoritesOnly) {
    if (type < 0 || type > 2) return std::nullopt;
    ConnectionLock lock(*connection_);
    if (!lock) return std::nullopt;
    const std::string where = favoritesOnly ? " WHERE isFavorite = 1" : "";
    SortordList groups;

    if (type == 0) {
        // The bare column senderName comes from the row holding the max().
        auto st = lock->prepare(
            "SELECT senderCode, senderName, count(*), total(isRead = 0), max(sendDate || ' ' || sendTime) AS newest "
            "FROM t_messageExpress" +
            where + " GROUP BY senderCode ORDER BY newest DESC, senderCode");
        if (!st) return std::nullopt;
        Statement::StepResult r;
        while ((r = st->step()) == Statement::StepResult::Row) {
            auto g = std::make_shared<QZSortordBySender>();
            g->setSenderCode(st->columnText(0));
            g->setSenderName(st->columnText(1));
            g->setAmount(static_cast<int>(st->columnInt64(2)));
            g->setUnreadCount(static_cast<int>(st->columnInt64(3)));
            groups.push_back(std::move(g));
        }
        if (r == Statement::StepResult::Error) return std::nullopt;
        return groups;
    }
    if (type == 1) {
        auto st =
            lock->prepare("SELECT sendDate, week, count(*), total(isRead = 0), max(sendTime) FROM t_messageExpress" +
                          where + " GROUP BY sendDate ORDER BY sendDate DESC");
        if (!st) return std::nullopt;
        Statement::StepResult r;
        while ((r = st->step()) == Statement::StepResult::Row) {
            auto g = std::make_shared<QZSortordByTime>();
            g->setSendDate(st->columnText(0));
            g->setSendWeek(std::to_string(st->columnInt64(1)));
            g->setAmount(static_cast<int>(st->columnInt64(2)));
            g->setUnreadCount(static_cast<int>(st->columnInt64(3)));
            groups.push_back(std::move(g));
        }
        if (r == Statement::StepResult::Error) return std::nullopt;
        return groups;
    }

    // By stock: one message may sit in several groups.
    auto st =
        lock->prepare("SELECT messageId, stockCode, stockName, isRead FROM t_messageExpress" + where + kNewestFirst);
    if (!st) return std::nullopt;
    std::map<std::pair<std::string, std::string>, std::shared_ptr<QZSortordByStock>> byKey;
    std::vector<std::shared_ptr<QZSortordByStock>> inOrder;
    Statement::StepResult r;
    while ((r = st->step()) == Statement::StepResult::Row) {
        std::string id = st->columnText(0);
        bool unread = st->columnInt64(3) == 0;
        for (auto& key : stockKeys(st->columnText(1), st->columnText(2))) {
            auto& g = byKey[key];
            if (!g) {
                g = std::make_shared<QZSortordByStock>();
                g->setStockCode(key.first);
                g->setStockName(key.second);
                inOrder.push_back(g);
            }
            g->addMessageId(id);
            g->setAmount(g->amount() + 1);
            if (unread) g->setUnreadCount(g->unreadCount() + 1);
        }
    }
    if (r == Statement::StepResult::Error) return std::nullopt;
    std::stable_sort(inOrder.begin(), inOrder.end(), [](const auto& a, const auto& b) {
        auto ka = storage_text::leadingInteger(a->stockCode());
        auto kb = storage_text::leadingInteger(b->stockCode());
        if (ka != kb) return ka < kb;
        return std::tie(a->stockCode(), a->stockName()) < std::tie(b->stockCode(), b->stockName());
    });
    groups.assign(inOrder.begin(), inOrder.end());
    return groups;
}

int MessageExpressDaoImpl::countOfUnreadMessageWithMessageIds(const std::vector<std::string>& messageIds) {
    if (messageIds.empty()) return 0;
    ConnectionLock lock(*connection_);
    if (!lock) return 0;
    auto ids = distinct(messageIds);
    int64_t count = 0;
    for (size_t start = 0; start < ids.size(); start += kIdsPerStatement) {
        size_t n = std::min(kIdsPerStatement, ids.size() - start);
        auto st = lock->prepare("SELECT count(*) FROM t_messageExpress WHERE isRead = 0 AND messageId IN (" +
                                placeholders(n) + ")");
        if (!st) return 0;
        for (size_t i = 0; i < n; ++i) st->bindText(static_cast<int>(i + 1), ids[start + i]);
        if (st->step() != Statement::StepResult::Row) return 0;
        count += st->columnInt64(0);
    }
    return static_cast<int>(count);
}

int MessageExpressDaoImpl::countOfUnreadMessage() {
    ConnectionLock lock(*connection_);
    if (!lock) return 0;
    return static_cast<int>(lock->queryInt64("SELECT count(*) FROM t_messageExpress WHERE isRead = 0").value_or(0));
}

std::optional<MessageExpressDaoImpl::MessageList> MessageExpressDaoImpl::listMessageExpressWithKey(
    const std::string& key, int type) {
    return listWithKey(key, type, false);
}

std::optional<MessageExpressDaoImpl::MessageList> MessageExpressDaoImpl::listFavoriteMessageExpressWithKey(
    const std::string& key, int type) {
    return listWithKey(key, type, true);
}

std::optional<MessageExpressDaoImpl::MessageList> MessageExpressDaoImpl::listWithKey(const std::string& key, int type,
                                                                                     bool favoritesOnly) {
    if (type < 0 || type > 2) return std::nullopt;
    ConnectionLock lock(*connection_);
    if (!lock) return std::nullopt;
    const std::string fav = favoritesOnly ? " AND isFavorite = 1" : "";
    std::optional<Statement> st;
    if (type == 0) {
        st = lock->prepare(selectMessages() + " WHERE senderCode = ?" + fav + kNewestFirst);
        if (st) st->bindText(1, key);
    } else if (type == 1) {
        st = lock->prepare(selectMessages() + " WHERE sendDate = ?" + fav + " ORDER BY sendTime DESC, id DESC");
        if (st) st->bindText(1, key);
    } else {
        st = lock->prepare(selectMessages() + (favoritesOnly ? " WHERE isFavorite = 1" : "") + kNewestFirst);
    }
    if (!st) return std::nullopt;
    auto rows = readRows(*st);
    if (!rows) return std::nullopt;
    if (type == 2) {
        std::erase_if(*rows, [&](const Row& r) { return !hasStockCode(*r.message, key); });
    }
    return messagesOf(*rows);
}

std::optional<MessageExpressDaoImpl::MessageList> MessageExpressDaoImpl::listMessageExpressWithMessageIds(
    const std::vector<std::string>& messageIds) {
    return listWithIds(messageIds, false);
}

std::optional<MessageExpressDaoImpl::MessageList> MessageExpressDaoImpl::listFavoriteMessageExpressWithMessageIds(
    const std::vector<std::string>& messageIds) {
    return listWithIds(messageIds, true);
}

std::optional<MessageExpressDaoImpl::MessageList> MessageExpressDaoImpl::listWithIds(
    const std::vector<std::string>& messageIds, bool favoritesOnly) {
    if (messageIds.empty()) return std::nullopt;
    ConnectionLock lock(*connection_);
    if (!lock) return std::nullopt;
    auto ids = distinct(messageIds);
    std::vector<Row> all;
    for (size_t start = 0; start < ids.size(); start += kIdsPerStatement) {
        size_t n = std::min(kIdsPerStatement, ids.size() - start);
        auto st = lock->prepare(selectMessages() + " WHERE messageId IN (" + placeholders(n) + ")" +
                                (favoritesOnly ? " AND isFavorite = 1" : ""));
        if (!st) return std::nullopt;
        for (size_t i = 0; i < n; ++i) st->bindText(static_cast<int>(i + 1), ids[start + i]);
        auto rows = readRows(*st);
        if (!rows) return std::nullopt;
        all.insert(all.end(), rows->begin(), rows->end());
    }
    sortNewestFirst(all);
    return messagesOf(all);
}

std::optional<MessageExpressDaoImpl::MessageList> MessageExpressDaoImpl::listRecentMessagesWithLimit(int limit) {
    ConnectionLock lock(*connection_);
    if (!lock || limit < 0) return std::nullopt;
    auto st = lock->prepare(selectMessages() + kNewestFirst + " LIMIT ?");
    if (!st || !st->bindInt64(1, limit)) return std::nullopt;
    auto rows = readRows(*st);
    if (!rows) return std::nullopt;
    return messagesOf(*rows);
}

std::shared_ptr<QZMessageExpress> MessageExpressDaoImpl::messageWithMessageId(const std::string& messageId) {
    ConnectionLock lock(*connection_);
    if (!lock || messageId.empty()) return nullptr;
    auto st = lock->prepare(selectMessages() + " WHERE messageId = ?");
    if (!st || !st->bindText(1, messageId) || st->step() != Statement::StepResult::Row) return nullptr;
    return readMessage(*st);
}

bool MessageExpressDaoImpl::deleteMessageWithMessageId(const std::string& messageId) {
    ConnectionLock lock(*connection_);
    if (!lock || messageId.empty()) return false;
    auto st = lock->prepare("DELETE FROM t_messageExpress WHERE messageId = ?");
    return st && st->bindText(1, messageId) && st->run() && lock->changes() > 0;
}

bool MessageExpressDaoImpl::deleteMessageWithMessageIdArray(const std::vector<std::string>& messageIds) {
    if (messageIds.empty()) return false;
    ConnectionLock lock(*connection_);
    if (!lock) return false;
    Database& db = *lock.db();
    Transaction tx(db);
    auto st = db.prepare("DELETE FROM t_messageExpress WHERE messageId = ?");
    if (!tx.isActive() || !st) return false;
    bool everyOne = true;
    for (const auto& id : distinct(messageIds)) {
        if (!st->reset() || !st->bindText(1, id) || !st->run()) return false;
        if (db.changes() == 0) everyOne = false;
    }
    return tx.commit() && everyOne;
}

bool MessageExpressDaoImpl::deleteWhere(const std::string& column, const std::string& value, bool favoritesOnly) {
    ConnectionLock lock(*connection_);
    if (!lock) return false;
    auto st = lock->prepare("DELETE FROM t_messageExpress WHERE " + column + " = ?" +
                            (favoritesOnly ? " AND isFavorite = 1" : ""));
    return st && st->bindText(1, value) && st->run();
}

bool MessageExpressDaoImpl::deleteMessageWithSenderCode(const std::string& senderCode) {
    return deleteWhere("senderCode", senderCode, false);
}

bool MessageExpressDaoImpl::deleteMessageWithSendDate(const std::string& sendDate) {
    return deleteWhere("sendDate", sendDate, false);
}

bool MessageExpressDaoImpl::deleteFavoriteMessageWithSenderCode(const std::string& senderCode) {
    return deleteWhere("senderCode", senderCode, true);
}

bool MessageExpressDaoImpl::deleteFavoriteMessageWithSendDate(const std::string& sendDate) {
    return deleteWhere("sendDate", sendDate, true);
}

bool MessageExpressDaoImpl::markFlag(const std::string& column, const std::string& messageId, bool value) {
    if (messageId.empty()) return false;
    ConnectionLock lock(*connection_);
    if (!lock) return false;
    auto st = lock->prepare("UPDATE t_messageExpress SET " + column + " = ? WHERE messageId = ?");
    return st && st->bindInt64(1, value ? 1 : 0) && st->bindText(2, messageId) && st->run();
}

bool MessageExpressDaoImpl::markMessageIsRead(const std::string& messageId, bool isRead) {
    return markFlag("isRead", messageId, isRead);
}

bool MessageExpressDaoImpl::markMessageIsFavorite(const std::string& messageId, bool isFavorite) {
    return markFlag("isFavorite", messageId, isFavorite);
}

int MessageExpressDaoImpl::amountOfFavoriteMessage() {
    ConnectionLock lock(*connection_);
    if (!lock) return 0;
    return static_cast<int>(lock->queryInt64("SELECT count(*) FROM t_messageExpress WHERE isFavorite = 1").value_or(0));
}

bool MessageExpressDaoImpl::addMessageExpressItem(const QZMessageExpress& message) {
    if (message.messageId().empty()) return false;
    ConnectionLock lock(*connection_);
    if (!lock) return false;
    auto st = lock->prepare(insertSql());
    return st && insertMessage(*lock.db(), *st, message) != InsertResult::Failed;
}

std::optional<int> MessageExpressDaoImpl::addMessageExpressItems(const MessageList& messages,
                                                                 std::optional<int> trimToAmount) {
    if (trimToAmount && *trimToAmount < 0) return std::nullopt;
    ConnectionLock lock(*connection_);
    if (!lock) return std::nullopt;
    Database& db = *lock.db();
    Transaction tx(db);
    auto st = db.prepare(insertSql());
    if (!tx.isActive() || !st) return std::nullopt;
    int stored = 0;
    for (const auto& m : messages) {
        if (!m) continue;
        auto r = insertMessage(db, *st, *m);
        if (r == InsertResult::Failed) return std::nullopt;
        if (r == InsertResult::Stored) ++stored;
    }
    if (trimToAmount && !trim(db, *trimToAmount)) return std::nullopt;
    if (!tx.commit()) return std::nullopt;
    return stored;
}

bool MessageExpressDaoImpl::trimNonFavoriteMessagesToAmount(int amount) {
    if (amount < 0) return false;
    ConnectionLock lock(*connection_);
    if (!lock) return false;
    Transaction tx(*lock.db());
    return tx.isActive() && trim(*lock.db(), amount) && tx.commit();
}
