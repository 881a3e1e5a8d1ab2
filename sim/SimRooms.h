#pragma once
// The rooms of the simulated server: the state of each function family, one
// object per type (a struct beside the family's file), made on first use. A
// room with a constructor taking the server is seeded there (from the
// server's options, seed and clock); others start from their members'
// defaults. Not thread-safe: the server holds its state lock around it.
#include <map>
#include <memory>
#include <type_traits>
#include <typeindex>

class SimServer;

// What a room keeps under the key, to read: a default one when it keeps
// none (nothing is made, as map[key] would).
template <class Map>
const typename Map::mapped_type& simKeptOr(const Map& map, const typename Map::key_type& key) {
    static const typename Map::mapped_type kNone{};
    auto it = map.find(key);
    return it == map.end() ? kNone : it->second;
}

class SimRooms {
public:
    template <class Room>
    Room& get(SimServer& server) {
        auto& slot = rooms_[std::type_index(typeid(Room))];
        if (!slot) {
            if constexpr (std::is_constructible_v<Room, SimServer&>)
                slot = std::make_shared<Room>(server);
            else
                slot = std::make_shared<Room>();
        }
        return *static_cast<Room*>(slot.get());
    }
    // The room when it has been made, else null (nothing is made).
    template <class Room>
    Room* find() const {
        auto it = rooms_.find(std::type_index(typeid(Room)));
        return it == rooms_.end() ? nullptr : static_cast<Room*>(it->second.get());
    }
    void clear() { rooms_.clear(); }
    void swap(SimRooms& other) { rooms_.swap(other.rooms_); }
    size_t size() const { return rooms_.size(); }

private:
    std::map<std::type_index, std::shared_ptr<void>> rooms_;
};
