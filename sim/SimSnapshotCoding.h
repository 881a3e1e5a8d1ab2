#pragma once
// How the books' snapshot (SimSnapshot.h) puts values into bytes and takes
// them back: one list of a struct's fields serves both ways,
//   template <class A> void simFields(A& a, SimBalance& b) { a(b.balance, b.frozen, b.salesToday); }
// and SimSnapWriter / SimSnapReader walk it. Integers and enums go as
// zig-zag varints, doubles as their 8 bytes, texts and containers with their
// count first. The reader never trusts a count: one larger than the bytes
// left can hold at the fewest bytes an element takes (SimSnapLeast), or any
// byte short, fails the whole read (failed()), and what it filled is then to
// be thrown away. Nor does it make room for a count before the elements are
// there: a container grows as its elements read, so that what a snapshot
// costs in memory follows what it holds, not what it claims. Maps and sets
// come in their order, each key once, as they are written. Two things need
// the snapshot's own context (SimSnapshot.cpp): a secret, enciphered under
// the caller's key, and an order's ledger, which goes by its name and is
// found again once all is read (SimSnapLedgerFiller).
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

class SimOrderLedger;
using SimLedgerSlot = std::shared_ptr<const SimOrderLedger>;

class SimSnapWriter {
public:
    explicit SimSnapWriter(std::vector<uint8_t> cipherKey) : key_(std::move(cipherKey)) {}
    // A writer whose secrets go as their keyed digests rather than enciphered
    // (each under a new initial vector): the same books give the same bytes.
    struct Fingerprint {};
    SimSnapWriter(std::vector<uint8_t> key, Fingerprint) : key_(std::move(key)), fingerprint_(true) {}
    void secret(const std::string& plain);
    void ledger(const SimLedgerSlot& ledger);
    template <class... T>
    void operator()(const T&... values) {
        (item(values), ...);
    }
    std::string& bytes() { return out_; }

    void count(uint64_t n) {
        while (n >= 0x80) {
            out_.push_back(static_cast<char>(n | 0x80));
            n >>= 7;
        }
        out_.push_back(static_cast<char>(n));
    }
    void item(bool v) { out_.push_back(v ? 1 : 0); }
    void item(double v) {
        char raw[sizeof v];
        std::memcpy(raw, &v, sizeof v);
        out_.append(raw, sizeof v);
    }
    template <class T>
        requires(std::is_integral_v<T> || std::is_enum_v<T>)
    void item(T v) {
        const auto n = static_cast<int64_t>(v);
        count((static_cast<uint64_t>(n) << 1) ^ static_cast<uint64_t>(n >> 63));
    }
    void item(const std::string& v) {
        count(v.size());
        out_ += v;
    }
    template <class T>
    void item(const std::vector<T>& v) {
        sequence(v);
    }
    template <class T>
    void item(const std::deque<T>& v) {
        sequence(v);
    }
    template <class T>
    void item(const std::set<T>& v) {
        sequence(v);
    }
    template <class K, class V>
    void item(const std::map<K, V>& v) {
        count(v.size());
        for (const auto& [key, value] : v) (*this)(key, value);
    }
    template <class T>
    void item(const std::optional<T>& v) {
        item(v.has_value());
        if (v) item(*v);
    }
    template <class T, size_t N>
    void item(const std::array<T, N>& v) {
        for (const auto& e : v) item(e);
    }
    // A struct: its field list.
    template <class T>
        requires std::is_class_v<T>
    void item(const T& v) {
        simFields(*this, const_cast<T&>(v));
    }

private:
    template <class C>
    void sequence(const C& c) {
        count(c.size());
        for (const auto& e : c) item(e);
    }
    std::vector<uint8_t> key_;
    bool fingerprint_ = false;
    std::string out_;
};

// The fewest bytes a value of a type takes in the snapshot: every text and
// container empty, every optional absent.
class SimSnapLeast {
public:
    template <class... T>
    void operator()(T&... values) {
        (item(values), ...);
    }
    void secret(std::string&) { ++bytes; }  // its count
    void ledger(SimLedgerSlot&) { ++bytes; }
    void item(double&) { bytes += sizeof(double); }
    template <class T>
        requires(std::is_integral_v<T> || std::is_enum_v<T>)
    void item(T&) {
        ++bytes;
    }
    void item(std::string&) { ++bytes; }
    template <class T>
    void item(std::vector<T>&) {
        ++bytes;
    }
    template <class T>
    void item(std::deque<T>&) {
        ++bytes;
    }
    template <class T>
    void item(std::set<T>&) {
        ++bytes;
    }
    template <class K, class V>
    void item(std::map<K, V>&) {
        ++bytes;
    }
    template <class T>
    void item(std::optional<T>&) {
        ++bytes;
    }
    template <class T, size_t N>
    void item(std::array<T, N>& v) {
        for (auto& e : v) item(e);
    }
    template <class T>
        requires std::is_class_v<T>
    void item(T& v) {
        simFields(*this, v);
    }
    size_t bytes = 0;
};

template <class T>
size_t simSnapLeast() {
    static const size_t least = [] {
        T probe{};
        SimSnapLeast measure;
        measure.item(probe);
        return std::max<size_t>(measure.bytes, 1);
    }();
    return least;
}

class SimSnapReader {
public:
    SimSnapReader(std::string_view bytes, std::vector<uint8_t> cipherKey) : in_(bytes), key_(std::move(cipherKey)) {}
    // Deciphers a secret; a secret that does not decipher under the key fails the read.
    void secret(std::string& plain);
    // Notes the ledger's name ("" none) and empties the slot: SimSnapLedgerFiller sets it.
    void ledger(SimLedgerSlot& slot);
    // The names of the ledgers read, in the order of their slots.
    const std::vector<std::string>& ledgerNames() const { return ledgers_; }
    template <class... T>
    void operator()(T&... values) {
        (item(values), ...);
    }
    bool failed() const { return failed_; }
    bool atEnd() const { return pos_ == in_.size(); }
    void fail() {
        failed_ = true;
        pos_ = in_.size();
    }

    uint64_t count() {
        uint64_t n = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (pos_ >= in_.size()) break;
            const auto byte = static_cast<uint8_t>(in_[pos_++]);
            n |= uint64_t(byte & 0x7f) << shift;
            if (!(byte & 0x80)) return n;
        }
        fail();
        return 0;
    }
    // A count of things each at least `least` bytes long: no more than the bytes left hold.
    size_t length(size_t least = 1) {
        const uint64_t n = count();
        if (n > (in_.size() - pos_) / least) fail();
        return failed_ ? 0 : static_cast<size_t>(n);
    }
    void item(bool& v) {
        if (pos_ >= in_.size()) return fail();
        const auto byte = static_cast<uint8_t>(in_[pos_++]);
        if (byte > 1) return fail();
        v = byte == 1;
    }
    void item(double& v) {
        if (in_.size() - pos_ < sizeof v) return fail();
        std::memcpy(&v, in_.data() + pos_, sizeof v);
        pos_ += sizeof v;
    }
    template <class T>
        requires(std::is_integral_v<T> || std::is_enum_v<T>)
    void item(T& v) {
        const uint64_t z = count();
        const auto n = static_cast<int64_t>((z >> 1) ^ (~(z & 1) + 1));
        v = static_cast<T>(n);
        if constexpr (std::is_integral_v<T>)
            if (static_cast<int64_t>(v) != n) fail();  // wider than the field
    }
    void item(std::string& v) {
        const size_t n = length();
        v.assign(in_.data() + pos_, n);
        pos_ += n;
    }
    template <class T>
    void item(std::vector<T>& v) {
        sequence(v);
    }
    template <class T>
    void item(std::deque<T>& v) {
        sequence(v);
    }
    template <class T>
    void item(std::set<T>& v) {
        v.clear();
        for (size_t n = length(simSnapLeast<T>()); n > 0 && !failed_; --n) {
            T e{};
            item(e);
            if (failed_ || (!v.empty() && !v.key_comp()(*std::prev(v.end()), e))) return fail();
            v.insert(v.end(), std::move(e));
        }
    }
    template <class K, class V>
    void item(std::map<K, V>& v) {
        v.clear();
        for (size_t n = length(simSnapLeast<K>() + simSnapLeast<V>()); n > 0 && !failed_; --n) {
            K key{};
            item(key);
            if (failed_ || (!v.empty() && !v.key_comp()(std::prev(v.end())->first, key))) return fail();
            item(v.try_emplace(v.end(), std::move(key))->second);
        }
    }
    template <class T>
    void item(std::optional<T>& v) {
        bool has = false;
        item(has);
        v.reset();
        if (has) item(v.emplace());
    }
    template <class T, size_t N>
    void item(std::array<T, N>& v) {
        for (auto& e : v) item(e);
    }
    template <class T>
        requires std::is_class_v<T>
    void item(T& v) {
        simFields(*this, v);
    }

private:
    template <class C>
    void sequence(C& c) {
        c.clear();
        for (size_t n = length(simSnapLeast<typename C::value_type>()); n > 0 && !failed_; --n) item(c.emplace_back());
    }
    std::string_view in_;
    std::vector<uint8_t> key_;
    size_t pos_ = 0;
    bool failed_ = false;
    std::vector<std::string> ledgers_;
};

// Sets the ledger slots of what a reader filled, in the order it read them,
// to the ledgers its names were found to be (the reader keeps no pointer into
// what it fills, which grows as it reads).
class SimSnapLedgerFiller {
public:
    explicit SimSnapLedgerFiller(std::vector<SimLedgerSlot> ledgers) : ledgers_(std::move(ledgers)) {}
    // Every ledger went to a slot and every slot had one.
    bool allPlaced() const { return next_ == ledgers_.size(); }
    template <class... T>
    void operator()(T&... values) {
        (item(values), ...);
    }
    void secret(std::string&) {}
    void ledger(SimLedgerSlot& slot) {
        if (next_ < ledgers_.size()) slot = ledgers_[next_];
        ++next_;
    }
    template <class T>
        requires(std::is_arithmetic_v<T> || std::is_enum_v<T>)
    void item(T&) {}
    void item(std::string&) {}
    template <class T>
    void item(std::vector<T>& v) {
        for (auto& e : v) item(e);
    }
    template <class T>
    void item(std::deque<T>& v) {
        for (auto& e : v) item(e);
    }
    template <class T>
    void item(std::set<T>& v) {
        for (const auto& e : v) item(const_cast<T&>(e));
    }
    template <class K, class V>
    void item(std::map<K, V>& v) {
        for (auto& [key, value] : v) (*this)(const_cast<K&>(key), value);
    }
    template <class T>
    void item(std::optional<T>& v) {
        if (v) item(*v);
    }
    template <class T, size_t N>
    void item(std::array<T, N>& v) {
        for (auto& e : v) item(e);
    }
    template <class T>
        requires std::is_class_v<T>
    void item(T& v) {
        simFields(*this, v);
    }

private:
    std::vector<SimLedgerSlot> ledgers_;
    size_t next_ = 0;
};
