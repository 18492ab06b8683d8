// An ordered collection of shared items, numbered from 1, each under a text
// key no other item has. Adding under a key already present, or at a position
// that does not exist, fails and leaves the collection as it was.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "monitors/failure.h"

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
  std::int32_t Count() const { return static_cast<std::int32_t>(entries_.size()); }

  // With `before` (1..Count) the item becomes number `before`; without, it is
  // appended.
  void Add(Item item, const std::string& key, std::optional<std::int32_t> before = {}) {
    if (!item) Fail(kObjectRequired);
    if (before && (*before < 1 || *before > Count())) Fail(kOutOfRange);
    if (keys_.contains(key)) Fail(kDuplicateKey);
    entries_.reserve(entries_.size() + 1);  // so nothing below can fail half-way
    auto inserted = keys_.insert(key).first;
    const auto at = before ? entries_.begin() + (*before - 1) : entries_.end();
    try {
      entries_.insert(at, Entry{std::move(item), key});
    } catch (...) {
      keys_.erase(inserted);
      throw;
    }
  }

  void Remove(std::int32_t index) {
    CheckIndex(index);
    keys_.erase(entries_[index - 1].key);
    entries_.erase(entries_.begin() + (index - 1));
  }

  const Item& operator()(std::int32_t index) const {
    CheckIndex(index);
    return entries_[index - 1].item;
  }

  const std::string& Key(std::int32_t index) const {
    CheckIndex(index);
    return entries_[index - 1].key;
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
  const_iterator begin() const { return const_iterator(entries_.begin()); }
  const_iterator end() const { return const_iterator(entries_.end()); }

 private:
  void CheckIndex(std::int32_t index) const {
    if (index < 1 || index > Count()) Fail(kOutOfRange);
  }
  std::vector<Entry> entries_;
  std::unordered_set<std::string> keys_;
};

}  // namespace vantrel
