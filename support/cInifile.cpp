#include "support/cInifile.h"

#include <algorithm>

#include "support/Convert.h"

namespace {
constexpr std::uint32_t kValueBuffer = 255;
constexpr std::uint32_t kListBuffer = 8192;

plat::IniText Maybe(bool assigned, const std::string& s) {
  return assigned ? plat::IniText(s) : std::nullopt;
}

// Reads with a buffer that grows until the result fits with room to spare: a value
// or list cut at the buffer's end would silently drop saved settings.
std::string ReadWhole(plat::IIniFiles& files, const plat::IniText& section,
                      const plat::IniText& key, const plat::IniText& def, std::uint32_t initial,
                      const std::string& path) {
  // A cut read is asked again at once with all the room there is: the whole text
  // is the same at any size it fits in, and a snapshot's long key list is built
  // twice, not once per doubling.
  for (std::uint32_t size = initial;; size = 1u << 30) {
    std::string s = files.GetString(section, key, def, size, path);
    // A cut read fills the buffer up to its last one or two places (quotes at the
    // edge lose one more); anything shorter than that is whole.
    if (s.size() + 4 <= size || size >= (1u << 30)) return s;
  }
}
}  // namespace

cInifile::cInifile(const plat::Platform& platform) : platform_(&platform) {}

std::string cInifile::Value() const {
  return ReadWhole(*platform_->ini, Maybe(hasSection_, section_), Maybe(hasKey_, key_),
                   Maybe(hasDefault_, default_), kValueBuffer, path_);
}

void cInifile::Value(std::string& sValue) {
  sValue.erase(std::remove(sValue.begin(), sValue.end(), '\0'), sValue.end());
  lastReturnCode_ = platform_->ini->WriteString(Maybe(hasSection_, section_), Maybe(hasKey_, key_),
                                                sValue, path_);
}

void cInifile::Value(const std::string& sValue) {
  std::string copy = sValue;
  Value(copy);
}

void cInifile::DeleteKey() {
  lastReturnCode_ = platform_->ini->WriteString(Maybe(hasSection_, section_), Maybe(hasKey_, key_),
                                                std::nullopt, path_);
}

void cInifile::DeleteSection() {
  lastReturnCode_ =
      platform_->ini->WriteString(Maybe(hasSection_, section_), std::nullopt, std::nullopt, path_);
}

std::string cInifile::INISection() const {
  return ReadWhole(*platform_->ini, Maybe(hasSection_, section_), std::nullopt,
                   Maybe(hasDefault_, default_), kListBuffer, path_);
}

void cInifile::INISection(const std::string& sSection) {
  // With a null key the profile function removes the section and ignores the text.
  lastReturnCode_ =
      platform_->ini->WriteString(Maybe(hasSection_, section_), std::nullopt, sSection, path_);
}

std::string cInifile::Sections() const {
  return ReadWhole(*platform_->ini, std::nullopt, std::nullopt, Maybe(hasDefault_, default_),
                   kListBuffer, path_);
}

namespace {
// The names of a NUL-separated list; text after the last NUL is a cut name and is
// not taken.
void SplitList(const std::string& list, bool skipEmpty, std::vector<std::string>& out,
               std::int32_t& count) {
  out.clear();
  count = 0;
  std::size_t pos = 0;
  for (std::size_t nul = list.find('\0'); nul != std::string::npos; nul = list.find('\0', pos)) {
    if (!(skipEmpty && nul == pos)) {
      out.push_back(list.substr(pos, nul - pos));
      ++count;
    }
    pos = nul + 1;
  }
}
}  // namespace

void cInifile::EnumerateCurrentSection(std::vector<std::string>& list, std::int32_t& iCount) const {
  // Empty names are kept: a line "=x" is a key with an empty name.
  SplitList(INISection(), false, list, iCount);
}

void cInifile::EnumerateAllSections(std::vector<std::string>& list, std::int32_t& iCount) const {
  SplitList(Sections(), true, list, iCount);
}

void cInifile::SaveFormPosition(IFormGeometry& frmThis) {
  const std::string key = key_;
  const bool hasKey = hasKey_;
  try {
    if (!frmThis.Minimized()) {
      const bool maximised = frmThis.Maximized();
      Key("Maximised");
      Value(std::string(maximised ? "1" : "0"));
      if (!maximised) {
        const long left = frmThis.Left(), top = frmThis.Top(), width = frmThis.Width(),
                   height = frmThis.Height();
        Key("Left");
        Value(std::to_string(left));
        Key("Top");
        Value(std::to_string(top));
        Key("Width");
        Value(std::to_string(width));
        Key("Height");
        Value(std::to_string(height));
      }
    }
  } catch (...) {
    lastReturnCode_ = 0;
  }
  key_ = key;
  hasKey_ = hasKey;
}

void cInifile::LoadFormPosition(IFormGeometry& frmThis, long lMinWidth, long lMinHeight) {
  const std::string key = key_, deflt = default_;
  const bool hasKey = hasKey_, hasDefault = hasDefault_;
  try {
    // A missing key reads as text that does not convert, so the current value stays.
    Default("FAIL");
    auto read = [&](const char* name, long current) {
      Key(name);
      return static_cast<long>(CLngDefault(Value(), static_cast<std::int32_t>(current)));
    };
    long left = read("Left", frmThis.Left());
    long top = read("Top", frmThis.Top());
    long width = read("Width", frmThis.Width());
    long height = read("Height", frmThis.Height());
    if (width < lMinWidth) width = lMinWidth;
    if (height < lMinHeight) height = lMinHeight;
    // Keep the window on the screen, 4 pixels from its edges.
    auto fit = [](long& pos, long& size, long screen, long margin) {
      if (pos < margin) pos = margin;
      if (pos + size > screen - margin) {
        pos = screen - margin - size;
        if (pos < margin) pos = margin;
        if (pos + size > screen - margin) size = screen - margin - pos;
      }
    };
    fit(left, width, frmThis.ScreenWidth(), 4 * frmThis.TwipsPerPixelX());
    fit(top, height, frmThis.ScreenHeight(), 4 * frmThis.TwipsPerPixelY());
    if (width >= lMinWidth && height >= lMinHeight) frmThis.Move(left, top, width, height);
    Key("Maximised");
    if (CLngDefault(Value(), 0) != 0) frmThis.Maximize();
  } catch (...) {
    lastReturnCode_ = 0;
  }
  key_ = key;
  hasKey_ = hasKey;
  default_ = deflt;
  hasDefault_ = hasDefault;
}

std::int32_t cInifile::CLngDefault(const std::string& sString, std::int32_t lDefault) {
  std::int32_t value = 0;
  return ToInt32(sString, value) == 0 ? value : lDefault;
}

IniWriteBatch::IniWriteBatch(const plat::Platform& platform) : files_(*platform.ini) {
  files_.BeginBatch();
}

IniWriteBatch::~IniWriteBatch() { files_.EndBatch(); }

bool IniWriteBatch::Flush(const std::function<void()>& progress) {
  return files_.FlushBatch(progress);
}
