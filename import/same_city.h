// Same-city groups (SM) of an imported timetable: the built-in groups for the names they know,
// a suffix rule for new stations, and an optional override list.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace velmor {

class SameCityGroups {
 public:
  // `builtIn`: station → group of the built-in table; `known`: every name the built-in pinyin
  // table holds (GBK).
  SameCityGroups(std::map<std::string, int> builtIn, std::set<std::string> known);

  // Groups the imported stations: a built-in station keeps its group; a new station named as
  // a known or imported station followed by 东, 西, 南, 北 or 站 joins that station's group, a new
  // one when neither has a group. `cities` (station → city, GBK) wins over both.
  void Assign(const std::set<std::string>& stations,
              const std::map<std::string, std::string>& cities);

  // Station → group of every grouped imported station.
  const std::map<std::string, int>& Groups() const { return groups_; }
  // How many groups the result holds.
  size_t GroupCount() const;

 private:
  // The next unused group number, skipping 51–59 and 101–109 as the built-in numbering does.
  int NewGroup();
  std::map<std::string, int> builtIn_;
  std::set<std::string> known_;
  std::map<std::string, int> groups_;
  int last_ = 0;
};

// Reads a two-column override file ("station,city" per line, UTF-8, no header row); nothing
// and `error` (GBK, "file:line：..." for a bad row) when it cannot be read or a row lacks a
// station or a city or has more than two columns.
std::optional<std::map<std::string, std::string>> ReadCityOverrides(const std::string& path,
                                                                    std::string* error);

}  // namespace velmor
