// The services on fake Windows: a recorded log, scripted answers, and helpers for
// the INI files beside the program.
#pragma once
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "support/Context.h"
#include "support/Variant.h"
#include "support/cInifile.h"
#include "tests/fakes/FakeServices.h"

struct Rig {
  static constexpr const char* kDir = "C:\\Gleisora";
  static constexpr const char* kIni = "C:\\Gleisora\\Gleisora.ini";

  FakePlatform fp;
  LanguageFile texts{fp.platform};
  std::string logText;
  std::function<void()> onPump;  // runs after each log line
  ActivityLog log{{[this] { logText.clear(); }, [this](const std::string& t) { logText += t; },
                   [this] {
                     if (onPump) onPump();
                   }}};
  Context ctx{fp.platform, texts, log,
              [this](const std::string& text, unsigned style) { return MsgBox(text, style); }};

  struct Box {
    std::string text;
    unsigned style;
  };
  std::vector<Box> boxes;
  std::deque<int> answers;  // IDOK / IDNO when empty

  int MsgBox(const std::string& text, unsigned style) {
    boxes.push_back({text, style});
    if (answers.empty()) return (style & 0xF) == mb::kYesNo ? mb::kIdNo : mb::kIdOk;
    const int a = answers.front();
    answers.pop_front();
    return a;
  }

  void File(const std::string& name, const std::string& text) {
    fp.files.AddFile(std::string(kDir) + "\\" + name, text);
  }
  std::string Read(const std::string& section, const std::string& key,
                   const std::string& file = kIni) {
    cInifile ini(fp.platform);
    ini.Path(file);
    ini.Section(section);
    ini.Key(key);
    ini.Default("<missing>");
    return ini.Value();
  }
  // Keys and values of a section of the launcher INI, in file order.
  std::vector<std::pair<std::string, std::string>> Section(const std::string& section) {
    cInifile ini(fp.platform);
    ini.Path(kIni);
    ini.Section(section);
    std::vector<std::string> names;
    std::int32_t count = 0;
    ini.EnumerateCurrentSection(names, count);
    std::vector<std::pair<std::string, std::string>> out;
    for (std::int32_t i = 0; i < count; ++i) {
      ini.Key(names[i]);
      out.emplace_back(names[i], ini.Value());
    }
    return out;
  }
  std::vector<std::string> LogLines() const {
    std::vector<std::string> lines;
    std::string s = logText;
    for (std::size_t p; (p = s.find("\r\n")) != std::string::npos; s.erase(0, p + 2))
      lines.push_back(s.substr(0, p));
    if (!s.empty()) lines.push_back(s);
    return lines;
  }
  static std::vector<std::string> Header(const std::string& word, const std::string& text,
                                         const std::string& dir) {
    return {std::string(80, '='), word + ": " + text, "in " + dir, std::string(80, '=')};
  }
};

inline ByteArray SzBytes(const std::string& s) {
  ByteArray b(s.begin(), s.end());
  b.push_back(0);
  return b;
}
