// cRegistry: a cursor (ClassKey, SectionKey, ValueKey, ValueType, Default) over the
// registry. Every operation opens, uses and closes its key; failures raise
// RuntimeError with the class's numbers and descriptions.
#pragma once
#include <cstdint>
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
  // The stored type and bytes of ValueKey, unexpanded and unconverted; false when the
  // value cannot be read.
  bool ReadRaw(std::uint32_t& type, ByteArray& data);
  // Stores the bytes with the type as they are (key created as for a Value write);
  // raises the set-failure errors of a Value write.
  void WriteRaw(std::uint32_t type, const ByteArray& data);
  // 0-based lists.
  bool EnumerateValues(std::vector<std::string>& names, std::int32_t& count) const;
  bool EnumerateSections(std::vector<std::string>& sections, std::int32_t& count) const;
  void DeleteEXEAssociation(const std::string& exePath, const std::string& className,
                            const std::string& classDescription, const std::string& association);
  void CreateEXEAssociation(const std::string& exePath, const std::string& className,
                            const std::string& classDescription, const std::string& association,
                            const std::string& openCaption = "", bool supportPrint = false,
                            const std::string& printCaption = "", bool supportNew = false,
                            const std::string& newCaption = "", bool supportInstall = false,
                            const std::string& installCaption = "", long defaultIcon = -1);
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
  Variant ValueEx(std::int32_t classKey, const std::string& sectionKey,
                  const std::string& valueKey, std::int32_t valueType, const Variant& deflt);
  void ValueEx(std::int32_t classKey, const std::string& sectionKey, const std::string& valueKey,
               std::int32_t valueType, const Variant& deflt, const Variant& value);
  const Variant& Default() const { return default_; }
  void Default(const Variant& v) { default_ = v; }

  // The root handle value for "HKCR", "HKCU", "HKLM" (exact case); 0 otherwise.
  static std::int32_t RootFromName(const std::string& name);

 private:
  const plat::Platform* platform_;
  std::int32_t classKey_ = 0;
  std::string sectionKey_, valueKey_;
  Variant default_;
  std::int32_t valueType_ = 0;
  std::string machine_;
};
