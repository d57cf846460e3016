// cRegistry: a cursor (ClassKey, SectionKey, ValueKey, ValueType, Default) over the
// registry. Every operation opens, uses and closes its key (unless kept open); failures raise
// RuntimeError with the class's numbers and descriptions.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "support/Errors.h"
#include "support/Variant.h"

class cRegistry {
 public:
  explicit cRegistry(const plat::Platform& platform);

  const std::string& Machine() const { return machine_; }
  void Machine(const std::string& name);
  bool KeyExists() const;
  bool CreateKey();
  bool DeleteKey();
  bool DeleteValue();
  Variant Value();
  void Value(const Variant& value);
  // 0-based lists. `progress`, when given, runs after each value: a long key keeps
  // the caller's window served.
  bool EnumerateValues(std::vector<std::string>& names, std::int32_t& count,
                       const std::function<void()>& progress = nullptr) const;
  bool EnumerateSections(std::vector<std::string>& sections, std::int32_t& count) const;
  void DeleteEXEAssociation(const std::string& exePath, const std::string& className,
                            const std::string& classDescription, const std::string& association);
  void CreateEXEAssociation(const std::string& exePath, const std::string& className,
                            const std::string& classDescription, const std::string& association,
                            const std::string& openCaption = "", bool supportPrint = false,
                            const std::string& printCaption = "", bool supportNew = false,
                            const std::string& newCaption = "", bool supportInstall = false,
                            const std::string& installCaption = "", long defaultIcon = 0);
  void CreateAdditionalEXEAssociations(const std::string& className,
                                       const std::vector<Variant>& items);
  std::int32_t ValueType() const { return valueType_; }
  void ValueType(std::int32_t t) { valueType_ = t; }
  std::int32_t ClassKey() const { return classKey_; }
  void ClassKey(std::int32_t k) { classKey_ = k; }
  const std::string& SectionKey() const { return sectionKey_; }
  void SectionKey(const std::string& s) { sectionKey_ = s; }
  const std::string& ValueKey() const { return valueKey_; }
  void ValueKey(const std::string& s) { valueKey_ = s; }
  Variant ValueEx(std::int32_t classKey, const std::string& sectionKey, const std::string& valueKey,
                  std::int32_t valueType, const Variant& deflt);
  void ValueEx(std::int32_t classKey, const std::string& sectionKey, const std::string& valueKey,
               std::int32_t valueType, const Variant& deflt, const Variant& value);
  const Variant& Default() const { return default_; }
  void Default(const Variant& v) { default_ = v; }

  // Raw access for snapshots that keep every type as stored: the value's bytes and
  // type without expansion or conversion. ReadRaw returns false (and changes nothing)
  // when the key or value is missing; on success it sets ValueType like a read.
  // WriteRaw creates the key like a write and raises the same set-failure errors.
  bool ReadRaw(std::uint32_t& type, ByteArray& data);
  void WriteRaw(std::uint32_t type, const ByteArray& data);

  // Keeps the key of the value operations open until the root or section changes
  // (or the object ends), so a key of thousands of values is opened once, not once
  // per value. Local roots only; off by default.
  void KeepKeyOpen(bool on);
  // The root handle value for "HKCR", "HKCU", "HKLM" (exact case); 0 otherwise.
  static std::int32_t RootFromName(const std::string& name);

 private:
  class Key;
  long OpenRoot(Key& root) const;
  long Fetch(std::uint32_t& type, ByteArray& data) const;
  struct Held;
  // The current key for `access`, opened or created, or the one kept open.
  long Acquire(Key& key, std::uint32_t access, bool create) const;
  void Store(std::uint32_t type, const ByteArray& data, const std::string& shown);
  // `shown` renders the value for the error text, only when the open fails.
  void OpenForWrite(Key& key, const std::function<std::string()>& shown);
  std::string Source() const;
  std::string SetFailure(const std::string& shown) const;
  void WriteDefault(std::int32_t root, const std::string& path, const std::string& text);
  void AssociationsChanged();

  const plat::Platform* platform_;
  std::int32_t classKey_ = 0;
  std::string sectionKey_, valueKey_;
  Variant default_;
  std::int32_t valueType_ = 0;
  std::string machine_;
  bool keepOpen_ = false;
  mutable std::shared_ptr<Held> held_;  // shared by copies; closed by the last
};
