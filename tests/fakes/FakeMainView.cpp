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

std::string FakeMainView::Ticked() const {
  std::string keys;
  for (const Row& r : rows)
    if (r.checked) keys += (keys.empty() ? "" : ",") + r.shown.key;
  return keys;
}
