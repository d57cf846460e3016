// A window that records what the logic does to it and answers message boxes from
// a script of answers.
#pragma once
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "app/MainView.h"

class FakeMainView : public IMainView {
 public:
  std::string Caption() override { return caption; }
  void SetCaption(const std::string& text) override { caption = text; }
  void SetHourglass(bool on) override { hourglass = on; }
  long OuterHeight() override { return clientHeight + frameHeight; }
  long ClientHeight() override { return clientHeight; }
  void SetOuterHeight(long twips) override { clientHeight = twips - frameHeight; }
  long ControlTop(Ctl c) override { return controls[c].top; }
  long ControlHeight(Ctl c) override { return controls[c].height; }
  void SetEnabled(Ctl c, bool e) override { controls[c].enabled = e; }
  std::string ControlCaption(Ctl c) override { return controls[c].caption; }
  void SetControlCaption(Ctl c, const std::string& t) override { controls[c].caption = t; }
  std::string ToolTip(Ctl c) override { return controls[c].toolTip; }
  void SetToolTip(Ctl c, const std::string& t) override { controls[c].toolTip = t; }

  int ColumnCount() override { return static_cast<int>(columns.size()); }
  std::string ColumnText(int column) override { return columns.at(column - 1).text; }
  void SetColumnText(int column, const std::string& t) override { columns.at(column - 1).text = t; }
  void SetColumnWidth(int index, int widthCode) override { columns.at(index).widthCode = widthCode; }
  void AddRow(const CatalogueRow& row) override { rows.push_back({row, false}); }
  bool RowChecked(int r) override { return rows.at(r).checked; }
  void SetRowChecked(int r, bool c) override { rows.at(r).checked = c; }
  void RemoveRow(int r) override { rows.erase(rows.begin() + r); }
  int SelectedRow() override { return selected; }
  void SelectRow(int r) override { selected = r; }

  void SetLogText(const std::string& t) override { log = t; }
  void AppendLogText(const std::string& t) override { log += t; }
  void DoEvents() override { yields.push_back(log.size()); }

  int MsgBox(const std::string& text, unsigned style, const std::string& title) override {
    boxes.push_back(Box{text, title, style});
    if (answers.empty()) return (style & 0xF) == mb::kYesNo ? mb::kIdNo : mb::kIdOk;
    const int a = answers.front();
    answers.pop_front();
    return a;
  }
  void ShowAbout() override {}

  // The user's own toggle of a row's check box (the logic's handler is called by the test).
  void UserToggle(int r) { rows.at(r).checked = !rows.at(r).checked; }
  // The keys of the ticked rows, comma-separated: which entry the window shows active.
  std::string Ticked() const {
    std::string keys;
    for (const Row& r : rows)
      if (r.checked) keys += (keys.empty() ? "" : ",") + r.shown.key;
    return keys;
  }

  struct Control {
    long top = 0, height = 0;
    bool enabled = true;
    std::string caption, toolTip;
  };
  struct Column {
    std::string text;
    int widthCode = 0;  // 0 = design width kept
  };
  struct Row {
    CatalogueRow shown;
    bool checked = false;
  };
  struct Box {
    std::string text, title;
    unsigned style;
  };

  std::string caption = "Gleisora";
  bool hourglass = false;
  long clientHeight = 8895, frameHeight = 435;  // twips
  std::map<Ctl, Control> controls{{Ctl::cmdDetails, {4920, 375, true, "", ""}}};  // the layout the logic reads
  std::vector<Column> columns{{"Bezeichnung"}, {"Typ"}, {"Pfad"}};
  std::vector<Row> rows;
  int selected = -1;
  std::string log;
  std::vector<std::size_t> yields;  // the log's length at each yield to the window
  std::vector<Box> boxes;   // every message box shown
  std::deque<int> answers;  // answers to give; IDOK / IDNO when empty
};
