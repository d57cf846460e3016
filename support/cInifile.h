// cInifile: a small stateful cursor (Path, Section, Key, Default) over INI files.
// Reads and writes follow the Windows profile-file rules; values and lists are
// returned whole, however long (the read buffer grows until the result fits).
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Platform.h"

// What SaveFormPosition and LoadFormPosition need of a window (sizes in twips).
class IFormGeometry {
 public:
  virtual ~IFormGeometry() = default;
  virtual bool Minimized() = 0;
  virtual bool Maximized() = 0;
  virtual long Left() = 0;
  virtual long Top() = 0;
  virtual long Width() = 0;
  virtual long Height() = 0;
  virtual void Move(long left, long top, long width, long height) = 0;
  virtual void Maximize() = 0;
  virtual long ScreenWidth() = 0;
  virtual long ScreenHeight() = 0;
  virtual long TwipsPerPixelX() = 0;
  virtual long TwipsPerPixelY() = 0;
};

class cInifile {
 public:
  explicit cInifile(const plat::Platform& platform);

  std::int32_t LastReturnCode() const { return lastReturnCode_; }
  bool Success() const { return lastReturnCode_ != 0; }

  // A field never assigned is a null string: the profile functions get a null pointer
  // (a null key lists the section's keys, a null section the file's sections).
  void Default(const std::string& sDefault) {
    default_ = sDefault;
    hasDefault_ = true;
  }
  const std::string& Default() const { return default_; }
  void Path(const std::string& sPath) { path_ = sPath; }
  const std::string& Path() const { return path_; }
  void Key(const std::string& sKey) {
    key_ = sKey;
    hasKey_ = true;
  }
  const std::string& Key() const { return key_; }
  void Section(const std::string& sSection) {
    section_ = sSection;
    hasSection_ = true;
  }
  const std::string& Section() const { return section_; }

  std::string Value() const;
  void Value(std::string& sValue);        // removes NUL characters from sValue
  void Value(const std::string& sValue);  // same, on a copy
  void DeleteKey();
  void DeleteSection();
  std::string INISection() const;                // key names, each followed by NUL
  void INISection(const std::string& sSection);  // removes the current section
  std::string Sections() const;                  // section names, each followed by NUL
  // 0-based lists in file order.
  void EnumerateCurrentSection(std::vector<std::string>& list, std::int32_t& iCount) const;
  void EnumerateAllSections(std::vector<std::string>& list, std::int32_t& iCount) const;
  void SaveFormPosition(IFormGeometry& frmThis);
  void LoadFormPosition(IFormGeometry& frmThis, long lMinWidth = 0, long lMinHeight = 0);
  static std::int32_t CLngDefault(const std::string& sString, std::int32_t lDefault = 0);

 private:
  const plat::Platform* platform_;
  std::string path_, key_, section_, default_;
  bool hasKey_ = false, hasSection_ = false, hasDefault_ = false;
  std::int32_t lastReturnCode_ = 0;
};

// Defers every INI write of the calling routine to one replacement per file at the
// end of the scope (or at Flush), so a routine that writes N keys rewrites the file
// once. Writes inside report success; a file that then cannot be written keeps its
// old content and Flush (or the end of the scope) forgets the writes. Reads inside
// the scope see the pending writes. Nested scopes join the outermost one.
class IniWriteBatch {
 public:
  explicit IniWriteBatch(const plat::Platform& platform);
  ~IniWriteBatch();
  IniWriteBatch(const IniWriteBatch&) = delete;
  IniWriteBatch& operator=(const IniWriteBatch&) = delete;
  // False when a file could not be written (the old file stays); `progress` runs
  // between the chunks of a large file.
  bool Flush(const std::function<void()>& progress = nullptr);

 private:
  plat::IIniFiles& files_;
};
