#include "import/same_city.h"

#include <fstream>
#include <sstream>

#include "data/gbk_text.h"
#include "import/csv_reader.h"

namespace velmor {

SameCityGroups::SameCityGroups(std::map<std::string, int> builtIn, std::set<std::string> known)
    : builtIn_(std::move(builtIn)), known_(std::move(known)) {
  for (const auto& [station, group] : builtIn_) last_ = std::max(last_, group);
}

int SameCityGroups::NewGroup() {
  do {
    ++last_;
  } while ((last_ >= 51 && last_ <= 59) || (last_ >= 101 && last_ <= 109));
  return last_;
}

void SameCityGroups::Assign(const std::set<std::string>& stations,
                            const std::map<std::string, std::string>& cities) {
  groups_.clear();
  for (const std::string& s : stations) {
    if (const auto b = builtIn_.find(s); b != builtIn_.end()) groups_[s] = b->second;
  }
  const std::string suffixes[] = {G("东"), G("西"), G("南"), G("北"), G("站")};
  for (const std::string& s : stations) {
    if (groups_.contains(s)) continue;
    for (const std::string& suffix : suffixes) {
      if (s.size() <= suffix.size() || !s.ends_with(suffix)) continue;
      const std::string base = s.substr(0, s.size() - suffix.size());
      if (!stations.contains(base) && !known_.contains(base)) continue;
      auto g = groups_.find(base);
      int group = 0;
      if (g != groups_.end()) {
        group = g->second;
      } else if (const auto b = builtIn_.find(base); b != builtIn_.end()) {
        group = b->second;
      } else {
        group = NewGroup();
        if (stations.contains(base)) groups_[base] = group;
      }
      groups_[s] = group;
      break;
    }
  }
  std::map<std::string, int> cityGroup;
  for (const auto& [station, city] : cities) {
    if (!stations.contains(station)) continue;
    auto [it, added] = cityGroup.emplace(city, 0);
    if (added) it->second = NewGroup();
    groups_[station] = it->second;
  }
}

size_t SameCityGroups::GroupCount() const {
  std::set<int> numbers;
  for (const auto& [station, group] : groups_) numbers.insert(group);
  return numbers.size();
}

std::optional<std::map<std::string, std::string>> ReadCityOverrides(const std::string& path,
                                                                    std::string* error) {
  std::ifstream f(path, std::ios::binary);
  if (!f) {
    if (error) *error = G("无法打开城市对照文件：") + Utf8ToGbk(path);
    return std::nullopt;
  }
  std::ostringstream s;
  s << f.rdbuf();
  const std::string text = s.str();
  std::map<std::string, std::string> out;
  try {
    // The file has no header row, so its lines count from its first.
    // Messages are GBK; the name was given as UTF-8.
    CsvReader csv(text, Utf8ToGbk(path), {"station", "city"});
    const int stationColumn = csv.Column("station");
    const int cityColumn = csv.Column("city");
    while (csv.Next()) {
      const std::string station = Trim(Utf8ToGbk(csv.Field(stationColumn)));
      const std::string city = Trim(Utf8ToGbk(csv.Field(cityColumn)));
      // A row the user wrote but that says nothing would silently leave a station ungrouped.
      if (station.empty() || city.empty() || !csv.Field(2).empty()) {
        throw CsvError(csv.Where() + G("：应为“车站,城市”两列"));
      }
      out[station] = city;
    }
  } catch (const CsvError& e) {
    if (error) *error = e.what();
    return std::nullopt;
  }
  return out;
}

}  // namespace velmor
