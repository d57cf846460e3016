// What the About window's logic needs of the real window: texts, tabs, panels,
// a message box and closing.
#pragma once
#include <cstdint>
#include <string>

enum class AboutLabel { lblTitle, lblVersion, lblDescription, lblDisclaimer };

class IAboutView {
 public:
  virtual ~IAboutView() = default;

  virtual std::string Caption() = 0;
  virtual void SetCaption(const std::string& text) = 0;
  virtual std::string LabelText(AboutLabel l) = 0;
  virtual void SetLabelText(AboutLabel l, const std::string& text) = 0;
  virtual std::string LabelToolTip(AboutLabel l) = 0;
  virtual void SetLabelToolTip(AboutLabel l, const std::string& text) = 0;

  // Tabs are 1-based, as their keys are numbered.
  virtual int TabCount() = 0;
  virtual std::string TabCaption(int tab) = 0;
  virtual void SetTabCaption(int tab, const std::string& text) = 0;
  virtual std::string TabToolTip(int tab) = 0;
  virtual void SetTabToolTip(int tab, const std::string& text) = 0;
  virtual int SelectedTab() = 0;
  // Selects a tab without raising the tab strip's Click.
  virtual void SelectTab(int tab) = 0;

  // Panels are 0-based: panel i belongs to tab i + 1. Left in twips.
  virtual void MovePanel(int index, long left) = 0;
  virtual void SetPanelEnabled(int index, bool enabled) = 0;

  virtual std::uintptr_t Handle() = 0;  // owner of shell calls
  virtual int MsgBox(const std::string& text, unsigned style, const std::string& title) = 0;
  virtual void Close() = 0;
};
