// An ordered collection of shared items, numbered from 1, each under a text
// key no other item has. A call that fails leaves the collection as it was:
// adding no item fails with kObjectRequired (424), a key already present with
// kDuplicateKey (457); a position that does not exist, for any member, with
// kOutOfRange (9). Counting and visiting never fail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "vantrel/base/failure.h"

namespace vantrel {

template <class T>
class KeyedCollection {
 public:
  using Item = std::shared_ptr<T>;

 private:
  struct Entry {
    Item item;
    std::string key;
  };

 public:
  std::int32_t Count() const noexcept { return static_cast<std::int32_t>(entries_.size()); }

  // With `before` (1..Count) the item becomes number `before`; without, it is
  // appended.
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

  void Remove(std::int32_t index) {
    CheckIndex(index);
    entries_.erase(entries_.begin() + (index - 1));
  }

  const Item& operator()(std::int32_t index) const {
    CheckIndex(index);
    return entries_[static_cast<std::size_t>(index - 1)].item;
  }

  const std::string& Key(std::int32_t index) const {
    CheckIndex(index);
    return entries_[static_cast<std::size_t>(index - 1)].key;
  }

  // Visiting in order, number 1 first.
  class const_iterator {
   public:
    using Base = typename std::vector<Entry>::const_iterator;
    explicit const_iterator(Base it) : it_(it) {}
    const Item& operator*() const { return it_->item; }
    const_iterator& operator++() {
      ++it_;
      return *this;
    }
    bool operator==(const const_iterator&) const = default;

   private:
    Base it_;
  };
  const_iterator begin() const noexcept { return const_iterator(entries_.begin()); }
  const_iterator end() const noexcept { return const_iterator(entries_.end()); }

 private:
  void CheckIndex(std::int32_t index) const {
    if (index < 1 || index > Count()) throw Failure(kOutOfRange);
  }
  // Keys are found by a scan: a list holds one entry per monitor.
  std::vector<Entry> entries_;
};

}  // namespace vantrel
