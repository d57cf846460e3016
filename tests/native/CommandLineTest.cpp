// The command line: what it asks for, and which catalogue entry it names.
#include <gtest/gtest.h>

#include "app/CommandLine.h"

using cli::Action;

TEST(CommandLine, ParsesAndResolvesEntriesByKeyDescriptionOrFolder) {
  const std::tuple<const char*, Action, const char*> parsed[] = {
      {"", Action::Window, ""}, {" \t", Action::Window, ""}, {"/?", Action::Usage, ""},
      {"/START eep_2", Action::Start, "eep_2"}, {"-switch EEP 6 Demo ", Action::Switch, "EEP 6 Demo"},
      {"/switch \" EEP 6 Demo\" ", Action::Switch, "EEP 6 Demo"}, {"/start", Action::Bad, ""},
      {"/start \"\"", Action::Bad, ""}, {"/start \"open", Action::Bad, ""},
      {"/start \"a\" b", Action::Bad, ""}, {"/run EEP_1", Action::Bad, ""}, {"EEP_1", Action::Bad, ""}};
  for (const auto& [args, action, entry] : parsed) {
    const cli::Request r = cli::Parse(args);
    EXPECT_EQ(action, r.action) << args;
    EXPECT_EQ(entry, r.entry) << args;
  }
  const std::vector<CatalogueRow> rows = {
      {"EEP_1", "EEP 6.03", "", "C:\\EEP6"}, {"EEP_2", "EEP 6 Demo", "", "C:\\Programme\\EEP6 Demo"},
      {"EEP_3", "Gleich", "", "D:\\A"},      {"EEP_4", "Gleich", "", "D:\\B"},
      {"EEP_5", "EEP_1", "", "D:\\Ä\\Ö"},   {"EEP_6", "Ohne Ordner", "", ""}};
  const std::pair<const char*, const char*> resolved[] = {
      {"eep_2", "EEP_2"}, {"eep 6 DEMO", "EEP_2"}, {"c:/programme/eep6 demo\\", "EEP_2"},
      {"EEP_1", "EEP_1"},  // the key goes before another entry's description
      {"d:\\ä\\ö", "EEP_5"}, {"Gleich", ""},  // two rows fit: neither is taken
      {"D:\\", ""}, {"EEP_9", ""}, {"\\", ""}};
  for (const auto& [entry, key] : resolved) EXPECT_EQ(key, cli::Resolve(rows, entry)) << entry;
}
