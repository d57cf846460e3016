#include "support/CFileVersionInfo.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr std::uint32_t kPathBuffer = 260;
constexpr std::uint32_t kLanguageBuffer = 256;
constexpr std::uint32_t kFixedRecordBytes = 52;

// The fields of the fixed record that are used, by their 32-bit index in it.
enum Field {
  kStrucVersion = 1,
  kFileMS,
  kFileLS,
  kProductMS,
  kProductLS,
  kFlagsMask,
  kFlags,
  kOS,
  kType,
  kSubtype
};

std::int16_t High(std::uint32_t v) { return static_cast<std::int16_t>(v >> 16); }
std::int16_t Low(std::uint32_t v) { return static_cast<std::int16_t>(v & 0xFFFF); }

// Decimal with at least `digits` digits; a minus sign stays in front of the zeros.
std::string Digits(int value, std::size_t digits = 1) {
  std::string s = std::to_string(value < 0 ? -value : value);
  if (s.size() < digits) s.insert(0, digits - s.size(), '0');
  return value < 0 ? "-" + s : s;
}

// 1.2.3.4 reads 1.02.0304 and 6.0.0.8169 reads 6.00.8169: the older style
// where the build number follows the minor version without a dot.
std::string VersionText(std::uint32_t ms, std::uint32_t ls) {
  std::string s = Digits(High(ms)) + "." + Digits(Low(ms), 2) + ".";
  if (High(ls) <= 0) return s + Digits(Low(ls), 4);
  return s + Digits(High(ls), 2) + Digits(Low(ls), 2);
}

std::string Hex4(std::uint16_t v) {
  static const char digits[] = "0123456789ABCDEF";
  std::string s(4, '0');
  for (int i = 3; i >= 0; --i, v >>= 4) s[i] = digits[v & 0xF];
  return s;
}

std::string FlagsText(std::uint32_t flags) {
  static const char* const words[] = {"Debug", "PreRel", "Patched", "Private", "Info", "Special"};
  std::string s;
  for (int bit = 0; bit < 6; ++bit) {
    if (!(flags & (1u << bit))) continue;
    if (!s.empty()) s += ' ';
    s += words[bit];
  }
  return s;
}

std::string OSText(std::uint32_t os) {
  switch (os) {
    case 0x00010001: return "DOS-Win16";
    case 0x00010004: return "DOS-Win32";
    case 0x00020002: return "OS/2-16 PM-16";
    case 0x00030003: return "OS/2-16 PM-32";
    case 0x00040004: return "NT-Win32";
    default: return "Unknown";
  }
}

const char* TypeText(std::uint32_t type) {
  static const char* const names[] = {"Unknown", "Application", "DLL",     "Driver",
                                      "Font",    "VxD",         "Unknown", "Lib"};
  return type < 8 ? names[type] : "Unknown";
}

// nullptr leaves the subtype text as it is.
const char* SubTypeText(std::uint32_t type, std::uint32_t subtype) {
  static const char* const drivers[] = {"Unknown",      "Printer drv", "Keyboard drv",
                                        "Language drv", "Display drv", "Mouse drv",
                                        "Network drv",  "System drv",  "Installable",
                                        "Sound drv",    "Comm drv"};
  static const char* const fonts[] = {"Raster Font", "Vector Font", "TrueType Font"};
  if (type == 3 && subtype <= 10) return drivers[subtype];
  if (type == 4 && subtype >= 1 && subtype <= 3) return fonts[subtype - 1];
  return nullptr;
}

}  // namespace

CFileVersionInfo::CFileVersionInfo(const plat::Platform& platform) : platform_(&platform) {}

void CFileVersionInfo::FullPathName(const std::string& NewVal) {
  char buffer[kPathBuffer];
  const std::uint32_t n = platform_->version->FullPathName(NewVal, kPathBuffer, buffer);
  // A full path that does not fit the buffer is refused like one that cannot be formed.
  if (n == 0 || n >= kPathBuffer) return;
  fullPathName_.assign(buffer, n);
  Refresh();
}

std::string CFileVersionInfo::PredefinedName(std::int32_t Which) const {
  static const char* const names[] = {"Language",         "Comments",         "Company Name",
                                      "File Description", "File Version",     "Internal Name",
                                      "Legal Copyright",  "Legal Trademarks", "Original Filename",
                                      "Product Name",     "Product Version",  "Private Build",
                                      "Special Build",    "LegalTrademarks1", "LegalTrademarks2"};
  return Which >= 0 && Which < 15 ? names[Which] : "";
}

std::string CFileVersionInfo::PredefinedValue(std::int32_t Which) const {
  const std::string* const values[] = {&language_,        &comments_,         &companyName_,
                                       &fileDescription_, &fileVersion_,      &internalName_,
                                       &legalCopyright_,  &legalTrademarks_,  &originalFilename_,
                                       &productName_,     &productVersion_,   &privateBuild_,
                                       &specialBuild_,    &legalTrademarks1_, &legalTrademarks2_};
  return Which >= 0 && Which < 15 ? *values[Which] : "";
}

void CFileVersionInfo::Refresh() {
  plat::IVersionApi& api = *platform_->version;
  const std::uint32_t size = api.InfoSize(fullPathName_);
  if (size == 0) {
    available_ = false;
    return;
  }
  std::vector<unsigned char> block;
  try {
    block.resize(size);
  } catch (const std::bad_alloc&) {
    available_ = false;
    return;
  }
  api.InfoData(fullPathName_, size, block.data());

  // Without a whole fixed record the file counts as one without version information.
  const void* value = nullptr;
  std::uint32_t length = 0;
  if (!api.QueryValue(block.data(), "\\", &value, &length) || value == nullptr ||
      length < kFixedRecordBytes) {
    available_ = false;
    return;
  }
  available_ = true;
  std::uint32_t fixed[kFixedRecordBytes / 4];
  std::memcpy(fixed, value, kFixedRecordBytes);

  verStructure_ = Digits(High(fixed[kStrucVersion])) + "." + Digits(Low(fixed[kStrucVersion]));
  fileVersionMS_ = fixed[kFileMS];
  fileVersionLS_ = fixed[kFileLS];
  verFile_ = VersionText(fixed[kFileMS], fixed[kFileLS]);
  verProduct_ = VersionText(fixed[kProductMS], fixed[kProductLS]);
  fileFlags_ = FlagsText(fixed[kFlags]);
  fileOS_ = OSText(fixed[kOS]);
  fileType_ = TypeText(fixed[kType]);
  if (const char* sub = SubTypeText(fixed[kType], fixed[kSubtype])) fileSubType_ = sub;

  // A table too short for one entry counts as missing.
  if (!api.QueryValue(block.data(), "\\VarFileInfo\\Translation", &value, &length) ||
      value == nullptr || length < 4)
    return;
  std::uint32_t translation;
  std::memcpy(&translation, value, 4);
  const auto languageId = static_cast<std::uint16_t>(translation & 0xFFFF);
  const auto codePage = static_cast<std::uint16_t>(translation >> 16);

  char name[kLanguageBuffer];
  const std::uint32_t n = api.LanguageName(languageId, name, kLanguageBuffer);
  language_.assign(name, n < kLanguageBuffer ? n : 0);

  const auto entry = [&](const std::string& prefix, const char* key) {
    const void* text = nullptr;
    std::uint32_t chars = 0;
    if (!api.QueryValue(block.data(), prefix + key, &text, &chars) || text == nullptr || chars == 0)
      return std::string();
    // Up to the first NUL, and never past the length the platform reported.
    const char* p = static_cast<const char*>(text);
    return std::string(p, std::find(p, p + chars, '\0'));
  };

  std::string prefix = "\\StringFileInfo\\" + Hex4(languageId) + Hex4(codePage) + "\\";
  companyName_ = entry(prefix, "CompanyName");
  if (companyName_.empty()) {
    // Many files carry their texts only in a US-English table.
    const std::string english = "\\StringFileInfo\\" + Hex4(0x0409) + Hex4(codePage) + "\\";
    companyName_ = entry(english, "CompanyName");
    if (!companyName_.empty()) prefix = english;
  }
  comments_ = entry(prefix, "Comments");
  fileDescription_ = entry(prefix, "FileDescription");
  fileVersion_ = entry(prefix, "FileVersion");
  internalName_ = entry(prefix, "InternalName");
  legalCopyright_ = entry(prefix, "LegalCopyright");
  legalTrademarks_ = entry(prefix, "LegalTrademarks");
  originalFilename_ = entry(prefix, "OriginalFilename");
  productName_ = entry(prefix, "ProductName");
  productVersion_ = entry(prefix, "ProductVersion");
  privateBuild_ = entry(prefix, "PrivateBuild");
  specialBuild_ = entry(prefix, "SpecialBuild");
  legalTrademarks1_ = entry(prefix, "LegalTrademarks1");
  legalTrademarks2_ = entry(prefix, "LegalTrademarks2");
}
