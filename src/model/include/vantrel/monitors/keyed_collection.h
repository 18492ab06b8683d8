/// @file
/// An ordered collection of shared items, numbered from 1, each under a text
/// key no other item has. A call that fails leaves the collection as it was:
/// adding no item fails with kObjectRequired (424), a key already present with
/// kDuplicateKey (457); a position that does not exist, for any member, with
/// kOutOfRange (9). Counting and visiting never fail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "vantrel/base/failure.h"

namespace vantrel {

/// An ordered collection of shared items, numbered from 1, each under a text
/// key no other item has. A call that fails throws vantrel::Failure and
/// leaves the collection as it was.
template <class T>
class KeyedCollection {
 public:
  /// An item: shared by the collection and whoever holds it.
  using Item = std::shared_ptr<T>;

 private:
  struct Entry {
    Item item;
    std::string key;
  };

 public:
  /// How many items it holds.
  std::int32_t Count() const noexcept { return static_cast<std::int32_t>(entries_.size()); }

  /// Adds `item` under `key`. With `before` (1..Count) the item becomes number
  /// `before`; without, it is appended. Fails with kObjectRequired for a null
  /// item, kOutOfRange for a `before` outside 1..Count, kDuplicateKey for a
  /// key already present.
  void Add(Item item, std::string key, std::optional<std::int32_t> before = {}) {
    if (!item) throw Failure(kObjectRequired);
    if (before && (*before < 1 || *before > Count())) throw Failure(kOutOfRange);
    for (const auto& e : entries_) {
      if (e.key == key) throw Failure(kDuplicateKey);
    }
    // A failed insertion leaves the vector as it was.
    const auto at = before ? entries_.begin() + (*before - 1) : entries_.end();
    entries_.insert(at, Entry{std::move(item), std::move(key)});
  }

  /// Removes item number `index`; those after it move up one. Fails with
  /// kOutOfRange for an index outside 1..Count.
  void Remove(std::int32_t index) {
    CheckIndex(index);
    entries_.erase(entries_.begin() + (index - 1));
  }

  /// Item number `index`. Fails with kOutOfRange for an index outside
  /// 1..Count.
  const Item& operator()(std::int32_t index) const {
    CheckIndex(index);
    return entries_[static_cast<std::size_t>(index - 1)].item;
  }

  /// The key of item number `index`. Fails with kOutOfRange for an index
  /// outside 1..Count.
  const std::string& Key(std::int32_t index) const {
    CheckIndex(index);
    return entries_[static_cast<std::size_t>(index - 1)].key;
  }

  /// Visiting in order, number 1 first.
  class const_iterator {
   public:
    /// The position in the collection's storage it stands for.
    using Base = typename std::vector<Entry>::const_iterator;
    /// At `it`.
    explicit const_iterator(Base it) : it_(it) {}
    /// The item it stands at.
    const Item& operator*() const { return it_->item; }
    /// On to the next item.
    const_iterator& operator++() {
      ++it_;
      return *this;
    }
    /// At the same position.
    bool operator==(const const_iterator&) const = default;

   private:
    Base it_;
  };
  /// The first item, and one past the last.
  ///@{
  const_iterator begin() const noexcept { return const_iterator(entries_.begin()); }
  const_iterator end() const noexcept { return const_iterator(entries_.end()); }
  ///@}

 private:
  void CheckIndex(std::int32_t index) const {
    if (index < 1 || index > Count()) throw Failure(kOutOfRange);
  }
  // Keys are found by a scan: a list holds one entry per monitor.
  std::vector<Entry> entries_;
};

}  // namespace vantrel
