// frmMain: the main window's state and handlers, free of Win32. The real window
// (app/win) forwards its events here; tests drive it through a fake view.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/MainView.h"
#include "platform/Platform.h"
#include "support/Errors.h"
#include "support/cInifile.h"

class frmMain {
 public:
  frmMain(const plat::Platform& platform, IMainView& view);

  // State of the run.
  bool Busy = false;
  std::string ActiveKey;
  bool CanReset = false;
  bool DetailsVisible = false;
  long FullHeight = 0;
  std::string RegAppPath, RegAppDir, RegResBase, EditionSuffix;

  // Handlers.
  void Form_Load();
  bool Form_QueryUnload();  // true = cancel the close
  void cmdDetails_Click();
  void cmdInfo_Click();
  void cmdStartEEP_Click();
  void cmdDefault_Click();
  void cmdReset_Click();
  void lvwVersions_ItemCheck(int row);  // the row's check mark already holds the new state
  void lvwVersions_DblClick();

  // Routines.
  void UpdateControls();
  void AutoSizeColumnHeader(int column, bool SizeToHeader);  // column 1-based
  void LogAction(const std::string& Text);
  void LogResult(long Code);
  void ReadInstalledVersion();
  void LoadVersionList();
  void AddVersionEntry(const std::string& Section);
  std::string GetRegType(const std::string& AppPath);
  bool SaveSettings(const std::string& entry);  // false when the snapshot was not stored
  void SaveRegistry(const std::string& keyPath, cInifile& snapshot);
  void DeleteRegistryKeys(const std::string& entry);
  void DeleteRegistry(const std::string& keyPath);
  void LoadSavedSettings(const std::string& entry);
  void RestoreRegistry(const std::string& valuePath, const std::string& entryValue);
  void LoadFactorySettings(const std::string& entry);
  void RegisterComponents(const std::string& entry, bool doRegister);

  // Paths of the files beside the program.
  std::string LauncherIniPath() const;
  std::string DefinitionFilePath(const std::string& regType) const;
  // The entry's definition-file type ("DEFAULT" when it has none), and the keys that
  // type's "Registry Keys" select, in file order.
  std::string EntryRegType(const std::string& entry) const;
  std::vector<std::string> SettingsKeys(const std::string& regType) const;
  std::string Text(const std::string& section, const std::string& key, const std::string& deflt);
  const plat::Platform& Platform() const { return p_; }
  IMainView& View() { return view_; }

  // Number of the last run-time error since the previous log line (0 = none).
  long LastError = 0;
  // Runs one step; a run-time error it raises is remembered in LastError and skipped.
  template <class F>
  void Resume(F&& step) {
    if (long n = Attempt(step)) LastError = n;
  }

 protected:
  // The header block of a logging operation for the row: separators, word, row text
  // and directory.
  void AppendLogHeader(const std::string& word, int row);
  void EnterBusy();
  void RunOnActiveEntry(const std::string& word,
                        const std::function<void(const std::string&)>& steps);
  void LeaveBusy();

  const plat::Platform& p_;
  IMainView& view_;
};
