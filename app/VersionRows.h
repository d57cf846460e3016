// The rows of the version list, in the order they are shown, and the active entry.
// The form keeps them; the list control only shows them.
#pragma once
#include <string>
#include <vector>

#include "catalogue/Catalogue.h"
#include "switching/Operations.h"

class VersionRows {
 public:
  void Add(CatalogueRow row) { rows_.push_back(std::move(row)); }
  void Remove(int index) { rows_.erase(rows_.begin() + index); }
  int Count() const { return static_cast<int>(rows_.size()); }
  bool Has(int index) const { return index >= 0 && index < Count(); }
  const CatalogueRow& operator[](int index) const { return rows_.at(index); }
  const std::vector<CatalogueRow>& All() const { return rows_; }
  int Find(const std::string& key) const {  // -1 when there is none
    for (int i = 0; i < Count(); ++i)
      if (rows_[i].key == key) return i;
    return -1;
  }
  // The entry as a switch names it; an entry without a row writes no header.
  EntryRow Entry(const std::string& key) const {
    const int i = Find(key);
    if (i < 0) return {key, "", "", false};
    return {key, rows_[i].description, rows_[i].appDir, true};
  }

  // The active entry may have no row; it is "" when none is active.
  const std::string& ActiveKey() const { return activeKey_; }
  void SetActive(std::string key) { activeKey_ = std::move(key); }
  int ActiveRow() const { return activeKey_.empty() ? -1 : Find(activeKey_); }

 private:
  std::vector<CatalogueRow> rows_;
  std::string activeKey_;
};
