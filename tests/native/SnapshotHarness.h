// A main window on fake services, with helpers for the INI files beside the program,
// the registry and the log.
#pragma once
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/frmMain.h"
#include "support/Variant.h"
#include "support/cInifile.h"
#include "tests/fakes/FakeMainView.h"
#include "tests/fakes/FakeServices.h"

struct Harness {
  FakePlatform fp;
  FakeMainView view;
  frmMain form{fp.platform, view};
  std::string registeredFrom;  // folder of the registered component, empty when none

  static constexpr const char* kDir = "C:\\Gleisora";
  static std::string LauncherIni() { return std::string(kDir) + "\\Gleisora.ini"; }

  void File(const std::string& name, const std::string& text) {
    fp.files.AddFile(std::string(kDir) + "\\" + name, text);
  }

  // Keys and values of a section, in file order.
  std::vector<std::pair<std::string, std::string>> Section(const std::string& file,
                                                           const std::string& section) {
    cInifile ini(fp.platform);
    ini.Path(file);
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
  std::string Read(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& deflt = "") {
    cInifile ini(fp.platform);
    ini.Path(file);
    ini.Section(section);
    ini.Key(key);
    ini.Default(deflt);
    return ini.Value();
  }

  std::vector<std::string> LogLines() const {
    std::vector<std::string> lines;
    std::string s = view.log;
    for (std::size_t p; (p = s.find("\r\n")) != std::string::npos; s.erase(0, p + 2))
      lines.push_back(s.substr(0, p));
    if (!s.empty()) lines.push_back(s);  // an open line
    return lines;
  }

  // Two installations of one type, each with a component whose entry points record
  // the folder it was registered from; settings live in HKCU\Sim.
  void TwoInstallations() {
    File("Gleisora.ini",
         "[EEP_1]\r\nRegType=DEFAULT\r\nAppDir=C:\\EEP6\r\n"
         "[EEP_2]\r\nRegType=DEFAULT\r\nAppDir=C:\\EEP7\r\n");
    File("DEFAULT.ini",
         "[Registry Keys]\r\nHKCU\\Sim=1\r\n"
         "[Factory Settings]\r\nHKCU\\Sim\\setting=REG_SZ:{AppDir}\\factory\r\n"
         "[Register]\r\n{AppDir}\\comp.dll=1\r\n[Unregister]\r\n{AppDir}\\comp.dll=1\r\n");
    for (std::string dir : {"C:\\EEP6", "C:\\EEP7"}) {
      fp.files.AddFile(dir + "\\comp.dll", "MZ");
      auto& lib = fp.library.libraries[dir + "\\COMP.DLL"];
      lib.exports["DllRegisterServer"] = [this, dir] { registeredFrom = dir; };
      lib.exports["DllUnregisterServer"] = [this] { registeredFrom.clear(); };
    }
    view.AddRow("EEP_1", "EEP 6.03", "DEFAULT", "C:\\EEP6");
    view.AddRow("EEP_2", "EEP 7.00", "DEFAULT", "C:\\EEP7");
  }
  void Activate(int row) {
    form.ActiveKey = view.rows.at(row).key;
    view.rows.at(row).checked = true;
    view.selected = row;
  }
  static std::vector<std::string> Header(const std::string& word, const std::string& text,
                                         const std::string& dir) {
    return {std::string(80, '='), word + ": " + text, "in " + dir, std::string(80, '=')};
  }

  // Values of a key by name (type and bytes).
  std::map<std::string, FakeRegistry::RawValue> Values(std::int32_t root, const std::string& key) {
    std::map<std::string, FakeRegistry::RawValue> out;
    for (auto& [name, v] : fp.registry.Values(root, key)) out[name] = v;
    return out;
  }
};

inline ByteArray SzBytes(const std::string& s) {
  ByteArray b(s.begin(), s.end());
  b.push_back(0);
  return b;
}

