#include "tests/fakes/FakeMainView.h"

FakeMainView::FakeMainView() {
  // The design layout in twips.
  controls[Ctl::picVersions] = {2520, 2295, true, "", ""};
  controls[Ctl::lvwVersions] = {0, 2295, true, "", ""};
  controls[Ctl::cmdStartEEP] = {4920, 375, true, "EEP starten", "EEP starten"};
  controls[Ctl::cmdReset] = {4920, 375, true, "Wiederherstellen",
                             "Letzte Einstellungen wiederherstellen"};
  controls[Ctl::cmdDefault] = {4920, 375, true, "Standardeinstellungen",
                               "Standardeinstellungen laden"};
  controls[Ctl::cmdInfo] = {4920, 375, true, "Info", "Info über..."};
  controls[Ctl::cmdDetails] = {4920, 375, true, "Details  <<", "Details ein-/ausblenden"};
  controls[Ctl::txtLog] = {5640, 3135, true, "", ""};
  columns = {{"Bezeichnung", 0}, {"Typ", 0}, {"Pfad", 0}};
}

void FakeMainView::AddRow(const std::string& key, const std::string& text,
                          const std::string& sub1, const std::string& sub2) {
  rows.push_back(Row{key, text, sub1, sub2, false});
}

int FakeMainView::FindRow(const std::string& key) {
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (rows[i].key == key) return static_cast<int>(i);
  return -1;
}

void FakeMainView::DoEvents() {
  if (onDoEvents) onDoEvents();
}

int FakeMainView::MsgBox(const std::string& text, unsigned style, const std::string& title) {
  boxes.push_back(Box{text, title, style});
  if (!answers.empty()) {
    int a = answers.front();
    answers.pop_front();
    return a;
  }
  return (style & 0xF) == mb::kYesNo ? mb::kIdNo : mb::kIdOk;
}

std::vector<int> FakeMainView::CheckedRows() const {
  std::vector<int> out;
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (rows[i].checked) out.push_back(static_cast<int>(i));
  return out;
}
