#pragma once
// An ordered map: keys and values are kept in the order they were first set.
// Setting an existing key keeps its place and takes the new value. Keys may be
// any equality-comparable type (texts, or shared objects compared by identity).
// Lookups are linear: these maps hold a handful of pairs (a link's query, a
// picker's bank list).
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/foundation/Value.h"

template <class K, class V>
class VTADictionary {
public:
    using Pair = std::pair<K, V>;

    VTADictionary() = default;
    VTADictionary(std::initializer_list<Pair> pairs) {
        for (const auto& p : pairs) setValue(p.second, p.first);
    }

    void setValue(const V& value, const K& key) {
        for (auto& p : pairs_)
            if (p.first == key) {
                p.second = value;
                return;
            }
        pairs_.emplace_back(key, value);
    }

    std::optional<V> getValueForKey(const K& key) const {
        for (const auto& p : pairs_)
            if (p.first == key) return p.second;
        return std::nullopt;
    }

    // The key of the first value equal to the given one.
    std::optional<K> keyForValue(const V& value) const {
        for (const auto& p : pairs_)
            if (p.second == value) return p.first;
        return std::nullopt;
    }

    void removeValueForKey(const K& key) {
        for (auto it = pairs_.begin(); it != pairs_.end(); ++it)
            if (it->first == key) {
                pairs_.erase(it);
                return;
            }
    }

    std::vector<K> allKeys() const {
        std::vector<K> keys;
        keys.reserve(pairs_.size());
        for (const auto& p : pairs_) keys.push_back(p.first);
        return keys;
    }

    std::vector<V> allValues() const {
        std::vector<V> values;
        values.reserve(pairs_.size());
        for (const auto& p : pairs_) values.push_back(p.second);
        return values;
    }

    size_t count() const { return pairs_.size(); }
    bool empty() const { return pairs_.empty(); }
    void clear() { pairs_.clear(); }
    const std::vector<Pair>& pairs() const { return pairs_; }
    auto begin() const { return pairs_.begin(); }
    auto end() const { return pairs_.end(); }

    bool operator==(const VTADictionary& o) const { return pairs_ == o.pairs_; }

private:
    std::vector<Pair> pairs_;
};

// The pairs of a query or request text, in their order.
using VTAStringDictionary = VTADictionary<std::string, std::string>;

// The pairs as "key=value" joined by the separator, in the dictionary's key
// order (insertion order here; sorted key order for a Value::Dict). Values are
// written as they are, not encoded.
std::string toParamtersWithSepretor(const VTAStringDictionary& pairs, const std::string& separator);
std::string toParamtersWithSepretor(const Value::Dict& pairs, const std::string& separator);
